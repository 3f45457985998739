#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/number_text.h"
#include "peripherals/member_call.h"
#include "peripherals_fixture.h"

namespace tarnwick {
namespace {

// Records every note as "TOC1 1016 output compares".
class UnsimulatedWritesTest : public PeripheralsTest {
  protected:
    UnsimulatedWritesTest() {
        peripherals.onUnsimulatedWrite = [this](const UnsimulatedRegister& entry,
                                                std::uint16_t address) {
            notes.push_back(std::string(entry.name) + " " + hexText(address, 4) + " " +
                            std::string(entry.peripheral->name));
        };
    }

    // The notes since the last call.
    std::vector<std::string> taken() { return std::exchange(notes, {}); }

    std::vector<std::string> notes;
};

using Notes = std::vector<std::string>;

TEST_F(UnsimulatedWritesTest, EachPeripheralNotesAtItsFirstWriteUntilForgotten) {
    struct Step {
        std::uint16_t address;
        std::uint16_t value;
        bool word;
        Notes notes;
    };
    const Step steps[] = {
        {0x1016, 0x1234, true, {"TOC1 1016 output compares"}},
        {0x1017, 0x00, false, {}},  // TOC1 again
        {0x1020, 0x40, false, {}},  // TCTL1, the same peripheral
        {0x1015, 0xABCD, true, {"TIC3 1015 input captures"}},
        {0x1021, 0x01, false, {}},  // TCTL2
        {0x1027, 0x05, false, {"PACNT 1027 the pulse accumulator"}},
        {0x1028, 0x50, false, {"SPCR 1028 the SPI"}},
        {0x102A, 0x00, false, {}},
        {0x103A, 0x55, false, {"COPRST 103A the COP watchdog"}},
        {0x103A, 0xAA, false, {}},
        {0x1034, 0x0010, true, {"BPROT 1035 EEPROM programming"}},  // ADR4:BPROT
        {0x103B, 0x16, false, {}},                                  // PPROG
    };
    for (const Step& step : steps) {
        if (step.word)
            peripherals.write16(step.address, step.value);
        else
            peripherals.write8(step.address, static_cast<std::uint8_t>(step.value));
        EXPECT_EQ(taken(), step.notes) << hexText(step.address, 4);
    }
    EXPECT_EQ(reg(0x16), 0xCD) << "TOC1 stays plain memory";
    EXPECT_EQ(reg(0x17), 0x00);

    peripherals.write8(0x101A, 0x00);  // TOC3
    EXPECT_TRUE(taken().empty());
    peripherals.forgetUnsimulatedWrites();
    peripherals.write8(0x101A, 0x00);
    peripherals.write16(0x1029, 0x0000);  // SPSR:SPDR
    EXPECT_EQ(taken(), (Notes{"TOC3 101A output compares", "SPSR 1029 the SPI"}));
}

// Registers shared with a simulated part, or between two unsimulated peripherals, note only a
// write that changes one of the unsimulated bits.
TEST_F(UnsimulatedWritesTest, SharedRegistersNoteOnlyChangesOfTheirUnsimulatedBits) {
    struct Case {
        std::uint8_t index;
        std::uint8_t before;
        std::uint8_t written;
        Notes notes;
    };
    const Case cases[] = {
        {0x24, 0x00, 0xC3, {}},  // TMSK2: TOI, RTII and the prescaler
        {0x24, 0x00, 0x10, {"TMSK2 1024 the pulse accumulator"}},
        {0x24, 0x20, 0x20, {}},
        {0x26, 0x00, 0x83, {}},  // PACTL: DDRA7 and the RTI rate
        {0x26, 0x00, 0x43, {"PACTL 1026 the pulse accumulator"}},
        {0x26, 0x70, 0x00, {"PACTL 1026 the pulse accumulator"}},
        {0x26, 0x00, 0x04, {"PACTL 1026 input captures"}},
        {0x22, 0x00, 0x00, {}},  // TMSK1
        {0x22, 0x00, 0x08, {"TMSK1 1022 output compares"}},
        {0x23, 0x00, 0x81, {"TFLG1 1023 output compares", "TFLG1 1023 input captures"}},
        {0x3F, 0x0C, 0x0D, {}},  // CONFIG: NOCOP kept
        {0x3F, 0x0C, 0x08, {"CONFIG 103F the COP watchdog"}},
    };
    for (const Case& c : cases) {
        peripherals.forgetUnsimulatedWrites();
        reg(c.index) = c.before;
        peripherals.write8(kIoBase + c.index, c.written);
        EXPECT_EQ(taken(), c.notes) << "register " << int(c.index) << " written " << int(c.written);
    }
    peripherals.write8(0x1026, 0x42);
    EXPECT_EQ(peripherals.rti.rateSelect, 2) << "PACTL still sets the RTI rate";
}

TEST_F(UnsimulatedWritesTest, SimulatedRegistersAndReadsNeverNote) {
    // TFLG2's pulse-accumulator flags among them.
    for (const std::uint8_t index :
         {reg::kPortA, reg::kPioc, reg::kTcntHigh, reg::kTflg2, reg::kBaud, reg::kSccr1,
          reg::kSccr2, reg::kScsr, reg::kScdr, reg::kAdctl, reg::kOption, reg::kInit})
        peripherals.write8(kIoBase + index, 0xFF);
    for (const std::uint8_t index : {reg::kTcntHigh, reg::kBaud, reg::kSccr2, reg::kScdr})
        peripherals.write16(kIoBase + index, 0x0000);
    for (std::uint16_t address = kIoBase; address < kIoBase + kIoRegisterCount; ++address) {
        peripherals.read8(address);
        peripherals.read16(address);
    }
    EXPECT_TRUE(taken().empty());
    peripherals.write8(0x1016, 0x00);
    EXPECT_EQ(taken(), Notes{"TOC1 1016 output compares"}) << "nothing was noted before";
}

// A register another peripheral claimed before keeps its handlers, which get every access
// after the note.
TEST(UnsimulatedWritesPassOnTest, AnEarlierClaimGetsTheWritesAfterTheNoteAndTheReads) {
    auto memory = std::make_unique<AddressSpace>();
    const std::uint32_t cycles = 0;
    PeripheralBus bus(*memory, cycles);
    struct Owner {
        std::vector<std::string>& calls;
        void write(std::uint8_t value) { calls.push_back("write " + hexText(value, 2)); }
        void word(std::uint8_t value) { calls.push_back("word " + hexText(value, 2)); }
        void read() { calls.push_back("read"); }
    };
    std::vector<std::string> calls;
    Owner owner{calls};
    bus.registerTable.claim(0x16, {.owner = &owner,
                                   .readMask = 0x0F,
                                   .afterRead8 = memberCall<&Owner::read>,
                                   .write8 = memberCall<&Owner::write>,
                                   .writeInWord = memberCall<&Owner::word>});
    const UnsimulatedWrites::Note note = [&calls](const UnsimulatedRegister& entry,
                                                  std::uint16_t address) {
        calls.push_back("note " + std::string(entry.name) + " " + hexText(address, 4));
    };
    UnsimulatedWrites writes(bus, note);

    bus.registerTable.write8(0x16, 0x12);
    bus.registerTable.write16(0x16, 0x3456);
    (*memory)[0x1016].value = 0xAB;
    EXPECT_EQ(bus.registerTable.read8(0x16), 0x0B);
    EXPECT_EQ(calls, (Notes{"note TOC1 1016", "write 12", "word 34", "read"}));
    EXPECT_EQ((*memory)[0x1017].value, 0x56) << "the low byte stays plain";
}

TEST(UnsimulatedRegistersTest, TextNamesTheRegisterAndWhatActsAsPlainMemory) {
    const auto entry = [](std::string_view name) {
        for (const UnsimulatedRegister& each : kUnsimulatedRegisters)
            if (each.name == name) return each;
        return UnsimulatedRegister{};
    };
    struct Case {
        UnsimulatedRegister entry;
        std::uint16_t address;
        std::string text;
    };
    const Case cases[] = {
        {entry("TOC1"), 0x1017,
         "the program wrote TOC1 at 1017; output compares are not simulated, so their registers "
         "act as plain memory"},
        {entry("SPDR"), 0x102A,
         "the program wrote SPDR at 102A; the SPI is not simulated, so its registers act as "
         "plain memory"},
        {entry("TMSK2"), 0x1024,
         "the program wrote TMSK2 at 1024; the pulse accumulator is not simulated, so its bits "
         "in TMSK2 act as plain memory"},
        {entry("CONFIG"), 0x103F,
         "the program wrote CONFIG at 103F; the COP watchdog is not simulated, so its bit in "
         "CONFIG acts as plain memory"},
    };
    for (const Case& c : cases) EXPECT_EQ(unsimulatedWriteText(c.entry, c.address), c.text);
}

}  // namespace
}  // namespace tarnwick
