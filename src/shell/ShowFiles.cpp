// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "shell/ShowFiles.h"

#include <set>

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QPointer>
#include <QSaveFile>
#include <QSettings>

#include "controls/MessageBoxes.h"
#include "device/ModeImage.h"
#include "device/UnitText.h"
#include "editor/QelEquipmentDlg.h"
#include "editor/QelSyncBar.h"
#include "link/EquipmentList.h"
#include "link/Protocol.h"
#include "shell/MainFrame.h"
#include "shell/QuellmarApp.h"
#include "shell/ShowJobWindow.h"
#include "shell/ShowTableDlg.h"
#include "shell/ShowUnitTask.h"
#include "shell/VirtualUnits.h"
#include "ui/BusyRun.h"
#include "ui/LinkErrorWords.h"
#include "ui/PresetIssueWords.h"

namespace qel {

namespace {

const QString kQuellmar = QStringLiteral("Quellmar");
constexpr const char* kFolderKey = "ShowFile/Folder";
constexpr int kShownIssues = 15;

QString nameOf(const Equipment& unit) {
    return QString::fromStdString(unpaddedUnitText(unit.deviceName()));
}

// "设备 "Main Stage": units[1].settings.outputs[0].gainDb: 99 超出 -50 .. 12 dB"
QString issueLine(const ShowIssue& issue) {
    const QString words = PresetIssueWords::text(issue.issue);
    if (issue.group >= 0)
        return (issue.groupName.empty()
                    ? ShowFiles::tr("第 %1 个编组").arg(issue.group + 1)
                    : ShowFiles::tr("编组 \"%1\"").arg(QString::fromStdString(issue.groupName))) +
               QStringLiteral(": ") + words;
    if (issue.unit < 0) return words;
    const QString unit =
        issue.unitName.empty()
            ? ShowFiles::tr("第 %1 台设备").arg(issue.unit + 1)
            : ShowFiles::tr("设备 \"%1\"").arg(QString::fromStdString(issue.unitName));
    return unit + QStringLiteral(": ") + words;
}

QString issueLines(const std::vector<ShowIssue>& issues) {
    QStringList lines;
    for (size_t i = 0; i < issues.size() && i < size_t{kShownIssues}; ++i)
        lines << issueLine(issues[i]);
    if (issues.size() > size_t{kShownIssues})
        lines << ShowFiles::tr("... 另有 %1 项").arg(issues.size() - kShownIssues);
    return lines.join(QLatin1Char('\n'));
}

QString filter() {
    return ShowFiles::tr("演出文件 (*.json)");
}

}  // namespace

// A unit that gets the file's settings, and what its session held before.
struct ShowFiles::Sending {
    ShowUnitTask* task = nullptr;
    QPointer<UnitSession> session;
    QPointer<CQelEquipmentDlg> editor;  // the session's view, when one is open
    ModeRecord before;
};

ShowFiles::ShowFiles(CQuellmarApp& app, CMainFrame& frame) : app_(app), frame_(frame) {}

ShowFiles::~ShowFiles() = default;

QString ShowFiles::unitLabel(const Equipment& unit) {
    QString where = QString::fromStdString(unit.addressText());
    if (unit.isVirtual())
        where = tr("虚拟");
    else if (unit.hasFlag(linkflag::kSerial))
        where = QString::fromStdString(unit.portName());
    const std::string_view model = modelName(unit.modelCode());
    return QStringLiteral("%1 (%2, %3)")
        .arg(nameOf(unit), QString::fromLatin1(model.data(), static_cast<qsizetype>(model.size())),
             where);
}

// ---- saving

void ShowFiles::chooseSave() {
    const QString path = QFileDialog::getSaveFileName(
        &frame_, tr("保存演出文件"), QDir(folder()).filePath(QStringLiteral("show.json")),
        filter());
    if (path.isEmpty()) return;
    keepFolder(path);
    save(path.endsWith(QLatin1String(".json"), Qt::CaseInsensitive)
             ? path
             : path + QStringLiteral(".json"));
}

bool ShowFiles::save(const QString& path) {
    const auto units = app_.equipment().snapshot();
    if (units.empty()) {
        showMessage(&frame_, tr("设备列表中没有设备, 没有可保存的内容。"), kQuellmar);
        return false;
    }
    // A connected unit's settings are its session's, the ones people see and work on.
    Tasks tasks = tasksFor(units);
    std::vector<ShowUnitTask*> unread;
    for (const auto& task : tasks) {
        if (task->sessionOpen())
            task->setRecord(app_.sessions().of(*task->unit())->edit().image().record());
        else
            unread.push_back(task.get());
    }
    const bool read = readAll(unread, tr(" 保存演出文件"));
    letGo(tasks);
    if (!read) return false;
    const QStringList failed = failures(unread);
    const QString problem =
        failed.isEmpty()
            ? namedTwice(tasks)
            : tr("以下设备无法读取, 演出文件没有保存:\n%1").arg(failed.join(QLatin1Char('\n')));
    if (!problem.isEmpty()) {
        showMessage(&frame_, problem, kQuellmar);
        return false;
    }
    std::vector<ShowUnit> show;
    for (const auto& task : tasks) show.push_back(showUnitOf(*task));
    if (!writeFile(path, showJson(show, app_.groups().set().groups))) return false;
    frame_.showPaneText(0, tr("演出文件已保存: %1 台设备").arg(show.size()));
    return true;
}

// A show holds one unit of a name per model (units fresh from the factory share theirs).
QString ShowFiles::namedTwice(const Tasks& tasks) const {
    for (size_t i = 0; i < tasks.size(); ++i) {
        const Equipment& b = *tasks[i]->unit();
        for (size_t j = 0; j < i; ++j) {
            const Equipment& a = *tasks[j]->unit();
            if (a.modelCode() == b.modelCode() && nameOf(a) == nameOf(b))
                return tr("%1 和 %2 同名, 演出文件没有保存: 文件中同一型号的设备各要有自己的名称。"
                          "请先在编辑器的系统页给其中一台改名。")
                    .arg(unitLabel(a), unitLabel(b));
        }
    }
    return {};
}

ShowFiles::Tasks ShowFiles::tasksFor(const std::vector<std::shared_ptr<Equipment>>& units) const {
    Tasks tasks;
    for (const auto& unit : units) tasks.push_back(taskFor(unit));
    return tasks;
}

std::unique_ptr<ShowUnitTask> ShowFiles::taskFor(std::shared_ptr<Equipment> unit) const {
    const bool open = app_.sessions().of(*unit) != nullptr;
    return std::make_unique<ShowUnitTask>(std::move(unit), app_.linkSettings(), open);
}

bool ShowFiles::readAll(const std::vector<ShowUnitTask*>& tasks, const QString& title) {
    const bool done = runTasks(tasks, title, tr("读取 %1 (%2/%3)"), &ShowUnitTask::read);
    frame_.repaintEquipmentList();
    return done;
}

bool ShowFiles::runTasks(const std::vector<ShowUnitTask*>& tasks, const QString& title,
                         const QString& status, TaskStep step) {
    std::vector<ShowJobWindow::Step> steps;
    const int count = static_cast<int>(tasks.size());
    for (int i = 0; i < count; ++i) {
        ShowUnitTask* task = tasks[static_cast<size_t>(i)];
        steps.push_back(
            {task->unit().get(), status.arg(nameOf(*task->unit())).arg(i + 1).arg(count),
             [task, step](const UnitTransfer::Progress& progress, const std::atomic<bool>* cancel) {
                 (task->*step)(progress, cancel);
             }});
    }
    // The connected units are held meanwhile: no edit and no reconnect of their own.
    std::vector<UnitSession::Lease> leases;
    for (ShowUnitTask* task : tasks)
        if (UnitSession* session = app_.sessions().of(*task->unit())) {
            session->stopReconnecting();
            if (auto lease = session->lease(title.trimmed())) leases.push_back(std::move(*lease));
        }
    bool done = false;
    frame_.runGuarded([&] { done = ShowJobWindow::run(title, std::move(steps), &frame_); });
    return done;
}

void ShowFiles::letGo(const Tasks& tasks) {
    frame_.runGuarded([&tasks] {
        runBusy([&tasks] {
            for (const auto& task : tasks) task->letGo();
        });
    });
    frame_.repaintEquipmentList();
}

// "Main Stage (QD408, 127.0.0.3): 设备没有应答。", one line per task that did not get done.
QStringList ShowFiles::failures(const std::vector<ShowUnitTask*>& tasks) const {
    QStringList lines;
    for (const ShowUnitTask* task : tasks)
        if (task->outcome() != ShowUnitTask::Outcome::Done)
            lines << unitLabel(*task->unit()) + QStringLiteral(": ") + outcomeText(*task);
    return lines;
}

QString ShowFiles::outcomeText(const ShowUnitTask& task) const {
    const Equipment& unit = *task.unit();
    switch (task.outcome()) {
        case ShowUnitTask::Outcome::Done:
            return {};
        case ShowUnitTask::Outcome::PortFailed:
            return tr("无法打开 %1: %2")
                .arg(QString::fromStdString(unit.portName()),
                     LinkErrorWords::text(unit.lastError()));
        case ShowUnitTask::Outcome::NoAnswer:
            return tr("设备没有应答。");
        case ShowUnitTask::Outcome::ReadFailed:
            return tr("无法读取设备的设置。");
        case ShowUnitTask::Outcome::LinkLost:
            return tr("设备已经断开, 正在自动重连, 请稍后再试。");
        case ShowUnitTask::Outcome::NotProven:
            return CQelSyncBar::failureText(task.report().get(), unit.modelCode());
        case ShowUnitTask::Outcome::NotRun:
        case ShowUnitTask::Outcome::Cancelled:
            break;
    }
    return tr("已取消。");
}

ShowUnit ShowFiles::showUnitOf(const ShowUnitTask& task) const {
    const Equipment& unit = *task.unit();
    ShowUnit show;
    show.modelCode = unit.modelCode();
    show.name = unpaddedUnitText(unit.deviceName());
    show.transport = unit.isVirtual()                  ? ShowTransport::Virtual
                     : unit.hasFlag(linkflag::kSerial) ? ShowTransport::Serial
                                                       : ShowTransport::Network;
    show.address = showAddress(unit);
    show.record = *task.record();
    return show;
}

// A serial unit by the device it is reached through, others by their address.
std::string ShowFiles::showAddress(const Equipment& unit) const {
    if (unit.hasFlag(linkflag::kSerial)) return app_.serialMap().devicePath(unit.portName());
    return unit.addressText();
}

bool ShowFiles::writeFile(const QString& path, const QByteArray& json) {
    // Written beside the target and put in place only when complete.
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(json) == json.size() && file.commit())
        return true;
    showMessage(&frame_, tr("无法写入文件 %1:\n%2").arg(path, file.errorString()), kQuellmar);
    return false;
}

QString ShowFiles::folder() const {
    return QSettings(app_.configPath(), QSettings::IniFormat)
        .value(kFolderKey, QDir::homePath())
        .toString();
}

void ShowFiles::keepFolder(const QString& path) {
    QSettings(app_.configPath(), QSettings::IniFormat)
        .setValue(kFolderKey, QFileInfo(path).absolutePath());
}

// ---- opening

void ShowFiles::chooseOpen() {
    const QString path =
        QFileDialog::getOpenFileName(&frame_, tr("打开演出文件"), folder(), filter());
    if (path.isEmpty()) return;
    keepFolder(path);
    open(path);
}

bool ShowFiles::open(const QString& path) {
    const auto show = readFile(path);
    if (!show) return false;
    const auto units = app_.equipment().snapshot();
    Tasks tasks = tasksFor(units);
    std::vector<ShowCandidate> present;
    for (const auto& unit : units)
        present.push_back(
            {unit->modelCode(), unpaddedUnitText(unit->deviceName()), showAddress(*unit)});
    const std::vector<int> matches = matchShowUnits(show->units, present);
    // What the matched units hold now, also those an editor shows.
    std::vector<ShowUnitTask*> unread;
    for (int m : matches)
        if (m >= 0) unread.push_back(tasks[static_cast<size_t>(m)].get());
    const bool sent = readAll(unread, tr(" 打开演出文件")) && chooseAndSend(*show, tasks, matches);
    letGo(tasks);
    app_.virtualUnits().save();
    return sent;
}

std::optional<ShowRead> ShowFiles::readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        showMessage(&frame_, tr("无法读取文件 %1:\n%2").arg(path, file.errorString()), kQuellmar);
        return std::nullopt;
    }
    ShowRead show = readShowJson(file.readAll());
    if (!show.ok()) {
        showMessage(&frame_,
                    tr("演出文件有错误, 没有发送任何设置:\n%1").arg(issueLines(show.errors)),
                    kQuellmar);
        return std::nullopt;
    }
    return show;
}

bool ShowFiles::chooseAndSend(const ShowRead& show, Tasks& tasks, const std::vector<int>& matches) {
    std::vector<ShowTableDlg::Present> present;
    for (const auto& task : tasks)
        present.push_back({unitLabel(*task->unit()), task->unit()->modelCode(), task->record()});
    ShowTableDlg table(show.units, std::move(present), matches, &frame_);
    table.setReader([this, &tasks](int unit) {
        ShowUnitTask* task = tasks[static_cast<size_t>(unit)].get();
        readAll({task}, tr(" 打开演出文件"));
        return task->record();
    });
    if (!show.moved.empty())
        table.setNotes(tr("以下数值已移到设备能保存的值:\n%1").arg(issueLines(show.moved)));
    if (table.exec() != QDialog::Accepted) return false;
    std::vector<Sending> sends;
    QStringList failed;
    for (int row = 0; row < table.rowCount(); ++row) {
        if (!table.sent(row)) continue;
        const ShowUnit& file = show.units[static_cast<size_t>(row)];
        const int choice = table.choice(row);
        ShowUnitTask* task = choice >= 0 ? tasks[static_cast<size_t>(choice)].get()
                                         : newVirtualUnit(file, tasks, failed);
        if (task) sends.push_back(prepare(*task, file));
    }
    frame_.repaintEquipmentList();
    if (sends.empty() && failed.isEmpty()) return false;
    const bool whole = sendAll(sends);
    settle(sends);
    // A show with groups brings them: what the units that took it hold is counted in them.
    if (show.hasGroups) {
        std::set<std::pair<std::string, uint32_t>> took;
        for (const Sending& s : sends)
            if (s.task->outcome() == ShowUnitTask::Outcome::Done)
                took.insert({GroupControl::unitName(*s.task->unit()), s.task->unit()->modelCode()});
        app_.groups().adopt(show.groups, [&took](const GroupMember& m) {
            return took.contains({m.unit, m.modelCode});
        });
    }
    letGo(tasks);  // the list shows the units as they are left before the account comes
    return tell(sends, failed) && whole;
}

ShowUnitTask* ShowFiles::newVirtualUnit(const ShowUnit& file, Tasks& tasks, QStringList& failed) {
    auto unit =
        app_.virtualUnits().add(static_cast<int>(file.modelCode), file.name, app_.equipment());
    if (!unit) {
        failed << tr("%1: 无法添加虚拟设备: %2")
                      .arg(QString::fromStdString(file.name), app_.virtualUnits().lastError());
        return nullptr;
    }
    tasks.push_back(taskFor(unit));
    return tasks.back().get();
}

// The file's settings become the unit's image, which the download sends; a connected unit's
// image is its session's, and an open editor's pages wait meanwhile.
ShowFiles::Sending ShowFiles::prepare(ShowUnitTask& task, const ShowUnit& file) {
    Equipment& unit = *task.unit();
    Sending s{
        &task, task.sessionOpen() ? app_.sessions().of(unit) : nullptr, frame_.editorOf(unit), {}};
    if (s.session) {
        if (s.editor) s.editor->holdPages(true);
        ModeRecord& record = s.session->edit().image().record();
        s.before = record;
        record = file.record;
        unit.setImage(s.session->image());
        unit.setFlags(linkflag::kMeterPaused);
        return s;
    }
    const auto was = unit.image();
    auto image = was ? std::make_shared<ModeImage>(*was) : std::make_shared<ModeImage>();
    image->record() = file.record;
    unit.setImage(std::move(image));
    return s;
}

bool ShowFiles::sendAll(std::vector<Sending>& sends) {
    std::vector<ShowUnitTask*> tasks;
    for (const Sending& send : sends) tasks.push_back(send.task);
    return runTasks(tasks, tr(" 发送演出文件"), tr("发送到 %1 (%2/%3)"), &ShowUnitTask::send);
}

// An editor shows what its unit now holds; one whose unit did not take the file keeps its
// settings, and its sync offer puts the unit right.
void ShowFiles::settle(const std::vector<Sending>& sends) {
    for (const Sending& s : sends) {
        const bool sent = s.task->outcome() == ShowUnitTask::Outcome::Done;
        app_.events().transfer(*s.task->unit(), EventRecord::kShowSend, sent,
                               sent ? QString() : outcomeText(*s.task));
        if (!s.session) continue;
        s.task->unit()->clearFlags(linkflag::kMeterPaused);
        const bool done = s.task->outcome() == ShowUnitTask::Outcome::Done;
        if (!done) s.session->edit().image().record() = s.before;
        if (done) s.session->history().clear();
        if (!s.editor) continue;
        if (done) s.editor->fullTransferDone();
        s.editor->holdPages(false);
        s.editor->syncBar()->refresh();
    }
}

bool ShowFiles::tell(const std::vector<Sending>& sends, QStringList failed) {
    std::vector<ShowUnitTask*> tasks;
    for (const Sending& s : sends) tasks.push_back(s.task);
    const QStringList notDone = failures(tasks);
    const auto done = sends.size() - static_cast<size_t>(notDone.size());
    failed = notDone + failed;
    QString text = tr("%1 台设备已收到演出文件的设置并读回验证。").arg(done);
    if (!failed.isEmpty())
        text += QStringLiteral("\n\n") +
                tr("以下设备没有成功:\n%1").arg(failed.join(QLatin1Char('\n')));
    showMessage(&frame_, text, kQuellmar,
                failed.isEmpty() ? MsgIcon::Information : MsgIcon::Exclamation);
    return failed.isEmpty();
}

}  // namespace qel
