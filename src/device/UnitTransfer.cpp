#include "device/UnitTransfer.h"

#include <cstring>

#include "device/CommandSpec.h"
#include "device/InputSelect.h"
#include "device/ModeImage.h"
#include "device/Models.h"
#include "device/ParamCommands.h"
#include "device/ReadReplies.h"
#include "device/UnitCommands.h"
#include "device/UnitText.h"
#include "link/Packet.h"
#include "platform/Clock.h"
#include "platform/Trace.h"

namespace qel {

namespace {
constexpr int kReplyBuffer = frame::kMaxPayload;
}

UnitTransfer::UnitTransfer(Equipment& unit, const LinkSettings& link, Progress progress)
    : unit_(unit), link_(link), progress_(std::move(progress)) {}

void UnitTransfer::report(int position) {
    if (progress_) progress_(position, handshaking_ ? kConnectingStatus : kDownloadingStatus);
    if (progressPauseMs_) sleepMs(progressPauseMs_);
}

long UnitTransfer::exchange(const CommandSpec& spec, uint8_t* reply) {
    uint8_t data[kReplyBuffer] = {};
    if (spec.label) traceStep("%s\n", spec.label);
    const Ticket ticket = unit_.enqueue(spec.toCommand(spec.replyLength ? data : nullptr));
    size_t replyFrame = 0;
    if (unit_.waitOutcome(ticket, Equipment::kDefaultWaitMs, &replyFrame) != Outcome::Accepted)
        return -1;
    const size_t payload = replyFrame > frame::kHeaderSize ? replyFrame - frame::kHeaderSize : 0;
    const size_t kept = std::min(payload, spec.replyLength);
    if (reply) std::memcpy(reply, data, kept);
    return static_cast<long>(kept);
}

UnitTransfer::Result UnitTransfer::run(Mode mode) {
    if (mode == Mode::Download) return fullDownload() == 0 ? Result::Success : Result::DownloadIncomplete;
    if (mode == Mode::Connect && !handshake())
        return unit_.linkRunning() || !unit_.lastError().empty() ? Result::HandshakeTimeout
                                                                  : Result::PortFailed;
    if (fullRead()) return Result::Success;
    unit_.clearFlags(linkflag::kAvailable);
    unit_.stopLink();
    return Result::ReadFailed;
}
