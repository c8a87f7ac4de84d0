// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <functional>
#include <string>
#include <vector>

class QWidget;

namespace qel {

// The menu command "安装 USB 驱动": asks, unpacks the driver package into the user's data
// folder, starts its set-up script without waiting for it and asks for the cable to be
// plugged in again. When the package cannot be unpacked it says which file failed and
// starts nothing. GUI thread only.
class UsbDriverInstall {
    Q_DECLARE_TR_FUNCTIONS(qel::UsbDriverInstall)
public:
    using Starter = std::function<bool(const std::vector<std::string>& argv, std::string* error)>;

    struct Options {
        QString folder;      // "" = DriverPackage::defaultFolder()
        QByteArray package;  // empty = the compiled-in package
        Starter start;       // empty = startDetached
        uint32_t beforeScriptMs = 100;
        uint32_t afterScriptMs = 2000;
    };

    // True when the set-up script was started.
    static bool run(QWidget* parent, const Options& options);
};

}  // namespace qel
