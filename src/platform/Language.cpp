// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "platform/Language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QSettings>
#include <QTranslator>
#include <atomic>

namespace qel {

namespace {
constexpr const char* kKey = "View/Language";
std::atomic<bool> gEnglishShown{false};
}  // namespace

QString Language::configured(const QString& configPath) {
    const QString code = QSettings(configPath, QSettings::IniFormat).value(kKey).toString();
    return code == kEnglish ? QString(kEnglish) : QString(kChinese);
}

void Language::save(const QString& configPath, const QString& code) {
    QSettings(configPath, QSettings::IniFormat).setValue(kKey, code);
}

bool Language::install(QCoreApplication& app, const QString& code) {
    auto load = [&app](const QString& name, const QString& dir) {
        auto* translator = new QTranslator(&app);
        if (translator->load(name, dir) && QCoreApplication::installTranslator(translator))
            return true;
        delete translator;
        return false;
    };
    if (code == kEnglish) {
        gEnglishShown = load(QStringLiteral("quellmar_en"), QStringLiteral(":/i18n"));
        return gEnglishShown;
    }
    gEnglishShown = false;
    // Qt's own texts (the buttons of message boxes) in Chinese, where Qt's translations
    // are installed.
    load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    return false;
}

QString Language::shown() { return gEnglishShown ? QString(kEnglish) : QString(kChinese); }

}  // namespace qel
