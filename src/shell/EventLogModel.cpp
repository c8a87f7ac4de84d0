// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "shell/EventLogModel.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace qel {

namespace {

using Words = std::pair<const char*, const char*>;  // a key of the log and its text

// The key's text; the key itself when the table has none.
template <size_t N>
QString wordFor(const Words (&words)[N], const QString& key) {
    for (const auto& [k, word] : words)
        if (key == QLatin1String(k)) return EventLogModel::tr(word);
    return key;
}

QString valueText(const QJsonValue& v) {
    if (v.isDouble()) return QString::number(v.toDouble());
    if (v.isBool()) return v.toBool() ? QStringLiteral("on") : QStringLiteral("off");
    if (v.isString()) return v.toString();
    if (v.isObject()) return QString::fromUtf8(QJsonDocument(v.toObject()).toJson(QJsonDocument::Compact));
    if (v.isArray()) return QString::fromUtf8(QJsonDocument(v.toArray()).toJson(QJsonDocument::Compact));
    return QStringLiteral("-");
}

QString whatText(const QString& what) {
    static const Words words[] = {
        {EventRecord::kConnect, QT_TRANSLATE_NOOP("qel::EventLogModel", "连接")},
        {EventRecord::kRead, QT_TRANSLATE_NOOP("qel::EventLogModel", "读取")},
        {EventRecord::kDownload, QT_TRANSLATE_NOOP("qel::EventLogModel", "下载")},
        {EventRecord::kImport, QT_TRANSLATE_NOOP("qel::EventLogModel", "导入预设")},
        {EventRecord::kSync, QT_TRANSLATE_NOOP("qel::EventLogModel", "同步")},
        {EventRecord::kShowSend, QT_TRANSLATE_NOOP("qel::EventLogModel", "发送演出文件")},
        {EventRecord::kPcMode, QT_TRANSLATE_NOOP("qel::EventLogModel", "应用电脑模式")},
    };
    return wordFor(words, what);
}

QString originWords(const QString& origin) {
    const qsizetype colon = origin.indexOf(QLatin1Char(':'));
    const QString head = colon < 0 ? origin : origin.left(colon), rest = origin.mid(colon + 1);
    if (head == QLatin1String("desktop")) return EventLogModel::tr("本机");
    if (head == QLatin1String("undo")) return EventLogModel::tr("撤销");
    if (head == QLatin1String("redo")) return EventLogModel::tr("重做");
    if (head == QLatin1String("ab")) return EventLogModel::tr("A/B 切换");
    if (head == QLatin1String("import")) return EventLogModel::tr("导入");
    if (head == QLatin1String("client")) return EventLogModel::tr("远程: %1").arg(rest);
    if (head == QLatin1String("group")) return EventLogModel::tr("编组: %1").arg(rest);
    return origin;
}

QString detailText(const QString& detail) {
    static const Words words[] = {
        {"port-failed", QT_TRANSLATE_NOOP("qel::EventLogModel", "无法打开端口")},
        {"no-answer", QT_TRANSLATE_NOOP("qel::EventLogModel", "设备没有应答")},
        {"read-failed", QT_TRANSLATE_NOOP("qel::EventLogModel", "读取失败")},
        {"not-proven", QT_TRANSLATE_NOOP("qel::EventLogModel", "读回验证未通过")},
        {"cancelled", QT_TRANSLATE_NOOP("qel::EventLogModel", "已取消")},
        {"unit's settings taken", QT_TRANSLATE_NOOP("qel::EventLogModel", "采用设备的设置")},
    };
    for (const auto& [key, word] : words) {
        const QLatin1String k(key);
        if (detail == k) return EventLogModel::tr(word);
        if (detail.endsWith(QStringLiteral(": ") + k))
            return detail.left(detail.size() - k.size()) + EventLogModel::tr(word);
    }
    return detail;
}

QString csvField(const QString& text) {
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

}  // namespace

bool EventLogModel::Filter::admits(const EventRecord& r) const {
    return (unit.isEmpty() || r.unit == unit) && (kind.isEmpty() || r.kind == kind) &&
           (!from.isValid() || r.time >= from) && (!to.isValid() || r.time <= to);
}

EventLogModel::EventLogModel(QObject* parent) : QAbstractTableModel(parent) {}

const std::vector<const char*>& EventLogModel::kinds() {
    static const std::vector<const char*> all = {
        EventRecord::kEdit,         EventRecord::kConnect, EventRecord::kDisconnect,
        EventRecord::kNotAnswering, EventRecord::kLost,    EventRecord::kBack,
        EventRecord::kTransfer,     EventRecord::kRecall,  EventRecord::kAlarm,
        EventRecord::kAlarmCleared};
    return all;
}

QString EventLogModel::kindText(const QString& kind) {
    static const Words words[] = {
        {EventRecord::kEdit, QT_TRANSLATE_NOOP("qel::EventLogModel", "修改")},
        {EventRecord::kConnect, QT_TRANSLATE_NOOP("qel::EventLogModel", "连接")},
        {EventRecord::kDisconnect, QT_TRANSLATE_NOOP("qel::EventLogModel", "断开")},
        {EventRecord::kNotAnswering, QT_TRANSLATE_NOOP("qel::EventLogModel", "没有应答")},
        {EventRecord::kLost, QT_TRANSLATE_NOOP("qel::EventLogModel", "连接丢失")},
        {EventRecord::kBack, QT_TRANSLATE_NOOP("qel::EventLogModel", "恢复应答")},
        {EventRecord::kTransfer, QT_TRANSLATE_NOOP("qel::EventLogModel", "传输")},
        {EventRecord::kRecall, QT_TRANSLATE_NOOP("qel::EventLogModel", "调用模式")},
        {EventRecord::kAlarm, QT_TRANSLATE_NOOP("qel::EventLogModel", "报警")},
        {EventRecord::kAlarmCleared, QT_TRANSLATE_NOOP("qel::EventLogModel", "报警解除")},
    };
    return wordFor(words, kind);
}

QString EventLogModel::text(const EventRecord& r, int column) const {
    switch (column) {
        case kTime:
            return r.time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        case kUnit:
            return r.unit;
        case kAddress:
            return r.address;
        case kKind: {
            QString text = kindText(r.kind);
            if (!r.what.isEmpty()) text += QLatin1Char(' ') + whatText(r.what);
            if (r.ok) text += QLatin1Char(' ') + (*r.ok ? tr("成功") : tr("失败"));
            return text;
        }
        case kOrigin:
            return originWords(r.origin);
        case kChannel:
            return r.channel;
        case kSetting:
            return r.setting;
        case kChange:
            if (r.edits == 0) return {};
            return tr("%1 → %2 (%n 次)", nullptr, r.edits)
                .arg(valueText(r.from), valueText(r.to));
        case kDetail:
            return detailText(r.detail);
        default:
            return {};
    }
}

void EventLogModel::setRecords(std::vector<EventRecord> records) {
    beginResetModel();
    records_ = std::move(records);
    units_.clear();
    shown_.clear();
    for (size_t i = 0; i < records_.size(); ++i) {
        noteUnit(records_[i].unit);
        if (filter_.admits(records_[i])) shown_.push_back(i);
    }
    endResetModel();
}

void EventLogModel::add(const EventRecord& record) {
    records_.push_back(record);
    noteUnit(record.unit);
    if (!filter_.admits(record)) return;
    const int row = int(shown_.size());
    beginInsertRows({}, row, row);
    shown_.push_back(records_.size() - 1);
    endInsertRows();
}

void EventLogModel::setFilter(Filter filter) {
    beginResetModel();
    filter_ = std::move(filter);
    shown_.clear();
    for (size_t i = 0; i < records_.size(); ++i)
        if (filter_.admits(records_[i])) shown_.push_back(i);
    endResetModel();
}

void EventLogModel::noteUnit(const QString& unit) {
    if (!unit.isEmpty() && !units_.contains(unit)) units_.append(unit);
}

bool EventLogModel::writeCsv(const QString& path, QString& why) const {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        why = file.errorString();
        return false;
    }
    QStringList fields;
    for (int c = 0; c < kColumns; ++c)
        fields << csvField(headerData(c, Qt::Horizontal, Qt::DisplayRole).toString());
    QByteArray out = fields.join(QLatin1Char(',')).toUtf8() + "\r\n";
    for (size_t i : shown_) {
        fields.clear();
        for (int c = 0; c < kColumns; ++c) fields << csvField(text(records_[i], c));
        out += fields.join(QLatin1Char(',')).toUtf8() + "\r\n";
    }
    if (file.write(out) != out.size() || !file.commit()) {
        why = file.errorString();
        return false;
    }
    return true;
}

int EventLogModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(shown_.size());
}

int EventLogModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QVariant EventLogModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || role != Qt::DisplayRole) return {};
    return text(recordAt(index.row()), index.column());
}

QVariant EventLogModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const char* const titles[] = {
        QT_TR_NOOP("时间"), QT_TR_NOOP("设备"), QT_TR_NOOP("地址"),
        QT_TR_NOOP("事件"), QT_TR_NOOP("来源"), QT_TR_NOOP("通道"),
        QT_TR_NOOP("设置"), QT_TR_NOOP("变化"), QT_TR_NOOP("说明")};
    return section >= 0 && section < kColumns ? tr(titles[section]) : QVariant();
}

}  // namespace qel
