// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <vector>

namespace qel {

// Who may use the remote. The program shows a one-time pairing code (in the page's address);
// a page trades it for a session token that the browser keeps. Only a hash of each token is
// stored, in the configuration file, so that a paired tablet stays paired across restarts
// until it is dropped.
class RemoteAuth {
public:
    static constexpr int kMaxPaired = 32;      // the oldest pairing goes beyond this
    static constexpr int kMaxWrongCodes = 5;   // then the pairing code is renewed

    struct Paired {
        QByteArray id;  // the first characters of the token's hash, for the list
        QString label;  // what the page said it is (browser, device)
        QDateTime since;
    };

    // An empty path keeps pairings in memory only.
    explicit RemoteAuth(QString configPath = {});

    QString pairingCode() const { return code_; }
    void renewPairingCode();
    // Trades the pairing code for a new token and spends the code; an empty result for a
    // wrong code (after kMaxWrongCodes of them the code is renewed).
    QString pair(const QString& code, const QString& label);
    bool accepts(const QString& token) const;
    // The pairing's id for a token, empty when not paired.
    QByteArray idOf(const QString& token) const;
    std::vector<Paired> paired() const { return paired_; }
    void revoke(const QByteArray& id);

private:
    struct Entry {
        QByteArray hash;  // hex SHA-256 of the token
        QString label;
        QDateTime since;
    };
    static QByteArray hashOf(const QString& token);
    void load();
    void save() const;

    QString configPath_;
    QString code_;
    int wrongCodes_ = 0;
    std::vector<Entry> entries_;
    std::vector<Paired> paired_;
    void refreshList();
};

}  // namespace qel
