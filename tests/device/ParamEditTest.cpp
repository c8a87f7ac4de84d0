// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "UnitSimulator.h"
#include "device/ChangedParams.h"
#include "device/ModeImage.h"
#include "device/ParamEdit.h"
#include "link/Equipment.h"
#include "link/UdpEndpoint.h"
#include "support/Loopback.h"

namespace qel {
namespace {

using cmd::inputChannel;
using cmd::outputChannel;

// Edits through the one edit path reach the image and a simulated unit.
class ParamEditTest : public ::testing::Test {
protected:
    void connect(int model) {
        ASSERT_TRUE(endpoint.open(0));
        const std::string ip = test::loopbackHost(test::loopbackSubnet(), 2);
        ASSERT_GE(sim.addNetworkUnit(model, ip, "Edit"), 0) << sim.lastError();
        ASSERT_TRUE(sim.start());
        unit.setAddress(*parseIpv4(ip));
        unit.setFlags(linkflag::kUdp);
        unit.setModelCode(static_cast<uint32_t>(model));
        LinkSettings link;
        link.endpoint = &endpoint;
        ASSERT_TRUE(unit.startLink(link));
        edit = std::make_unique<ParamEdit>(unit, image);
    }
    // Waits until the unit has answered everything queued.
    void settle() {
        for (int i = 0; i < 300 && unit.queue().pendingCount() > 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    void TearDown() override { unit.stopLink(); }

    UdpEndpoint endpoint;
    sim::UnitSimulator sim;
    Equipment unit;
    std::shared_ptr<ModeImage> image = std::make_shared<ModeImage>();
    std::unique_ptr<ParamEdit> edit;
};

TEST_F(ParamEditTest, EditsWriteTheRecordReportTheBytesAndReachTheUnit) {
    connect(2);
    int told = 0;
    const auto counting = edit->listen([&](const ParamEdit::Result&) { ++told; });
    const auto gain = edit->setGain(outputChannel(3), 90);
    ASSERT_EQ(gain.changes.size(), 1u);
    EXPECT_EQ(gain.changes[0].offset,
              ModeRecord::kOutputsOffset + 2 * OutputChannel::kSize + OutputChannel::kGainOffset);
    EXPECT_EQ(gain.changes[0].after, std::vector<uint8_t>{90});
    EXPECT_EQ(gain.queued, 1);
    EXPECT_EQ(edit->setMute(inputChannel(2), 1).changes[0].offset,
              ModeRecord::kInputsOffset + InputChannel::kSize + InputChannel::kMuteOffset);
    edit->setDelay(1, 480);
    edit->setInputSelect(2, 0x3);  // A and B: code 3 on a QD206
    edit->setLimiterAttack(6, 2);
    const EqPoint point{1, 30, 77, 20};
    const int linked[] = {1, 2};
    const auto eq = edit->setEqPoint(inputChannel(1), 4, point, linked);
    EXPECT_EQ(eq.changes.size(), 2u);  // input A and input B
    EXPECT_EQ(told, 6);
    EXPECT_TRUE(edit->setGain(outputChannel(3), 90).changes.empty());  // nothing new
    settle();
    const auto s = sim.state(0);
    EXPECT_EQ(s.params.out[2].gain, 90);
    EXPECT_EQ(s.params.in[1].mute, 1);
    EXPECT_EQ(s.params.out[0].delay, 480);
    EXPECT_EQ(s.params.out[1].inputSelectCode, 3);
    EXPECT_EQ(s.params.out[5].limAttack, 2);
    for (int in = 0; in < 2; ++in) EXPECT_EQ(EqPoint::fromWire(s.params.in[in].eq[4]), point) << in;
    EXPECT_EQ(image->record().output(1).inputSelect(), 0x3);
    EXPECT_EQ(image->record().input(1).point(4), point);
}

TEST_F(ParamEditTest, RoutingCodesFollowTheModelAndCopiesTakeTheSourceEq) {
    connect(3);
    edit->setInputSelect(2, 0x3);  // code 5 on a QD406
    edit->setEqSwitch(outputChannel(1), 1);
    edit->setHighPass(1, 2, 40);
    edit->copyEq(outputChannel(4), 1);
    settle();
    const auto s = sim.state(0);
    EXPECT_EQ(s.params.out[1].inputSelectCode, 5);
    EXPECT_EQ(s.params.out[3].hpfType, 2);
    EXPECT_EQ(s.params.out[3].hpfFreq, 40);
    EXPECT_EQ(image->record().output(3).highPassFreq(), 40);
    EXPECT_EQ(image->record().output(3).eqSwitch(), 1);
    unit.requestStop();
    const auto refused = edit->setGain(inputChannel(1), 7);
    EXPECT_EQ(refused.refused, 1);  // the image still holds the value shown
    EXPECT_EQ(image->record().input(0).gain(), 7);
}

TEST_F(ParamEditTest, ListenersComeAndGoAtAnyTimeAndHearWhoMadeEachEdit) {
    connect(2);
    using Kind = ParamEdit::Origin::Kind;
    std::vector<std::string> heard;
    ParamEdit::Subscription first, second, late;
    first = edit->listen([&](const ParamEdit::Result& r) {
        heard.push_back("first " + std::to_string(r.origin.client));
        if (r.subject.code == param::kPolarity) first.reset();  // itself, while it is told
        if (r.subject.code != param::kMute) return;
        second.reset();  // next in line: not told of this edit
        late = edit->listen([&](const ParamEdit::Result&) { heard.push_back("late"); });
    });
    second = edit->listen([&](const ParamEdit::Result& r) {
        heard.push_back("second " + std::to_string(int(r.origin.kind)));
    });
    edit->setGain(inputChannel(1), 3);
    {
        ParamEdit::OriginScope remote(*edit, {Kind::Remote, 2});
        {
            ParamEdit::OriginScope undo(*edit, {Kind::Undo});
            edit->setGain(inputChannel(1), 4);
        }
        edit->setMute(inputChannel(1), 1);
    }
    EXPECT_EQ(edit->origin(), ParamEdit::Origin{});
    ParamEdit::Subscription moved = std::move(late);
    edit->setPolarity(1, 1);
    edit->setPolarity(1, 0);
    edit.reset();
    moved.reset();  // outlives the edit path
    const std::vector<std::string> expected = {"first 0", "second 0", "first 0", "second 1",
                                               "first 2", "first 0",  "late",    "late"};
    EXPECT_EQ(heard, expected);
}

TEST_F(ParamEditTest, ChangedParamsNameEachChannelParameterOnce) {
    connect(4);
    const int linked[] = {2, 3};
    const auto eq = edit->setEqPoint(outputChannel(2), 5, EqPoint{1, 30, 77, 20}, linked);
    using S = ParamEdit::Subject;
    const std::vector<S> points = {{param::kEqPoint, outputChannel(2), 5},
                                   {param::kEqPoint, outputChannel(3), 5}};
    EXPECT_EQ(changedParams(eq.changes), points);

    ModeRecord target = image->record();
    target.input(3).setGain(9);
    target.input(3).setEqSwitch(1);
    target.input(3).point(14).q = 7;
    target.output(7).setDelay(0x1234);  // both bytes: one delay
    target.output(7).setHighPassFreq(20);
    target.output(7).setLowPassType(3);
    target.output(0).setLimiterRelease(4);
    const std::vector<S> restored = {
        {param::kGain, inputChannel(4)},        {param::kEqSwitch, inputChannel(4)},
        {param::kEqPoint, inputChannel(4), 14}, {param::kLimiterRelease, outputChannel(1)},
        {param::kDelay, outputChannel(8)},      {param::kLowPass, outputChannel(8)},
        {param::kHighPass, outputChannel(8)}};
    EXPECT_EQ(changedParams(edit->restore(target).changes), restored);
    // The mode's name is not a channel's setting.
    EXPECT_TRUE(changedParams({{ModeRecord::kNameOffset, {1, 2}, {3, 4}}}).empty());
}

}  // namespace
}  // namespace qel
