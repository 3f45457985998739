#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "peripherals/interrupt_requests.h"
#include "peripherals/io_registers.h"
#include "peripherals/peripheral_bus.h"
#include "peripherals/register_bits.h"

namespace tarnwick {

// A frame is ten bit times of 16 E cycles scaled by the baud prescaler (1, 3, 4 or 13) and
// the rate divider (2^SCR): 160 E cycles at baud index 0, 266240 at index 31.
constexpr std::uint32_t sciFrameCycles(std::uint8_t baudIndex) {
    constexpr std::uint32_t kPrescaler[4] = {1, 3, 4, 13};
    return 160u * kPrescaler[(baudIndex >> 3) & 3] << (baudIndex & 7);
}

inline constexpr auto kSciFrameCycles = [] {
    std::array<std::uint32_t, 32> cycles{};
    for (std::uint8_t index = 0; index < cycles.size(); ++index)
        cycles[index] = sciFrameCycles(index);
    return cycles;
}();

// The SCI transmitter. TDRE comes back at the frame's midpoint, so the program can queue
// the next byte while the current one is still shifting out.
class SciTransmitter {
  public:
    static constexpr std::uint8_t kHistorySize = 32;

    // Adds the transmit conditions (TDRE with TIE, then TC with TCIE) on the SCI vector and
    // the transmitter's clock; every frame sent is handed to onFrame.
    SciTransmitter(PeripheralBus& bus, const std::function<void(std::uint8_t)>& onFrame);

    void reset();

    void step(std::uint32_t cycles) {
        if (!transmitterEnabled) return;
        if (transmitting || breakRequested) bitClock += cycles;
        const std::uint32_t frame = kSciFrameCycles[baudIndex];
        if (!halfFrame_) {
            if (bitClock >= frame / 2) {
                halfFrame_ = true;
                registers_[reg::kScsr] |= kTdre;
                tdreRequest = true;
            }
        } else if (bitClock >= frame) {
            bitClock -= frame;
            halfFrame_ = false;
            finishFrame();
        }
    }
    // E cycles until the step reaches the midpoint or the end of the frame.
    std::uint32_t cyclesToEvent() const;

    // Side effects of register writes; the caller has stored the register byte.
    void baudWritten(std::uint8_t baud);
    void control2Written(std::uint8_t sccr2);
    // The SCDR data byte itself is never changed by a transmit write.
    void dataWritten(std::uint8_t value);

    void interruptTaken() { ++interruptCount_; }

    // The transmitted bytes oldest first: slot 0 is the oldest, slot 31 the latest.
    std::uint8_t historyInWindowOrder(std::uint8_t slot) const {
        return history_[(historyPosition_ + slot) % kHistorySize];
    }
    std::uint32_t interruptCount() const { return interruptCount_; }
    EventCountdown::ClockMask clock() const { return clock_; }

    static constexpr std::uint8_t kTdre = bit::kTdre.mask;
    static constexpr std::uint8_t kTc = bit::kTc.mask;

    std::uint8_t baudIndex = 0;  // SCP1:SCP0 * 8 + SCR2:SCR0
    std::uint32_t bitClock = 0;  // E cycles into the current frame
    bool transmitterEnabled = false;
    bool statusRead = false;  // SCSR read by an 8-bit read since the last accepted SCDR write
    std::uint8_t dataLatch = 0;
    std::uint8_t shiftRegister = 0;
    bool transmitting = false;
    bool breakRequested = false;
    RequestLine tdreRequest;
    RequestLine tcRequest;

  private:
    void finishFrame();
    void completeTransmission();

    IoRegisters registers_;
    EventCountdown::ClockMask clock_ = 0;
    const std::function<void(std::uint8_t)>& onFrame_;
    bool halfFrame_ = false;
    std::array<std::uint8_t, kHistorySize> history_{};
    std::uint8_t historyPosition_ = 0;  // the slot the next frame goes to, also the oldest
    std::uint32_t interruptCount_ = 0;
};

}  // namespace tarnwick
