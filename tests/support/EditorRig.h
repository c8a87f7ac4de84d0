// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QTemporaryDir>
#include <map>
#include <memory>
#include <string>

#include "device/ModeFileStore.h"
#include "device/UnitSession.h"
#include "device/UnitTransfer.h"
#include "editor/EditorHost.h"
#include "editor/QelEquipmentDlg.h"
#include "link/Equipment.h"
#include "platform/Ipv4.h"
#include "ui/EditWords.h"

namespace qel::test {

// The editor's host in tests: the link settings and mode files it hands out (the mode files in
// a folder of its own unless given one), transfer windows without a pause, each guarded step
// run at once, and a record of what the editor told it.
class TestEditorHost : public EditorHost {
public:
    explicit TestEditorHost(LinkSettings settings, const QString& modeFolder = {})
        : link(settings), modeFiles_(modeFolder.isEmpty() ? folder_.path() : modeFolder) {
        modeFiles_.loadAll();
    }

    LinkSettings linkSettings() override { return link; }
    ModeFileStore& modeFiles() override { return modeFiles_; }
    QString configPath() const override { return folder_.filePath("QelConfig.ini"); }
    uint32_t progressPauseMs() const override { return 0; }
    void showPaneText(int pane, const QString& text) override { panes[pane] = text; }
    void unitListChanged() override { ++listChanges; }
    void runGuarded(const std::function<void()>& step) override {
        ++guardedSteps;
        step();
    }

    LinkSettings link;
    std::map<int, QString> panes;  // the last text of each status-bar pane
    int listChanges = 0;
    int guardedSteps = 0;

private:
    QTemporaryDir folder_;
    ModeFileStore modeFiles_;
};

// Meters that stay quiet: only the editor's own commands travel.
inline MeterPoller::Timing quietMeters() {
    MeterPoller::Timing t;
    t.startMs = 600000;
    return t;
}

// Session options with these meter timings and no reconnecting.
inline SessionOptions meterOptions(const MeterPoller::Timing& meters) {
    SessionOptions o;
    o.meterTiming = meters;
    return o;
}

// A UDP unit at ip whose link runs, with an empty image of model (nothing read).
inline std::shared_ptr<Equipment> linkedUnit(const std::string& ip, uint32_t model,
                                             const LinkSettings& link) {
    auto unit = std::make_shared<Equipment>();
    unit->setAddress(*parseIpv4(ip));
    unit->setFlags(linkflag::kUdp);
    unit->setModelCode(model);
    unit->setImage(std::make_shared<ModeImage>());
    return unit->startLink(link) ? unit : nullptr;
}

// A UDP unit at ip connected as the program connects it: handshake and full read.
inline std::shared_ptr<Equipment> connectedUnit(const std::string& ip, const LinkSettings& link) {
    auto unit = std::make_shared<Equipment>();
    unit->setAddress(*parseIpv4(ip));
    unit->setFlags(linkflag::kUdp);
    UnitTransfer transfer(*unit, link);
    transfer.setProgressPause(0);
    return transfer.run(UnitTransfer::Mode::Connect) == UnitTransfer::Result::Success ? unit
                                                                                      : nullptr;
}

// The session an editor in a test stands on, made before the editor and let go after it.
struct SessionHolder {
    std::unique_ptr<UnitSession> owned;
};

// An editor on a session of its own, as the program gives each connected unit one.
class SessionEditor : private SessionHolder, public CQelEquipmentDlg {
public:
    SessionEditor(std::shared_ptr<Equipment> unit, EditorHost& host, MeterPoller::Timing meters)
        : SessionHolder{madeSession(std::move(unit), meters)}, CQelEquipmentDlg(*owned, host) {}

private:
    static std::unique_ptr<UnitSession> madeSession(std::shared_ptr<Equipment> unit,
                                                    MeterPoller::Timing meters) {
        auto s = std::make_unique<UnitSession>(std::move(unit), meterOptions(meters));
        s->history().setLabeller(&EditWords::step);
        return s;
    }
};

// The unit's editor, built as the program builds it.
inline std::unique_ptr<CQelEquipmentDlg> openEditor(std::shared_ptr<Equipment> unit,
                                                    EditorHost& host,
                                                    MeterPoller::Timing meters = quietMeters()) {
    return std::make_unique<SessionEditor>(std::move(unit), host, meters);
}

// An editor with its test host on a unit; ends the editor, then the unit's link.
struct EditorRig {
    std::unique_ptr<TestEditorHost> host;
    std::shared_ptr<Equipment> unit;
    std::unique_ptr<CQelEquipmentDlg> editor;
    int simUnit = 0;  // the unit's number in the simulator

    EditorRig() = default;
    EditorRig(EditorRig&&) = default;
    EditorRig& operator=(EditorRig&&) = delete;
    ~EditorRig() {
        editor.reset();
        if (unit) unit->stopLink();
    }
    // The editor of a unit whose link runs through link (none when the link did not start).
    static EditorRig open(std::shared_ptr<Equipment> linked, const LinkSettings& link,
                          MeterPoller::Timing meters = quietMeters()) {
        EditorRig rig;
        rig.host = std::make_unique<TestEditorHost>(link);
        rig.unit = std::move(linked);
        if (rig.unit) rig.editor = openEditor(rig.unit, *rig.host, meters);
        return rig;
    }
};

}  // namespace qel::test
