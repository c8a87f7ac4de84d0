// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "controls/MessageBoxes.h"
#include "driverpkg/DriverContainer.h"
#include "driverpkg/DriverPackage.h"
#include "driverpkg/install/UsbDriverInstall.h"

using namespace qel;

// The install command with scripted answers; the set-up script's start is recorded, not run.
class UsbDriverInstallTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        setMessageBoxes(&boxes);
        started.clear();
        options = {};
        dir = std::make_unique<QTemporaryDir>();
        options.folder = dir->path() + "/FTDI";
        options.beforeScriptMs = options.afterScriptMs = 0;
        options.start = [this](const std::vector<std::string>& argv, std::string*) {
            started.push_back(argv);
            return true;
        };
    }
    void cleanup() {
        setMessageBoxes(nullptr);
        boxes = ScriptedMessageBoxes();
    }

    void yesUnpacksStartsTheScriptAndAsksForTheCable() {
        boxes.answer(MsgAnswer::Yes);
        QVERIFY(UsbDriverInstall::run(nullptr, options));
        QCOMPARE(boxes.shown().size(), size_t{2});
        QCOMPARE(boxes.shown()[0].text, QString("您确定要安装 USB 驱动吗 ?"));
        QCOMPARE(boxes.shown()[0].buttons, MsgButtons::YesNo);
        QCOMPARE(boxes.shown()[0].icon, MsgIcon::Question);
        QCOMPARE(boxes.shown()[1].text, QString("请重新插 USB 端口线, 再尝试连接...  "));
        QCOMPARE(boxes.shown()[1].caption, QString("Quellmar"));
        QCOMPARE(boxes.shown()[1].buttons, MsgButtons::Ok);
        QCOMPARE(started.size(), size_t{1});
        QCOMPARE(started[0].back(), (options.folder + "/setup.sh").toStdString());
        QVERIFY(QFile::exists(options.folder + "/setup.sh"));
        QVERIFY(QFileInfo(options.folder + "/setup.sh").isExecutable());
    }

    void noInstallsNothing() {
        boxes.answer(MsgAnswer::No);
        QVERIFY(!UsbDriverInstall::run(nullptr, options));
        QCOMPARE(boxes.shown().size(), size_t{1});
        QVERIFY(started.empty());
        QVERIFY(!QFile::exists(options.folder));
    }

    void failedUnpackNamesTheFileAndRunsNoScript() {
        QVERIFY(QDir().mkpath(options.folder + "/setup.sh"));  // a folder where a file goes
        boxes.answer(MsgAnswer::Yes);
        QVERIFY(!UsbDriverInstall::run(nullptr, options));
        QCOMPARE(boxes.shown().size(), size_t{2});
        QCOMPARE(boxes.shown()[1].text,
                 QString("错误: 无法写入文件 %1 !").arg(options.folder + "/setup.sh"));
        QVERIFY(started.empty());
    }

    void refusedPackageSaysWhyAndRunsNoScript() {
        std::vector<DriverContainer::File> files(13, {0, "a.txt", {}});
        const auto c = *DriverContainer::build(files);
        options.package = QByteArray(reinterpret_cast<const char*>(c.data()), qsizetype(c.size()));
        boxes.answer(MsgAnswer::Yes);
        QVERIFY(!UsbDriverInstall::run(nullptr, options));
        QCOMPARE(boxes.shown()[1].text, QString("错误: USB 驱动包已损坏 (only 13 records) !"));
        QVERIFY(started.empty());
        QVERIFY(!QFile::exists(options.folder));
    }

private:
    ScriptedMessageBoxes boxes;
    std::unique_ptr<QTemporaryDir> dir;
    UsbDriverInstall::Options options;
    std::vector<std::vector<std::string>> started;
};

QTEST_MAIN(UsbDriverInstallTest)
#include "UsbDriverInstallTest.moc"
