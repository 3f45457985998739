#include "peripherals/timer_registers.h"

#include "peripherals/member_call.h"
#include "peripherals/register_bits.h"

namespace tarnwick {

TimerRegisters::TimerRegisters(PeripheralBus& bus, RealTimeInterrupt& rti, FreeRunningTimer& timer)
    : bus_(bus), registers_(bus.registers), rti_(rti), timer_(timer) {
    // TCNT is the counter's: writes do nothing, and a 16-bit write starting at either byte
    // changes neither of its bytes.
    const RegisterHandlers counter{
        .clocks = timer.clock(), .write8 = &RegisterTable::ignoreWrite, .ignoresWordWrites = true};
    bus.registerTable.claim(reg::kTcntHigh, counter);
    bus.registerTable.claim(reg::kTcntLow, counter);
    const EventCountdown::ClockMask both = rti.clock() | timer.clock();
    bus.registerTable.claim(
        reg::kTmsk2,
        {.owner = this, .clocks = both, .write8 = memberCall<&TimerRegisters::writeTmsk2>});
    bus.registerTable.claim(
        reg::kTflg2,
        {.owner = this, .clocks = both, .write8 = memberCall<&TimerRegisters::writeTflg2>});
    bus.registerTable.claim(
        reg::kPactl,
        {.owner = this, .clocks = both, .write8 = memberCall<&TimerRegisters::writePactl>});
}

void TimerRegisters::writeTmsk2(std::uint8_t value) {
    std::uint8_t& cell = registers_[reg::kTmsk2];
    if (bus_.timeProtected()) {
        cell = static_cast<std::uint8_t>((cell & bit::kPr.mask) | (value & ~bit::kPr.mask));
    } else {
        cell = value;
        timer_.prescaleSelect = value & bit::kPr.mask;
    }
}

// Writing a one clears a flag; any flag cleared takes the unused bits 3-0 with it.
void TimerRegisters::writeTflg2(std::uint8_t value) {
    std::uint8_t& cell = registers_[reg::kTflg2];
    for (const RegisterBit& flag : {bit::kTof, bit::kRtif, bit::kPaovf, bit::kPaif})
        if (flag.isSetIn(value)) cell &= static_cast<std::uint8_t>(0xF0 & ~flag.mask);
    if (bit::kTof.isSetIn(value)) timer_.request = false;
    if (bit::kRtif.isSetIn(value)) rti_.request = false;
}

void TimerRegisters::writePactl(std::uint8_t value) {
    registers_[reg::kPactl] = value;
    rti_.rateSelect = value & bit::kRtr.mask;
}

}  // namespace tarnwick
