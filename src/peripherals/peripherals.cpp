#include "peripherals/peripherals.h"

#include <algorithm>
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

constexpr std::uint8_t kSccr1Mask = 0xD8;

}  // namespace

Peripherals::Peripherals(AddressSpace& memory, const std::uint32_t& cycleCounter)
    : rti(IoRegisters(memory), requestLatches_.rti),
      timer(IoRegisters(memory), requestLatches_.overflow),
      sci(IoRegisters(memory), onSciFrameTransmitted, requestLatches_.tdre, requestLatches_.tc),
      adc(IoRegisters(memory)),
      xirq(memory),
      cycleCounter_(cycleCounter),
      registers_(memory) {}

void Peripherals::resetRegisters() {
    for (std::uint8_t index = 0; index < kIoRegisterCount; ++index) {
        std::uint8_t& cell = registers_[index];
        cell = static_cast<std::uint8_t>((cell & kResetRules[index].keep) | kResetRules[index].set);
    }
    sci.baudIndex = registers_[reg::kBaud] & 0x1F;
    timer.prescaleSelect = 0;
    rti.rateSelect = 0;
    rti.reset();
    timer.reset();
    sci.reset();
    adc.reset();
    xirq.reset();
    reschedule();
}

void Peripherals::settle() {
    if (unsettledCycles() != 0) advanceTimers();
}

void Peripherals::advanceTimers() {
    // No timeout lies inside the deferred cycles, only possibly at their very end, so one
    // step by all of them gives what stepping them one by one would have.
    const auto cycles = static_cast<std::uint32_t>(unsettledCycles());
    rti.step(cycles);
    timer.step(cycles);
    reschedule();
}

void Peripherals::tickSlowly(std::uint8_t cycles) {
    advanceTimers();
    if (serialOrConverterOn_) {
        sci.step(cycles);
        adc.step(cycles);
    }
}

void Peripherals::reschedule() {
    scheduledCycles_ =
        static_cast<std::int32_t>(std::min(rti.cyclesToTimeout(), timer.cyclesToOverflow()));
    cyclesToTimerEvent_ = scheduledCycles_;
    // Only register writes and resets switch the transmitter or the converter on, and each
    // of them ends here; while on, every tick takes the slow path.
    serialOrConverterOn_ = sci.transmitterEnabled || adc.groupZero;
    if (serialOrConverterOn_) demandAttention();
}

bool Peripherals::forceRtiClick() {
    settle();
    const bool acted = rti.forceRtiClick();
    scheduledCycles_ = cyclesToTimerEvent_ = 0;  // the next step takes the timeout
    return acted;
}

bool Peripherals::forceTimerClick() {
    settle();
    const bool acted = timer.forceTimerClick();
    scheduledCycles_ = cyclesToTimerEvent_ = 0;
    return acted;
}

std::uint8_t Peripherals::maskedRegister(std::uint8_t index) const {
    const std::uint8_t value = registers_[index];
    switch (index) {
        case reg::kBaud:
            return value & 0xBF;
        case reg::kSccr1:
            return value & kSccr1Mask;
        case reg::kScsr:
            return value & 0xFE;
        case reg::kAdctl:
            return value & 0xBF;
        default:
            return value;
    }
}

std::uint8_t Peripherals::read8(std::uint16_t address) {
    settle();
    // The core sends only addresses of the block; the mask keeps any other in bounds.
    const auto index = static_cast<std::uint8_t>((address - kIoBase) & 0x3F);
    if (index == reg::kScsr) sci.statusRead = true;
    return maskedRegister(index);
}

std::uint16_t Peripherals::read16(std::uint16_t address) {
    settle();
    const auto index = static_cast<std::uint8_t>((address - kIoBase) & 0x3F);
    // Past CONFIG lies the plain cell at 0x1040, read raw.
    const std::uint8_t low =
        index == reg::kConfig ? registers_[kIoRegisterCount] : maskedRegister(index + 1);
    return static_cast<std::uint16_t>(maskedRegister(index) << 8 | low);
}

// Writes settle first, so the old rates apply up to here; a new rate moves the next timeout
// and a new control byte may switch the transmitter or the converter on.
void Peripherals::write8(std::uint16_t address, std::uint8_t value) {
    settle();
    writeRegister8(static_cast<std::uint8_t>((address - kIoBase) & 0x3F), value);
    reschedule();
}

void Peripherals::write16(std::uint16_t address, std::uint16_t value) {
    settle();
    writeRegister16(static_cast<std::uint8_t>((address - kIoBase) & 0x3F), value);
    reschedule();
}

void Peripherals::writeRegister8(std::uint8_t index, std::uint8_t value) {
    std::uint8_t& cell = registers_[index];
    switch (index) {
        case reg::kPioc:
        case reg::kTcntHigh:
        case reg::kTcntLow:
        case reg::kScsr:
        case reg::kInit:
            return;
        case reg::kTmsk2:
            if (timeProtected()) {
                cell = static_cast<std::uint8_t>((cell & 0x03) | (value & 0xFC));
            } else {
                cell = value;
                timer.prescaleSelect = value & 0x03;
            }
            return;
        case reg::kTflg2:
            // Writing a one clears a flag; any flag cleared takes the unused bits 3-0 with it.
            if (value & 0x80) {
                cell &= 0x70;
                timer.request = false;
            }
            if (value & 0x40) {
                cell &= 0xB0;
                rti.request = false;
            }
            if (value & 0x20) cell &= 0xD0;
            if (value & 0x10) cell &= 0xE0;
            return;
        case reg::kPactl:
            cell = value;
            rti.rateSelect = value & 0x03;
            return;
        case reg::kBaud:
            cell = value;
            sci.baudWritten(value);
            return;
        case reg::kSccr1:
            cell = value & kSccr1Mask;
            return;
        case reg::kSccr2:
            cell = value;
            sci.control2Written(value);
            return;
        case reg::kScdr:
            sci.dataWritten(value);
            return;
        case reg::kAdctl:
            cell = value & 0x7F;  // a new sequence clears CCF
            adc.startSequence(value);
            return;
        case reg::kOption:
            if (timeProtected()) {
                cell = static_cast<std::uint8_t>((cell & 0x33) | (value & 0xCC));
            } else {
                cell = value;
            }
            adc.powered = (cell & 0x80) != 0;
            return;
        default:
            cell = value;
            return;
    }
}

void Peripherals::writeRegister16(std::uint8_t index, std::uint16_t value) {
    const auto high = static_cast<std::uint8_t>(value >> 8);
    const auto low = static_cast<std::uint8_t>(value);
    // By default both bytes are stored raw: none of the 8-bit rules apply, and at CONFIG the
    // low byte lands in the plain cell at 0x1040.
    std::uint8_t& first = registers_[index];
    std::uint8_t& second = registers_[index + 1];
    switch (index) {
        case reg::kTcntHigh:
        case reg::kTcntLow:
        case reg::kInit:
            return;
        case reg::kSpdr:
            first = high;
            second = low;
            sci.baudWritten(low);
            return;
        case reg::kBaud:
            first = high;
            second = low & kSccr1Mask;
            sci.baudWritten(high);
            return;
        case reg::kSccr1:
            first = high & kSccr1Mask;
            second = low;
            sci.control2Written(low);
            return;
        case reg::kSccr2:
            first = high;
            sci.control2Written(high);
            return;
        case reg::kScsr:
            second = low;  // stored into SCDR's data byte; nothing is transmitted
            return;
        case reg::kScdr:
            first = high;
            second = low;  // ADCTL unmasked: CCF is whatever the word says
            adc.startSequence(low);
            return;
        case reg::kAdctl:
            first = high;
            second = low;
            adc.startSequence(high);
            return;
        default:
            first = high;
            second = low;
            return;
    }
}

void Peripherals::interruptTaken(InterruptSource source) {
    switch (source) {
        case InterruptSource::RealTime:
            rti.interruptTaken();
            break;
        case InterruptSource::TimerOverflow:
            timer.interruptTaken();
            break;
        case InterruptSource::Sci:
            sci.interruptTaken();
            break;
        case InterruptSource::Xirq:
            xirq.interruptTaken();
            break;
        default:
            break;
    }
}

void Peripherals::releaseXirqAtStopWakeUp() {
    xirq.releaseAtStopWakeUp();
}

}  // namespace tarnwick
