#include "peripherals/sci.h"

namespace tarnwick {

void SciTransmitter::reset() {
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

void SciTransmitter::baudWritten(std::uint8_t baud) {
    baudIndex = static_cast<std::uint8_t>(((baud & 0x30) >> 1) | (baud & 0x07));
    // A new rate restarts the bit clock without ending the frame in progress.
    bitClock = 0;
}

void SciTransmitter::control2Written(std::uint8_t sccr2) {
    const std::uint8_t scsr = registers_[reg::kScsr];
    transmitterEnabled = (sccr2 & 0x08) != 0;
    if ((sccr2 & 0x88) == 0x88) tdreRequest = (scsr & kTdre) != 0;
    if ((sccr2 & 0x48) == 0x48) tcRequest = (scsr & kTc) != 0;
    if ((sccr2 & 0x09) == 0x09) {
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
