// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QDialog>
#include <QProgressBar>
#include <QPushButton>
#include <atomic>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>

namespace qel {

// The small modal window with a prompt, a progress bar and a status line that both the
// search and the connection jobs show while their worker thread runs. The worker talks to
// the window only through queued calls; the window cannot be closed by the user while the
// job runs, unless the job can be cancelled: then its "取消" button, Escape and the close box
// ask the job to stop, and the window closes when it has. It joins the worker before it goes
// away. The window opens centred on the screen.
class ProgressWindow : public QDialog {
    Q_OBJECT
public:
    // Plain: static texts in the dialog's font; Skinned: the program's grey labels.
    enum class Labels { Plain, Skinned };

    ProgressWindow(const QString& title, const QString& prompt, const QString& status,
                   Labels labels, QWidget* parent);
    ~ProgressWindow() override;

    QProgressBar* bar() const { return bar_; }
    QString promptText() const;
    QString statusText() const;

    // Thread-safe: queue a progress position and, when given, a new status text (UTF-8).
    void postProgress(int position, std::optional<std::string> status);

    // Adds the "取消" button (before the window is shown); the job can then be cancelled.
    void offerCancel();
    QPushButton* cancelButton() const { return cancelButton_; }
    // Asks the job to stop, once (cancelJob()); nothing when it cannot be cancelled.
    void requestCancel();
    bool cancelRequested() const { return cancelRequested_; }
    // The job's worker has not ended yet.
    bool jobRunning() const { return running_; }
    // Runs the window until its job is done without Qt's modality: the other visible windows
    // are disabled meanwhile instead of blocked, so that their close requests still reach
    // them. The window stays above over's window. Not a child of a window it disables.
    int execBeside(QWidget* over);

signals:
    // Emitted on the worker thread; queued to the window's thread.
    void progressPosted();
    void workerDone();

protected:
    // Starts the job on the worker; the job's return runs finished() on the GUI thread.
    void startWorker(std::function<void()> job);
    // A job that runs elsewhere, not on the window's worker: the window shows it as running
    // from jobStarted() until jobEnded(), which runs finished().
    void jobStarted() { running_ = true; }
    void jobEnded();
    void setStatusText(const QString& text);
    virtual void finished() { accept(); }
    // GUI thread: tell the worker to stop (the job then ends as usual).
    virtual void cancelJob() {}
    void reject() override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void showPending();
    void endWorker();

    QProgressBar* bar_;
    QWidget* prompt_;
    QWidget* status_;
    QPushButton* cancelButton_ = nullptr;
    bool cancelRequested_ = false;
    std::thread worker_;
    std::atomic<bool> running_{false};
    // Posts wait here rather than travel as QStrings in the event: the worker's string then
    // never shares a reference count with copies that Qt drops on the GUI thread.
    std::mutex pendingLock_;
    std::deque<std::pair<int, std::optional<std::string>>> pending_;
};

}  // namespace qel
