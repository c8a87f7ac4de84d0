#include "device/ParamEdit.h"

#include <algorithm>

#include "device/InputSelect.h"
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

}  // namespace

ParamEdit::ParamEdit(Equipment& unit, std::shared_ptr<ModeImage> image)
    : unit_(unit), image_(std::move(image)) {}

uint32_t ParamEdit::modelCode() const {
    return unit_.modelCode();
}

std::vector<uint8_t> ParamEdit::recordBytes() const {
    std::vector<uint8_t> bytes(ModeRecord::kSize);
    image_->record().toBytes(bytes.data());
    return bytes;
}

ParamEdit::Result ParamEdit::apply(const std::function<void(ModeRecord&)>& change,
                                   const std::vector<OwnedCommand>& commands) {
    const auto before = recordBytes();
    change(image_->record());
    Result result;
    result.changes = difference(before, recordBytes());
    for (const auto& c : commands)
        (unit_.enqueue(c.toCommand()) ? result.queued : result.refused)++;
    if (observer_) observer_(result);
    return result;
}

ParamEdit::Result ParamEdit::setGain(Channel ch, uint8_t code) {
    return apply(
        [&](ModeRecord& r) {
            if (ch.side == cmd::Side::Input)
                r.input(ch.number - 1).setGain(code);
            else
                r.output(ch.number - 1).setGain(code);
        },
        {cmd::writeGain(kEdit, ch, code)});
}

ParamEdit::Result ParamEdit::setMute(Channel ch, uint8_t muted) {
    return apply(
        [&](ModeRecord& r) {
            if (ch.side == cmd::Side::Input)
                r.input(ch.number - 1).setMute(muted);
            else
                r.output(ch.number - 1).setMute(muted);
        },
        {cmd::writeMute(kEdit, ch, muted)});
}

ParamEdit::Result ParamEdit::setPolarity(int output, uint8_t inverted) {
    return apply([&](ModeRecord& r) { r.output(output - 1).setPolarity(inverted); },
                 {cmd::writePolarity(kEdit, output, inverted)});
}

ParamEdit::Result ParamEdit::setDelay(int output, uint16_t samples) {
    return apply([&](ModeRecord& r) { r.output(output - 1).setDelay(samples); },
                 {cmd::writeDelay(kEdit, output, samples)});
}

ParamEdit::Result ParamEdit::setInputSelect(int output, uint8_t inputSet) {
    const uint8_t code = unitCodeFromInputSet(modelCode(), inputSet);
    return apply([&](ModeRecord& r) { r.output(output - 1).setInputSelect(inputSet & 0x0F); },
                 {cmd::writeInputSelect(kEdit, output, code)});
}

ParamEdit::Result ParamEdit::setLimiterLevel(int output, uint8_t code) {
    return apply([&](ModeRecord& r) { r.output(output - 1).setLimiterLevel(code); },
                 {cmd::writeLimiterLevel(kEdit, output, code)});
}

ParamEdit::Result ParamEdit::setLimiterAttack(int output, uint8_t index) {
    return apply([&](ModeRecord& r) { r.output(output - 1).setLimiterAttack(index); },
                 {cmd::writeLimiterAttack(kEdit, output, index)});
}

ParamEdit::Result ParamEdit::setLimiterRelease(int output, uint8_t index) {
    return apply([&](ModeRecord& r) { r.output(output - 1).setLimiterRelease(index); },
                 {cmd::writeLimiterRelease(kEdit, output, index)});
}

ParamEdit::Result ParamEdit::setEqPoint(Channel ch, int pointIndex, const EqPoint& point,
                                        std::span<const int> linked) {
    const auto others = othersOf(ch.number, linked);
    const auto write = [&](ModeRecord& r, int number) {
        if (ch.side == cmd::Side::Input)
            r.input(number - 1).point(pointIndex) = point;
        else
            r.output(number - 1).point(pointIndex) = point;
    };
    return apply(
        [&](ModeRecord& r) {
            for (int n : withOthers(ch.number, others)) write(r, n);
        },
        {others.empty() ? cmd::writeEqPoint(kEdit, ch, pointIndex, point)
                        : cmd::linkedEqPoint(ch, pointIndex, point, others)});
}

ParamEdit::Result ParamEdit::setGroupEqPoint(Channel ch, int pointIndex, const EqPoint& point,
                                             std::span<const int> linked) {
    const auto others = othersOf(ch.number, linked);
    return apply(
        [&](ModeRecord& r) {
            if (ch.side == cmd::Side::Input) {
                r.input(ch.number - 1).point(pointIndex) = point;
                for (int n : others)
                    for (int i = 0; i < InputChannel::kPoints; ++i)
                        r.input(n - 1).point(i) = r.input(ch.number - 1).point(i);
            } else {
                r.output(ch.number - 1).point(pointIndex) = point;
                for (int n : others)
                    for (int i = 0; i < OutputChannel::kPoints; ++i)
                        r.output(n - 1).point(i) = r.output(ch.number - 1).point(i);
            }
        },
        {others.empty() ? cmd::writeEqPoint(kEdit, ch, pointIndex, point)
                        : cmd::linkedEqPoint(ch, pointIndex, point, others)});
}

ParamEdit::Result ParamEdit::resetEq(Channel ch, std::span<const EqPoint> points) {
    return apply(
        [&](ModeRecord& r) {
            for (size_t i = 0; i < points.size(); ++i) {
                const int index = static_cast<int>(i);
                if (ch.side == cmd::Side::Input)
                    r.input(ch.number - 1).point(index) = points[i];
                else
                    r.output(ch.number - 1).point(index) = points[i];
            }
        },
        {cmd::resetEq(ch)});
}

ParamEdit::Result ParamEdit::setEqSwitch(Channel ch, uint8_t on, std::span<const int> linked) {
    const auto others = othersOf(ch.number, linked);
    const auto write = [&](ModeRecord& r, int number) {
        if (ch.side == cmd::Side::Input)
            r.input(number - 1).setEqSwitch(on);
        else
            r.output(number - 1).setEqSwitch(on);
    };
    return apply(
        [&](ModeRecord& r) {
            for (int n : withOthers(ch.number, others)) write(r, n);
        },
        {others.empty() ? cmd::writeEqSwitch(kEdit, ch, on) : cmd::linkedEqSwitch(ch, on, others)});
}

ParamEdit::Result ParamEdit::setHighPass(int output, uint8_t type, uint8_t freqCode,
                                         std::span<const int> linked) {
    const auto others = othersOf(output, linked);
    return apply(
        [&](ModeRecord& r) {
            for (int n : withOthers(output, others)) {
                r.output(n - 1).setHighPassType(type);
                r.output(n - 1).setHighPassFreq(freqCode);
            }
        },
        {others.empty() ? cmd::writeHighPass(kEdit, output, type, freqCode)
                        : cmd::linkedHighPass(output, type, freqCode, others)});
}

ParamEdit::Result ParamEdit::setLowPass(int output, uint8_t type, uint8_t freqCode,
                                        std::span<const int> linked) {
    const auto others = othersOf(output, linked);
    return apply(
        [&](ModeRecord& r) {
            for (int n : withOthers(output, others)) {
                r.output(n - 1).setLowPassType(type);
                r.output(n - 1).setLowPassFreq(freqCode);
            }
        },
        {others.empty() ? cmd::writeLowPass(kEdit, output, type, freqCode)
                        : cmd::linkedLowPass(output, type, freqCode, others)});
}

ParamEdit::Result ParamEdit::copyEq(Channel ch, int sourceNumber) {
    return apply(
        [&](ModeRecord& r) {
            if (ch.side == cmd::Side::Input)
                r.input(ch.number - 1).copyEqFrom(r.input(sourceNumber - 1));
            else
                r.output(ch.number - 1).copyEqAndFiltersFrom(r.output(sourceNumber - 1));
        },
        {cmd::copyChannel(ch, sourceNumber)});
}

}  // namespace qel
