#include "peripherals/sci_receiver.h"

#include "peripherals/register_bits.h"
#include "peripherals/sci.h"

namespace tarnwick {
namespace {

constexpr std::uint8_t kReceiveFlags = bit::kRdrf.mask | bit::kOr.mask | bit::kIdle.mask;

}  // namespace

SciReceiver::SciReceiver(PeripheralBus& bus, const std::uint8_t& baudIndex)
    : events_(bus.events),
      registers_(bus.registers),
      baudIndex_(baudIndex),
      rdrfRequest_(bus.interrupts.addCondition(InterruptSource::Sci, bit::kRie)),
      overrunRequest_(bus.interrupts.addCondition(InterruptSource::Sci, bit::kRie)),
      idleRequest_(bus.interrupts.addCondition(InterruptSource::Sci, bit::kIlie)) {
    clock_ = bus.events.add(
        EventCountdown::clockOf<&SciReceiver::step, &SciReceiver::cyclesToEvent>(this));
}

void SciReceiver::attachInput() {
    attached_ = true;
}

void SciReceiver::detachInput() {
    events_.settle();
    attached_ = false;
    queue_.clear();
    line_ = Line::Quiet;
    lineClock_ = 0;
    clearFlags(kReceiveFlags);
    events_.reschedule();
}

// Settled first, so that a byte queued while the line is free starts arriving now.
void SciReceiver::queueInput(std::uint8_t byte) {
    if (!attached_) return;
    events_.settle();
    queue_.push_back(byte);
    // A byte on the line ends a watch for idle.
    if (enabled_ && line_ != Line::Receiving) startFrame();
    events_.reschedule();
}

bool SciReceiver::rdrf() const {
    return bit::kRdrf.isSetIn(registers_[reg::kScsr]);
}

bool SciReceiver::overrun() const {
    return bit::kOr.isSetIn(registers_[reg::kScsr]);
}

bool SciReceiver::idle() const {
    return bit::kIdle.isSetIn(registers_[reg::kScsr]);
}

// The register reset has cleared SCSR's receive flags; their requests go with them.
void SciReceiver::reset() {
    enabled_ = false;
    line_ = Line::Quiet;
    lineClock_ = 0;
    clearFlags(kReceiveFlags);
}

void SciReceiver::step(std::uint32_t cycles) {
    if (line_ == Line::Quiet) return;
    lineClock_ += cycles;
    const std::uint32_t frame = kSciFrameCycles[baudIndex_];
    if (lineClock_ < frame) return;
    lineClock_ -= frame;
    if (line_ == Line::Receiving) {
        finishFrame();
    } else {
        registers_[reg::kScsr] |= bit::kIdle.mask;
        idleRequest_ = true;
        line_ = Line::Quiet;
        lineClock_ = 0;
    }
}

std::uint32_t SciReceiver::cyclesToEvent() const {
    if (line_ == Line::Quiet) return EventCountdown::kNoEvent;
    const std::uint32_t frame = kSciFrameCycles[baudIndex_];
    return lineClock_ >= frame ? 0 : frame - lineClock_;
}

// Clearing RE abandons the frame arriving; its byte arrives whole once RE is set again.
void SciReceiver::control2Written(std::uint8_t sccr2) {
    const bool enable = bit::kRe.isSetIn(sccr2);
    if (enable == enabled_) return;
    enabled_ = enable;
    if (!enable) {
        line_ = Line::Quiet;
        lineClock_ = 0;
    } else if (!queue_.empty()) {
        startFrame();
    }
}

void SciReceiver::statusRead() {
    if (attached_) armedFlags_ = registers_[reg::kScsr] & kReceiveFlags;
}

void SciReceiver::dataRead() {
    clearFlags(armedFlags_);
}

void SciReceiver::startFrame() {
    line_ = Line::Receiving;
    lineClock_ = 0;
}

// The next byte follows at once with the clock's remainder; after the last one the line is
// watched for a frame time of idle, remainder included.
void SciReceiver::finishFrame() {
    const std::uint8_t byte = queue_.front();
    queue_.pop_front();
    std::uint8_t& scsr = registers_[reg::kScsr];
    if (bit::kRdrf.isSetIn(scsr)) {
        scsr |= bit::kOr.mask;
        overrunRequest_ = true;
    } else {
        registers_[reg::kScdr] = byte;
        scsr |= bit::kRdrf.mask;
        rdrfRequest_ = true;
    }
    line_ = queue_.empty() ? Line::Watching : Line::Receiving;
}

void SciReceiver::clearFlags(std::uint8_t flags) {
    registers_[reg::kScsr] &= static_cast<std::uint8_t>(~flags);
    if (bit::kRdrf.isSetIn(flags)) rdrfRequest_ = false;
    if (bit::kOr.isSetIn(flags)) overrunRequest_ = false;
    if (bit::kIdle.isSetIn(flags)) idleRequest_ = false;
    armedFlags_ = 0;
}

}  // namespace tarnwick
