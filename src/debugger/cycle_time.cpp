#include "debugger/cycle_time.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "base/number_text.h"

namespace tarnwick {
namespace {

std::uint64_t powerOfTen(int exponent) {
    std::uint64_t value = 1;
    while (exponent-- > 0) value *= 10;
    return value;
}

std::string paddedDigits(std::uint64_t value, int digits) {
    std::string text = std::to_string(value);
    return std::string(static_cast<std::size_t>(digits) - text.size(), '0') + text;
}

}  // namespace

const CrystalClock* findCrystalClock(std::string_view crystal) {
    for (const CrystalClock& clock : kCrystalClocks)
        if (clock.crystal == crystal) return &clock;
    return nullptr;
}

std::string cycleText(std::uint32_t cycles, std::string_view thousandsSeparator) {
    return "Cycle = " + groupThousands(cycles, thousandsSeparator);
}

// Minutes, seconds and milliseconds are taken off the total by the crystal's whole-cycle
// divisors; only the rest below one millisecond becomes microseconds, rounded to the shown
// decimals. Below 1000 cycles of a millisecond that rest never rounds up to 1000.
std::string timeText(std::uint32_t cycles, const CrystalClock& clock,
                     std::string_view thousandsSeparator, std::string_view decimalSeparator) {
    const std::uint32_t minutes = cycles / clock.cyclesPerMinute;
    std::uint32_t rest = cycles % clock.cyclesPerMinute;
    const std::uint32_t seconds = rest / clock.cyclesPerSecond;
    rest %= clock.cyclesPerSecond;
    const std::uint32_t milliseconds = rest / clock.cyclesPerMillisecond;
    rest %= clock.cyclesPerMillisecond;

    const std::uint64_t perMicrosecond = powerOfTen(clock.decimals);
    const auto microUnits = static_cast<std::uint64_t>(
        std::llround(rest * clock.microsecondsPerCycle * static_cast<double>(perMicrosecond)));
    return "Time = " + std::to_string(minutes) + ":" + std::to_string(seconds) + ":" +
           std::to_string(milliseconds) + ":" +
           groupThousands(microUnits / perMicrosecond, thousandsSeparator) +
           std::string(decimalSeparator) +
           paddedDigits(microUnits % perMicrosecond, clock.decimals);
}

void updateCycleAndTime(DebugContext& context) {
    Machine& machine = context.machine;
    context.editor.setStatusText(
        kCyclePanel, cycleText(machine.cycleCounter, context.host.thousandsSeparator()));
    // Unsigned arithmetic: a counter that wrapped since the last update still adds the
    // cycles it really advanced.
    machine.timeTotal += machine.cycleCounter - machine.lastShownCycles;
    machine.lastShownCycles = machine.cycleCounter;
    const CrystalClock* clock = findCrystalClock(context.project.cpu.crystal);
    if (!clock) return;
    context.editor.setStatusText(
        kTimePanel, timeText(machine.timeTotal, *clock, context.host.thousandsSeparator(),
                             context.host.decimalSeparator()));
}

void resetCycle(DebugContext& context) {
    context.machine.cycleCounter = 0;
    context.machine.lastShownCycles = 0;
    context.editor.setStatusText(kCyclePanel, kResetCycleText);
}

void resetTime(DebugContext& context) {
    context.machine.timeTotal = 0;
    context.editor.setStatusText(kTimePanel, kResetTimeText);
}

void resetCycleAndTime(DebugContext& context) {
    resetCycle(context);
    resetTime(context);
}

CycleTarget parseCycleTarget(std::string_view text) {
    constexpr std::uint64_t kLargest = std::numeric_limits<std::uint32_t>::max();
    std::uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return {0, "\"" + std::string(text) + "\" is not a cycle number: enter digits only"};
        value = std::min(value * 10 + static_cast<std::uint64_t>(c - '0'), kLargest);
    }
    return {static_cast<std::uint32_t>(value), {}};
}

}  // namespace tarnwick
