#pragma once

#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <atomic>
#include <functional>
#include <thread>

namespace qel {

// The small modal window with a prompt, a progress bar and a status line that both the
// search and the connection jobs show while their worker thread runs. The worker talks to
// the window only through queued calls; the window cannot be closed by the user while the
// job runs, and it joins the worker before it goes away.
class ProgressWindow : public QDialog {
    Q_OBJECT
public:
    ProgressWindow(const QString& title, const QString& prompt, const QString& status,
                   QWidget* parent);
    ~ProgressWindow() override;

    QProgressBar* bar() const { return bar_; }
    QLabel* promptLabel() const { return prompt_; }
    QLabel* statusLabel() const { return status_; }

    // Thread-safe: queue a progress position and status text for the window.
    void postProgress(int position, const QString& status) { emit progressPosted(position, status); }

signals:
    // Emitted on the worker thread; queued to the window's thread.
    void progressPosted(int position, const QString& status);
    void workerDone();

protected:
    // Starts the job on the worker; the job's return runs finished() on the GUI thread.
    void startWorker(std::function<void()> job);
    virtual void finished() { accept(); }
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    void showProgress(int position, const QString& status);
    void endWorker();

    QProgressBar* bar_;
    QLabel* prompt_;
    QLabel* status_;
    std::thread worker_;
    std::atomic<bool> running_{false};
};

}  // namespace qel
