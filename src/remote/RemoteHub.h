// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonObject>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include "device/Alarms.h"
#include "device/ParamEdit.h"
#include "device/PresetJson.h"
#include "remote/ClientMessage.h"
#include "remote/ListenSettings.h"
#include "remote/RemoteAuth.h"
#include "remote/RemoteServer.h"
#include "remote/UnitIds.h"

namespace qel {

class Alarms;
class EditCounts;
class Equipment;
class OscServer;
class RemoteClient;
class RemoteGroups;
class RemoteUnits;

// The remote control: serves the page, pairs clients, takes their edits through each unit's
// edit path and tells every client of every edit, whoever made it; the program's groups
// likewise, when it has them. Lives on the GUI thread's event loop, as every edit must.
class RemoteHub : public QObject {
    Q_OBJECT
public:
    static constexpr int kMergeMs = 40;       // a dragged control's sets within this merge
    static constexpr int kMaxMeterRate = 25;  // readings a second
    static constexpr qint64 kMeterBacklog = 32 * 1024;  // a client this far behind skips meters

    struct Settings : ListenSettings {
        Settings() { port = RemoteServer::kDefaultPort; }
        static Settings load(const QString& configPath);
        void save(const QString& configPath) const;
    };
    static constexpr int kPairingsLookMs = 500;  // how often the file's pairings are read again

    // A pairing, with its connections open now.
    struct Pairing {
        QByteArray id;
        QString label;
        QDateTime since, lastSeen;
        std::vector<int> clients;
        QStringList peers;
    };

    // How a front end words a preset's problem for the person who made the edit.
    using IssueWords = std::function<QString(const PresetIssue&)>;

    RemoteHub(RemoteUnits& units, const QString& configPath, QObject* parent = nullptr);
    ~RemoteHub() override;

    bool start(const Settings& settings);
    void stop();
    bool running() const { return server_.isListening(); }
    QString errorString() const { return error_; }
    // The address a tablet opens to pair, with the one-time code.
    QString pairingUrl() const;
    // Every pairing kept, connected or not, oldest first.
    std::vector<Pairing> pairings() const;
    // The name the page of a connected client gave its pairing; empty when none is known.
    QString clientLabel(int client) const;
    // Forgets the pairing and closes its connections; false when there is none of that id.
    bool unpair(const QByteArray& id) { return auth_.revoke(id); }
    void setLanguage(const QString& language) { language_ = language; }
    void setIssueWords(IssueWords words) { issueWords_ = std::move(words); }

    // Looks at the units now: a changed list or state goes to every client, a unit's new edit
    // path (its session opened) and the end of a transfer send a snapshot. The units' holder
    // tells of every change at once: its sessions', its units' own (a unit that stops
    // answering, is lost, is renamed) and its list's.
    void lookAtUnits();

    RemoteAuth& auth() { return auth_; }
    RemoteServer& server() { return server_; }
    RemoteUnits& units() { return units_; }

    // The program's alarms (null: none): every client is sent the list as it changes, a
    // client that may edit acknowledges them, and /api/v1/status and /metrics show them.
    void setAlarms(Alarms* alarms);
    Alarms* alarms() const { return alarms_; }
    // The edits counted for /metrics (null: none).
    void setEditCounts(const EditCounts* counts) { editCounts_ = counts; }
    const EditCounts* editCounts() const { return editCounts_; }
    // {"type":"alarms","alarms":[...],"count":N,"new":N}
    QJsonObject alarmsMessage();
    // The id a unit has on the API: the same after a restart (see UnitIds).
    QString idOf(const Equipment& unit);
    // Null when no listed unit has the id.
    std::shared_ptr<Equipment> unitOf(const QString& id);
    // The groups the clients see; null: the program has none.
    RemoteGroups* groups() { return groups_.get(); }
    // The OSC server beside the WebSocket, on the same units, sessions and groups.
    OscServer& osc() { return *osc_; }

    // Values of a unit's settings by preset path ("outputs[2].gainDb"), put on the unit as
    // one edit of its edit path made by origin; every front end's sets come this way. The
    // values are checked and taken to the unit's steps as a preset is read. The reason (in
    // the program's language) when refused; then nothing changed.
    using Values = std::vector<std::pair<QString, QJsonValue>>;
    std::optional<QString> setValues(const Equipment& unit, const Values& values,
                                     const ParamEdit::Origin& origin);
    // One channel's object of the preset the unit holds now (index 0-based); none while its
    // settings are unread. Starts listening to its edits (valuesChanged).
    std::optional<QJsonObject> channelOf(const Equipment& unit, bool input, int index);
    // The list of units as the API gives it (id, model, name, state ...).
    QJsonArray unitsJson();
    // The units' meter levels are read this many times a second for OSC's subscribers too.
    void setOscMeterRate(int readingsPerSecond);
    // Front ends beside the WebSocket listen: every unit's edits and states are followed.
    void setOscListening(bool listening);

signals:
    // A unit's settings changed (by anyone): the changed values, path to value, as the
    // clients' "changed" message gives them.
    void valuesChanged(const QString& id, const QJsonObject& values);
    // The units' list or one's state changed (unitsJson()).
    void unitsShown();
    // An alarm of the program's alarms was raised, or cleared.
    void alarmTold(const qel::Alarm& alarm, bool raised);
    // A client came or went, or a pairing was made or dropped.
    void clientsChanged();
    // The pairing code changed: pairingUrl() is another one.
    void pairingCodeChanged();

private:
    struct UnitView {
        ParamEdit* edit = nullptr;
        ParamEdit::Subscription listening;
        quint64 revision = 0;
        QJsonObject preset;  // as the clients were last told
        bool busy = false;
        int meters = 0;     // readings a second the clients that watch its meters ask for
        QJsonObject shown;  // its entry in the unit list as the clients were last told
    };
    struct Watch {
        QSet<QString> units;
        QString open;  // the unit the client shows
        bool all = false;
        int meterRate = 0;
        qint64 nextMeters = 0;  // on clock_
    };
    struct Control {  // one control of one unit, while it is dragged
        QElapsedTimer applied;
        std::optional<std::pair<QPointer<RemoteClient>, ClientMessage>> pending;
        std::unique_ptr<QTimer> timer;
    };

    void open(QWebSocket* socket);
    // Closes the clients whose pairing is gone (dropped here or by another program).
    void closeUnpaired();
    void handle(RemoteClient* client, const ClientMessage& m);
    void subscribe(RemoteClient* client, const ClientMessage& m);
    void set(RemoteClient* client, const ClientMessage& m);
    void apply(RemoteClient* client, const ClientMessage& m);
    void edited(const QString& id, const ParamEdit::Result& result);
    // The values of the channels the runs changed that differ from what the clients were
    // told, path to value; the view's preset takes them.
    // The values of two presets' channels that differ, path to value (as "changed" gives them).
    static QJsonObject presetDifferences(const QJsonObject& before, const QJsonObject& after);
    QJsonObject takeChanges(UnitView& view, const std::vector<ParamEdit::Change>& runs);
    void editPathChanged(const QString& id, UnitView& view);
    // Sends the readings to the clients due for them, then waits for the next one due.
    void sendMeters();
    std::map<QString, QJsonObject> meterReadings();
    void updateMeterWatch();
    // The units some client shows are held for the clients: connected and read if need be.
    void updateWanted();
    // Why a set cannot reach a unit without settings read, for the person who made it.
    QString unreadReason(const Equipment& unit) const;
    bool watches(const Watch& w, const QString& id) const { return w.all || w.units.contains(id); }
    void tellWatchers(const QString& id, const QJsonObject& message);
    // The unit's view, listening to its current edit path; null when its settings are unread.
    UnitView* viewOf(const Equipment& unit);
    QJsonObject snapshot(const QString& id, UnitView& view);
    // Tells a client that no listed unit has the id it named.
    static QJsonObject goneMessage(const QString& id);
    RemoteServer::Reply api(const QByteArray& path);
    QJsonObject unitJson(const Equipment& unit);
    // Someone follows the units: a WebSocket client or an OSC subscriber.
    bool followed() const { return !clients_.empty() || oscListening_; }

    RemoteUnits& units_;
    RemoteAuth auth_;
    RemoteServer server_;
    Settings settings_;
    QString error_;
    QString language_ = QStringLiteral("zh");
    IssueWords issueWords_;
    std::vector<RemoteClient*> clients_;
    std::map<RemoteClient*, Watch> watches_;
    std::map<QString, UnitView> views_;
    std::map<QString, Control> controls_;   // by unit id or group name, and path
    std::unique_ptr<RemoteGroups> groups_;  // none: the program has no groups
    QTimer meterTimer_;
    QTimer pairingsTimer_;
    QElapsedTimer clock_;
    int nextClient_ = 1;
    std::set<std::shared_ptr<Equipment>> wanted_;
    UnitIds ids_;
    int oscMeterRate_ = 0;
    bool oscListening_ = false;
    Alarms* alarms_ = nullptr;
    const EditCounts* editCounts_ = nullptr;
    QMetaObject::Connection alarmsChanged_, alarmRaised_, alarmCleared_;
    std::unique_ptr<OscServer> osc_;  // goes first: it reaches the rest
};

}  // namespace qel
