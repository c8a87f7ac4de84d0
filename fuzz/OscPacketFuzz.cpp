// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
// What an OSC sender sends: a packet (a message or a bundle) to the OSC server of a hub that
// holds one QD408 named "Main" with its edit path (no link: nothing can leave).
//
// Input: the packet, taken once from a sender outside the allowed networks (it must change
// nothing) and once from an allowed one.
#include <QCoreApplication>
#include <cstdlib>
#include <memory>

#include "device/ModeImage.h"
#include "device/ParamEdit.h"
#include "link/Equipment.h"
#include "link/Protocol.h"
#include "remote/OscServer.h"
#include "remote/RemoteHub.h"
#include "remote/RemoteUnits.h"

using namespace qel;

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

// One unit read, its meters never read.
class FuzzUnits : public RemoteUnits {
public:
    FuzzUnits() {
        unit_->setModelCode(model::kQD408);
        unit_->setDeviceName("Main");
    }
    std::vector<std::shared_ptr<Equipment>> units() const override { return {unit_}; }
    ParamEdit* editOf(const Equipment&) override { return &edit_; }
    bool busy(const Equipment&) const override { return false; }
    void watchMeters(const Equipment&, int) override {}
    std::optional<Meters> meters(const Equipment&) const override { return Meters{}; }
    ParamEdit& edit() { return edit_; }

private:
    std::shared_ptr<Equipment> unit_ = std::make_shared<Equipment>();
    ParamEdit edit_{*unit_, std::make_shared<ModeImage>()};
};

struct Rig {
    Rig() {
        OscServer::Settings settings;
        settings.port = 0;
        settings.allow = {QStringLiteral("127.0.0.0/8")};
        settings.messagesPerSecond = 1 << 30;
        check(hub.osc().start(settings));
        listening = units.edit().listen([this](const ParamEdit::Result&) { ++edits; });
    }
    int argc = 1;
    char name[8] = "fuzz";
    char* argv[2] = {name, nullptr};
    QCoreApplication app{argc, argv};
    FuzzUnits units;
    RemoteHub hub{units, QStringLiteral("/nonexistent/QelConfig.ini")};
    ParamEdit::Subscription listening;
    int edits = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Rig rig;
    const QByteArray packet(reinterpret_cast<const char*>(data), qsizetype(size));
    const int before = rig.edits;
    rig.hub.osc().take(packet, QHostAddress(QStringLiteral("10.0.0.1")), 9);
    check(rig.edits == before);  // not heard
    rig.hub.osc().take(packet, QHostAddress::LocalHost, 9);
    QCoreApplication::processEvents();  // what the packet left for the event loop
    return 0;
}
