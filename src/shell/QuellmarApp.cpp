// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "shell/QuellmarApp.h"

#include <set>

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

#include "platform/MemoryPolicy.h"
#include "platform/Trace.h"
#include "ui/EditWords.h"
#include "ui/PresetIssueWords.h"

namespace qel {

CQuellmarApp::CQuellmarApp(Options options)
    : options_(std::move(options)), modeFiles_(std::make_unique<ModeFileStore>(workDir())) {
    returnLargeBlocksWhenFreed();
    readSerialPortNames();
    const QString data = options_.dataDir.isEmpty()
                             ? QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)
                             : options_.dataDir;
    virtualUnits_ = std::make_unique<VirtualUnits>(data, options_.unitPort);
    SessionOptions sessions;
    sessions.link = linkSettings();  // a lost unit is taken up again; the desk is asked
    sessions_ = std::make_unique<UnitSessions>(sessions);
    sessions_->setLabeller(&EditWords::step);
    events_ = std::make_unique<EventLog>(data);
    events_->attach(*sessions_);
    editCounts_ = std::make_unique<EditCounts>();
    editCounts_->attach(*sessions_);
    alarms_ = std::make_unique<Alarms>(*sessions_, events_.get());
    alarms_->setSettings(AlarmSettings::load(configPath()));
    groups_ =
        std::make_unique<GroupControl>(*sessions_, [this](const std::string& name, uint32_t model) {
            for (const auto& unit : equipment_.snapshot())
                if (unit->modelCode() == model && GroupControl::unitName(*unit) == name)
                    return unit;
            return EquipmentList::Entry();
        });
    const auto read = groups_->load(QDir(data).filePath(QStringLiteral("Groups.json")));
    if (!read.ok()) {
        groupsProblem_ = read.fileError.isEmpty() ? PresetIssueWords::groupText(read.errors.front())
                                                  : read.fileError;
        qWarning("Groups.json is not used and left as it is: %s",
                 read.fileError.isEmpty() ? "it has errors" : qUtf8Printable(read.fileError));
    }
}

CQuellmarApp::~CQuellmarApp() {
    // Sessions go first (their meter threads), and units stop before the endpoint they use.
    groups_.reset();
    alarms_.reset();  // its meter watches go before the sessions
    editCounts_.reset();
    sessions_.reset();
    events_.reset();  // after the sessions' last entries
    for (const auto& unit : equipment_.snapshot()) unit->stopLink();
    virtualUnits_.reset();
    endpoint_.close();
}

QString CQuellmarApp::workDir() const {
    return options_.workDir.isEmpty() ? QDir::currentPath() : options_.workDir;
}

QString CQuellmarApp::configPath() const {
    QString dir = workDir();
    dir.replace('\\', '/');
    if (!dir.endsWith('/')) dir += '/';
    return dir + "QelConfig.ini";
}

bool CQuellmarApp::acquireInstanceLock() {
    QString dir = options_.lockDir;
    if (dir.isEmpty()) dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) dir = QDir::tempPath();
    QDir().mkpath(dir);
    lock_ = std::make_unique<QLockFile>(QDir(dir).filePath(kLockName));
    lock_->setStaleLockTime(0);
    return lock_->tryLock(0);
}

bool CQuellmarApp::openEndpoint() {
    return endpoint_.open(options_.localPort);
}

void CQuellmarApp::loadModeFiles() {
    // The trace keeps the path and the system's words.
    for (const auto& status : modeFiles_->loadAll())
        if (!status.ok)
            qCDebug(lcModeFiles, "%s: %s", status.fileName.toUtf8().constData(),
                    status.values.join(QStringLiteral(": ")).toUtf8().constData());
}

std::array<uint8_t, 4> CQuellmarApp::gateway() const {
    QSettings ini(configPath(), QSettings::IniFormat);
    const QString text = ini.value("NetConfig/GateWay", "192.168.6.255").toString();
    const auto address = parseIpv4(text.toStdString());
    const Ipv4 a = address ? *address : *parseIpv4("192.168.6.255");
    return {ipv4Octet(a, 0), ipv4Octet(a, 1), ipv4Octet(a, 2), ipv4Octet(a, 3)};
}

void CQuellmarApp::readSerialPortNames() {
    // "SerialPorts" / "COMn" = device path, for adapters that are not /dev/ttyUSB(n-1).
    QSettings ini(configPath(), QSettings::IniFormat);
    ini.beginGroup("SerialPorts");
    for (const QString& key : ini.childKeys())
        serialMap_.setOverride(key.toStdString(), ini.value(key).toString().toStdString());
}

SearchSettings CQuellmarApp::searchSettings() {
    SearchSettings s = searchSettingsOf(options_, endpoint_.isOpen() ? &endpoint_ : nullptr,
                                        gateway(), &serialMap_);
    s.network = endpoint_.isOpen();
    s.progressPauseMs = options_.progressPauseMs;
    // The units connected here stay in the list, answering the search or not. The search
    // runs on a worker: it gets the set as it is now.
    auto held = std::make_shared<std::set<const Equipment*>>();
    for (UnitSession* session : sessions_->all()) held->insert(&session->unit());
    for (const Equipment* unit : sessions_->connectingUnits()) held->insert(unit);
    s.keep = [held](const Equipment& unit) { return held->contains(&unit); };
    return s;
}

LinkSettings CQuellmarApp::linkSettings() {
    LinkSettings s;
    s.endpoint = &endpoint_;
    s.unitPort = options_.unitPort;
    s.serialMap = &serialMap_;
    return s;
}

}  // namespace qel
