// The extra mnemonics that stand for several instructions, run on the simulated CPU: each
// must do what its name says for values that reach the carries and the signs.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "asm11/assemble_text.h"
#include "core/machine_fixture.h"

namespace tarnwick::asm11 {
namespace {

struct Registers {
    std::uint16_t d, x, y;
    bool carry;
};

struct RunCase {
    const char* line;
    Registers before;
    Registers after;
};

const RunCase kRunCases[] = {
    {" NEGD", {0x0001, 0, 0, false}, {0xFFFF, 0, 0, true}},
    // The carry is SBCA's: set only when the high byte borrows.
    {" NEGD", {0x0100, 0, 0, false}, {0xFF00, 0, 0, false}},
    {" NEGD", {0x1234, 0, 0, false}, {0xEDCC, 0, 0, false}},
    {" NEGD", {0x0000, 0, 0, true}, {0x0000, 0, 0, false}},
    {" NEGD", {0x8000, 0, 0, false}, {0x8000, 0, 0, false}},
    {" COMD", {0x1234, 0, 0, false}, {0xEDCB, 0, 0, true}},
    {" XGAB", {0x12F4, 0, 0, false}, {0xF412, 0, 0, false}},
    {" XGXY", {0x5555, 0x1111, 0x2222, false}, {0x5555, 0x2222, 0x1111, false}},
    {" ROLD", {0x8080, 0, 0, true}, {0x0101, 0, 0, true}},
    {" RORD", {0x0101, 0, 0, false}, {0x0080, 0, 0, true}},
    {" PSHD\n CLRD\n PULD", {0xBEEF, 0, 0, false}, {0xBEEF, 0, 0, false}},
    {" INCD", {0x00FF, 0, 0, false}, {0x0100, 0, 0, false}},
    {" DECD", {0x0100, 0, 0, false}, {0x00FF, 0, 0, false}},
    // Taken: D becomes 1; not taken: D stays.
    {" JCS HIT\n BRA END\nHIT LDD #1\nEND NOP", {0, 0, 0, true}, {1, 0, 0, true}},
    {" JCS HIT\n BRA END\nHIT LDD #1\nEND NOP", {0, 0, 0, false}, {0, 0, 0, false}},
    {" JCS 0,X\n BRA END\nHIT LDD #1\nEND NOP", {0, 0x8006, 0, true}, {1, 0x8006, 0, true}},
};

class ExtraMnemonicsRun : public testing::MachineTest {};

TEST_F(ExtraMnemonicsRun, EachDoesWhatItsNameSays) {
    for (const RunCase& c : kRunCases) {
        const AssemblyResult result = assembleText(std::string(" ORG $8000\n") + c.line);
        ASSERT_EQ(result.errors, 0) << c.line << "\n" << allMessages(result);
        const std::uint16_t end = static_cast<std::uint16_t>(0x8000 + result.byteCount);
        for (std::uint32_t a = 0x8000; a < end; ++a)
            machine->poke(static_cast<std::uint16_t>(a), result.image.bytes[a]);
        machine->a = static_cast<std::uint8_t>(c.before.d >> 8);
        machine->b = static_cast<std::uint8_t>(c.before.d);
        machine->ix = c.before.x;
        machine->iy = c.before.y;
        machine->sp = 0x00FF;
        machine->flags.c = c.before.carry;
        machine->pc = 0x8000;
        for (int steps = 0; machine->pc != end && steps < 20; ++steps) step();
        EXPECT_EQ(machine->pc, end) << c.line;
        EXPECT_EQ(machine->d(), c.after.d) << c.line;
        EXPECT_EQ(machine->ix, c.after.x) << c.line;
        EXPECT_EQ(machine->iy, c.after.y) << c.line;
        EXPECT_EQ(machine->sp, 0x00FF) << c.line;
        EXPECT_EQ(machine->flags.c, c.after.carry) << c.line;
    }
}

}  // namespace
}  // namespace tarnwick::asm11
