// How instructions reach their memory operands: which of them write, which read, and a store
// to ROM.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "instruction_fixture.h"

namespace tarnwick::testing {
namespace {

TEST_F(InstructionsTest, MemoryChangedFlagRaisedOnlyByInstructionsThatWrite) {
    const struct {
        std::string_view name;
        std::vector<std::uint8_t> code;
        bool changes;
    } cases[] = {
        {"STAA direct", {0x97, 0x40}, true},
        {"STAB 0,Y", {0x18, 0xE7, 0x00}, true},
        {"STD extended", {0xFD, 0x01, 0x00}, true},
        {"STS direct", {0x9F, 0x40}, true},
        {"STX 0,Y", {0xCD, 0xEF, 0x00}, true},
        {"STY 0,X", {0x1A, 0xEF, 0x00}, true},
        {"NEG extended", {0x70, 0x01, 0x00}, true},
        {"COM 0,X", {0x63, 0x00}, true},
        {"LSR 0,Y", {0x18, 0x64, 0x00}, true},
        {"ROR extended", {0x76, 0x01, 0x00}, true},
        {"ASR 0,X", {0x67, 0x00}, true},
        {"ASL extended", {0x78, 0x01, 0x00}, true},
        {"ROL 0,X", {0x69, 0x00}, true},
        {"DEC extended", {0x7A, 0x01, 0x00}, true},
        {"INC 0,Y", {0x18, 0x6C, 0x00}, true},
        {"CLR 0,X", {0x6F, 0x00}, true},
        {"BSET direct", {0x14, 0x40, 0x01}, true},
        {"BCLR 0,Y", {0x18, 0x1D, 0x00, 0x01}, true},
        {"PSHA", {0x36}, true},
        {"PSHB", {0x37}, true},
        {"PSHX", {0x3C}, true},
        {"PSHY", {0x18, 0x3C}, true},
        {"JSR direct", {0x9D, 0x40}, true},
        {"JSR 0,X", {0xAD, 0x00}, true},
        {"BSR", {0x8D, 0x00}, true},
        {"SWI", {0x3F}, true},
        {"TST extended", {0x7D, 0x01, 0x00}, false},
        {"TST 0,X", {0x6D, 0x00}, false},
        {"WAI", {0x3E}, false},
        {"NEGA", {0x40}, false},
        {"CLRB", {0x5F}, false},
        {"LDAA direct", {0x96, 0x40}, false},
        {"BRSET direct", {0x12, 0x40, 0x00, 0x00}, false},
        {"PULA", {0x32}, false},
        {"RTS", {0x39}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        setRegisters({.ix = 0x0100, .iy = 0x0100, .sp = 0x01FF});
        machine->memoryChanged = false;
        machine->waitState = false;
        loadCode(kCode, c.code);
        executeAt(kCode);
        EXPECT_EQ(machine->memoryChanged, c.changes);
    }
}

// CLR writes without reading, TST reads without writing, the others read and then write.
TEST_F(InstructionsTest, MemoryOperandsAreAccessedOnlyAsTheInstructionNeeds) {
    const struct {
        std::string_view name;
        std::uint8_t opcode;
        MemoryKind kind;
        std::string_view warning;
    } cases[] = {
        {"CLR on write-only memory", 0x7F, MemoryKind::WriteOnly, ""},
        {"STAA on write-only memory", 0xB7, MemoryKind::WriteOnly, ""},
        {"NEG on write-only memory", 0x70, MemoryKind::WriteOnly,
         "Reading 8-Bit from Write Only Memory"},
        {"TST on ROM", 0x7D, MemoryKind::Rom, ""},
        {"INC on ROM", 0x7C, MemoryKind::Rom, "Writing 8-Bit to ROM"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        setMemoryKind(machine->memory, 0x8000, 0x8000, c.kind);
        host.messages.clear();
        load(kCode, {c.opcode, 0x80, 0x00});
        executeAt(kCode);
        if (c.warning.empty()) {
            EXPECT_TRUE(host.messages.empty());
        } else {
            ASSERT_EQ(host.messages.size(), 1u);
            EXPECT_NE(host.messages[0].text.find(c.warning), std::string::npos);
        }
    }
}

TEST_F(InstructionsTest, StoreToRomAnsweredYesChargesSetsFlagsAndKeepsTheByte) {
    const struct {
        std::string_view name;
        std::vector<std::uint8_t> code;
        std::uint16_t address;
        int cycles;
    } cases[] = {
        {"direct", {0x97, 0x40}, 0x0040, 3},
        {"extended", {0xB7, 0x80, 0x00}, 0x8000, 4},
        {"indexed X", {0xA7, 0x10}, 0x8010, 4},
        {"indexed Y", {0x18, 0xA7, 0x20}, 0x8020, 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        setMemoryKind(machine->memory, c.address, c.address, MemoryKind::Rom);
        machine->poke(c.address, 0xFF);
        setRegisters({.a = 0x80, .ix = 0x8000, .iy = 0x8000, .ccr = kZ | kV | kC});
        machine->memoryChanged = false;
        machine->cycleCounter = 0;
        host.messages.clear();
        host.yesNoAnswers = {true};
        loadCode(kCode, c.code);
        executeAt(kCode);

        EXPECT_EQ(machine->peek(c.address), 0xFF);
        EXPECT_EQ(machine->flags.byte(), kN | kC);
        EXPECT_EQ(machine->cycleCounter, std::uint32_t(c.cycles));
        EXPECT_EQ(machine->pc, kCode + c.code.size());
        EXPECT_TRUE(machine->memoryChanged);
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_EQ(host.messages[0].kind, testing::FakeHost::Message::YesNoWarning);
        EXPECT_NE(host.messages[0].text.find("Writing 8-Bit to ROM"), std::string::npos);
    }
}

}  // namespace
}  // namespace tarnwick::testing
