// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <functional>
#include <vector>

namespace qel {

// Who may use the remote. The program shows a one-time pairing code (in the page's address);
// a page trades it for a session token that the browser keeps. Only a hash of each token is
// stored, in the configuration file, so that a paired tablet stays paired across restarts
// until it is dropped. The file is the list's home: another program on it (quellmar-cli
// unpair, a second copy) may change it, and every change here is made to what it holds now.
class RemoteAuth {
public:
    static constexpr int kMaxPaired = 32;     // the oldest pairing goes beyond this
    static constexpr int kMaxWrongCodes = 5;  // then the pairing code is renewed
    static constexpr int kMaxLabel = 80;
    static constexpr qint64 kSeenSaveSecs = 10;  // a newer last-seen time is only kept in memory

    struct Paired {
        QByteArray id;  // the first characters of the token's hash, for the list
        QString label;  // the name the page gave it
        QDateTime since;
        QDateTime lastSeen;  // invalid until it came back once after pairing
    };

    // An empty path keeps pairings in memory only.
    explicit RemoteAuth(QString configPath = {});

    QString pairingCode() const { return code_; }
    void renewPairingCode();
    // Called whenever the pairing code changes (spent, renewed or guessed wrong too often).
    void setCodeRenewed(std::function<void()> renewed) { renewed_ = std::move(renewed); }
    // Called whenever a pairing is made or dropped, here or (seen on reload) by another program.
    void setListChanged(std::function<void()> changed) { listChanged_ = std::move(changed); }
    // Trades the pairing code for a new token and spends the code; an empty result for a
    // wrong code (after kMaxWrongCodes of them the code is renewed).
    QString pair(const QString& code, const QString& label);
    bool accepts(const QString& token) const { return !idOf(token).isEmpty(); }
    // The pairing's id for a token, empty when not paired.
    QByteArray idOf(const QString& token) const;
    std::vector<Paired> paired() const;
    // Forgets the pairing; false when there is none of that id.
    bool revoke(const QByteArray& id);
    // The pairing was in touch now.
    void seen(const QByteArray& id);
    // Takes the list as the file holds it now; true when pairings went or came.
    bool reload();

private:
    struct Entry {
        QByteArray hash;  // hex SHA-256 of the token
        QString label;
        QDateTime since;
        QDateTime lastSeen;
        QByteArray id() const;
    };
    static QByteArray hashOf(const QString& token);
    std::vector<Entry> load() const;
    void save() const;

    QString configPath_;
    QString code_;
    int wrongCodes_ = 0;
    std::function<void()> renewed_;
    std::function<void()> listChanged_;
    std::vector<Entry> entries_;
};

}  // namespace qel
