// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "ui/PresetIssueWords.h"

namespace qel {

namespace {

// The issue's values by place; missing ones read as empty.
struct Values {
    const std::vector<std::string>& v;
    QString operator[](size_t i) const {
        return i < v.size() ? QString::fromStdString(v[i]) : QString();
    }
};

}  // namespace

QString PresetIssueWords::groupText(const GroupIssue& issue) {
    if (issue.group < 0) return text(issue.issue);
    const QString group = issue.groupName.empty() ? QString::number(issue.group + 1)
                                                  : QString::fromStdString(issue.groupName);
    return tr("编组 %1: %2").arg(group, text(issue.issue));
}

QString PresetIssueWords::text(const PresetIssue& issue) {
    QString words = shape(issue);
    if (words.isEmpty()) words = value(issue);
    if (words.isEmpty()) words = document(issue);
    const QString path =
        issue.path == "(document)" ? tr("(文档)") : QString::fromStdString(issue.path);
    return path + QStringLiteral(": ") + words;
}

QString PresetIssueWords::shape(const PresetIssue& issue) {
    const Values v{issue.values};
    switch (issue.problem) {
        case PresetProblem::Syntax:
            return tr("第 %1 行, 第 %2 列: 不是有效的 JSON").arg(v[0], v[1]);
        case PresetProblem::NotAnObject:
            return tr("应为对象");
        case PresetProblem::Missing:
            return tr("缺少此项");
        case PresetProblem::UnknownKey:
            return tr("未知的键");
        case PresetProblem::WrongType:
            return tr("应为 %1, 实为 %2").arg(kind(issue.expected), kind(issue.found));
        case PresetProblem::WrongCount:
            return tr("应有 %1 项, 实有 %2 项").arg(v[0], v[1]);
        case PresetProblem::NotOneOf:
            return tr("\"%1\" 不是以下之一: %2").arg(v[0], v[1]);
        case PresetProblem::OutOfRange:
            return tr("%1 超出 %2 .. %3 %4").arg(v[0], v[1], v[2], unit(v[3]));
        case PresetProblem::Moved:
            return tr("%1 %2 已变为 %3 %2").arg(v[0], unit(v[1]), v[2]);
        default:
            return {};
    }
}

QString PresetIssueWords::value(const PresetIssue& issue) {
    const Values v{issue.values};
    switch (issue.problem) {
        case PresetProblem::NumberOrOff:
            return tr("应为数字或 \"off\"");
        case PresetProblem::OffFrequency:
            return tr("%1 Hz 是此滤波器关闭的位置: 请写 \"off\" 或其他频率").arg(v[0]);
        case PresetProblem::WrongLetter:
            return tr("此处应为 \"%1\", 实为 \"%2\"").arg(v[0], v[1]);
        case PresetProblem::WrongNumber:
            return tr("此处应为 %1").arg(v[0]);
        case PresetProblem::NotWhole:
            return tr("应为整数");
        case PresetProblem::DelayDisagrees:
            return tr("ms 与 samples 不一致");
        case PresetProblem::DelayMissing:
            return tr("请给出 ms 或 samples");
        case PresetProblem::NotAnInput:
            return tr("应为 A 到 %1 的输入字母").arg(v[0]);
        case PresetProblem::InputTwice:
            return tr("输入 %1 列出了两次").arg(v[0]);
        default:
            return {};
    }
}

QString PresetIssueWords::document(const PresetIssue& issue) {
    const Values v{issue.values};
    switch (issue.problem) {
        case PresetProblem::NameHasZero:
            return tr("名称不能含有零字符");
        case PresetProblem::NameNotGbk:
            return tr("模式文件用 GBK 编码保存名称, GBK 没有这些字符: %1").arg(v[0]);
        case PresetProblem::NameTooLong:
            return tr("GBK 编码最多 20 个字节, 实为 %1 个").arg(v[0]);
        case PresetProblem::DateTooLong:
            return tr("最多 23 个字节, 实为 %1 个").arg(v[0]);
        case PresetProblem::WrongFormat:
            return tr("应为 \"%1\"").arg(v[0]);
        case PresetProblem::WrongVersion:
            return tr("本程序不能读取版本 %1 (能读取 %2)").arg(v[0], v[1]);
        case PresetProblem::UnknownModel:
            return tr("\"%1\" 不是 QD206, QD406 或 QD408").arg(v[0]);
        case PresetProblem::OtherModel:
            return tr("预设用于 %1, 目标设备是 %2").arg(v[0], v[1]);
        case PresetProblem::NameTwice:
            return tr("units[%3] 已有名为 \"%1\" 的 %2").arg(v[0], v[1], v[2]);
        case PresetProblem::GroupTwice:
            return tr("groups[%2] 已名为 \"%1\"").arg(v[0], v[1]);
        case PresetProblem::MemberTwice:
            return tr("与 members[%1] 是同一个通道").arg(v[0]);
        case PresetProblem::NoSuchChannel:
            return tr("%2 没有通道 %1").arg(v[0], v[1]);
        default:
            return {};
    }
}

QString PresetIssueWords::kind(JsonKind kind) {
    switch (kind) {
        case JsonKind::Null:
            return QStringLiteral("null");
        case JsonKind::Bool:
            return tr("true 或 false");
        case JsonKind::Number:
            return tr("数字");
        case JsonKind::Text:
            return tr("文本");
        case JsonKind::List:
            return tr("列表");
        case JsonKind::Object:
            return tr("对象");
        case JsonKind::Nothing:
            break;
    }
    return tr("空");
}

QString PresetIssueWords::unit(const QString& unit) {
    return unit == QLatin1String("samples") ? tr("个采样") : unit;
}

}  // namespace qel
