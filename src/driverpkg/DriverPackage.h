// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QByteArray>
#include <QString>
#include <string>
#include <vector>

namespace qel {

// The USB driver package compiled into the program: a udev rule for the units' USB-serial
// chip, the set-up script that installs it, and notes, in the container format of
// DriverContainer. Unpacked into the user's data folder ("FTDI" and "FTDI/i386").
class DriverPackage {
public:
    static constexpr const char* kResource = ":/driver/quellmar-driver.pkg";
    static constexpr const char* kSubfolder = "i386";
    static constexpr const char* kSetupScript = "setup.sh";

    struct Unpacked {
        bool ok = false;
        QString file;    // the file or folder that could not be written
        QString reason;  // why the container was refused
        int written = 0;
    };

    // The compiled-in container, copied on first use and kept; empty when it is missing.
    // Safe from any thread.
    static const QByteArray& builtIn();
    // "<user's data folder>/FTDI".
    static QString defaultFolder();

    // Creates folder and folder/i386 and writes the 14 files. A container that DriverContainer
    // refuses writes nothing; a file that cannot be written stops the unpacking there. Each
    // file is written beside its place and renamed over it; a link in its place is removed
    // first, never followed.
    static Unpacked unpack(const QByteArray& container, const QString& folder);

    // How the set-up script is started: the shell with the script's path.
    static std::vector<std::string> setupCommand(const QString& folder);
};

}  // namespace qel
