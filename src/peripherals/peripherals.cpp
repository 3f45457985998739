#include "peripherals/peripherals.h"

#include <array>

namespace tarnwick {

namespace {

// A register's reset value is (old AND keep) OR set: keep = FF leaves it as it was, keep = 00
// stores a fixed value.
struct ResetRule {
    std::uint8_t keep;
    std::uint8_t set;
};

constexpr ResetRule kKeep{0xFF, 0x00};
constexpr ResetRule fixed(std::uint8_t value) {
    return {0x00, value};
}

constexpr std::array<ResetRule, kIoRegisterCount> kResetRules{{
    fixed(0x8F),   // 00 PORTA
    kKeep,         // 01 reserved
    {0x04, 0x03},  // 02 PIOC
    fixed(0xFF),   // 03 PORTC
    fixed(0x00),   // 04 PORTB
    fixed(0xFF),   // 05 PORTCL
    kKeep,         // 06 reserved
    fixed(0x00),   // 07 DDRC
    fixed(0x3F),   // 08 PORTD
    fixed(0x00),   // 09 DDRD
    fixed(0xFF),   // 0A PORTE
    fixed(0x00),   // 0B CFORC
    fixed(0x00),   // 0C OC1M
    fixed(0x00),   // 0D OC1D
    fixed(0x00),   // 0E TCNT high
    fixed(0x00),   // 0F TCNT low
    kKeep,         // 10 TIC1 high
    kKeep,         // 11 TIC1 low
    kKeep,         // 12 TIC2 high
    kKeep,         // 13 TIC2 low
    kKeep,         // 14 TIC3 high
    kKeep,         // 15 TIC3 low
    fixed(0xFF),   // 16 TOC1 high
    fixed(0xFF),   // 17 TOC1 low
    fixed(0xFF),   // 18 TOC2 high
    fixed(0xFF),   // 19 TOC2 low
    fixed(0xFF),   // 1A TOC3 high
    fixed(0xFF),   // 1B TOC3 low
    fixed(0xFF),   // 1C TOC4 high
    fixed(0xFF),   // 1D TOC4 low
    fixed(0xFF),   // 1E TI4/O5 high
    fixed(0xFF),   // 1F TI4/O5 low
    fixed(0x00),   // 20 TCTL1
    fixed(0x00),   // 21 TCTL2
    fixed(0x00),   // 22 TMSK1
    fixed(0x00),   // 23 TFLG1
    fixed(0x00),   // 24 TMSK2
    fixed(0x00),   // 25 TFLG2
    fixed(0x00),   // 26 PACTL
    kKeep,         // 27 PACNT
    {0x03, 0x04},  // 28 SPCR
    fixed(0x00),   // 29 SPSR
    kKeep,         // 2A SPDR
    {0x07, 0x00},  // 2B BAUD
    fixed(0xC0),   // 2C SCCR1
    fixed(0x00),   // 2D SCCR2
    fixed(0xC0),   // 2E SCSR
    fixed(0xFF),   // 2F SCDR
    fixed(0xBF),   // 30 ADCTL
    fixed(0x00),   // 31 ADR1
    fixed(0x00),   // 32 ADR2
    fixed(0x00),   // 33 ADR3
    fixed(0x00),   // 34 ADR4
    fixed(0x1F),   // 35 BPROT
    fixed(0x00),   // 36 EPROG
    kKeep,         // 37 reserved
    kKeep,         // 38 reserved
    fixed(0x10),   // 39 OPTION
    kKeep,         // 3A COPRST
    fixed(0x00),   // 3B PPROG
    kKeep,         // 3C HPRIO
    fixed(0x01),   // 3D INIT
    kKeep,         // 3E TEST1
    {0x07, 0x08},  // 3F CONFIG
}};

}  // namespace

Peripherals::Peripherals(AddressSpace& memory, const std::uint32_t& cycleCounter)
    : bus_(memory, cycleCounter),
      rti(bus_),
      timer(bus_),
      sci(bus_, onSciFrameTransmitted),
      sciReceiver(bus_, sci.baudIndex),
      adc(bus_),
      xirq(bus_, memory),
      cycleAlarm(bus_),
      timerRegisters_(bus_, rti, timer),
      sciRegisters_(bus_, sci, sciReceiver),
      unsimulatedWrites_(bus_, onUnsimulatedWrite) {
    // The registers of no modelled peripheral that still refuse writes: INIT, so that the
    // block never moves, and PIOC.
    bus_.registerTable.claim(reg::kPioc, {.write8 = &RegisterTable::ignoreWrite});
    bus_.registerTable.claim(reg::kInit,
                             {.write8 = &RegisterTable::ignoreWrite, .ignoresWordWrites = true});
    bus_.events.reschedule();
}

void Peripherals::resetRegisters() {
    IoRegisters& registers = bus_.registers;
    for (std::uint8_t index = 0; index < kIoRegisterCount; ++index) {
        std::uint8_t& cell = registers[index];
        cell = static_cast<std::uint8_t>((cell & kResetRules[index].keep) | kResetRules[index].set);
    }
    rti.reset();
    timer.reset();
    sci.reset();
    sciReceiver.reset();
    adc.reset();
    xirq.reset();
    // The reset drops the cycles the other clocks have yet to see; the cycle alarm, which the
    // reset leaves alone, keeps counting them.
    bus_.events.reschedule(EventCountdown::kAllClocks & ~cycleAlarm.clock());
    refreshInterruptAttention();
}

bool Peripherals::forceRtiClick() {
    settle();
    const bool acted = rti.forceRtiClick();
    bus_.events.reschedule();  // the next step takes the timeout
    return acted;
}

bool Peripherals::forceTimerClick() {
    settle();
    const bool acted = timer.forceTimerClick();
    bus_.events.reschedule();
    return acted;
}

namespace {

// The core sends only addresses of the block; the mask keeps any other in bounds.
std::uint8_t registerIndex(std::uint16_t address) {
    return static_cast<std::uint8_t>((address - kIoBase) & 0x3F);
}

}  // namespace

EventCountdown::ClockMask Peripherals::wordClocks(std::uint8_t index) const {
    return bus_.registerTable.clocks(index) |
           bus_.registerTable.clocks(static_cast<std::uint8_t>(index + 1));
}

std::uint8_t Peripherals::read8(std::uint16_t address) {
    const std::uint8_t index = registerIndex(address);
    bus_.events.settle(bus_.registerTable.clocks(index));
    return bus_.registerTable.read8(index);
}

std::uint16_t Peripherals::read16(std::uint16_t address) {
    const std::uint8_t index = registerIndex(address);
    bus_.events.settle(wordClocks(index));
    return bus_.registerTable.read16(index);
}

// Writes settle the clocks of their registers first, so the old rates apply up to here; a
// write may move those clocks' next events and change an enable bit.
void Peripherals::write8(std::uint16_t address, std::uint8_t value) {
    const std::uint8_t index = registerIndex(address);
    const EventCountdown::ClockMask clocks = bus_.registerTable.clocks(index);
    bus_.events.settle(clocks);
    bus_.registerTable.write8(index, value);
    if (clocks != 0) bus_.events.reschedule(clocks);
    refreshInterruptAttention();
}

void Peripherals::write16(std::uint16_t address, std::uint16_t value) {
    const std::uint8_t index = registerIndex(address);
    const EventCountdown::ClockMask clocks = wordClocks(index);
    bus_.events.settle(clocks);
    bus_.registerTable.write16(index, value);
    if (clocks != 0) bus_.events.reschedule(clocks);
    refreshInterruptAttention();
}

}  // namespace tarnwick
