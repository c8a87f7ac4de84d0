// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "UnitSimulator.h"
#include "controls/MessageBoxes.h"
#include "shell/MainFrame.h"
#include "shell/QuellmarApp.h"
#include "shell/WindowPlacement.h"
#include "support/Loopback.h"

namespace qel::test {

// The whole program against simulated units: its settings in a temporary folder (the
// start-up search goes to the units' loopback subnet, the address dialog stays away), scripted
// message boxes, a fresh profile and ports of its own. Add units, then start().
class AppRig {
public:
    AppRig() : subnet_(loopbackSubnet()) {
        QStandardPaths::setTestModeEnabled(true);
        // A profile of its own: tests that run at the same time never share one.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir_.path());
        QSettings("Quellmar", "Quellmar").setValue("Quellmar_Once", "1");
        setMessageBoxes(&boxes_);
    }
    ~AppRig() {
        frame_.reset();
        app_.reset();
        setMessageBoxes(nullptr);
    }

    sim::UnitSimulator& sim() { return sim_; }
    ScriptedMessageBoxes& boxes() { return boxes_; }
    int addNetworkUnit(int model, const std::string& name) {
        return sim_.addNetworkUnit(model, loopbackHost(subnet_, 2 + hosts_++), name);
    }
    // A unit on a pseudo-terminal that the program finds as comPort ("COM1".."COM16").
    int addSerialUnit(int model, const std::string& name, const QString& comPort) {
        const int unit = sim_.addSerialUnit(model, name);
        serial_[comPort] = unit;
        return unit;
    }

    // Starts the simulator, then the program with its main window shown; false when the
    // simulator cannot start.
    bool start() {
        if (!dir_.isValid() || !sim_.start()) return false;
        QSettings ini(dir_.filePath("QelConfig.ini"), QSettings::IniFormat);
        ini.setValue("NetConfig/GateWay", QString::fromStdString(subnet_ + ".1"));
        ini.setValue("NetConfig/AutoIP", "0");
        for (int n = 1; n <= 16; ++n) {
            const QString port = QStringLiteral("COM%1").arg(n);
            const auto it = serial_.find(port);
            ini.setValue("SerialPorts/" + port,
                         it == serial_.end() ? QStringLiteral("/nonexistent")
                                             : QString::fromStdString(sim_.slavePath(it->second)));
        }
        ini.sync();
        startProgram();
        return true;
    }
    // Ends the program as its window's close does, then starts it again on the same folders.
    void restart() {
        frame_->close();
        frame_.reset();
        app_.reset();
        startProgram();
    }
    QString dir() const { return dir_.path(); }
    CQuellmarApp& app() { return *app_; }
    CMainFrame& frame() { return *frame_; }

private:
    void startProgram() {
        CQuellmarApp::Options o;
        o.workDir = o.lockDir = o.dataDir = dir_.path();
        o.localPort = o.searchPort = 0;
        o.progressPauseMs = 0;
        app_ = std::make_unique<CQuellmarApp>(o);
        frame_ = std::make_unique<CMainFrame>(*app_);
        // Placed and shown as the program does: 800 x 600 at the first start.
        WindowPlacement::load(*frame_, app_->configPath(), frame_->screen()->geometry());
    }

    std::string subnet_;
    int hosts_ = 0;
    std::map<QString, int> serial_;
    QTemporaryDir dir_;
    ScriptedMessageBoxes boxes_;
    sim::UnitSimulator sim_;
    std::unique_ptr<CQuellmarApp> app_;
    std::unique_ptr<CMainFrame> frame_;
};

// Hands each modal window to `look` every few milliseconds while it runs (the search and
// connection windows run their own event loops). With `atShow` it also looks as each one
// shows, so that a window gone again within a tick is still seen.
class ModalSpy : public QObject {
public:
    explicit ModalSpy(std::function<void(QWidget*)> look, bool atShow = false)
        : look_(std::move(look)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (QWidget* w = QApplication::activeModalWidget()) look_(w);
        });
        timer_.start(5);
        if (atShow) qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Show && o->isWidgetType()) {
            auto* w = static_cast<QWidget*>(o);
            if (w->isWindow() && w->isModal()) look_(w);
        }
        return false;
    }

private:
    std::function<void(QWidget*)> look_;
    QTimer timer_;
};

}  // namespace qel::test
