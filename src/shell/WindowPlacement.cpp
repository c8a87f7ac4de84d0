// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "shell/WindowPlacement.h"

#include <QDir>
#include <QEvent>
#include <QSettings>
#include <QTimer>
#include <QWidget>

namespace qel {

namespace {

const QString kSection = QStringLiteral("MainWindow/");

// An integer key read the way the file has always been read: missing gives the default,
// otherwise the leading decimal digits (with a sign) and 0 where there are none.
int readInt(const QSettings& ini, const QString& key, int fallback) {
    const QVariant value = ini.value(kSection + key);
    if (!value.isValid()) return fallback;
    const QString text = value.toString().trimmed();
    qsizetype end = text.startsWith(QLatin1Char('-')) || text.startsWith(QLatin1Char('+')) ? 1 : 0;
    while (end < text.size() && text[end].isDigit()) ++end;
    bool ok = false;
    const int number = text.left(end).toInt(&ok);
    return ok ? number : 0;
}

}  // namespace

QString WindowPlacement::configPath() {
    return configPath(QDir::currentPath());
}

QString WindowPlacement::configPath(const QString& dir) {
    QString path = dir;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!path.endsWith(QLatin1Char('/'))) path += QLatin1Char('/');
    return path + QStringLiteral("QelConfig.ini");
}

QRect WindowPlacement::centred(QSize screen) {
    return {(screen.width() - kDefaultWidth) / 2, (screen.height() - kDefaultHeight) / 2,
            kDefaultWidth, kDefaultHeight};
}

WindowPlacement::Placement WindowPlacement::read(const QString& iniPath, QSize screen) {
    const QSettings ini(iniPath, QSettings::IniFormat);
    Placement placement;
    placement.maximised = readInt(ini, QStringLiteral("MaxSize"), 0) != 0;
    int width = readInt(ini, QStringLiteral("Width"), kDefaultWidth);
    int height = readInt(ini, QStringLiteral("Height"), kDefaultHeight);
    if (width <= 0) width = kDefaultWidth;
    if (height <= 0) height = kDefaultHeight;
    const int left = readInt(ini, QStringLiteral("Left"), (screen.width() - width) / 2);
    const int top = readInt(ini, QStringLiteral("Top"), (screen.height() - height) / 2);
    const int sw = screen.width() - kScreenMargin, sh = screen.height() - kScreenMargin;
    const bool fits = left < sw && top < sh && left + width > kScreenMargin &&
                      top + height > kScreenMargin && width <= sw && height <= sh;
    placement.frame = fits ? QRect(left, top, width, height) : centred(screen);
    return placement;
}

WindowPlacement::Placement WindowPlacement::of(const QWidget& window, QSize screen) {
    if (window.isMaximized()) return {true, centred(screen)};
    return {false, window.frameGeometry()};
}

namespace {

// Sizes a window's inside so that its frame gets the wanted size, once the window manager has
// told the frame around it (which it does only once the window shows). Gives up after a while:
// a window without a frame is already as wanted.
class FrameFit : public QObject {
public:
    FrameFit(QWidget& window, QSize frame) : QObject(&window), window_(window), frame_(frame) {
        window.installEventFilter(this);
        QTimer::singleShot(kGiveUpMs, this, &QObject::deleteLater);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const auto type = event->type();
        if (watched == &window_ &&
            (type == QEvent::Move || type == QEvent::Resize || type == QEvent::Show))
            fit();
        return false;
    }

private:
    static constexpr int kGiveUpMs = 3000;

    void fit() {
        const QSize border = window_.frameGeometry().size() - window_.size();
        if (border.isNull() || window_.isMaximized()) return;
        window_.removeEventFilter(this);
        window_.resize(frame_ - border);
        deleteLater();
    }

    QWidget& window_;
    QSize frame_;
};

}  // namespace

void WindowPlacement::load(QWidget& window, const QString& iniPath, QRect screen) {
    const Placement placement = read(iniPath, screen.size());
    // A top-level window moved before its platform window exists is placed by its frame: the
    // window manager puts the frame's top left there. The frame's size is known only later.
    window.move(placement.frame.topLeft());
    window.resize(placement.frame.size());
    if (placement.maximised) {
        window.showMaximized();
        return;
    }
    new FrameFit(window, placement.frame.size());
    window.showNormal();
}

void WindowPlacement::save(const QWidget& window, const QString& iniPath, QRect screen) {
    const Placement placement = of(window, screen.size());
    QSettings ini(iniPath, QSettings::IniFormat);
    ini.setValue(kSection + QStringLiteral("MaxSize"),
                 QString::number(placement.maximised ? 1 : 0));
    ini.setValue(kSection + QStringLiteral("Width"), QString::number(placement.frame.width()));
    ini.setValue(kSection + QStringLiteral("Height"), QString::number(placement.frame.height()));
    ini.setValue(kSection + QStringLiteral("Left"), QString::number(placement.frame.left()));
    ini.setValue(kSection + QStringLiteral("Top"), QString::number(placement.frame.top()));
    ini.sync();
}

}  // namespace qel
