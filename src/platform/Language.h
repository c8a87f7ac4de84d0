// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QString>

class QCoreApplication;

namespace qel {

// The interface language: "zh", the program's own texts, or "en". Kept in QelConfig.ini
// ("View" / "Language") and applied at start-up.
class Language {
public:
    static constexpr const char* kChinese = "zh";
    static constexpr const char* kEnglish = "en";

    static QString configured(const QString& configPath);
    static void save(const QString& configPath, const QString& code);
    // Installs the translation of code into the application; true when the program's texts
    // were translated (Chinese, their own language, needs none).
    static bool install(QCoreApplication& app, const QString& code);
    // The language the program's texts are shown in: that of the last install(), which may
    // differ from the configured one (quellmar --lang).
    static QString shown();
};

}  // namespace qel
