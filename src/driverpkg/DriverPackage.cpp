// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "driverpkg/DriverPackage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include "driverpkg/DriverContainer.h"

namespace qel {

const QByteArray& DriverPackage::builtIn() {
    static const QByteArray package = [] {
        QFile resource(kResource);
        return resource.open(QIODevice::ReadOnly) ? resource.readAll() : QByteArray();
    }();
    return package;
}

QString DriverPackage::defaultFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/FTDI";
}

std::vector<std::string> DriverPackage::setupCommand(const QString& folder) {
    return {"/bin/sh", QDir(folder).filePath(kSetupScript).toStdString()};
}

DriverPackage::Unpacked DriverPackage::unpack(const QByteArray& container, const QString& folder) {
    Unpacked result;
    const auto* data = reinterpret_cast<const uint8_t*>(container.constData());
    std::string error;
    const auto records =
        DriverContainer::read(data, static_cast<size_t>(container.size()), &error);
    if (!records) {
        result.reason = QString::fromStdString(error);
        return result;
    }
    const QString sub = QDir(folder).filePath(kSubfolder);
    for (const QString& dir : {folder, sub}) {
        if (!QDir().mkpath(dir)) {
            result.file = dir;
            return result;
        }
    }
    for (const auto& record : *records) {
        const QString path =
            QDir(record.inSubfolder() ? sub : folder).filePath(QString::fromStdString(record.name));
        // A link in the file's place is removed, so that the write stays in the folder.
        if (QFileInfo(path).isSymLink()) QFile::remove(path);
        QSaveFile file(path);
        const auto size = static_cast<qint64>(record.size);
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(container.constData() + record.offset, size) != size || !file.commit()) {
            result.file = path;
            return result;
        }
        if (path.endsWith(".sh"))
            QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner |
                                            QFile::ExeGroup | QFile::ExeOther);
        ++result.written;
    }
    result.ok = true;
    return result;
}

}  // namespace qel
