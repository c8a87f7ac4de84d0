// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "remote/RemoteHub.h"

#include <algorithm>
#include <set>

#include <QJsonDocument>
#include <QSettings>
#include <QUrl>
#include <QWebSocket>

#include "device/Alarms.h"
#include "device/ChangedParams.h"
#include "device/ModeImage.h"
#include "device/Models.h"
#include "device/PresetJson.h"
#include "device/UnitText.h"
#include "link/Equipment.h"
#include "remote/ChannelCurve.h"
#include "remote/HubReport.h"
#include "remote/OscServer.h"
#include "remote/PresetPath.h"
#include "remote/RemoteClient.h"
#include "remote/RemoteGroups.h"
#include "remote/RemoteUnits.h"
#include "remote/RemoteWords.h"

namespace qel {

namespace {

QJsonObject presetOf(ParamEdit& edit) {
    return QJsonDocument::fromJson(presetJson(edit.image().record(), edit.modelCode())).object();
}

QJsonObject byJson(const ParamEdit::Origin& origin) {
    if (origin.kind == ParamEdit::Origin::Kind::Remote)
        return {{"kind", "client"}, {"client", origin.client}};
    if (origin.kind == ParamEdit::Origin::Kind::Group)
        return {{"kind", "group"}, {"group", QString::fromStdString(origin.group)}};
    if (origin.kind == ParamEdit::Origin::Kind::Osc)
        return {{"kind", "osc"}, {"sender", QString::fromStdString(origin.peer)}};
    return {{"kind", "desktop"}};
}

// The channels whose EQ response a set of changed paths touches.
std::vector<cmd::ChannelId> curveChannels(const QJsonObject& values) {
    std::vector<cmd::ChannelId> channels;
    for (auto it = values.begin(); it != values.end(); ++it) {
        const auto subject = presetpath::subjectOf(it.key());
        if (!subject) continue;
        const uint8_t c = subject->code;
        if (c != param::kEqPoint && c != param::kHighPass && c != param::kLowPass) continue;
        if (std::find(channels.begin(), channels.end(), subject->channel) == channels.end())
            channels.push_back(subject->channel);
    }
    return channels;
}

QJsonObject curvesOf(const ModeRecord& record, const std::vector<cmd::ChannelId>& channels) {
    QJsonObject curves;
    for (const cmd::ChannelId& c : channels)
        curves.insert(presetpath::channelKey(c), channelCurve(record, c));
    return curves;
}

// The channel of the preset that a set names, with the value put in; none where the
// preset has no such place. A delay given in ms or in samples drops the other, which then
// follows it.
std::optional<QJsonObject> withValue(const QJsonObject& preset, const presetpath::Place& place,
                                     const QJsonValue& value) {
    const PresetSetting& s = place.setting;
    QJsonObject channel =
        preset.value(s.input ? "inputs" : "outputs").toArray().at(s.channel).toObject();
    QString below = place.below;
    QJsonValue put = value;
    if (below == "delay.ms" || below == "delay.samples") {
        put = QJsonObject{{below.mid(6), value}};
        below = QStringLiteral("delay");
    }
    if (!presetpath::assign(channel, below, put)) return std::nullopt;
    return channel;
}

std::vector<cmd::ChannelId> allChannels(uint32_t model) {
    std::vector<cmd::ChannelId> channels;
    for (int i = 1; i <= inputCount(model); ++i) channels.push_back(cmd::inputChannel(i));
    for (int i = 1; i <= outputCount(model); ++i) channels.push_back(cmd::outputChannel(i));
    return channels;
}

}  // namespace

RemoteHub::Settings RemoteHub::Settings::load(const QString& configPath) {
    Settings r;
    r.ListenSettings::load(QSettings(configPath, QSettings::IniFormat), QStringLiteral("Remote"));
    return r;
}

void RemoteHub::Settings::save(const QString& configPath) const {
    QSettings s(configPath, QSettings::IniFormat);
    ListenSettings::save(s, QStringLiteral("Remote"));
}

RemoteHub::RemoteHub(RemoteUnits& units, const QString& configPath, QObject* parent)
    : QObject(parent), units_(units), auth_(configPath), server_(auth_) {
    server_.setApi([this](const QByteArray& path) { return api(path); });
    connect(&server_, &RemoteServer::socketOpened, this, &RemoteHub::open);
    meterTimer_.setSingleShot(true);
    meterTimer_.setTimerType(Qt::PreciseTimer);
    connect(&meterTimer_, &QTimer::timeout, this, &RemoteHub::sendMeters);
    // A session's changes reach the clients at once; a unit whose settings were replaced as a
    // whole gets a fresh snapshot, and what it changed goes to those that follow values.
    units_.setChanged([this](const Equipment& unit, bool replaced) {
        if (!followed()) return;
        if (replaced)
            if (UnitView* view = viewOf(unit)) {
                const QString id = idOf(unit);
                const QJsonObject before = view->preset;
                tellWatchers(id, snapshot(id, *view));
                const QJsonObject values = presetDifferences(before, view->preset);
                if (!values.isEmpty()) emit valuesChanged(id, values);
            }
        lookAtUnits();
    });
    units_.setListChanged([this] {
        if (followed()) lookAtUnits();
    });
    // Another program on the same file (quellmar-cli unpair) may drop a pairing.
    connect(&pairingsTimer_, &QTimer::timeout, this, [this] { auth_.reload(); });
    auth_.setListChanged([this] {
        closeUnpaired();
        emit clientsChanged();
    });
    auth_.setCodeRenewed([this] { emit pairingCodeChanged(); });
    if (GroupControl* groups = units_.groups()) {
        groups_ = std::make_unique<RemoteGroups>(*groups);
        connect(groups_.get(), &RemoteGroups::changed, this, [this](const QJsonObject& message) {
            for (RemoteClient* c : clients_) c->send(message);
        });
    }
    clock_.start();
    osc_ = std::make_unique<OscServer>(*this);
}

RemoteHub::~RemoteHub() {
    osc_.reset();
    units_.setChanged({});
    units_.setListChanged({});
    stop();
    // Clients going with server_ below still tell auth_ when they were last seen.
    auth_.setListChanged({});
    auth_.setCodeRenewed({});
    for (auto& [id, view] : views_)
        if (view.meters)
            if (const auto unit = unitOf(id)) units_.watchMeters(*unit, 0);
    for (const auto& unit : wanted_) units_.want(*unit, false);
    // The sockets go with server_, after the lists that a client's going would change.
    for (RemoteClient* c : clients_) disconnect(c, nullptr, this, nullptr);
}

bool RemoteHub::start(const Settings& settings) {
    stop();
    settings_ = settings;
    const QHostAddress address(settings.address);
    if (address.isNull()) {
        error_ = QStringLiteral("%1 is not an address").arg(settings.address);
        return false;
    }
    if (!server_.listen(address, settings.port)) {
        error_ = server_.errorString();
        return false;
    }
    error_.clear();
    pairingsTimer_.start(kPairingsLookMs);
    return true;
}

void RemoteHub::stop() {
    server_.close();
    pairingsTimer_.stop();
    for (RemoteClient* c : std::vector<RemoteClient*>(clients_))
        c->close(QWebSocketProtocol::CloseCodeGoingAway,
                 QStringLiteral("the remote was switched off"));
}

QString RemoteHub::pairingUrl() const {
    const QHostAddress address = server_.address();
    QString host = address.toString();
    if (address.protocol() == QAbstractSocket::IPv6Protocol) host = '[' + host + ']';
    return QStringLiteral("http://%1:%2/?pair=%3")
        .arg(host)
        .arg(server_.port())
        .arg(auth_.pairingCode());
}

std::vector<RemoteHub::Pairing> RemoteHub::pairings() const {
    std::vector<Pairing> list;
    for (const RemoteAuth::Paired& p : auth_.paired()) {
        Pairing entry{p.id, p.label, p.since, p.lastSeen, {}, {}};
        for (const RemoteClient* c : clients_)
            if (c->pairing() == p.id) {
                entry.clients.push_back(c->id());
                entry.peers.append(c->peer());
            }
        list.push_back(std::move(entry));
    }
    return list;
}

QString RemoteHub::clientLabel(int client) const {
    for (const RemoteClient* c : clients_)
        if (c->id() == client && c->paired())
            for (const RemoteAuth::Paired& p : auth_.paired())
                if (p.id == c->pairing()) return p.label;
    return {};
}

void RemoteHub::closeUnpaired() {
    std::set<QByteArray> kept;
    for (const RemoteAuth::Paired& p : auth_.paired()) kept.insert(p.id);
    for (RemoteClient* c : std::vector<RemoteClient*>(clients_))
        if (c->paired() && !kept.contains(c->pairing()))
            c->close(QWebSocketProtocol::CloseCodePolicyViolated, QStringLiteral("dropped"));
}

void RemoteHub::open(QWebSocket* socket) {
    auto* client = new RemoteClient(socket, auth_, nextClient_++, settings_.readOnly, socket);
    client->setLanguage(language_);
    clients_.push_back(client);
    connect(client, &RemoteClient::ready, this, [this](RemoteClient* c) {
        c->send({{"type", "units"}, {"units", unitsJson()}});
        if (groups_) c->send(groups_->message());
        if (alarms_) c->send(alarmsMessage());
        emit clientsChanged();
    });
    connect(client, &RemoteClient::message, this, &RemoteHub::handle);
    connect(client, &RemoteClient::gone, this, [this](RemoteClient* c) {
        std::erase(clients_, c);
        watches_.erase(c);
        updateMeterWatch();
        updateWanted();
        emit clientsChanged();
    });
}

void RemoteHub::handle(RemoteClient* client, const ClientMessage& m) {
    if (m.type == ClientMessage::Type::Subscribe) subscribe(client, m);
    if (m.type == ClientMessage::Type::Set) set(client, m);
    if (m.type == ClientMessage::Type::Acknowledge) {
        const bool done = alarms_ && (m.alarm ? alarms_->acknowledge(m.alarm)
                                              : alarms_->acknowledgeAll() >= 0);
        client->send(done ? QJsonObject{{"type", "ack"}, {"id", m.requestId}}
                          : QJsonObject{{"type", "nack"},
                                        {"id", m.requestId},
                                        {"reason", RemoteWords::noAlarm()}});
    }
    if (m.type == ClientMessage::Type::Settle) {
        // A unit that came back with other settings: this client chose which side wins.
        // Chosen already elsewhere: the fresh list tells so.
        const auto unit = unitOf(m.unit);
        if (unit && units_.differs(*unit) && !units_.settle(*unit, m.unitWins))
            client->send({{"type", "nack"}, {"id", m.requestId}, {"reason", RemoteWords::busy()}});
        lookAtUnits();
    }
    if (m.type == ClientMessage::Type::Open) {
        watches_[client].open = m.unit;
        updateWanted();
        // Opened again after a failed read: one more try.
        if (const auto unit = unitOf(m.unit); unit && units_.readFailure(*unit))
            units_.want(*unit, true);
        lookAtUnits();  // a unit that starts reading shows so at once
    }
}

void RemoteHub::updateWanted() {
    std::set<std::shared_ptr<Equipment>> wanted;
    for (const auto& [client, w] : watches_)
        if (!w.open.isEmpty())
            if (auto unit = unitOf(w.open)) wanted.insert(std::move(unit));
    for (const auto& unit : wanted_)
        if (!wanted.contains(unit)) units_.want(*unit, false);
    for (const auto& unit : wanted)
        if (!wanted_.contains(unit)) units_.want(*unit, true);
    wanted_ = std::move(wanted);
}

QString RemoteHub::unreadReason(const Equipment& unit) const {
    if (units_.reading(unit)) return RemoteWords::reading();
    if (const auto failure = units_.readFailure(unit)) {
        if (*failure == UnitTransfer::Result::PortFailed) return RemoteWords::portFailed();
        if (*failure == UnitTransfer::Result::HandshakeTimeout) return RemoteWords::noAnswer();
        return RemoteWords::readFailed();
    }
    return RemoteWords::notRead();
}

void RemoteHub::subscribe(RemoteClient* client, const ClientMessage& m) {
    Watch& w = watches_[client];
    w.all = m.units.contains(QStringLiteral("*"));
    w.units = QSet<QString>(m.units.begin(), m.units.end());
    w.meterRate = std::min(m.meterRate, int(kMaxMeterRate));
    w.nextMeters = clock_.elapsed();
    for (const auto& unit : units_.units()) {
        const QString id = idOf(*unit);
        if (!watches(w, id)) continue;
        if (UnitView* view = viewOf(*unit)) client->send(snapshot(id, *view));
    }
    for (const QString& id : std::as_const(w.units))
        if (id != QLatin1String("*") && !unitOf(id)) client->send(goneMessage(id));
    updateMeterWatch();
}

void RemoteHub::set(RemoteClient* client, const ClientMessage& m) {
    const QString key = (m.group.isEmpty() ? "unit:" + m.unit : "group:" + m.group) + '/' + m.path;
    Control& c = controls_[key];
    const bool recent = c.applied.isValid() && c.applied.elapsed() < kMergeMs;
    if (m.final || !recent) {
        if (c.pending) {  // an older drag value that did not go out yet
            if (c.pending->first)
                c.pending->first->send(
                    {{"type", "ack"}, {"id", c.pending->second.requestId}, {"merged", true}});
            c.pending.reset();
        }
        c.applied.start();
        return apply(client, m);
    }
    if (c.pending && c.pending->first)
        c.pending->first->send(
            {{"type", "ack"}, {"id", c.pending->second.requestId}, {"merged", true}});
    c.pending.emplace(client, m);
    if (!c.timer) {
        c.timer = std::make_unique<QTimer>();
        c.timer->setSingleShot(true);
        connect(c.timer.get(), &QTimer::timeout, this, [this, key] {
            Control& control = controls_[key];
            if (!control.pending) return;
            auto [sender, message] = std::move(*control.pending);
            control.pending.reset();
            control.applied.start();
            if (sender) apply(sender, message);
        });
    }
    if (!c.timer->isActive()) c.timer->start(int(kMergeMs - c.applied.elapsed()));
}

void RemoteHub::apply(RemoteClient* client, const ClientMessage& m) {
    const auto nack = [&](const QString& reason) {
        client->send({{"type", "nack"}, {"id", m.requestId}, {"reason", reason}});
    };
    if (!m.group.isEmpty())
        return groups_ ? client->send(groups_->set(m)) : nack(RemoteWords::noGroup(m.group));
    const auto unit = unitOf(m.unit);
    if (!unit)
        return client->send({{"type", "nack"},
                             {"id", m.requestId},
                             {"reason", RemoteWords::noUnit(m.unit)},
                             {"unit", m.unit},
                             {"gone", true}});
    if (const auto refused = setValues(*unit, {{m.path, m.value}},
                                       {ParamEdit::Origin::Kind::Remote, client->id(), {}}))
        return nack(*refused);
    client->send(
        {{"type", "ack"}, {"id", m.requestId}, {"revision", double(viewOf(*unit)->revision)}});
}

std::optional<QString> RemoteHub::setValues(const Equipment& unit, const Values& values,
                                            const ParamEdit::Origin& origin) {
    if (units_.busy(unit)) return RemoteWords::busy();
    UnitView* view = viewOf(unit);
    if (!view) return unreadReason(unit);
    ParamEdit& edit = *view->edit;
    ModeRecord record = edit.image().record();
    ParamEdit::Subject subject;  // several settings: one restore of them all
    for (const auto& [path, value] : values) {
        const auto place = presetpath::placeOf(path);
        const auto channel = place ? withValue(view->preset, *place, value) : std::nullopt;
        if (!channel) return RemoteWords::notASetting(path);
        PresetRead read = readPresetSetting(*channel, place->setting, record, edit.modelCode());
        if (!read.ok()) {
            const PresetIssue& issue = read.errors.front();
            return issueWords_ ? issueWords_(issue)
                               : RemoteWords::notTaken(QString::fromStdString(issue.path));
        }
        record = std::move(read.record);
        if (values.size() == 1) subject = place->subject;
    }
    const ParamEdit::OriginScope scope(edit, origin);
    edit.restore(record, std::nullopt, subject);
    return std::nullopt;
}

std::optional<QJsonObject> RemoteHub::channelOf(const Equipment& unit, bool input, int index) {
    UnitView* view = viewOf(unit);
    const uint32_t model = unit.modelCode();
    if (!view || index < 0 || index >= (input ? inputCount(model) : outputCount(model)))
        return std::nullopt;
    return presetChannelJson(view->edit->image().record(), model, input, index);
}

void RemoteHub::setOscMeterRate(int readingsPerSecond) {
    if (oscMeterRate_ == readingsPerSecond) return;
    oscMeterRate_ = readingsPerSecond;
    updateMeterWatch();
}

void RemoteHub::setOscListening(bool listening) {
    oscListening_ = listening;
    if (listening) lookAtUnits();  // every unit's edits are followed from now on
}

void RemoteHub::edited(const QString& id, const ParamEdit::Result& result) {
    UnitView& view = views_[id];
    if (!view.edit) return;
    const QJsonObject values = takeChanges(view, result.changes);
    if (values.isEmpty()) return;
    emit valuesChanged(id, values);
    ++view.revision;
    tellWatchers(id, {{"type", "changed"},
                      {"unit", id},
                      {"revision", double(view.revision)},
                      {"by", byJson(result.origin)},
                      {"values", values},
                      {"curves", curvesOf(view.edit->image().record(), curveChannels(values))}});
}

QJsonObject RemoteHub::presetDifferences(const QJsonObject& before, const QJsonObject& after) {
    QJsonObject values;
    for (const char* name : {"inputs", "outputs"}) {
        const QString list = QString::fromLatin1(name);
        const QJsonArray was = before.value(list).toArray(), now = after.value(list).toArray();
        for (qsizetype i = 0; i < std::min(was.size(), now.size()); ++i)
            presetpath::channelDifferences(QStringLiteral("%1[%2].").arg(list).arg(i),
                                           was.at(i).toObject(), now.at(i).toObject(), values);
    }
    return values;
}

QJsonObject RemoteHub::takeChanges(UnitView& view, const std::vector<ParamEdit::Change>& runs) {
    const uint32_t model = view.edit->modelCode();
    std::set<std::pair<cmd::Side, int>> channels;
    for (const ParamEdit::Subject& s : changedParams(runs))
        channels.emplace(s.channel.side, s.channel.number - 1);
    QJsonObject values;
    for (const auto& [side, index] : channels) {
        const bool input = side == cmd::Side::Input;
        const QString list = input ? QStringLiteral("inputs") : QStringLiteral("outputs");
        QJsonArray told = view.preset.value(list).toArray();
        if (index >= told.size()) continue;
        const QJsonObject now = presetChannelJson(view.edit->image().record(), model, input, index);
        presetpath::channelDifferences(QStringLiteral("%1[%2].").arg(list).arg(index),
                                       told.at(index).toObject(), now, values);
        told.replace(index, now);
        view.preset.insert(list, told);
    }
    return values;
}

void RemoteHub::tellWatchers(const QString& id, const QJsonObject& message) {
    for (auto& [client, w] : watches_)
        if (watches(w, id)) client->send(message);
}

RemoteHub::UnitView* RemoteHub::viewOf(const Equipment& unit) {
    const QString id = idOf(unit);
    UnitView& view = views_[id];
    ParamEdit* edit = units_.editOf(unit);
    if (edit != view.edit) {
        view.listening.reset();
        view.edit = edit;
        if (edit) {
            view.preset = presetOf(*edit);
            view.listening =
                edit->listen([this, id](const ParamEdit::Result& result) { edited(id, result); });
        }
    }
    return view.edit ? &view : nullptr;
}

QJsonObject RemoteHub::snapshot(const QString& id, UnitView& view) {
    view.preset = presetOf(*view.edit);
    const ModeRecord& record = view.edit->image().record();
    return {{"type", "snapshot"},
            {"unit", id},
            {"revision", double(view.revision)},
            {"preset", view.preset},
            {"curves", curvesOf(record, allChannels(view.edit->modelCode()))}};
}

void RemoteHub::editPathChanged(const QString& id, UnitView& view) {
    // Whatever changed while no one listened reaches the clients as one snapshot.
    if (view.edit) tellWatchers(id, snapshot(id, view));
}

void RemoteHub::lookAtUnits() {
    if (groups_) groups_->look();  // a member's unit may be away or back
    bool listChanged = ids_.size() != size_t(units_.units().size());
    for (const auto& unit : units_.units()) {
        const QString id = idOf(*unit);
        UnitView& view = views_[id];
        const QJsonObject entry = unitJson(*unit);
        listChanged |= entry != view.shown;
        view.shown = entry;
        const bool busy = entry.value("busy").toBool();
        const ParamEdit* before = view.edit;
        viewOf(*unit);
        if (busy != view.busy) {
            view.busy = busy;
            tellWatchers(id, {{"type", "busy"}, {"unit", id}, {"busy", busy}});
            if (!busy) editPathChanged(id, view);
        } else if (view.edit != before) {
            editPathChanged(id, view);
        }
    }
    if (!listChanged) return;
    emit unitsShown();
    // Units that left the list lose their ids; whoever watched one is told.
    for (const QString& id : ids_.keepOnly(units_.units())) tellWatchers(id, goneMessage(id));
    const QJsonObject message{{"type", "units"}, {"units", unitsJson()}};
    for (RemoteClient* c : clients_) c->send(message);
}

void RemoteHub::updateMeterWatch() {
    bool any = false;
    for (const auto& unit : units_.units()) {
        const QString id = idOf(*unit);
        int rate = oscMeterRate_;  // the fastest of the clients that watch it
        for (const auto& [client, w] : watches_)
            if (watches(w, id)) rate = std::max(rate, w.meterRate);
        any |= rate > 0;
        UnitView& view = views_[id];
        if (view.meters != rate) units_.watchMeters(*unit, rate);
        view.meters = rate;
    }
    if (any) meterTimer_.start(0);  // sendMeters() then waits for the next client due
    if (!any) meterTimer_.stop();
}

void RemoteHub::sendMeters() {
    const qint64 now = clock_.elapsed();
    std::map<QString, QJsonObject> readings;
    if (std::any_of(watches_.begin(), watches_.end(), [&](const auto& cw) {
            return cw.second.meterRate > 0 && now >= cw.second.nextMeters;
        }))
        readings = meterReadings();
    std::optional<qint64> next;
    for (auto& [client, w] : watches_) {
        if (w.meterRate <= 0) continue;
        if (now >= w.nextMeters) {
            // On a grid of the period, so that clients at one rate share the timer's wake-ups.
            const qint64 period = 1000 / w.meterRate;
            w.nextMeters = (now / period + 1) * period;
            if (client->backlog() <= kMeterBacklog)  // behind: this reading is skipped
                for (const auto& [id, message] : readings)
                    if (watches(w, id)) client->send(message);
        }
        next = std::min(next.value_or(w.nextMeters), w.nextMeters);
    }
    if (next) meterTimer_.start(int(*next - now));
}

std::map<QString, QJsonObject> RemoteHub::meterReadings() {
    std::map<QString, QJsonObject> readings;
    for (const auto& unit : units_.units()) {
        const auto levels = units_.meters(*unit);
        if (!levels) continue;
        const uint32_t model = unit->modelCode();
        QJsonArray inputs, outputs;
        for (int i = 0; i < inputCount(model); ++i) inputs.append((*levels)[size_t(i)]);
        for (int i = 0; i < outputCount(model); ++i) outputs.append((*levels)[size_t(4 + i)]);
        const QString id = idOf(*unit);
        readings[id] = {{"type", "meters"}, {"unit", id}, {"inputs", inputs}, {"outputs", outputs}};
    }
    return readings;
}

QString RemoteHub::idOf(const Equipment& unit) {
    return ids_.idOf(unit, units_.units());
}

std::shared_ptr<Equipment> RemoteHub::unitOf(const QString& id) {
    return ids_.unitOf(id, units_.units());
}

QJsonObject RemoteHub::goneMessage(const QString& id) {
    return {{"type", "gone"}, {"unit", id}, {"reason", RemoteWords::noUnit(id)}};
}

QJsonArray RemoteHub::unitsJson() {
    QJsonArray list;
    for (const auto& unit : units_.units()) list.append(unitJson(*unit));
    return list;
}

QJsonObject RemoteHub::unitJson(const Equipment& unit) {
    const bool serial = unit.hasFlag(linkflag::kSerial);
    QString state = QStringLiteral("online");
    const std::optional<int> reading = units_.reading(unit);
    if (reading)
        state = QStringLiteral("reading");
    else if (!unit.hasFlag(linkflag::kAvailable | linkflag::kParamsRead))
        state = QStringLiteral("offline");
    else if (unit.notAnswering())
        state = QStringLiteral("not-answering");
    QJsonObject entry{
        {"id", idOf(unit)},
        {"model", QString::fromStdString(unit.modelName())},
        {"name", QString::fromStdString(unpaddedUnitText(unit.deviceName()))},
        {"transport", serial ? "serial" : "udp"},
        {"address", QString::fromStdString(serial ? unit.portName() : unit.addressText())},
        {"state", state},
        {"engineering", unit.hasFlag(linkflag::kEngineering)},
        {"busy", units_.busy(unit)}};
    if (reading) entry.insert("progress", *reading);
    if (units_.reconnecting(unit)) entry.insert("reconnecting", true);
    if (const auto count = units_.differs(unit)) entry.insert("differs", *count);
    if (units_.readFailure(unit)) entry.insert("failure", unreadReason(unit));
    return entry;
}

void RemoteHub::setAlarms(Alarms* alarms) {
    for (const auto& c : {alarmsChanged_, alarmRaised_, alarmCleared_}) disconnect(c);
    alarms_ = alarms;
    if (!alarms_) return;
    alarmsChanged_ = connect(alarms_, &Alarms::changed, this, [this] {
        const QJsonObject message = alarmsMessage();
        for (RemoteClient* c : clients_) c->send(message);
    });
    alarmRaised_ = connect(alarms_, &Alarms::raised, this,
                           [this](const Alarm& a) { emit alarmTold(a, true); });
    alarmCleared_ = connect(alarms_, &Alarms::cleared, this,
                            [this](const Alarm& a) { emit alarmTold(a, false); });
}

QJsonObject RemoteHub::alarmsMessage() {
    QJsonArray list;
    if (alarms_)
        for (const Alarm& a : alarms_->active()) list.append(hubreport::alarmJson(*this, a));
    return {{"type", "alarms"},
            {"alarms", list},
            {"count", alarms_ ? alarms_->count() : 0},
            {"new", alarms_ ? alarms_->newCount() : 0}};
}

RemoteServer::Reply RemoteHub::api(const QByteArray& path) {
    const auto json = [](const auto& value) {
        return QJsonDocument(value).toJson(QJsonDocument::Compact);
    };
    if (path == "/metrics")
        return {200, hubreport::metricsText(*this), "text/plain; version=0.0.4; charset=utf-8"};
    if (path == "/api/v1/status") return {200, json(hubreport::statusJson(*this))};
    if (path == "/api/v1/units") return {200, json(unitsJson())};
    const QByteArray prefix = "/api/v1/units/";
    if (!path.startsWith(prefix)) return {404, {}};
    // The id percent-encoded as a URL's path segment, or as it is.
    const QString id = QUrl::fromPercentEncoding(path.mid(prefix.size()));
    const auto unit = unitOf(id);
    if (!unit)
        return {404, json(QJsonObject{{"error", "gone"}, {"reason", RemoteWords::noUnit(id)}})};
    UnitView* view = viewOf(*unit);
    if (!view) return {409, {}};
    return {200, json(QJsonObject{{"revision", double(view->revision)},
                                  {"preset", presetOf(*view->edit)}})};
}

}  // namespace qel
