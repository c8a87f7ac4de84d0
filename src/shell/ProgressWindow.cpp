#include "shell/ProgressWindow.h"

#include <QCloseEvent>

namespace qel {

namespace {
// Client area 300 x 100: the window is 306 pixels wide with its frame.
constexpr int kClientWidth = 300, kClientHeight = 100;

QLabel* label(const QString& text, Qt::Alignment align, QRect r, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setAlignment(align | Qt::AlignVCenter);
    l->setGeometry(r);
    QFont f("Tahoma");
    f.setPixelSize(13);
    l->setFont(f);
    return l;
}
}  // namespace

ProgressWindow::ProgressWindow(const QString& title, const QString& prompt,
                               const QString& status, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setWindowTitle(title);
    setFixedSize(kClientWidth, kClientHeight);
    setModal(true);
    bar_ = new QProgressBar(this);
    bar_->setGeometry(QRect(QPoint(10, 46), QPoint(289, 65)));
    bar_->setRange(0, 100);
    bar_->setValue(0);
    bar_->setTextVisible(false);
    prompt_ = label(prompt, Qt::AlignLeft, QRect(QPoint(14, 14), QPoint(133, 33)), this);
    status_ = label(status, Qt::AlignHCenter, QRect(QPoint(1, 72), QPoint(300, 91)), this);
    connect(this, &ProgressWindow::progressPosted, this, &ProgressWindow::showPending,
            Qt::QueuedConnection);
    connect(this, &ProgressWindow::workerDone, this, &ProgressWindow::endWorker,
            Qt::QueuedConnection);
}

ProgressWindow::~ProgressWindow() {
    if (worker_.joinable()) worker_.join();
}

void ProgressWindow::postProgress(int position, std::optional<std::string> status) {
    {
        std::lock_guard lock(pendingLock_);
        pending_.emplace_back(position, std::move(status));
    }
    emit progressPosted();
}

void ProgressWindow::showPending() {
    decltype(pending_) posts;
    {
        std::lock_guard lock(pendingLock_);
        posts.swap(pending_);
    }
    for (const auto& [position, status] : posts) {
        bar_->setValue(position);
        if (status) status_->setText(QString::fromStdString(*status));
    }
}

void ProgressWindow::startWorker(std::function<void()> job) {
    running_ = true;
    worker_ = std::thread([this, job = std::move(job)] {
        job();
        emit workerDone();
    });
}

void ProgressWindow::endWorker() {
    running_ = false;
    if (worker_.joinable()) worker_.join();
    finished();
}

void ProgressWindow::reject() {
    if (!running_) QDialog::reject();
}

void ProgressWindow::closeEvent(QCloseEvent* event) {
    if (running_) event->ignore();
    else QDialog::closeEvent(event);
}

}  // namespace qel
