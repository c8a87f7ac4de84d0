// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "remote/RemoteWords.h"

namespace qel {

QString RemoteWords::noUnit(const QString& id) {
    return tr("设备列表中没有设备 %1: 它可能已被移除或改名").arg(id);
}

QString RemoteWords::busy() {
    return tr("设备正在传输数据");
}

QString RemoteWords::notRead() {
    return tr("还没有读取设备的设置");
}

QString RemoteWords::reading() {
    return tr("正在读取设备的设置");
}

QString RemoteWords::portFailed() {
    return tr("无法打开设备的端口");
}

QString RemoteWords::noAnswer() {
    return tr("设备没有应答");
}

QString RemoteWords::readFailed() {
    return tr("无法读取设备的设置");
}

QString RemoteWords::notASetting(const QString& path) {
    return tr("%1 不是遥控可以修改的设置").arg(path);
}

QString RemoteWords::watchOnly() {
    return tr("这个客户端只能查看, 不能修改");
}

QString RemoteWords::noAlarm() {
    return tr("没有这个未确认的报警: 它可能已经解除或已被确认");
}

QString RemoteWords::tooManyEdits() {
    return tr("修改太频繁, 请放慢");
}

QString RemoteWords::notTaken(const QString& path) {
    return tr("%1: 未被接受").arg(path);
}

QString RemoteWords::noGroup(const QString& name) {
    return tr("没有名为 %1 的编组").arg(name);
}

QString RemoteWords::groupLimited(const QString& member, const QString& stopped) {
    return tr("%1 已到极限: 编组停在 %2").arg(member, stopped);
}

QString RemoteWords::oscNoAddress() {
    return tr("没有这个地址");
}

QString RemoteWords::oscOneNumber() {
    return tr("需要一个数值参数 (开关: 0 或 1)");
}

QString RemoteWords::oscSubscribeArgs() {
    return tr("参数应为: 可选的每秒电平次数, 可选的接收端口");
}

QString RemoteWords::oscTooManySubscribers(int most) {
    return tr("订阅者已满 (最多 %1 个)").arg(most);
}

QString RemoteWords::oscModeNumber(int modes) {
    return tr("模式序号应为 1 到 %1 的整数").arg(modes);
}

QString RemoteWords::recallRefused(int mode) {
    return tr("设备没有调用模式 %1: 没有确认").arg(mode);
}

QString RemoteWords::busyWith(const QString& holder) {
    return tr("设备正忙: %1").arg(holder);
}

QString RemoteWords::oscTooDeep() {
    return tr("嵌套的包太深");
}

QString RemoteWords::member(const QString& unit, const cmd::ChannelId& channel) {
    if (channel.side == cmd::Side::Input)
        return tr("%1 输入 %2").arg(unit, QChar('A' + channel.number - 1));
    return tr("%1 输出 %2").arg(unit, QString::number(channel.number));
}

}  // namespace qel
