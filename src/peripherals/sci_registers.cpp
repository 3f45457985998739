#include "peripherals/sci_registers.h"

#include "peripherals/member_call.h"
#include "peripherals/register_bits.h"

namespace tarnwick {

// BAUD, SCCR1 and SCCR2 keep their 8-bit rules as bytes of a 16-bit write; SCSR ignores
// both; SCDR takes its byte of a 16-bit write as plain storage, so nothing is sent.
SciRegisters::SciRegisters(PeripheralBus& bus, SciTransmitter& transmitter, SciReceiver& receiver)
    : registers_(bus.registers), transmitter_(transmitter), receiver_(receiver) {
    RegisterTable& table = bus.registerTable;
    const EventCountdown::ClockMask clocks = transmitter.clock() | receiver.clock();
    table.claim(reg::kBaud, {.owner = this,
                             .clocks = clocks,
                             .readMask = implementedBits(reg::kBaud),
                             .write8 = memberCall<&SciRegisters::writeBaud>,
                             .writeInWord = memberCall<&SciRegisters::writeBaud>});
    table.claim(reg::kSccr1, {.owner = this,
                              .clocks = clocks,
                              .readMask = implementedBits(reg::kSccr1),
                              .write8 = memberCall<&SciRegisters::writeSccr1>,
                              .writeInWord = memberCall<&SciRegisters::writeSccr1>});
    table.claim(reg::kSccr2, {.owner = this,
                              .clocks = clocks,
                              .write8 = memberCall<&SciRegisters::writeSccr2>,
                              .writeInWord = memberCall<&SciRegisters::writeSccr2>});
    table.claim(reg::kScsr, {.owner = this,
                             .clocks = clocks,
                             .readMask = implementedBits(reg::kScsr),
                             .afterRead8 = memberCall<&SciRegisters::readScsr>,
                             .write8 = &RegisterTable::ignoreWrite,
                             .writeInWord = &RegisterTable::ignoreWrite});
    table.claim(reg::kScdr, {.owner = this,
                             .clocks = clocks,
                             .afterRead8 = memberCall<&SciRegisters::readScdr>,
                             .write8 = memberCall<&SciRegisters::writeScdr>});
}

void SciRegisters::writeBaud(std::uint8_t value) {
    registers_[reg::kBaud] = value;
    transmitter_.baudWritten(value);
}

void SciRegisters::writeSccr1(std::uint8_t value) {
    registers_[reg::kSccr1] = value & implementedBits(reg::kSccr1);
}

void SciRegisters::writeSccr2(std::uint8_t value) {
    registers_[reg::kSccr2] = value;
    transmitter_.control2Written(value);
    receiver_.control2Written(value);
}

void SciRegisters::readScsr() {
    transmitter_.statusRead = true;
    receiver_.statusRead();
}

void SciRegisters::readScdr() {
    receiver_.dataRead();
}

// The transmit data register is the transmitter's own: the SCDR byte does not change.
void SciRegisters::writeScdr(std::uint8_t value) {
    transmitter_.dataWritten(value);
}

}  // namespace tarnwick
