#include "peripherals/sci.h"

#include "peripherals/member_call.h"
#include "peripherals/register_bits.h"

namespace tarnwick {

SciTransmitter::SciTransmitter(PeripheralBus& bus, const std::function<void(std::uint8_t)>& onFrame)
    : tdreRequest(bus.interrupts.addCondition(InterruptSource::Sci, bit::kTie)),
      tcRequest(bus.interrupts.addCondition(InterruptSource::Sci, bit::kTcie)),
      registers_(bus.registers),
      onFrame_(onFrame) {
    clock_ = bus.events.add(
        EventCountdown::clockOf<&SciTransmitter::step, &SciTransmitter::cyclesToEvent>(this));
    bus.interrupts.onTaken(InterruptSource::Sci, this, memberCall<&SciTransmitter::interruptTaken>);
}

// After the register reset BAUD holds only SCR2:SCR0, which is then the baud index.
void SciTransmitter::reset() {
    baudIndex = registers_[reg::kBaud] & 0x1F;
    bitClock = 0;
    breakRequested = false;
    tdreRequest = false;
    tcRequest = false;
    transmitterEnabled = false;
    transmitting = false;
    statusRead = false;
    halfFrame_ = false;
    historyPosition_ = 0;
    history_.fill(0xFF);
    history_[kHistorySize - 1] = 0x00;
    interruptCount_ = 0;
}

std::uint32_t SciTransmitter::cyclesToEvent() const {
    if (!transmitterEnabled) return EventCountdown::kNoEvent;
    const std::uint32_t frame = kSciFrameCycles[baudIndex];
    const std::uint32_t event = halfFrame_ ? frame : frame / 2;
    if (bitClock >= event) return 0;
    // The clock runs only while a frame or a break goes out.
    if (!transmitting && !breakRequested) return EventCountdown::kNoEvent;
    return event - bitClock;
}

void SciTransmitter::baudWritten(std::uint8_t baud) {
    baudIndex = static_cast<std::uint8_t>(((baud & bit::kScp.mask) >> 1) | (baud & bit::kScr.mask));
    // A new rate restarts the bit clock without ending the frame in progress.
    bitClock = 0;
}

void SciTransmitter::control2Written(std::uint8_t sccr2) {
    const std::uint8_t scsr = registers_[reg::kScsr];
    transmitterEnabled = bit::kTe.isSetIn(sccr2);
    if (!transmitterEnabled) return;
    if (bit::kTie.isSetIn(sccr2)) tdreRequest = (scsr & kTdre) != 0;
    if (bit::kTcie.isSetIn(sccr2)) tcRequest = (scsr & kTc) != 0;
    if (bit::kSbk.isSetIn(sccr2)) {
        // Clearing SBK later does not end the break: only a reset does.
        breakRequested = true;
        if (scsr & kTc) {
            shiftRegister = 0x00;
            completeTransmission();
        }
    }
}

void SciTransmitter::dataWritten(std::uint8_t value) {
    // As on the chip, a write counts only after SCSR has been read.
    if (!statusRead) return;
    statusRead = false;
    std::uint8_t& scsr = registers_[reg::kScsr];
    if (scsr & kTdre) {
        dataLatch = value;
        scsr &= ~kTdre;
        tdreRequest = false;
    }
    if ((scsr & kTc) && !breakRequested) {
        bitClock = 0;
        shiftRegister = value;
        scsr &= ~kTc;
        transmitting = true;
        tcRequest = false;
    }
}

void SciTransmitter::finishFrame() {
    const std::uint8_t sent = shiftRegister;
    history_[historyPosition_] = sent;
    historyPosition_ = (historyPosition_ + 1) % kHistorySize;

    std::uint8_t& scsr = registers_[reg::kScsr];
    if (!(scsr & kTdre) && !breakRequested) {
        // A byte was queued during this frame: it starts at once with the clock's remainder.
        shiftRegister = dataLatch;
        scsr &= ~kTc;
        tcRequest = false;
        transmitting = true;
    } else {
        if (breakRequested) shiftRegister = 0x00;
        completeTransmission();
    }
    if (onFrame_) onFrame_(sent);
}

void SciTransmitter::completeTransmission() {
    registers_[reg::kScsr] |= kTc;
    tcRequest = true;
    transmitting = false;
}

}  // namespace tarnwick
