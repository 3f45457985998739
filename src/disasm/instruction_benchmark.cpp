#include "disasm/instruction_benchmark.h"

#include <cstdio>
#include <utility>

#include "core/instruction_engine.h"

namespace tarnwick {

namespace {

// The shortest text of the value rounded to `precision` significant digits: fixed notation
// while the integer part has at most `precision` digits and the value is at least 0.00001,
// else a mantissa and "E" with the exponent ("3E4").
std::string generalNumberText(double value, int precision, std::string_view decimalSeparator) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.*e", precision - 1, value);  // "d.ddde+XX"
    const std::string scientific = buffer;
    const std::size_t e = scientific.find('e');
    std::string digits = scientific.substr(0, 1) + scientific.substr(2, e - 2);
    const int exponent = std::stoi(scientific.substr(e + 1));
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    const auto withFraction = [&](std::string integer, const std::string& fraction) {
        return fraction.empty() ? integer : integer + std::string(decimalSeparator) + fraction;
    };
    if (exponent >= precision || value < 0.00001)
        return withFraction(digits.substr(0, 1), digits.substr(1)) + "E" + std::to_string(exponent);
    if (exponent < 0)
        return withFraction("0",
                            std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits);
    const std::size_t integerDigits = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= integerDigits)
        return digits + std::string(integerDigits - digits.size(), '0');
    return withFraction(digits.substr(0, integerDigits), digits.substr(integerDigits));
}

}  // namespace

std::uint64_t runBenchmarkTest(Machine& machine, BenchmarkClock& clock, const BenchmarkTest& test) {
    setMemoryKind(machine.memory, 0x0000, kBenchmarkAreaEnd, MemoryKind::Ram);
    for (std::size_t i = 0; i < test.length; ++i)
        machine.poke(static_cast<std::uint16_t>(i), test.bytes[i]);
    // IDIV leaves a quotient in IX, and a debug session any address at all.
    machine.ix = kBenchmarkIndexTarget;
    machine.iy = kBenchmarkIndexTarget;

    const std::uint64_t started = clock.elapsedMilliseconds();
    std::uint64_t batches = 0;
    std::uint64_t ticks = 0;
    while (ticks < kBenchmarkWindowTicks) {
        ++batches;
        for (int i = 0; i < kBenchmarkBatchInstructions; ++i) {
            machine.pc = 0x0000;
            executeInstruction(machine);
        }
        machine.host.processEvents();
        ticks = (clock.elapsedMilliseconds() - started) / kBenchmarkTickMilliseconds;
    }
    return batches;
}

std::string benchmarkResultText(std::uint64_t batches, std::string_view decimalSeparator) {
    const double windowMicroseconds =
        static_cast<double>(kBenchmarkWindowTicks * kBenchmarkTickMilliseconds * 1000);
    const double instructions = static_cast<double>(batches * kBenchmarkBatchInstructions);
    return generalNumberText(windowMicroseconds / instructions, 4, decimalSeparator);
}

InstructionBenchmark::InstructionBenchmark(Machine& machine, BenchmarkClock& clock)
    : machine_(machine), clock_(clock) {
    results_.fill(std::string(kBenchmarkWaiting));
}

void InstructionBenchmark::start() {
    if (started_) return;
    started_ = true;
    for (std::size_t test = 0; test < kBenchmarkTests.size(); ++test) {
        showResult(test, std::string(kBenchmarkTesting));
        const std::uint64_t batches = runBenchmarkTest(machine_, clock_, kBenchmarkTests[test]);
        showResult(test, benchmarkResultText(batches, machine_.host.decimalSeparator()));
    }
    closeEnabled_ = true;
}

void InstructionBenchmark::showResult(std::size_t test, std::string text) {
    results_[test] = std::move(text);
    if (onResultChanged) onResultChanged(test);
}

}  // namespace tarnwick
