// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#include "device/ParamEdit.h"

#include <algorithm>
#include <type_traits>

#include "device/DownloadParams.h"
#include "device/InputSelect.h"
#include "device/MeasurementEq.h"
#include "device/ModeImage.h"
#include "link/Equipment.h"

namespace qel {

namespace {

using cmd::WriteKind;
constexpr auto kEdit = WriteKind::Interactive;
// Equal bytes this many or fewer between two changed ones stay inside one run.
constexpr size_t kRunGap = 8;

std::vector<ParamEdit::Change> difference(const std::vector<uint8_t>& a,
                                          const std::vector<uint8_t>& b) {
    std::vector<ParamEdit::Change> runs;
    size_t i = 0;
    while (i < a.size()) {
        if (a[i] == b[i]) {
            ++i;
            continue;
        }
        size_t end = i + 1, last = i;
        for (; end < a.size() && end - last <= kRunGap; ++end)
            if (a[end] != b[end]) last = end;
        const auto from = static_cast<std::ptrdiff_t>(i),
                   to = static_cast<std::ptrdiff_t>(last + 1);
        runs.push_back({i, {a.begin() + from, a.begin() + to}, {b.begin() + from, b.begin() + to}});
        i = last + 1;
    }
    return runs;
}

// The other linked channels, each once, without the addressed one.
std::vector<int> othersOf(int number, std::span<const int> linked) {
    std::vector<int> others;
    for (int n : linked)
        if (n != number && std::find(others.begin(), others.end(), n) == others.end())
            others.push_back(n);
    std::sort(others.begin(), others.end());
    return others;
}

std::vector<int> withOthers(int number, std::vector<int> others) {
    others.insert(others.begin(), number);
    return others;
}

// A replay that is one call of ParamEdit, whatever runs it is given.
template <typename Call>
ParamEdit::Replay calling(Call call) {
    return [call](ParamEdit& e, const std::vector<ParamEdit::Change>&) { return call(e); };
}

// True when every listed channel gives the same value: a linked edit can then take itself back
// as one linked write.
template <typename Value>
bool sameOn(const std::vector<int>& numbers, Value value) {
    for (int n : numbers)
        if (!(value(n) == value(numbers.front()))) return false;
    return true;
}

// Calls f with the channel's settings in the record: an InputChannel or an OutputChannel. An f
// that takes only an OutputChannel is for outputs only.
template <typename Record, typename F>
decltype(auto) onChannel(Record& r, cmd::ChannelId ch, F&& f) {
    if constexpr (std::is_invocable_v<F, decltype(r.input(0))>)
        if (ch.side == cmd::Side::Input) return f(r.input(ch.number - 1));
    return f(r.output(ch.number - 1));
}

// The write of an output-only setting, addressed by channel.
template <auto Write, typename T>
OwnedCommand toOutput(WriteKind kind, cmd::ChannelId ch, T value) {
    return Write(kind, ch.number, value);
}

bool isEqParam(uint8_t code) {
    return code == param::kEqPoint || code == param::kEqSwitch || code == param::kHighPass ||
           code == param::kLowPass;
}

}  // namespace

struct ParamEdit::Subscription::Entry {
    Listener call;
    bool on = true;
};

// The listeners in the order they came. GUI thread only, as every edit.
struct ParamEdit::Listeners {
    std::vector<std::shared_ptr<Subscription::Entry>> entries;
};

ParamEdit::Subscription& ParamEdit::Subscription::operator=(Subscription&& other) noexcept {
    if (this != &other) {
        reset();
        owner_ = std::move(other.owner_);
        entry_ = std::move(other.entry_);
    }
    return *this;
}

void ParamEdit::Subscription::reset() {
    if (!entry_) return;
    entry_->on = false;  // a call in progress skips it from now on
    if (const auto listeners = owner_.lock()) std::erase(listeners->entries, entry_);
    entry_.reset();
    owner_.reset();
}

ParamEdit::OriginScope::OriginScope(ParamEdit& edit, Origin origin)
    : edit_(edit), outer_(edit.origin_) {
    edit_.origin_ = origin;
}

ParamEdit::OriginScope::~OriginScope() {
    edit_.origin_ = outer_;
}

ParamEdit::ParamEdit(Equipment& unit, std::shared_ptr<ModeImage> image)
    : unit_(unit), image_(std::move(image)), listeners_(std::make_shared<Listeners>()) {}

ParamEdit::Subscription ParamEdit::listen(Listener listener) {
    Subscription s;
    s.owner_ = listeners_;
    s.entry_ = std::make_shared<Subscription::Entry>(Subscription::Entry{std::move(listener)});
    listeners_->entries.push_back(s.entry_);
    return s;
}

void ParamEdit::notify(const Result& result) {
    // A copy: listeners may come and go while they are told.
    const auto entries = listeners_->entries;
    for (const auto& e : entries)
        if (e->on) e->call(result);
}

uint32_t ParamEdit::modelCode() const {
    return unit_.modelCode();
}

std::vector<uint8_t> ParamEdit::recordBytes() const {
    std::vector<uint8_t> bytes(ModeRecord::kSize);
    image_->record().toBytes(bytes.data());
    return bytes;
}

ParamEdit::Result ParamEdit::apply(const std::function<void(ModeRecord&)>& change,
                                   const std::vector<OwnedCommand>& commands, Subject subject,
                                   Replay redo, Replay undo) {
    const auto before = recordBytes();
    change(image_->record());
    Result result;
    result.changes = difference(before, recordBytes());
    result.subject = subject;
    result.origin = origin_;
    result.redo = std::move(redo);
    result.undo = std::move(undo);
    for (const auto& c : commands)
        (unit_.enqueue(c.toCommand()) ? result.queued : result.refused)++;
    notify(result);
    return result;
}

ParamEdit::Replay ParamEdit::putBackReplay(bool before, std::optional<Channel> whole) {
    return [before, whole](ParamEdit& e, const std::vector<Change>& runs) {
        return e.putBack(runs, before, whole);
    };
}

ParamEdit::Result ParamEdit::restore(const ModeRecord& target, std::optional<Channel> whole) {
    return restore(target, whole, Subject{});
}

ParamEdit::Result ParamEdit::restore(const ModeRecord& target, std::optional<Channel> whole,
                                     Subject subject) {
    const ModeRecord old = image_->record();
    const uint32_t model = modelCode();
    std::vector<OwnedCommand> commands;
    for (const DownloadParam& p : downloadParams(model)) {
        const bool forced = whole && p.side == whole->side && p.channel == whole->number - 1 &&
                            isEqParam(p.code);
        if (forced || p.value(old, model) != p.value(target, model))
            commands.push_back(p.command(target, model, kEdit));
    }
    return apply(
        [&](ModeRecord& r) {
            // Channels only: the name, date and used flag are the mode's, not settings.
            for (int i = 0; i < kMaxInputs; ++i) r.input(i) = target.input(i);
            for (int i = 0; i < kMaxOutputs; ++i) r.output(i) = target.output(i);
        },
        commands, subject, putBackReplay(false, whole), putBackReplay(true, whole));
}

ParamEdit::Result ParamEdit::importEq(Channel ch, const EqFit& fit, std::span<const int> linked) {
    ModeRecord target = image_->record();
    putFittedFilters(target, ch, fit, linked);
    return restore(target, {}, {kImportEq, ch});
}

ParamEdit::Result ParamEdit::putBack(const std::vector<Change>& runs, bool before,
                                     std::optional<Channel> whole) {
    auto bytes = recordBytes();
    for (const Change& c : runs) {
        const auto& v = before ? c.before : c.after;
        if (c.offset + v.size() <= bytes.size())
            std::copy(v.begin(), v.end(), bytes.begin() + static_cast<std::ptrdiff_t>(c.offset));
    }
    return restore(ModeRecord::fromBytes(bytes.data()), whole);
}

template <typename T, typename Get, typename Set>
ParamEdit::Result ParamEdit::setValue(Channel ch, T value, uint8_t code,
                                      OwnedCommand (*write)(WriteKind, Channel, T), Get get,
                                      Set set) {
    const T old = onChannel(image_->record(), ch, get);
    const auto put = [&](auto& c) -> decltype(set(c, value)) { set(c, value); };
    return apply(
        [&](ModeRecord& r) { onChannel(r, ch, put); }, {write(kEdit, ch, value)}, {code, ch},
        calling([=](ParamEdit& e) { return e.setValue(ch, value, code, write, get, set); }),
        calling([=](ParamEdit& e) { return e.setValue(ch, old, code, write, get, set); }));
}

ParamEdit::Result ParamEdit::setGain(Channel ch, uint8_t code) {
    return setValue(
        ch, code, param::kGain, cmd::writeGain, [](const auto& c) { return c.gain(); },
        [](auto& c, uint8_t v) { c.setGain(v); });
}

ParamEdit::Result ParamEdit::setMute(Channel ch, uint8_t muted) {
    return setValue(
        ch, muted, param::kMute, cmd::writeMute, [](const auto& c) { return c.mute(); },
        [](auto& c, uint8_t v) { c.setMute(v); });
}

ParamEdit::Result ParamEdit::setPolarity(int output, uint8_t inverted) {
    return setValue(
        cmd::outputChannel(output), inverted, param::kPolarity, toOutput<cmd::writePolarity>,
        [](const OutputChannel& c) { return c.polarity(); },
        [](OutputChannel& c, uint8_t v) { c.setPolarity(v); });
}

ParamEdit::Result ParamEdit::setDelay(int output, uint16_t samples) {
    return setValue(
        cmd::outputChannel(output), samples, param::kDelay, toOutput<cmd::writeDelay>,
        [](const OutputChannel& c) { return c.delay(); },
        [](OutputChannel& c, uint16_t v) { c.setDelay(v); });
}

ParamEdit::Result ParamEdit::setLimiterLevel(int output, uint8_t code) {
    return setValue(
        cmd::outputChannel(output), code, param::kLimiterLevel, toOutput<cmd::writeLimiterLevel>,
        [](const OutputChannel& c) { return c.limiterLevel(); },
        [](OutputChannel& c, uint8_t v) { c.setLimiterLevel(v); });
}

ParamEdit::Result ParamEdit::setLimiterAttack(int output, uint8_t index) {
    return setValue(
        cmd::outputChannel(output), index, param::kLimiterAttack, toOutput<cmd::writeLimiterAttack>,
        [](const OutputChannel& c) { return c.limiterAttack(); },
        [](OutputChannel& c, uint8_t v) { c.setLimiterAttack(v); });
}

ParamEdit::Result ParamEdit::setLimiterRelease(int output, uint8_t index) {
    return setValue(
        cmd::outputChannel(output), index, param::kLimiterRelease,
        toOutput<cmd::writeLimiterRelease>,
        [](const OutputChannel& c) { return c.limiterRelease(); },
        [](OutputChannel& c, uint8_t v) { c.setLimiterRelease(v); });
}

ParamEdit::Result ParamEdit::setInputSelect(int output, uint8_t inputSet) {
    const uint8_t code = unitCodeFromInputSet(modelCode(), inputSet);
    const uint8_t old = image_->record().output(output - 1).inputSelect();
    return apply([&](ModeRecord& r) { r.output(output - 1).setInputSelect(inputSet & 0x0F); },
                 {cmd::writeInputSelect(kEdit, output, code)},
                 {param::kInputSelect, cmd::outputChannel(output)},
                 calling([=](ParamEdit& e) { return e.setInputSelect(output, inputSet); }),
                 calling([=](ParamEdit& e) { return e.setInputSelect(output, old); }));
}

namespace {
const EqPoint& pointOf(const ModeRecord& r, cmd::ChannelId ch, int number, int index) {
    return onChannel(r, {ch.side, number},
                     [index](const auto& c) -> const EqPoint& { return c.point(index); });
}
}  // namespace

ParamEdit::Result ParamEdit::setEqPoint(Channel ch, int pointIndex, const EqPoint& point,
                                        std::span<const int> linked) {
    const auto others = othersOf(ch.number, linked);
    const auto all = withOthers(ch.number, others);
    const ModeRecord& now = image_->record();
    const EqPoint old = pointOf(now, ch, ch.number, pointIndex);
    const Replay undo =
        sameOn(all, [&](int n) { return pointOf(now, ch, n, pointIndex); })
            ? calling([=](ParamEdit& e) { return e.setEqPoint(ch, pointIndex, old, others); })
            : putBackReplay(true);
    return apply(
        [&](ModeRecord& r) {
            for (int n : all)
                onChannel(r, {ch.side, n}, [&](auto& c) { c.point(pointIndex) = point; });
        },
        {others.empty() ? cmd::writeEqPoint(kEdit, ch, pointIndex, point)
                        : cmd::linkedEqPoint(ch, pointIndex, point, others)},
        {param::kEqPoint, ch, pointIndex},
        calling([=](ParamEdit& e) { return e.setEqPoint(ch, pointIndex, point, others); }), undo);
}

ParamEdit::Result ParamEdit::setGroupEqPoint(Channel ch, int pointIndex, const EqPoint& point,
                                             std::span<const int> linked) {
    const auto others = othersOf(ch.number, linked);
    const ModeRecord& now = image_->record();
    const EqPoint old = pointOf(now, ch, ch.number, pointIndex);
    const int points = ch.side == cmd::Side::Input ? InputChannel::kPoints : OutputChannel::kPoints;
    // When the group already had one EQ, the old point written to the group takes it back.
    bool oneEq = true;
    for (int n : others)
        for (int i = 0; i < points; ++i)
            if (!(pointOf(now, ch, n, i) == pointOf(now, ch, ch.number, i))) oneEq = false;
    const Replay undo =
        oneEq ? calling([=](ParamEdit& e) { return e.setGroupEqPoint(ch, pointIndex, old, others); })
              : putBackReplay(true);
    return apply(
        [&](ModeRecord& r) {
            onChannel(r, ch, [&](auto& c) { c.point(pointIndex) = point; });
            for (int n : others)
                for (int i = 0; i < points; ++i)
                    onChannel(r, {ch.side, n},
                              [&](auto& c) { c.point(i) = pointOf(r, ch, ch.number, i); });
        },
        {others.empty() ? cmd::writeEqPoint(kEdit, ch, pointIndex, point)
                        : cmd::linkedEqPoint(ch, pointIndex, point, others)},
        {param::kEqPoint, ch, pointIndex},
        calling([=](ParamEdit& e) { return e.setGroupEqPoint(ch, pointIndex, point, others); }),
        undo);
}

ParamEdit::Result ParamEdit::resetEq(Channel ch, std::span<const EqPoint> points) {
    const std::vector<EqPoint> copy(points.begin(), points.end());
    return apply(
        [&](ModeRecord& r) {
            for (size_t i = 0; i < points.size(); ++i)
                onChannel(r, ch, [&](auto& c) { c.point(static_cast<int>(i)) = points[i]; });
        },
        {cmd::resetEq(ch)}, {param::kEqReset, ch},
        calling([=](ParamEdit& e) { return e.resetEq(ch, copy); }), putBackReplay(true, ch));
}

ParamEdit::Result ParamEdit::setEqSwitch(Channel ch, uint8_t on, std::span<const int> linked) {
    const auto others = othersOf(ch.number, linked);
    const auto all = withOthers(ch.number, others);
    const ModeRecord& now = image_->record();
    const auto switchOf = [&](int n) {
        return onChannel(now, {ch.side, n}, [](const auto& c) { return c.eqSwitch(); });
    };
    const uint8_t old = switchOf(ch.number);
    const Replay undo = sameOn(all, switchOf)
                            ? calling([=](ParamEdit& e) { return e.setEqSwitch(ch, old, others); })
                            : putBackReplay(true);
    return apply(
        [&](ModeRecord& r) {
            for (int n : all) onChannel(r, {ch.side, n}, [on](auto& c) { c.setEqSwitch(on); });
        },
        {others.empty() ? cmd::writeEqSwitch(kEdit, ch, on) : cmd::linkedEqSwitch(ch, on, others)},
        {param::kEqSwitch, ch},
        calling([=](ParamEdit& e) { return e.setEqSwitch(ch, on, others); }), undo);
}

ParamEdit::Result ParamEdit::setFilter(int output, uint8_t type, uint8_t freqCode,
                                       std::span<const int> linked, const Filter& f) {
    const auto others = othersOf(output, linked);
    const auto all = withOthers(output, others);
    const ModeRecord& now = image_->record();
    const auto filterOf = [&](int n) {
        const OutputChannel& c = now.output(n - 1);
        return std::pair((c.*f.type)(), (c.*f.freq)());
    };
    const auto [oldType, oldFreq] = filterOf(output);
    const auto self = f.self;
    const Replay undo = sameOn(all, filterOf)
                            ? calling([=, t = oldType, q = oldFreq](ParamEdit& e) {
                                  return (e.*self)(output, t, q, others);
                              })
                            : putBackReplay(true);
    return apply(
        [&](ModeRecord& r) {
            for (int n : all) {
                (r.output(n - 1).*f.setType)(type);
                (r.output(n - 1).*f.setFreq)(freqCode);
            }
        },
        {others.empty() ? f.write(kEdit, output, type, freqCode)
                        : f.linkedWrite(output, type, freqCode, others)},
        {f.code, cmd::outputChannel(output)},
        calling([=](ParamEdit& e) { return (e.*self)(output, type, freqCode, others); }), undo);
}

ParamEdit::Result ParamEdit::setHighPass(int output, uint8_t type, uint8_t freqCode,
                                         std::span<const int> linked) {
    return setFilter(output, type, freqCode, linked,
                     {&OutputChannel::highPassType, &OutputChannel::highPassFreq,
                      &OutputChannel::setHighPassType, &OutputChannel::setHighPassFreq,
                      param::kHighPass, cmd::writeHighPass, cmd::linkedHighPass,
                      &ParamEdit::setHighPass});
}

ParamEdit::Result ParamEdit::setLowPass(int output, uint8_t type, uint8_t freqCode,
                                        std::span<const int> linked) {
    return setFilter(output, type, freqCode, linked,
                     {&OutputChannel::lowPassType, &OutputChannel::lowPassFreq,
                      &OutputChannel::setLowPassType, &OutputChannel::setLowPassFreq,
                      param::kLowPass, cmd::writeLowPass, cmd::linkedLowPass,
                      &ParamEdit::setLowPass});
}

ParamEdit::Result ParamEdit::copyEq(Channel ch, int sourceNumber) {
    Subject subject{param::kCopyChannel, ch};
    subject.source = sourceNumber;
    return apply(
        [&](ModeRecord& r) {
            if (ch.side == cmd::Side::Input)
                r.input(ch.number - 1).copyEqFrom(r.input(sourceNumber - 1));
            else
                r.output(ch.number - 1).copyEqAndFiltersFrom(r.output(sourceNumber - 1));
        },
        {cmd::copyChannel(ch, sourceNumber)}, subject,
        calling([=](ParamEdit& e) { return e.copyEq(ch, sourceNumber); }), putBackReplay(true, ch));
}

}  // namespace qel
