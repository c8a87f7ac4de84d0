// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "ui/ProgressWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QWindow>
#include <vector>

#include "controls/QelStatic.h"

namespace qel {

namespace {
// Client area 300 x 100: the window is 306 pixels wide with its frame.
constexpr int kClientWidth = 300, kClientHeight = 100;

QWidget* label(ProgressWindow::Labels kind, const QString& text, bool centred, QRect r,
               QWidget* parent) {
    QWidget* w = nullptr;
    if (kind == ProgressWindow::Labels::Skinned) {
        w = new CQelStatic(
            text, (centred ? dt::kCenter : dt::kLeft) | dt::kVCenter | dt::kSingleLine, parent);
    } else {
        auto* l = new QLabel(text, parent);
        l->setAlignment((centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter);
        w = l;
    }
    w->setGeometry(r);
    return w;
}

QString textOf(const QWidget* w) {
    if (auto* l = qobject_cast<const QLabel*>(w)) return l->text();
    return static_cast<const CQelStatic*>(w)->text();
}
}  // namespace

ProgressWindow::ProgressWindow(const QString& title, const QString& prompt, const QString& status,
                               Labels labels, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setWindowTitle(title);
    setFixedSize(kClientWidth, kClientHeight);
    setModal(true);
    bar_ = new QProgressBar(this);
    bar_->setGeometry(QRect(QPoint(10, 46), QPoint(289, 65)));
    bar_->setRange(0, 100);
    bar_->setValue(0);
    bar_->setTextVisible(false);
    prompt_ = label(labels, prompt, false, QRect(QPoint(14, 14), QPoint(133, 33)), this);
    status_ = label(labels, status, true, QRect(QPoint(1, 72), QPoint(300, 91)), this);
    connect(this, &ProgressWindow::progressPosted, this, &ProgressWindow::showPending,
            Qt::QueuedConnection);
    connect(this, &ProgressWindow::workerDone, this, &ProgressWindow::endWorker,
            Qt::QueuedConnection);
}

ProgressWindow::~ProgressWindow() {
    if (worker_.joinable()) worker_.join();
}

QString ProgressWindow::promptText() const {
    return textOf(prompt_);
}
QString ProgressWindow::statusText() const {
    return textOf(status_);
}

void ProgressWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!s) return;
    QRect frame = frameGeometry();
    frame.moveCenter(s->availableGeometry().center());
    move(frame.topLeft());
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
        if (status) setStatusText(QString::fromStdString(*status));
    }
}

void ProgressWindow::setStatusText(const QString& text) {
    if (auto* l = qobject_cast<QLabel*>(status_))
        l->setText(text);
    else
        static_cast<CQelStatic*>(status_)->setText(text);
}

void ProgressWindow::startWorker(std::function<void()> job) {
    running_ = true;
    worker_ = std::thread([this, job = std::move(job)] {
        job();
        emit workerDone();
    });
}

void ProgressWindow::endWorker() {
    if (worker_.joinable()) worker_.join();
    jobEnded();
}

void ProgressWindow::jobEnded() {
    running_ = false;
    finished();
}

void ProgressWindow::offerCancel() {
    if (cancelButton_) return;
    cancelButton_ = new QPushButton(tr("取消"), this);
    cancelButton_->setObjectName("Qel.CancelButton");
    cancelButton_->setGeometry(QRect(QPoint(206, 10), QPoint(289, 37)));
    cancelButton_->setAutoDefault(false);
    connect(cancelButton_, &QPushButton::clicked, this, &ProgressWindow::requestCancel);
}

void ProgressWindow::requestCancel() {
    if (!cancelButton_ || cancelRequested_ || !running_) return;
    cancelRequested_ = true;
    cancelButton_->setEnabled(false);
    cancelJob();
}

void ProgressWindow::reject() {
    if (running_)
        requestCancel();  // Escape
    else
        QDialog::reject();
}

void ProgressWindow::closeEvent(QCloseEvent* event) {
    if (running_) {
        event->ignore();
        requestCancel();
    } else {
        QDialog::closeEvent(event);
    }
}

int ProgressWindow::execBeside(QWidget* over) {
    std::vector<QPointer<QWidget>> held;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w == this || !w->isVisible() || !w->isEnabled()) continue;
        w->setEnabled(false);
        held.emplace_back(w);
    }
    setWindowModality(Qt::NonModal);
    winId();  // the native window, to stay above over's
    if (over && over->window()->windowHandle())
        windowHandle()->setTransientParent(over->window()->windowHandle());
    QEventLoop loop;
    connect(this, &QDialog::finished, &loop, &QEventLoop::quit);
    show();
    activateWindow();
    if (isVisible()) loop.exec(QEventLoop::DialogExec);
    for (const auto& w : held)
        if (w) w->setEnabled(true);
    return result();
}

}  // namespace qel
