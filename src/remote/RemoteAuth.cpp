// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "remote/RemoteAuth.h"

#include <QCryptographicHash>
#include <QRandomGenerator>
#include <QSettings>
#include <algorithm>

namespace qel {

namespace {

constexpr int kIdLength = 8;

// Letters and digits that cannot be mistaken for one another when read off a screen.
QString randomCode(int length) {
    static const char kAlphabet[] = "abcdefghjkmnpqrstuvwxyz23456789";
    QString code;
    for (int i = 0; i < length; ++i)
        code += QChar(kAlphabet[QRandomGenerator::system()->bounded(int(sizeof kAlphabet) - 1)]);
    return code;
}

QString randomToken() {
    quint32 words[4];
    QRandomGenerator::system()->fillRange(words);
    return QString::fromLatin1(
        QByteArray(reinterpret_cast<const char*>(words), sizeof words).toHex());
}

}  // namespace

RemoteAuth::RemoteAuth(QString configPath) : configPath_(std::move(configPath)) {
    load();
    renewPairingCode();
}

void RemoteAuth::renewPairingCode() {
    code_ = randomCode(10);
    wrongCodes_ = 0;
}

QString RemoteAuth::pair(const QString& code, const QString& label) {
    if (code.isEmpty()) return {};
    if (code != code_) {
        if (++wrongCodes_ >= kMaxWrongCodes) renewPairingCode();
        return {};
    }
    renewPairingCode();
    const QString token = randomToken();
    entries_.push_back({hashOf(token), label.left(80), QDateTime::currentDateTimeUtc()});
    if (entries_.size() > size_t(kMaxPaired)) entries_.erase(entries_.begin());
    save();
    refreshList();
    return token;
}

bool RemoteAuth::accepts(const QString& token) const { return !idOf(token).isEmpty(); }

QByteArray RemoteAuth::idOf(const QString& token) const {
    if (token.size() != 32) return {};
    const QByteArray hash = hashOf(token);
    const auto it = std::find_if(entries_.begin(), entries_.end(),
                                 [&](const Entry& e) { return e.hash == hash; });
    return it == entries_.end() ? QByteArray() : hash.left(kIdLength);
}

void RemoteAuth::revoke(const QByteArray& id) {
    std::erase_if(entries_, [&](const Entry& e) { return e.hash.left(kIdLength) == id; });
    save();
    refreshList();
}

QByteArray RemoteAuth::hashOf(const QString& token) {
    return QCryptographicHash::hash(token.toLatin1(), QCryptographicHash::Sha256).toHex();
}

void RemoteAuth::load() {
    if (configPath_.isEmpty()) return;
    QSettings s(configPath_, QSettings::IniFormat);
    const int n = s.beginReadArray("Remote/Paired");
    for (int i = 0; i < std::min(n, kMaxPaired); ++i) {
        s.setArrayIndex(i);
        const QByteArray hash = s.value("hash").toByteArray();
        if (hash.size() != 64) continue;  // a hand-edited or cut entry pairs nobody
        entries_.push_back({hash, s.value("label").toString(),
                            s.value("since").toDateTime()});
    }
    s.endArray();
    refreshList();
}

void RemoteAuth::save() const {
    if (configPath_.isEmpty()) return;
    QSettings s(configPath_, QSettings::IniFormat);
    s.remove("Remote/Paired");
    s.beginWriteArray("Remote/Paired", int(entries_.size()));
    for (size_t i = 0; i < entries_.size(); ++i) {
        s.setArrayIndex(int(i));
        s.setValue("hash", entries_[i].hash);
        s.setValue("label", entries_[i].label);
        s.setValue("since", entries_[i].since);
    }
    s.endArray();
}

void RemoteAuth::refreshList() {
    paired_.clear();
    for (const Entry& e : entries_) paired_.push_back({e.hash.left(kIdLength), e.label, e.since});
}

}  // namespace qel
