// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QObject>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "device/ShowFile.h"
#include "shell/ShowUnitTask.h"

namespace qel {

class CMainFrame;
class CQuellmarApp;
class Equipment;
class ShowTableDlg;
class ShowUnitTask;

// The main window's show files (docs/show-format.md). Saving writes every unit of the list
// with its settings into one file, reading first (in one progress window) the units whose
// settings are not known, and writes nothing when one of them cannot be read. Opening reads
// a file, matches its units to the list's by name and model, reads the matched units and
// shows what differs (ShowTableDlg); on OK each chosen unit gets the file's settings with a
// proven download, all in one progress window, and a unit that fails leaves the others done.
// An open editor takes the settings it was sent; units whose link was down are let go again
// afterwards. The reads, sends and let-gos hold the window's exit until they are done (the
// file windows and the table do not). GUI thread only; results and failures are told in
// message boxes.
class ShowFiles : public QObject {
    Q_OBJECT
public:
    ShowFiles(CQuellmarApp& app, CMainFrame& frame);
    ~ShowFiles() override;

    // The same after a file window that starts in the folder used last.
    void chooseSave();
    void chooseOpen();
    bool save(const QString& path);
    // True when the table was accepted and every chosen unit took the file's settings.
    bool open(const QString& path);

    // "Main Stage (QD408, 192.168.1.20)", "Rack (QD206, COM3)", "Home (QD408, 虚拟)".
    static QString unitLabel(const Equipment& unit);

private:
    using Tasks = std::vector<std::unique_ptr<ShowUnitTask>>;
    struct Sending;

    Tasks tasksFor(const std::vector<std::shared_ptr<Equipment>>& units) const;
    std::unique_ptr<ShowUnitTask> taskFor(std::shared_ptr<Equipment> unit) const;
    // Reads the tasks' units in one progress window; false when cancelled.
    bool readAll(const std::vector<ShowUnitTask*>& tasks, const QString& title);
    // One step per task ("status" takes name, number and count) in one progress window under
    // the busy guard; false when cancelled.
    using TaskStep = ShowUnitTask::Outcome (ShowUnitTask::*)(const UnitTransfer::Progress&,
                                                             const std::atomic<bool>*);
    bool runTasks(const std::vector<ShowUnitTask*>& tasks, const QString& title,
                  const QString& status, TaskStep step);
    void letGo(const Tasks& tasks);
    QStringList failures(const std::vector<ShowUnitTask*>& tasks) const;
    // Two units of one model with one name, which a show cannot tell apart; or empty.
    QString namedTwice(const Tasks& tasks) const;
    QString outcomeText(const ShowUnitTask& task) const;
    ShowUnit showUnitOf(const ShowUnitTask& task) const;
    std::string showAddress(const Equipment& unit) const;
    bool writeFile(const QString& path, const QByteArray& json);

    std::optional<ShowRead> readFile(const QString& path);
    bool chooseAndSend(const ShowRead& show, Tasks& tasks, const std::vector<int>& matches);
    ShowUnitTask* newVirtualUnit(const ShowUnit& file, Tasks& tasks, QStringList& failed);
    Sending prepare(ShowUnitTask& task, const ShowUnit& file);
    bool sendAll(std::vector<Sending>& sends);
    void settle(const std::vector<Sending>& sends);
    bool tell(const std::vector<Sending>& sends, QStringList failed);

    QString folder() const;
    void keepFolder(const QString& path);

    CQuellmarApp& app_;
    CMainFrame& frame_;
};

}  // namespace qel
