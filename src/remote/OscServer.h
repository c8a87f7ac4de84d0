// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <lo/lo_types.h>
#include <QDateTime>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QJsonObject>
#include <QObject>
#include <QSocketNotifier>
#include <QStringList>
#include <QTimer>
#include <map>
#include <memory>
#include <optional>
#include <type_traits>
#include <vector>

#include "remote/ListenSettings.h"

namespace qel {

struct Alarm;
class Equipment;
class RemoteHub;

// OSC 1.0 over UDP beside the hub's WebSocket: consoles, button panels and cue lists set and
// ask for the units' values and the groups', and subscribe to their changes and meters (the
// addresses: docs/osc.md). liblo reads and writes the packets; its server object is read here
// through a socket notifier on the event loop, never by a thread of its own. Every set goes
// through the hub to the unit's edit path, made by "OSC <sender>". Off until started; only
// senders of the allowed networks are heard. GUI thread only.
class OscServer : public QObject {
    Q_OBJECT
public:
    static constexpr quint16 kDefaultPort = 8741;
    static constexpr int kMaxSubscribers = 8;
    static constexpr int kSubscriptionMs = 10000;   // a subscription not renewed ends
    static constexpr int kMaxMeterRate = 20;        // meter messages a second
    static constexpr int kMessagesPerSecond = 200;  // taken of one sender, the rest dropped
    static constexpr int kPacketsPerWake = 32;      // read before the event loop goes on
    static constexpr int kRecentSenders = 16;
    static constexpr int kMaxBundleDepth = 8;  // messages in bundles nested deeper are refused
    static constexpr double kNoLevel = -100;   // a meter that shows nothing, dB

    // Port 0: any free one. Read-only: sets are refused, queries and subscriptions taken.
    struct Settings : ListenSettings {
        Settings() { port = kDefaultPort; }
        QStringList allow;  // sender networks ("192.168.6.0/24"); empty: this host only
        int messagesPerSecond = kMessagesPerSecond;  // of one sender
        static Settings load(const QString& configPath);
        void save(const QString& configPath) const;
        // The first entry of allow that is no network; empty when every one is.
        QString badNetwork() const;
    };
    // A sender heard lately.
    struct Sender {
        QString address;  // "192.168.6.20:9000"
        QDateTime lastSeen;
        qint64 taken = 0;
        qint64 dropped = 0;  // beyond the rate
        qint64 refused = 0;  // outside the allowed networks: not heard
    };

    explicit OscServer(RemoteHub& hub, QObject* parent = nullptr);
    ~OscServer() override;

    bool start(const Settings& settings);
    void stop();
    bool running() const { return server_ != nullptr; }
    quint16 port() const { return port_; }
    QString errorString() const { return error_; }
    const Settings& settings() const { return settings_; }
    // Most recent first.
    std::vector<Sender> senders() const;
    int subscribers() const { return int(subscribers_.size()); }

    // Takes a packet as if it had come from host:port (the fuzz target's way in); false when
    // it is no OSC packet. Only while running.
    bool take(const QByteArray& packet, const QHostAddress& host, quint16 port);

signals:
    // A sender was heard, or the subscriptions changed.
    void sendersChanged();

private:
    struct Peer {
        QHostAddress host;
        quint16 port = 0;
        QString text() const;
    };
    struct AddressFree {
        void operator()(void* address) const;
    };
    struct Subscriber {
        Peer peer;
        std::unique_ptr<std::remove_pointer_t<lo_address>, AddressFree> address;
        qint64 until = 0;  // on clock_
        int meterRate = 0;
        qint64 nextMeters = 0;
    };
    using Args = std::vector<lo_arg*>;
    struct Message {
        QByteArray path, types;
        Args args;
    };

    static int received(const char* path, const char* types, lo_arg** argv, int argc,
                        lo_message message, void* self);
    void readPackets();
    void handle(const Message& m, const Peer& from);
    // The sender is heard and within its rate; counts it either way.
    bool admit(const Peer& from);
    bool allowed(const QHostAddress& host) const;
    void unitMessage(const Message& m, const QStringList& parts, const Peer& from);
    // Recalls a stored mode of each unit (a number 1..20), or asks which one they hold.
    void modeMessage(const Message& m, const std::vector<std::shared_ptr<Equipment>>& units,
                     const Peer& from);
    void groupMessage(const Message& m, const QStringList& parts, const Peer& from);
    void subscribe(const Message& m, const Peer& from);
    void unitList(const Peer& from);
    void error(const Peer& from, const QString& address, const QString& why);
    // Sends to one peer, or to every subscriber.
    void send(const Peer& to, const QByteArray& path, lo_message message);
    void tellSubscribers(const QByteArray& path, lo_message message);
    void valuesChanged(const QString& id, const QJsonObject& values);
    void unitsShown();
    void alarmTold(const Alarm& alarm, bool raised);
    void tick();
    void updateWatch();
    QString nameOf(const Equipment& unit) const;

    RemoteHub& hub_;
    Settings settings_;
    QString error_;
    lo_server server_ = nullptr;
    quint16 port_ = 0;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::optional<Peer> taking_;  // the sender of the packet take() hands over
    int bundleDepth_ = 0;         // of the message liblo hands over now
    std::vector<Subscriber> subscribers_;
    std::map<QString, Sender> senders_;                  // by "host:port"
    std::map<QString, std::pair<qint64, int>> windows_;  // by host: second begun, messages in it
    std::map<QString, QString> states_;                  // unit id to the state last told
    QTimer timer_;                                       // meters and the ends of subscriptions
    QElapsedTimer clock_;
};

}  // namespace qel
