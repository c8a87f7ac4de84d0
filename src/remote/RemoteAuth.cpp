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
constexpr char kArray[] = "Remote/Paired";

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

// Times are written as ISO 8601 text in UTC; earlier files hold Qt's own encoding, which
// reads back the same.
QString timeText(const QDateTime& t) {
    return t.isValid() ? t.toUTC().toString(Qt::ISODate) : QString();
}

}  // namespace

QByteArray RemoteAuth::Entry::id() const { return hash.left(kIdLength); }

RemoteAuth::RemoteAuth(QString configPath) : configPath_(std::move(configPath)) {
    entries_ = load();
    renewPairingCode();
}

void RemoteAuth::renewPairingCode() {
    code_ = randomCode(10);
    wrongCodes_ = 0;
    if (renewed_) renewed_();
}

QString RemoteAuth::pair(const QString& code, const QString& label) {
    if (code.isEmpty()) return {};
    if (code != code_) {
        if (++wrongCodes_ >= kMaxWrongCodes) renewPairingCode();
        return {};
    }
    const QString token = randomToken();
    const QDateTime now = QDateTime::currentDateTimeUtc();
    reload();
    entries_.push_back({hashOf(token), label.trimmed().left(kMaxLabel), now, now});
    if (entries_.size() > size_t(kMaxPaired)) entries_.erase(entries_.begin());
    save();
    if (listChanged_) listChanged_();
    renewPairingCode();
    return token;
}

QByteArray RemoteAuth::idOf(const QString& token) const {
    if (token.size() != 32) return {};
    const QByteArray hash = hashOf(token);
    const auto it = std::find_if(entries_.begin(), entries_.end(),
                                 [&](const Entry& e) { return e.hash == hash; });
    return it == entries_.end() ? QByteArray() : it->id();
}

std::vector<RemoteAuth::Paired> RemoteAuth::paired() const {
    std::vector<Paired> list;
    for (const Entry& e : entries_) list.push_back({e.id(), e.label, e.since, e.lastSeen});
    return list;
}

bool RemoteAuth::revoke(const QByteArray& id) {
    reload();
    if (!std::erase_if(entries_, [&](const Entry& e) { return e.id() == id; })) return false;
    save();
    if (listChanged_) listChanged_();
    return true;
}

void RemoteAuth::seen(const QByteArray& id) {
    const QDateTime now = QDateTime::currentDateTimeUtc();
    reload();
    const auto it = std::find_if(entries_.begin(), entries_.end(),
                                 [&](const Entry& e) { return e.id() == id; });
    if (it == entries_.end()) return;
    const bool stale = !it->lastSeen.isValid() || it->lastSeen.secsTo(now) >= kSeenSaveSecs;
    it->lastSeen = now;
    if (stale) save();
}

bool RemoteAuth::reload() {
    if (configPath_.isEmpty()) return false;
    std::vector<Entry> now = load();
    const auto hashes = [](const std::vector<Entry>& list) {
        std::vector<QByteArray> h;
        for (const Entry& e : list) h.push_back(e.hash);
        std::sort(h.begin(), h.end());
        return h;
    };
    const bool changed = hashes(now) != hashes(entries_);
    entries_ = std::move(now);
    if (changed && listChanged_) listChanged_();
    return changed;
}

QByteArray RemoteAuth::hashOf(const QString& token) {
    return QCryptographicHash::hash(token.toLatin1(), QCryptographicHash::Sha256).toHex();
}

std::vector<RemoteAuth::Entry> RemoteAuth::load() const {
    std::vector<Entry> list;
    if (configPath_.isEmpty()) return list;
    QSettings s(configPath_, QSettings::IniFormat);
    const int n = s.beginReadArray(kArray);
    for (int i = 0; i < std::min(n, kMaxPaired); ++i) {
        s.setArrayIndex(i);
        const QByteArray hash = s.value("hash").toByteArray();
        if (hash.size() != 64) continue;  // a hand-edited or cut entry pairs nobody
        list.push_back({hash, s.value("label").toString(), s.value("since").toDateTime(),
                        s.value("lastSeen").toDateTime()});
    }
    s.endArray();
    return list;
}

void RemoteAuth::save() const {
    if (configPath_.isEmpty()) return;
    QSettings s(configPath_, QSettings::IniFormat);
    s.remove(kArray);
    s.beginWriteArray(kArray, int(entries_.size()));
    for (size_t i = 0; i < entries_.size(); ++i) {
        const Entry& e = entries_[i];
        s.setArrayIndex(int(i));
        s.setValue("hash", e.hash);
        s.setValue("label", e.label);
        s.setValue("since", timeText(e.since));
        if (e.lastSeen.isValid()) s.setValue("lastSeen", timeText(e.lastSeen));
    }
    s.endArray();
}

}  // namespace qel
