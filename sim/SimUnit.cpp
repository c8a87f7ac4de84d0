#include "SimUnit.h"

#include "UnitProtocol.h"
#include "link/Packet.h"

namespace qel::sim {

SimUnit::SimUnit(int model, const std::string& name, const Faults& faults, uint32_t meterSeed)
    : state_(defaultUnitState(model, name)), faults_(faults), meterSeed_(meterSeed) {}

SimUnit::Response SimUnit::receive(const uint8_t* frame, size_t length, uint32_t tickMs) {
    RequestRecord record{tickMs, Bytes(frame, frame + length), frameChecksumValid(frame, length),
                         false};
    Response response;
    if (!record.checksumOk) {
        ++badChecksums_;
        log_.push_back(std::move(record));
        return response;
    }
    record.dropped = faults_.dropRequest();
    log_.push_back(std::move(record));
    if (log_.back().dropped) return response;

    const uint8_t code = frame[frame::kCode];
    const SystemCommands::Context context{faults_.faults().busy, previousCode_, tickMs, meterSeed_};
    previousCode_ = code;
    auto reply = UnitProtocol::answer(state_, frame, length, context);
    if (!reply || faults_.silent(code)) return response;
    response.frames = faults_.shape(std::move(*reply));
    log_.back().replyDropped = faults_.lastReplyDropped();
    if (!response.frames.empty()) response.delayMs = faults_.replyDelayMs();
    return response;
}

}  // namespace qel::sim
