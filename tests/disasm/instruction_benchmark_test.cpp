#include "disasm/instruction_benchmark.h"

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "base/instruction_set.h"
#include "support/fake_host.h"

namespace tarnwick::testing {
namespace {

// Gives the scripted readings in order, then advances by a fixed step at every reading.
class ScriptedClock : public BenchmarkClock {
  public:
    explicit ScriptedClock(std::uint64_t step, std::deque<std::uint64_t> readings = {})
        : step_(step), readings_(std::move(readings)) {}

    std::uint64_t elapsedMilliseconds() override {
        if (!readings_.empty()) {
            now_ = readings_.front();
            readings_.pop_front();
        } else {
            now_ += step_;
        }
        return now_;
    }

  private:
    std::uint64_t step_;
    std::deque<std::uint64_t> readings_;
    std::uint64_t now_ = 0;
};

// The instruction-set entry of a test's bytes.
const InstructionForm* formOf(const tarnwick::BenchmarkTest& test) {
    const std::uint8_t first = test.bytes[0];
    const Page page = first == kPrefix18   ? Page::Prefix18
                      : first == kPrefix1A ? Page::Prefix1A
                      : first == kPrefixCD ? Page::PrefixCD
                                           : Page::Base;
    return findInstruction(page, page == Page::Base ? first : test.bytes[1]);
}

class InstructionBenchmarkTest : public ::testing::Test {
  protected:
    FakeHost host;
    std::unique_ptr<Machine> machine = std::make_unique<Machine>(host);
};

// The table's bytes encode the instruction its caption names, and its E=2MHz caption is the
// instruction's cycle count at 0.5 µs each.
TEST(BenchmarkTableTest, EveryTestEncodesTheInstructionItsCaptionNames) {
    for (const auto& test : kBenchmarkTests) {
        const InstructionForm* form = formOf(test);
        ASSERT_NE(form, nullptr) << test.caption;

        const std::string caption(test.caption);
        const std::size_t space = caption.find(' ');
        EXPECT_EQ(form->mnemonic, caption.substr(0, space)) << caption;
        const std::string suffix = space == std::string::npos ? "" : caption.substr(space + 1);
        const Mode mode = form->mode;
        const bool modeMatches =
            suffix == "IMM"    ? mode == Mode::Immediate8 || mode == Mode::Immediate16
            : suffix == "DIR"  ? mode == Mode::Direct
            : suffix == "EXT"  ? mode == Mode::Extended
            : suffix == "INDX" ? mode == Mode::IndexedX
            : suffix == "INDY" ? mode == Mode::IndexedY
                               : mode == Mode::Inherent || mode == Mode::Relative;
        EXPECT_TRUE(modeMatches) << caption;
        EXPECT_EQ(form->length, test.length) << caption;

        const std::string chipTime =
            std::to_string(form->cycles / 2) + (form->cycles % 2 ? ",5" : "") + " uS";
        EXPECT_EQ(test.chipTime, chipTime) << caption;
    }
}

TEST_F(InstructionBenchmarkTest, WindowLastsTenTicksOf300MillisecondsAfterTheStartReading) {
    struct Case {
        const char* what;
        std::uint64_t step;
        std::deque<std::uint64_t> readings;
        std::uint64_t batches;
    };
    const Case cases[] = {
        {"25 ms per batch", 25, {}, 120},
        {"a full window each batch", 3000, {}, 1},
        {"the tenth tick at exactly 3000 ms", 0, {5000, 5100, 5200, 7999, 8000}, 4},
        {"ticks that arrive late count at once", 0, {1000, 1001, 9000}, 2},
    };
    for (const Case& c : cases) {
        ScriptedClock clock(c.step, c.readings);
        const int pumpsBefore = host.eventPumps;
        EXPECT_EQ(runBenchmarkTest(*machine, clock, kBenchmarkTests[0]), c.batches) << c.what;
        EXPECT_EQ(host.eventPumps - pumpsBefore, static_cast<int>(c.batches)) << c.what;
    }
}

TEST(BenchmarkResultTest, MicrosecondsPerInstructionWithFourSignificantDigits) {
    struct Case {
        std::uint64_t batches;
        const char* separator;
        const char* text;
    };
    const Case cases[] = {
        {120, ".", "250"},
        {3000, ".", "10"},
        {429, ".", "69.93"},
        {429, ",", "69,93"},
        {3001, ".", "9.997"},
        {7, ".", "4286"},
        {10'000'000, ".", "0.003"},
        {12'345'678, ".", "0.00243"},
        {3, ".", "1E4"},
        {1, ".", "3E4"},
        {9, ".", "3333"},
        {11, ",", "2727"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(benchmarkResultText(c.batches, c.separator), c.text) << c.batches;
}

TEST_F(InstructionBenchmarkTest, RunsEveryTestOnTheLiveMachineWithoutInvalidAccesses) {
    // Whatever a debug session left: no memory defined anywhere, index registers far away.
    machine->ix = 0xFFFF;
    machine->iy = 0x8000;
    ScriptedClock clock(300);  // 10 batches per test
    InstructionBenchmark benchmark(*machine, clock);
    for (std::size_t test = 0; test < kBenchmarkTests.size(); ++test)
        EXPECT_EQ(benchmark.result(test), "Waiting...");

    std::vector<std::string> changes;
    benchmark.onResultChanged = [&](std::size_t test) {
        changes.push_back(std::string(kBenchmarkTests[test].resultLabel) + "=" +
                          benchmark.result(test));
    };
    std::size_t pumps = 0;
    host.onProcessEvents = [&] {
        // While test n runs: those before it show results, it shows "testing...", those after
        // "Waiting...", and Close stays disabled. Activating the window again starts nothing.
        const std::size_t running = pumps++ / 10;
        for (std::size_t test = 0; test < kBenchmarkTests.size(); ++test) {
            const std::string expected = test < running    ? "3000"
                                         : test == running ? "testing..."
                                                           : "Waiting...";
            ASSERT_EQ(benchmark.result(test), expected) << test << " during " << running;
        }
        ASSERT_FALSE(benchmark.closeEnabled());
        benchmark.start();
    };
    benchmark.start();

    EXPECT_TRUE(host.messages.empty()) << host.messages.front().text;
    EXPECT_EQ(pumps, 330u);
    ASSERT_EQ(changes.size(), 66u);
    EXPECT_EQ(changes.front(), "LDAAIMM=testing...");
    EXPECT_EQ(changes.back(), "CPDINDY=3000");
    EXPECT_TRUE(benchmark.closeEnabled());

    // Every test executed its own instruction 1000 times: the cycles add up.
    std::uint32_t cycles = 0;
    for (const auto& test : kBenchmarkTests) cycles += 1000u * formOf(test)->cycles;
    EXPECT_EQ(machine->cycleCounter, cycles);

    // Afterwards 0000-000A are RAM holding the last test's bytes; the rest is as it was.
    EXPECT_EQ(machine->memory[0x000A].kind(), MemoryKind::Ram);
    EXPECT_EQ(machine->memory[0x000B].kind(), MemoryKind::Undefined);
    EXPECT_EQ(machine->peek(0x0000), 0xCD);
    EXPECT_EQ(machine->peek(0x0001), 0xA3);
    EXPECT_EQ(machine->peek(0x0002), 0x00);
}

}  // namespace
}  // namespace tarnwick::testing
