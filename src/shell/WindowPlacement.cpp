// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "shell/WindowPlacement.h"

#include <QDir>
#include <QSettings>
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

void WindowPlacement::load(QWidget& window, const QString& iniPath, QRect screen) {
    const Placement placement = read(iniPath, screen.size());
    // Qt sizes the inside of a window: take off the frame, once the platform knows it.
    auto place = [&window, &placement] {
        const QSize frame = window.frameGeometry().size() - window.geometry().size();
        window.resize(placement.frame.size() - frame);
        window.move(placement.frame.topLeft());
    };
    window.winId();  // creates the platform window, which knows the frame
    place();
    if (placement.maximised) {
        window.showMaximized();
        return;
    }
    window.showNormal();
    if (window.frameGeometry() != placement.frame) place();
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
