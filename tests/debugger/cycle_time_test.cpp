#include "debugger/cycle_time.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "support/fake_debug_display.h"
#include "support/fake_host.h"
#include "support/fake_source_editor.h"

namespace tarnwick {
namespace {

struct TimeCase {
    const char* crystal;
    std::uint32_t cycles;
    const char* expected;
};

TEST(TimeTextTest, SplitsTheCyclesIntoMinutesSecondsMillisecondsAndMicroseconds) {
    const TimeCase cases[] = {
        {"8 MHz", 2'001'000, "Time = 0:1:0:500,0"},
        {"4 MHz", 61'234'567, "Time = 1:1:234:567,0"},
        {"12 MHz", 2'999, "Time = 0:0:0:999,67"},
        {"12 MHz", 3'000, "Time = 0:0:1:0,00"},
        {"9.8304 MHz", 2'456, "Time = 0:0:0:999,35"},
        // The table's millisecond is 2457 whole cycles, not 2457.6: 2457 cycles are one
        // millisecond, and the last cycles of a second count up to a 1000th millisecond.
        {"9.8304 MHz", 2'457, "Time = 0:0:1:0,00"},
        {"9.8304 MHz", 2'457'599, "Time = 0:0:1000:243,73"},
        {"4.9152 MHz", 1'228, "Time = 0:0:1:0,00"},
        {"3.6864 MHz", 921'599, "Time = 0:0:1000:649,96"},
        {"9.8304 MHz", 147'456'000, "Time = 1:0:0:0,00"},
        {"4.9152 MHz", 1, "Time = 0:0:0:0,81"},
        {"4.9152 MHz", 1'228'800, "Time = 0:1:0:0,00"},
        {"3.6864 MHz", 1, "Time = 0:0:0:1,09"},
        {"3.6864 MHz", 55'296'000, "Time = 1:0:0:0,00"},
        // The largest total: minutes are not folded into hours.
        {"4 MHz", 4'294'967'295, "Time = 71:34:967:295,0"},
        {"12 MHz", 4'294'967'295, "Time = 23:51:655:765,00"},
    };
    for (const TimeCase& c : cases) {
        SCOPED_TRACE(std::string(c.crystal) + " " + std::to_string(c.cycles));
        const CrystalClock* clock = findCrystalClock(c.crystal);
        ASSERT_NE(clock, nullptr);
        EXPECT_EQ(timeText(c.cycles, *clock, ".", ","), c.expected);
    }
}

TEST(TimeTextTest, KnowsOnlyTheSixCrystalTextsExactly) {
    for (const std::string_view crystal : kCrystalNames)
        EXPECT_NE(findCrystalClock(crystal), nullptr) << crystal;
    EXPECT_EQ(findCrystalClock("8MHz"), nullptr);
    EXPECT_EQ(findCrystalClock("8 mhz"), nullptr);
    EXPECT_EQ(findCrystalClock(""), nullptr);
}

// A host with the number format of a German desktop.
class CommaHost : public testing::FakeHost {
  public:
    std::string thousandsSeparator() override { return "."; }
    std::string decimalSeparator() override { return ","; }
};

class CycleTimeDisplayTest : public ::testing::Test {
  protected:
    CycleTimeDisplayTest() {
        editor.addPage("/p/main.asm", {"  nop"});
        project.cpu.crystal = "8 MHz";
    }

    std::string& cyclePanel() { return editor.statusPanels[kCyclePanel]; }
    std::string& timePanel() { return editor.statusPanels[kTimePanel]; }

    CommaHost host;
    std::unique_ptr<Machine> machine = std::make_unique<Machine>(host);
    Project project;
    SourceMap sourceMap;
    testing::FakeSourceEditor editor;
    testing::FakeDebugDisplay display;
    DebugContext context{*machine, project, sourceMap, editor, host, display};
};

TEST_F(CycleTimeDisplayTest, UpdateShowsTheCounterAndAddsItsAdvanceToTheTime) {
    machine->cycleCounter = 1'234'567;
    updateCycleAndTime(context);
    EXPECT_EQ(cyclePanel(), "Cycle = 1.234.567");
    EXPECT_EQ(timePanel(), "Time = 0:0:617:283,5");

    machine->cycleCounter = 2'001'000;
    updateCycleAndTime(context);
    EXPECT_EQ(machine->timeTotal, 2'001'000u);
    EXPECT_EQ(machine->lastShownCycles, 2'001'000u);
    EXPECT_EQ(timePanel(), "Time = 0:1:0:500,0");
}

TEST_F(CycleTimeDisplayTest, TheTimeCountsOnAcrossTheWrapOfTheCycleCounter) {
    machine->cycleCounter = 0xFFFF'FFF0;
    machine->lastShownCycles = 0xFFFF'FFF0;
    machine->timeTotal = 100;
    machine->cycleCounter = 0x10;  // 32 cycles later
    updateCycleAndTime(context);
    EXPECT_EQ(machine->timeTotal, 132u);
    EXPECT_EQ(cyclePanel(), "Cycle = 16");
}

TEST_F(CycleTimeDisplayTest, ResetCycleKeepsTheTimeCountingOn) {
    machine->cycleCounter = 2'000'000;
    updateCycleAndTime(context);
    resetCycle(context);
    EXPECT_EQ(cyclePanel(), "Cycle = 0");
    EXPECT_EQ(timePanel(), "Time = 0:1:0:0,0");

    machine->cycleCounter = 1'000'000;
    updateCycleAndTime(context);
    EXPECT_EQ(cyclePanel(), "Cycle = 1.000.000");
    EXPECT_EQ(timePanel(), "Time = 0:1:500:0,0");
}

TEST_F(CycleTimeDisplayTest, ResetTimeStartsTheTimeAgainAndKeepsTheCycles) {
    machine->cycleCounter = 5'000;
    updateCycleAndTime(context);
    resetTime(context);
    EXPECT_EQ(timePanel(), "Time = 0:0:0:0,0");
    EXPECT_EQ(cyclePanel(), "Cycle = 5.000");

    machine->cycleCounter = 7'000;
    updateCycleAndTime(context);
    EXPECT_EQ(timePanel(), "Time = 0:0:1:0,0");
}

TEST_F(CycleTimeDisplayTest, ResetCycleAndTimeClearsAllThreeCounters) {
    machine->cycleCounter = 5'000;
    updateCycleAndTime(context);
    machine->cycleCounter = 6'000;
    resetCycleAndTime(context);
    EXPECT_EQ(machine->cycleCounter, 0u);
    EXPECT_EQ(machine->lastShownCycles, 0u);
    EXPECT_EQ(machine->timeTotal, 0u);
    EXPECT_EQ(cyclePanel(), "Cycle = 0");
    EXPECT_EQ(timePanel(), "Time = 0:0:0:0,0");
}

TEST_F(CycleTimeDisplayTest, AnUnknownCrystalKeepsTheTimeTextWhileTheTotalAdvances) {
    project.cpu.crystal = "7 MHz";
    timePanel() = "Time = 0:0:0:1,0";
    machine->cycleCounter = 1'000;
    updateCycleAndTime(context);
    EXPECT_EQ(cyclePanel(), "Cycle = 1.000");
    EXPECT_EQ(timePanel(), "Time = 0:0:0:1,0");
    EXPECT_EQ(machine->timeTotal, 1'000u);
}

TEST_F(CycleTimeDisplayTest, WithoutAnEditorWindowTheCountersStillAdvance) {
    editor.window = false;
    machine->cycleCounter = 1'000;
    updateCycleAndTime(context);
    EXPECT_EQ(machine->timeTotal, 1'000u);
    EXPECT_EQ(machine->lastShownCycles, 1'000u);
    EXPECT_EQ(cyclePanel(), "");
}

TEST(CycleTargetTest, ReadsTheBoxAsAnUnsigned32BitNumber) {
    const struct {
        const char* text;
        std::uint32_t cycle;
    } cases[] = {
        {"", 0},
        {"0", 0},
        {"1000", 1000},
        {"0000000007", 7},
        {"4294967295", 4'294'967'295},
        {"4294967296", 4'294'967'295},
        {"9999999999", 4'294'967'295},
        {"123456789012345678901234567890", 4'294'967'295},
    };
    for (const auto& c : cases) {
        const CycleTarget target = parseCycleTarget(c.text);
        EXPECT_TRUE(target.ok()) << c.text;
        EXPECT_EQ(target.cycle, c.cycle) << c.text;
    }
}

TEST(CycleTargetTest, RefusesAnythingButDigitsWithAMessage) {
    for (const char* text : {"12a", " 12", "-1", "1,000", "1e6"}) {
        const CycleTarget target = parseCycleTarget(text);
        EXPECT_FALSE(target.ok()) << text;
        EXPECT_NE(target.error.find(text), std::string::npos) << target.error;
    }
}

}  // namespace
}  // namespace tarnwick
