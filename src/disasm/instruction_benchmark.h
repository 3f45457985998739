#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "core/machine.h"

namespace tarnwick {

// The Non I/O Instructions benchmark: how long the host takes, in microseconds, to execute
// each of 33 instructions, next to what the real chip takes at an E clock of 2 MHz.

inline constexpr std::string_view kBenchmarkCaption = "Benchmarking some non-I/O instructions...";
inline constexpr std::string_view kBenchmarkWaiting = "Waiting...";
inline constexpr std::string_view kBenchmarkTesting = "testing...";
// The window lists the first 18 tests on the left, the others on the right.
inline constexpr std::size_t kBenchmarkLeftColumnTests = 18;

struct BenchmarkTest {
    std::string_view caption;
    std::array<std::uint8_t, 4> bytes;  // stored at 0000 upwards
    std::size_t length;
    std::string_view chipTime;  // at E = 2 MHz, written with a decimal comma
    std::string_view resultLabel;
};

inline constexpr std::array<BenchmarkTest, 33> kBenchmarkTests{{
    {"LDAA IMM", {0x86, 0x00}, 2, "1 uS", "LDAAIMM"},
    {"LDAA DIR", {0x96, 0x00}, 2, "1,5 uS", "LDAADIR"},
    {"LDAA EXT", {0xB6, 0x00, 0x03}, 3, "2 uS", "LDAAEXT"},
    {"LDAA INDX", {0xA6, 0x00}, 2, "2 uS", "LDAAINDX"},
    {"LDAA INDY", {0x18, 0xA6, 0x00}, 3, "2,5 uS", "LDAAINDY"},
    {"STAA DIR", {0x97, 0x02}, 2, "1,5 uS", "STAADIR"},
    {"STAA EXT", {0xB7, 0x00, 0x03}, 3, "2 uS", "STAAEXT"},
    {"STAA INDX", {0xA7, 0x00}, 2, "2 uS", "STAAINDX"},
    {"STAA INDY", {0x18, 0xA7, 0x00}, 3, "2,5 uS", "STAAINDY"},
    {"BRA", {0x20, 0x00}, 2, "1,5 uS", "BRA"},
    {"JMP EXT", {0x7E, 0x00, 0x00}, 3, "1,5 uS", "JMPEXT"},
    {"JMP INDX", {0x6E, 0x00}, 2, "1,5 uS", "JMPINDX"},
    {"JMP INDY", {0x18, 0x6E, 0x00}, 3, "2 uS", "JMPINDY"},
    {"NOP", {0x01}, 1, "1 uS", "NOP"},
    {"BEQ", {0x27, 0x00}, 2, "1,5 uS", "BEQ"},
    {"CLR EXT", {0x7F, 0x00, 0x03}, 3, "3 uS", "CLREXT"},
    {"IDIV", {0x02}, 1, "20,5 uS", "IDIV"},
    {"MUL", {0x3D}, 1, "5 uS", "MUL"},
    {"ADDD IMM", {0xC3, 0x23, 0x45}, 3, "2 uS", "ADDDIMM"},
    {"ADDD DIR", {0xD3, 0x02}, 2, "2,5 uS", "ADDDDIR"},
    {"ADDD EXT", {0xF3, 0x00, 0x03}, 3, "3 uS", "ADDDEXT"},
    {"ADDD INDX", {0xE3, 0x00}, 2, "3 uS", "ADDDINDX"},
    {"ADDD INDY", {0x18, 0xE3, 0x00}, 3, "3,5 uS", "ADDDINDY"},
    {"SUBD IMM", {0x83, 0x23, 0x45}, 3, "2 uS", "SUBDIMM"},
    {"SUBD DIR", {0x93, 0x02}, 2, "2,5 uS", "SUBDDIR"},
    {"SUBD EXT", {0xB3, 0x00, 0x03}, 3, "3 uS", "SUBDEXT"},
    {"SUBD INDX", {0xA3, 0x00}, 2, "3 uS", "SUBDINDX"},
    {"SUBD INDY", {0x18, 0xA3, 0x00}, 3, "3,5 uS", "SUBDINDY"},
    {"CPD IMM", {0x1A, 0x83, 0x45, 0x46}, 4, "2,5 uS", "CPDIMM"},
    {"CPD DIR", {0x1A, 0x93, 0x03}, 3, "3 uS", "CPDDIR"},
    {"CPD EXT", {0x1A, 0xB3, 0x00, 0x04}, 4, "3,5 uS", "CPDEXT"},
    {"CPD INDX", {0x1A, 0xA3, 0x00}, 3, "3,5 uS", "CPDINDX"},
    {"CPD INDY", {0xCD, 0xA3, 0x00}, 3, "3,5 uS", "CPDINDY"},
}};

// The tests' memory: RAM at 0000-000A, where every test's code and operands lie.
inline constexpr std::uint16_t kBenchmarkAreaEnd = 0x000A;
// Where IX and IY point during a test: past the longest test and its operands, so the indexed
// tests neither leave the area nor overwrite their own code.
inline constexpr std::uint16_t kBenchmarkIndexTarget = 0x0008;

// Each test runs for 10 ticks of 300 ms, in batches of 100 instructions.
inline constexpr std::uint64_t kBenchmarkTickMilliseconds = 300;
inline constexpr std::uint64_t kBenchmarkWindowTicks = 10;
inline constexpr int kBenchmarkBatchInstructions = 100;

// The benchmark's time. The 300 ms ticks are counted from it each time the user interface has
// processed its events between batches, so a tick is never lost to a busy event loop.
class BenchmarkClock {
  public:
    virtual ~BenchmarkClock() = default;
    // Milliseconds from any fixed point; never decreases.
    virtual std::uint64_t elapsedMilliseconds() = 0;
};

class SteadyBenchmarkClock : public BenchmarkClock {
  public:
    std::uint64_t elapsedMilliseconds() override {
        return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                              std::chrono::steady_clock::now().time_since_epoch())
                                              .count());
    }
};

// Runs one test on the live machine: makes 0000-000A RAM, stores the test's bytes at 0000,
// points IX and IY at the scratch byte, then executes the instruction at 0000 in batches
// (PC := 0000 before each, no interrupt poll, no peripheral tick), letting the host process
// its events after every batch, until 10 ticks have passed. Returns the number of batches.
std::uint64_t runBenchmarkTest(Machine& machine, BenchmarkClock& clock, const BenchmarkTest& test);

// 3,000,000 µs ÷ (batches × 100): the host time per instruction, in the general number format
// with 4 significant digits ("0.0625", "250", "3E4").
std::string benchmarkResultText(std::uint64_t batches, std::string_view decimalSeparator);

// The benchmark window's model: the result label of every test and the Close button.
class InstructionBenchmark {
  public:
    // Every result shows "Waiting...".
    InstructionBenchmark(Machine& machine, BenchmarkClock& clock);

    // Runs the 33 tests in table order, each result showing "testing..." while its test runs,
    // then enables Close. The window calls it when it becomes active; since that happens
    // again whenever the user switches back to it, only the first call runs.
    void start();

    const std::string& result(std::size_t test) const { return results_[test]; }
    bool closeEnabled() const { return closeEnabled_; }

    // Told about every change of a result label.
    std::function<void(std::size_t test)> onResultChanged;

  private:
    void showResult(std::size_t test, std::string text);

    Machine& machine_;
    BenchmarkClock& clock_;
    std::array<std::string, kBenchmarkTests.size()> results_;
    bool started_ = false;
    bool closeEnabled_ = false;
};

}  // namespace tarnwick
