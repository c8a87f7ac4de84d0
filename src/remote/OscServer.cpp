// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "remote/OscServer.h"

#include <arpa/inet.h>
#include <lo/lo.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <QJsonArray>
#include <QNetworkInterface>
#include <QPointer>
#include <QScopeGuard>
#include <QSettings>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "device/ModeImage.h"
#include "device/Models.h"
#include "device/ParamEdit.h"
#include "device/UnitText.h"
#include "link/Equipment.h"
#include "remote/ClientMessage.h"
#include "remote/OscAddress.h"
#include "remote/RemoteGroups.h"
#include "remote/RemoteHub.h"
#include "remote/RemoteUnits.h"
#include "remote/RemoteWords.h"

namespace qel {

namespace {

// An argument as a number: ints, floats, doubles, 64-bit ints, true and false. liblo's
// arguments sit at 4-byte places, so they are copied out rather than read in place.
std::optional<double> numberOf(char type, const lo_arg* a) {
    const auto read = [a](auto value) {
        std::memcpy(&value, a, sizeof value);
        return value;
    };
    switch (type) {
        case LO_INT32:
            return read(int32_t{});
        case LO_FLOAT: {
            const float f = read(float{});
            return std::isfinite(f) ? std::optional<double>(f) : std::nullopt;
        }
        case LO_DOUBLE: {
            const double d = read(double{});
            return std::isfinite(d) ? std::optional<double>(d) : std::nullopt;
        }
        case LO_INT64:
            return double(read(int64_t{}));
        case LO_TRUE:
            return 1;
        case LO_FALSE:
            return 0;
        default:
            return std::nullopt;
    }
}

// A group's value as an address names it, and as the hub's groups name it.
struct GroupField {
    const char* tail;
    const char* path;
    osc::ValueType type;
};
constexpr GroupField kGroupFields[] = {{"gain", "gainDb", osc::ValueType::Float},
                                       {"gain/step", "gainStepDb", osc::ValueType::Float},
                                       {"mute", "mute", osc::ValueType::Switch},
                                       {"polarity", "polarity", osc::ValueType::Switch},
                                       {"delay", "delayMs", osc::ValueType::Float}};

// A socket bound to address:port for liblo's server to read; -1 with errno else.
int boundSocket(const QHostAddress& address, quint16 port) {
    const bool v6 = address.protocol() == QAbstractSocket::IPv6Protocol;
    const int fd = ::socket(v6 ? AF_INET6 : AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    sockaddr_storage storage{};
    socklen_t length = 0;
    if (v6) {
        auto* a = reinterpret_cast<sockaddr_in6*>(&storage);
        a->sin6_family = AF_INET6;
        a->sin6_port = htons(port);
        const Q_IPV6ADDR bytes = address.toIPv6Address();
        std::copy(std::begin(bytes.c), std::end(bytes.c), a->sin6_addr.s6_addr);
        length = sizeof(sockaddr_in6);
    } else {
        auto* a = reinterpret_cast<sockaddr_in*>(&storage);
        a->sin_family = AF_INET;
        a->sin_port = htons(port);
        a->sin_addr.s_addr = htonl(address.toIPv4Address());
        length = sizeof(sockaddr_in);
    }
    if (::bind(fd, reinterpret_cast<sockaddr*>(&storage), length) != 0) {
        const int saved = errno;
        ::close(fd);
        errno = saved;
        return -1;
    }
    return fd;
}

quint16 boundPort(int fd) {
    sockaddr_storage storage{};
    socklen_t length = sizeof(storage);
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&storage), &length) != 0) return 0;
    if (storage.ss_family == AF_INET6)
        return ntohs(reinterpret_cast<sockaddr_in6*>(&storage)->sin6_port);
    return ntohs(reinterpret_cast<sockaddr_in*>(&storage)->sin_port);
}

void quiet(int, const char*, const char*) {}

// An owned message; liblo's sends do not take it.
struct MessageHolder {
    lo_message m = lo_message_new();
    ~MessageHolder() { lo_message_free(m); }
};

void addValue(lo_message m, osc::ValueType type, double value) {
    if (type == osc::ValueType::Switch)
        lo_message_add_int32(m, value != 0 ? 1 : 0);
    else
        lo_message_add_float(m, float(value));
}

}  // namespace

OscServer::Settings OscServer::Settings::load(const QString& configPath) {
    const QSettings s(configPath, QSettings::IniFormat);
    Settings r;
    r.ListenSettings::load(s, QStringLiteral("Osc"));
    r.allow = s.value("Osc/Allow").toStringList();
    return r;
}

void OscServer::Settings::save(const QString& configPath) const {
    QSettings s(configPath, QSettings::IniFormat);
    ListenSettings::save(s, QStringLiteral("Osc"));
    s.setValue("Osc/Allow", allow);
}

QString OscServer::Settings::badNetwork() const {
    for (const QString& network : allow)
        if (QHostAddress::parseSubnet(network.trimmed()).first.isNull()) return network;
    return {};
}

void OscServer::AddressFree::operator()(void* address) const {
    lo_address_free(address);
}

QString OscServer::Peer::text() const {
    return QStringLiteral("%1:%2").arg(host.toString()).arg(port);
}

OscServer::OscServer(RemoteHub& hub, QObject* parent) : QObject(parent), hub_(hub) {
    clock_.start();
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &OscServer::tick);
    connect(&hub_, &RemoteHub::valuesChanged, this, &OscServer::valuesChanged);
    connect(&hub_, &RemoteHub::unitsShown, this, &OscServer::unitsShown);
    connect(&hub_, &RemoteHub::alarmTold, this, &OscServer::alarmTold);
}

OscServer::~OscServer() {
    stop();
}

bool OscServer::start(const Settings& settings) {
    stop();
    settings_ = settings;
    const QHostAddress address(settings.address);
    if (address.isNull()) {
        error_ = QStringLiteral("%1 is not an address").arg(settings.address);
        return false;
    }
    if (const QString bad = settings.badNetwork(); !bad.isEmpty()) {
        error_ = QStringLiteral("%1 is not a network").arg(bad);
        return false;
    }
    const int fd = boundSocket(address, settings.port);
    if (fd < 0) {
        error_ = QString::fromLocal8Bit(strerror(errno));
        return false;
    }
    // liblo binds a port of its own choice on every address; its socket becomes ours, bound
    // where the settings say.
    server_ = lo_server_new_with_proto(nullptr, LO_UDP, quiet);
    if (!server_ || ::dup2(fd, lo_server_get_socket_fd(server_)) < 0) {
        error_ = QStringLiteral("the OSC server could not be made");
        ::close(fd);
        stop();
        return false;
    }
    ::close(fd);
    port_ = boundPort(lo_server_get_socket_fd(server_));
    lo_server_enable_queue(server_, 0, 1);  // a bundle's time tag does not hold it back
    lo_server_add_method(server_, nullptr, nullptr, &OscServer::received, this);
    lo_server_add_bundle_handlers(
        server_,
        [](lo_timetag, void* self) {
            ++static_cast<OscServer*>(self)->bundleDepth_;
            return 0;
        },
        [](void* self) {
            --static_cast<OscServer*>(self)->bundleDepth_;
            return 0;
        },
        this);
    notifier_ =
        std::make_unique<QSocketNotifier>(lo_server_get_socket_fd(server_), QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &OscServer::readPackets);
    error_.clear();
    return true;
}

void OscServer::stop() {
    notifier_.reset();
    subscribers_.clear();
    updateWatch();
    if (server_) lo_server_free(server_);
    server_ = nullptr;
    port_ = 0;
}

std::vector<OscServer::Sender> OscServer::senders() const {
    std::vector<Sender> list;
    for (const auto& [address, s] : senders_) list.push_back(s);
    std::sort(list.begin(), list.end(),
              [](const Sender& a, const Sender& b) { return a.lastSeen > b.lastSeen; });
    return list;
}

bool OscServer::take(const QByteArray& packet, const QHostAddress& host, quint16 port) {
    if (!server_) return false;
    taking_ = Peer{host, port};
    bundleDepth_ = 0;
    QByteArray copy = packet;  // liblo may write into it
    const int used = lo_server_dispatch_data(server_, copy.data(), size_t(copy.size()));
    taking_.reset();
    return used > 0;
}

void OscServer::readPackets() {
    bundleDepth_ = 0;  // a packet liblo gave up on in a bundle did not end it
    // A flood waits for the next turn of the event loop, which the others share.
    for (int i = 0; i < kPacketsPerWake && server_; ++i)
        if (lo_server_recv_noblock(server_, 0) <= 0) break;
}

int OscServer::received(const char* path, const char* types, lo_arg** argv, int argc,
                        lo_message message, void* self) {
    auto* server = static_cast<OscServer*>(self);
    std::optional<Peer> from = server->taking_;
    if (const lo_address source = lo_message_get_source(message); source && !from) {
        const char* host = lo_address_get_hostname(source);
        const char* port = lo_address_get_port(source);
        if (host && port) from = Peer{QHostAddress(QString::fromLatin1(host)), quint16(atoi(port))};
    }
    if (!from || from->host.isNull() || !server->admit(*from)) return 0;
    Message m{path ? QByteArray(path) : QByteArray(), types ? QByteArray(types) : QByteArray(), {}};
    if (server->bundleDepth_ > kMaxBundleDepth)
        return server->error(*from, QString::fromUtf8(m.path), RemoteWords::oscTooDeep()), 0;
    for (int i = 0; i < argc; ++i) m.args.push_back(argv[i]);
    server->handle(m, *from);
    return 0;
}

bool OscServer::admit(const Peer& from) {
    Sender& sender = senders_[from.text()];
    sender.address = from.text();
    sender.lastSeen = QDateTime::currentDateTime();
    if (senders_.size() > size_t(kRecentSenders)) {
        auto oldest = std::min_element(senders_.begin(), senders_.end(), [](auto& a, auto& b) {
            return a.second.lastSeen < b.second.lastSeen;
        });
        senders_.erase(oldest);
    }
    const auto told = qScopeGuard([this] { emit sendersChanged(); });
    if (!allowed(from.host)) {
        ++senders_[from.text()].refused;
        return false;
    }
    auto& [begun, count] = windows_[from.host.toString()];
    const qint64 now = clock_.elapsed();
    if (now - begun >= 1000) {
        begun = now;
        count = 0;
    }
    if (++count > settings_.messagesPerSecond) {
        ++senders_[from.text()].dropped;
        return false;
    }
    ++senders_[from.text()].taken;
    return true;
}

bool OscServer::allowed(const QHostAddress& host) const {
    if (settings_.allow.isEmpty())
        return host.isLoopback() || QNetworkInterface::allAddresses().contains(host);
    for (const QString& network : settings_.allow)
        if (host.isInSubnet(QHostAddress::parseSubnet(network.trimmed()))) return true;
    return false;
}

void OscServer::handle(const Message& m, const Peer& from) {
    const auto parts = osc::partsOf(m.path);
    if (!parts || parts->size() < 2 || !osc::matches(parts->at(0).toUtf8(), "quellmar"))
        return error(from, QString::fromUtf8(m.path), RemoteWords::oscNoAddress());
    const QString& what = parts->at(1);
    if (parts->size() == 2 && what == QLatin1String("subscribe")) return subscribe(m, from);
    if (parts->size() == 2 && what == QLatin1String("units")) return unitList(from);
    if (parts->size() >= 4 && osc::matches(what.toUtf8(), "unit"))
        return unitMessage(m, *parts, from);
    if (parts->size() >= 4 && osc::matches(what.toUtf8(), "group"))
        return groupMessage(m, *parts, from);
    error(from, QString::fromUtf8(m.path), RemoteWords::oscNoAddress());
}

QString OscServer::nameOf(const Equipment& unit) const {
    return osc::addressName(QString::fromStdString(unpaddedUnitText(unit.deviceName())));
}

void OscServer::unitMessage(const Message& m, const QStringList& parts, const Peer& from) {
    const QString address = QString::fromUtf8(m.path);
    const QByteArray name = parts[2].toUtf8();
    std::vector<QByteArray> tail;
    for (qsizetype i = 3; i < parts.size(); ++i) tail.push_back(parts[i].toUtf8());
    std::vector<std::shared_ptr<Equipment>> units;
    for (const auto& unit : hub_.units().units())
        if (osc::matches(name, nameOf(*unit)) || osc::matches(name, hub_.idOf(*unit)))
            units.push_back(unit);
    if (units.empty()) return error(from, address, RemoteWords::noUnit(parts[2]));
    if (tail.size() == 1 && osc::matches(tail[0], "mode")) return modeMessage(m, units, from);
    const bool query = m.args.empty();
    std::optional<double> value;
    if (!query) {
        if (settings_.readOnly) return error(from, address, RemoteWords::watchOnly());
        if (m.args.size() == 1) value = numberOf(m.types.at(0), m.args[0]);
        if (!value) return error(from, address, RemoteWords::oscOneNumber());
    }
    bool any = false;
    for (const auto& unit : units) {
        const QString unitAddress = QStringLiteral("/quellmar/unit/") + nameOf(*unit) + '/';
        RemoteHub::Values values;
        std::vector<const osc::ChannelSetting*> settings;
        for (const osc::ChannelSetting& s : osc::channelSettings(unit->modelCode())) {
            if (size_t(s.tail.size()) != tail.size()) continue;
            bool match = true;
            for (size_t i = 0; i < tail.size() && match; ++i)
                match = osc::matches(tail[i], s.tail[qsizetype(i)]);
            if (match) settings.push_back(&s);
        }
        any |= !settings.empty();
        for (const osc::ChannelSetting* s : settings) {
            const bool input = s->channel.side == cmd::Side::Input;
            if (query) {
                const auto channel = hub_.channelOf(*unit, input, s->channel.number - 1);
                const QString prefix = s->path.section('.', 0, 0);
                const auto v = channel ? osc::oscValue(*s, prefix, *channel) : std::nullopt;
                if (!v) {
                    error(from, unitAddress + s->tail.join('/'), RemoteWords::notRead());
                    break;
                }
                MessageHolder reply;
                addValue(reply.m, s->type, *v);
                send(from, (unitAddress + s->tail.join('/')).toUtf8(), reply.m);
                continue;
            }
            const auto put = osc::presetValue(*s, *value);
            if (!put) return error(from, address, RemoteWords::oscOneNumber());
            values.emplace_back(s->path, *put);
        }
        if (values.empty()) continue;
        // One edit of the unit, however many of its settings the address names.
        const ParamEdit::Origin origin{
            ParamEdit::Origin::Kind::Osc, 0, {}, from.text().toStdString()};
        if (const auto refused = hub_.setValues(*unit, values, origin))
            error(from, unitAddress + QStringList(parts.mid(3)).join('/'), *refused);
    }
    if (!any) error(from, address, RemoteWords::notASetting(address));
}

void OscServer::modeMessage(const Message& m, const std::vector<std::shared_ptr<Equipment>>& units,
                            const Peer& from) {
    const QString address = QString::fromUtf8(m.path);
    std::optional<double> value;
    if (!m.args.empty()) {
        if (settings_.readOnly) return error(from, address, RemoteWords::watchOnly());
        if (m.args.size() == 1) value = numberOf(m.types.at(0), m.args[0]);
        if (!value || *value != std::floor(*value) || *value < 1 ||
            *value > ModeImage::kDeviceModes)
            return error(from, address, RemoteWords::oscModeNumber(ModeImage::kDeviceModes));
    }
    RemoteUnits& held = hub_.units();
    for (const auto& unit : units) {
        const QString at = QStringLiteral("/quellmar/unit/") + nameOf(*unit) + "/mode";
        if (!value) {
            ParamEdit* edit = held.editOf(*unit);
            const uint32_t mode = edit ? edit->image().currentMode() : ModeImage::kDeviceModes;
            if (mode >= uint32_t(ModeImage::kDeviceModes)) {
                error(from, at, RemoteWords::notRead());
                continue;
            }
            MessageHolder reply;
            lo_message_add_int32(reply.m, int32_t(mode) + 1);
            send(from, at.toUtf8(), reply.m);
            continue;
        }
        // The unit takes the mode up and is read again in its session's worker; the new
        // settings reach the subscribers as changes. Only failures are answered.
        const int mode = int(*value);
        const QPointer<OscServer> self(this);
        const auto started = held.recallMode(
            *unit, mode - 1, [self, from, at, mode](RemoteUnits::Recall end) {
                if (!self || end == RemoteUnits::Recall::Recalled) return;
                self->error(from, at,
                            end == RemoteUnits::Recall::Refused ? RemoteWords::recallRefused(mode)
                                                                : RemoteWords::readFailed());
            });
        if (started == RemoteUnits::Recall::Busy)
            error(from, at, RemoteWords::busyWith(held.holder(*unit)));
        else if (started != RemoteUnits::Recall::Started)
            error(from, at, RemoteWords::notRead());
    }
}

void OscServer::groupMessage(const Message& m, const QStringList& parts, const Peer& from) {
    const QString address = QString::fromUtf8(m.path);
    RemoteGroups* groups = hub_.groups();
    if (!groups) return error(from, address, RemoteWords::noGroup(parts[2]));
    const QByteArray pattern = parts[2].toUtf8();
    const QStringList tail = parts.mid(3);
    const QJsonArray list = groups->message().value("groups").toArray();
    bool named = false, any = false;
    std::optional<double> value;
    if (!m.args.empty()) {
        if (settings_.readOnly) return error(from, address, RemoteWords::watchOnly());
        if (m.args.size() == 1) value = numberOf(m.types.at(0), m.args[0]);
        if (!value) return error(from, address, RemoteWords::oscOneNumber());
    }
    for (const QJsonValue& entry : list) {
        const QJsonObject group = entry.toObject();
        const QString name = group.value("name").toString();
        const QString groupAddress = QStringLiteral("/quellmar/group/") + osc::addressName(name);
        if (!osc::matches(pattern, osc::addressName(name))) continue;
        named = true;
        for (const GroupField& f : kGroupFields) {
            const QStringList fieldTail = QString::fromLatin1(f.tail).split('/');
            if (fieldTail.size() != tail.size()) continue;
            bool match = true;
            for (qsizetype i = 0; i < tail.size() && match; ++i)
                match = osc::matches(tail[i].toUtf8(), fieldTail[i]);
            if (!match) continue;
            any = true;
            const QString at = groupAddress + '/' + f.tail;
            const QJsonValue now = group.value(f.path);
            if (!value) {
                if (now.isUndefined()) continue;  // a step has no value of its own
                MessageHolder reply;
                const double number = now.isString() ? double(now == QLatin1String("inverted"))
                                      : now.isBool() ? double(now.toBool())
                                                     : now.toDouble();
                addValue(reply.m, f.type, number);
                send(from, at.toUtf8(), reply.m);
                continue;
            }
            ClientMessage set;
            set.type = ClientMessage::Type::Set;
            set.group = name;
            set.path = QString::fromLatin1(f.path);
            if (f.type == osc::ValueType::Float)
                set.value = *value;
            else if (set.path == QLatin1String("polarity"))
                set.value = *value != 0 ? "inverted" : "normal";
            else
                set.value = *value != 0;
            const QJsonObject answer = groups->set(set);
            if (answer.value("type") != QLatin1String("ack"))
                error(from, at, answer.value("reason").toString());
        }
    }
    if (!named) return error(from, address, RemoteWords::noGroup(parts[2]));
    if (!any) error(from, address, RemoteWords::notASetting(address));
}

void OscServer::subscribe(const Message& m, const Peer& from) {
    std::vector<double> numbers;
    for (size_t i = 0; i < m.args.size(); ++i)
        if (const auto n = numberOf(m.types.at(qsizetype(i)), m.args[i])) numbers.push_back(*n);
    const QString address = QString::fromUtf8(m.path);
    if (numbers.size() != m.args.size() || numbers.size() > 2)
        return error(from, address, RemoteWords::oscSubscribeArgs());
    Peer to = from;
    if (numbers.size() == 2) {
        if (numbers[1] < 1 || numbers[1] > 65535)
            return error(from, address, RemoteWords::oscSubscribeArgs());
        to.port = quint16(numbers[1]);
    }
    auto it = std::find_if(subscribers_.begin(), subscribers_.end(), [&](const Subscriber& s) {
        return s.peer.host == to.host && s.peer.port == to.port;
    });
    if (it == subscribers_.end()) {
        if (int(subscribers_.size()) >= kMaxSubscribers)
            return error(from, address, RemoteWords::oscTooManySubscribers(kMaxSubscribers));
        Subscriber s;
        s.peer = to;
        s.address.reset(lo_address_new(to.host.toString().toUtf8().constData(),
                                       QByteArray::number(to.port).constData()));
        subscribers_.push_back(std::move(s));
        it = subscribers_.end() - 1;
    }
    it->until = clock_.elapsed() + kSubscriptionMs;
    it->meterRate = numbers.empty() ? 0 : int(std::clamp(numbers[0], 0.0, double(kMaxMeterRate)));
    it->nextMeters = clock_.elapsed();
    updateWatch();
    emit sendersChanged();
}

void OscServer::unitList(const Peer& from) {
    MessageHolder reply;
    for (const QJsonValue& entry : hub_.unitsJson()) {
        const QJsonObject u = entry.toObject();
        lo_message_add_string(reply.m, osc::addressName(u.value("name").toString()).toUtf8());
        lo_message_add_string(reply.m, u.value("model").toString().toUtf8());
        lo_message_add_string(reply.m, u.value("state").toString().toUtf8());
    }
    send(from, "/quellmar/units", reply.m);
}

void OscServer::error(const Peer& from, const QString& address, const QString& why) {
    MessageHolder reply;
    lo_message_add_string(reply.m, (address + QStringLiteral(": ") + why).toUtf8().constData());
    send(from, "/quellmar/error", reply.m);
}

void OscServer::send(const Peer& to, const QByteArray& path, lo_message message) {
    if (!server_) return;
    const lo_address address = lo_address_new(to.host.toString().toUtf8().constData(),
                                              QByteArray::number(to.port).constData());
    lo_send_message_from(address, server_, path.constData(), message);
    lo_address_free(address);
}

void OscServer::tellSubscribers(const QByteArray& path, lo_message message) {
    for (const Subscriber& s : subscribers_)
        lo_send_message_from(s.address.get(), server_, path.constData(), message);
}

void OscServer::valuesChanged(const QString& id, const QJsonObject& values) {
    if (subscribers_.empty()) return;
    const auto unit = hub_.unitOf(id);
    if (!unit) return;
    const QString unitAddress = QStringLiteral("/quellmar/unit/") + nameOf(*unit) + '/';
    for (auto it = values.begin(); it != values.end(); ++it)
        for (const osc::ChannelSetting& s : osc::channelSettings(unit->modelCode()))
            if (const auto v = osc::oscValue(s, it.key(), it.value())) {
                MessageHolder message;
                addValue(message.m, s.type, *v);
                tellSubscribers((unitAddress + s.tail.join('/')).toUtf8(), message.m);
            }
}

void OscServer::unitsShown() {
    for (const QJsonValue& entry : hub_.unitsJson()) {
        const QJsonObject u = entry.toObject();
        const QString id = u.value("id").toString(), state = u.value("state").toString();
        QString& told = states_[id];
        if (told == state) continue;
        const bool known = !told.isEmpty();
        told = state;
        if (!known || subscribers_.empty()) continue;
        MessageHolder message;
        lo_message_add_string(message.m, state.toUtf8().constData());
        const QString name = osc::addressName(u.value("name").toString());
        tellSubscribers(("/quellmar/unit/" + name + "/state").toUtf8(), message.m);
    }
}

void OscServer::alarmTold(const Alarm& alarm, bool raised) {
    if (subscribers_.empty()) return;
    for (const auto& unit : hub_.units().units()) {
        if (unit.get() != alarm.unit) continue;
        MessageHolder message;
        lo_message_add_string(message.m, alarm.kindText().toUtf8().constData());
        lo_message_add_string(message.m, alarm.channel.toUtf8().constData());
        lo_message_add_string(message.m, alarm.detail.toUtf8().constData());
        lo_message_add_int32(message.m, raised ? 1 : 0);
        tellSubscribers(("/quellmar/unit/" + nameOf(*unit) + "/alarm").toUtf8(), message.m);
    }
}

void OscServer::tick() {
    const qint64 now = clock_.elapsed();
    if (std::erase_if(subscribers_, [now](const Subscriber& s) { return now >= s.until; })) {
        updateWatch();
        emit sendersChanged();
    }
    std::vector<Subscriber*> due;
    for (Subscriber& s : subscribers_)
        if (s.meterRate > 0 && now >= s.nextMeters) {
            const qint64 period = 1000 / s.meterRate;
            s.nextMeters = (now / period + 1) * period;
            due.push_back(&s);
        }
    if (due.empty()) return;
    for (const auto& unit : hub_.units().units()) {
        const auto levels = hub_.units().meters(*unit);
        if (!levels) continue;
        MessageHolder message;
        const uint32_t model = unit->modelCode();
        const auto add = [&](int slot) {
            const uint8_t level = (*levels)[size_t(slot)];
            lo_message_add_float(message.m, level > 0 ? float(level * 1.5 - 30) : float(kNoLevel));
        };
        for (int i = 0; i < inputCount(model); ++i) add(i);
        for (int i = 0; i < outputCount(model); ++i) add(4 + i);
        const QByteArray path = ("/quellmar/unit/" + nameOf(*unit) + "/meters").toUtf8();
        for (const Subscriber* s : due)
            lo_send_message_from(s->address.get(), server_, path.constData(), message.m);
    }
}

void OscServer::updateWatch() {
    int rate = 0;
    for (const Subscriber& s : subscribers_) rate = std::max(rate, s.meterRate);
    hub_.setOscListening(!subscribers_.empty());
    hub_.setOscMeterRate(rate);
    if (subscribers_.empty()) return timer_.stop();
    // The meters' period, or a look now and then for subscriptions that end.
    const int interval = rate > 0 ? 1000 / rate : 250;
    if (!timer_.isActive() || timer_.interval() != interval) timer_.start(interval);
    if (states_.empty()) unitsShown();  // the states from here on are told as they change
}

}  // namespace qel
