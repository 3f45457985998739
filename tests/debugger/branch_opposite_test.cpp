#include "debugger/branch_opposite.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/fake_host.h"

namespace tarnwick {
namespace {

struct Case {
    const char* name;
    std::vector<std::uint8_t> code;  // at 2000
    std::uint8_t flags;              // as the condition code byte
    std::optional<std::uint16_t> target;
};

TEST(BranchOppositeTest, TargetIsTheWayTheBranchWouldNotGo) {
    constexpr std::uint8_t Z = 0x04, N = 0x08, V = 0x02, C = 0x01;
    const std::vector<Case> cases = {
        {"BEQ taken goes on", {0x27, 0x10}, Z, 0x2002},
        {"BEQ not taken jumps", {0x27, 0x10}, 0, 0x2012},
        {"BNE backwards", {0x26, 0xFE}, Z, 0x2000},
        {"BHI needs C and Z clear", {0x22, 0x04}, C, 0x2006},
        {"BLS", {0x23, 0x04}, C, 0x2002},
        {"BCC", {0x24, 0x04}, 0, 0x2002},
        {"BCS", {0x25, 0x04}, 0, 0x2006},
        {"BVC", {0x28, 0x04}, V, 0x2006},
        {"BVS", {0x29, 0x04}, V, 0x2002},
        {"BPL", {0x2A, 0x04}, N, 0x2006},
        {"BMI", {0x2B, 0x04}, N, 0x2002},
        {"BGE with N = V", {0x2C, 0x04}, N | V, 0x2002},
        {"BLT with N != V", {0x2D, 0x04}, N, 0x2002},
        {"BGT needs Z clear", {0x2E, 0x04}, Z, 0x2006},
        {"BLE", {0x2F, 0x04}, Z, 0x2002},
        {"BRSET direct, bits set", {0x12, 0x40, 0x81, 0x08}, 0, 0x2004},
        {"BRCLR direct, bits set", {0x13, 0x40, 0x81, 0x08}, 0, 0x200C},
        {"BRCLR 0,X reads at IX, not at 0000", {0x1F, 0x00, 0x81, 0x08}, 0, 0x200C},
        {"BRSET 1,Y after the prefix", {0x18, 0x1E, 0x01, 0x81, 0x08}, 0, 0x2005},
        {"BRA is not conditional", {0x20, 0x04}, 0, std::nullopt},
        {"BRN", {0x21, 0x04}, 0, std::nullopt},
        {"BSR", {0x8D, 0x04}, 0, std::nullopt},
        {"prefix 18 with another opcode", {0x18, 0x08}, 0, std::nullopt},
        {"RTS", {0x39}, 0, std::nullopt},
    };
    for (const Case& c : cases) {
        testing::FakeHost host;
        Machine machine(host);
        machine.pc = 0x2000;
        machine.ix = 0x0040;  // 0,X: the byte at 0040 holds 81 (bits set)
        machine.iy = 0x0100;  // 1,Y: the byte at 0101 holds 81 too
        machine.poke(0x0040, 0x81);
        machine.poke(0x0101, 0x81);
        machine.flags.loadByte(c.flags);
        for (std::size_t i = 0; i < c.code.size(); ++i)
            machine.poke(static_cast<std::uint16_t>(0x2000 + i), c.code[i]);
        EXPECT_EQ(branchOppositeTarget(machine), c.target) << c.name;
    }
}

TEST(BranchOppositeTest, DestinationWrapsAtTheTopOfMemory) {
    testing::FakeHost host;
    Machine machine(host);
    machine.pc = 0xFFF0;
    machine.poke(0xFFF0, 0x27);  // BEQ +$20, not taken with Z clear
    machine.poke(0xFFF1, 0x20);
    EXPECT_EQ(branchOppositeTarget(machine), 0x0012);
}

}  // namespace
}  // namespace tarnwick
