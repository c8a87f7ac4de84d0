// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <gtest/gtest.h>

#include <QSettings>
#include <QTemporaryDir>

#include "netsetup/PcAddressSetup.h"
#include "support/FakeNetworkAdapters.h"

namespace qel {
namespace {

using Kind = NetworkAdapter::Kind;
using test::wired;

class PcAddressSetupTest : public ::testing::Test {
protected:
    void SetUp() override {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
        ini = dir.filePath("QelConfig.ini");
    }
    QString value(const char* key) const {
        return QSettings(ini, QSettings::IniFormat).value(key, "<absent>").toString();
    }

    QTemporaryDir dir;
    QString ini;
    test::FakeNetworkAdapters fake;
};

TEST_F(PcAddressSetupTest, TheRunMarkerCountsStartsAndTheFirstIsTold) {
    PcAddressSetup setup(fake, ini);
    EXPECT_EQ(setup.countStart(), PcAddressSetup::Start::First);
    EXPECT_EQ(setup.countStart(), PcAddressSetup::Start::Later);
    EXPECT_EQ(setup.countStart(), PcAddressSetup::Start::Later);
    EXPECT_EQ(QSettings("Quellmar", "Quellmar").value("Quellmar_Once").toString(), "3");
    EXPECT_TRUE(setup.autoIpOn());  // absent means on
    QSettings(ini, QSettings::IniFormat).setValue("NetConfig/AutoIP", "0");
    EXPECT_FALSE(setup.autoIpOn());
}

TEST_F(PcAddressSetupTest, AnAdapterOutsideTheSubnetIsKeptMovedAndPutBackAtExit) {
    fake.list = {{"lo", Kind::Loopback, {"127.0.0.1"}, {}},
                 wired("eth0", {"192.168.1.20"}, "192.168.1.1")};
    PcAddressSetup setup(fake, ini);
    EXPECT_EQ(setup.automaticChange(), PcAddressSetup::Change::Made);
    EXPECT_EQ(value("NetConfig/realIP"), "192.168.1.20");
    EXPECT_EQ(value("NetConfig/realWY"), "192.168.1.1");
    EXPECT_EQ(fake.log(), std::vector<std::string>{"add eth0 192.168.6.222/24"});
    setup.restoreAtExit();
    setup.restoreAtExit();  // once only
    EXPECT_EQ(fake.log(), (std::vector<std::string>{"add eth0 192.168.6.222/24",
                                                    "remove eth0 192.168.6.222/24 nm"}));
}

TEST_F(PcAddressSetupTest, AnAdapterInTheSubnetKeepsTheSavedAddressesAndAnOwnedAddressStays) {
    QSettings(ini, QSettings::IniFormat).setValue("NetConfig/realIP", "192.168.1.2");
    fake.list = {wired("eth0", {"192.168.6.50"}, "192.168.6.1")};
    PcAddressSetup setup(fake, ini);
    EXPECT_EQ(setup.automaticChange(), PcAddressSetup::Change::Made);
    EXPECT_EQ(value("NetConfig/realIP"), "192.168.1.2");
    EXPECT_EQ(value("NetConfig/realWY"), "<absent>");
    // An adapter that has 192.168.6.222 already (say, from a run that crashed) keeps it.
    fake.list = {wired("eth1", {"192.168.1.20", "192.168.6.222"})};
    fake.clearLog();
    PcAddressSetup later(fake, ini);
    EXPECT_EQ(later.automaticChange(), PcAddressSetup::Change::AlreadyThere);
    later.restoreAtExit();
    EXPECT_TRUE(fake.log().empty());
}

TEST_F(PcAddressSetupTest, OnlyAWiredAdapterOn192168IsChosenTheLastOneFound) {
    fake.list = {wired("eth0", {"10.1.1.1"}), {"wlan0", Kind::Wireless, {"192.168.1.30"}, {}},
                 {"virbr0", Kind::Virtual, {"192.168.122.1"}, {}}, wired("eth1", {})};
    PcAddressSetup setup(fake, ini);
    EXPECT_EQ(setup.automaticChange(), PcAddressSetup::Change::NoAdapter);
    EXPECT_TRUE(fake.log().empty());
    EXPECT_EQ(value("NetConfig/realIP"), "<absent>");
    fake.list = {wired("eth0", {"192.168.1.20"}), wired("eth1", {"10.0.0.2", "192.168.2.2"}),
                 wired("eth2", {"192.168.3.3"}), wired("eth3", {"10.0.0.3"})};
    EXPECT_EQ(PcAddressSetup::findAdapter(fake.list)->name, "eth2");
    // A refused change is traced and leaves nothing to undo.
    fake.failChanges = true;
    EXPECT_EQ(setup.automaticChange(), PcAddressSetup::Change::Failed);
    setup.restoreAtExit();
    EXPECT_EQ(fake.log(), std::vector<std::string>{"add eth2 192.168.6.222/24"});
}

TEST(PcAddressDefaultsTest, TheLastAddressOfThePcAndItsDotOne) {
    using test::wired;
    EXPECT_EQ(PcAddressSetup::hostDefaults({{"lo", Kind::Loopback, {"127.0.0.1"}, {}},
                                            wired("eth0", {"10.0.0.7", "192.168.1.20"}),
                                            {"wlan0", Kind::Wireless, {"172.16.4.9"}, {}}}),
              (std::pair<std::string, std::string>{"172.16.4.9", "172.16.4.1"}));
    EXPECT_EQ(PcAddressSetup::hostDefaults({{"lo", Kind::Loopback, {"127.0.0.1"}, {}}}),
              (std::pair<std::string, std::string>{}));
}

}  // namespace
}  // namespace qel
