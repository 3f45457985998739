#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/host.h"
#include "core/machine.h"
#include "debugger/debug_context.h"
#include "debugger/source_editor.h"

namespace tarnwick {

// A crystal the time display knows: the whole E cycles in a minute, a second and a
// millisecond by which the time total is split, the microseconds one remaining cycle lasts
// and the decimals of that microsecond part. A millisecond is a whole number of cycles
// (2457 at 9.8304 MHz, not 2457.6), so the time text follows these divisors exactly.
struct CrystalClock {
    std::string_view crystal;
    std::uint32_t cyclesPerMinute;
    std::uint32_t cyclesPerSecond;
    std::uint32_t cyclesPerMillisecond;
    double microsecondsPerCycle;
    int decimals;
};

inline constexpr std::array<CrystalClock, 6> kCrystalClocks{{
    {"4 MHz", 60'000'000, 1'000'000, 1000, 1.0, 1},
    {"8 MHz", 120'000'000, 2'000'000, 2000, 0.5, 1},
    {"12 MHz", 180'000'000, 3'000'000, 3000, 1.0 / 3.0, 2},
    {"9.8304 MHz", 147'456'000, 2'457'600, 2457, 0.4069010254979, 2},
    {"4.9152 MHz", 73'728'000, 1'228'800, 1228, 0.8138020509957, 2},
    {"3.6864 MHz", 55'296'000, 921'600, 921, 1.085069473189, 2},
}};

// The row whose crystal text matches exactly; null for any other text.
const CrystalClock* findCrystalClock(std::string_view crystal);

// "Cycle = 1,234,567" with the user's thousands separator.
std::string cycleText(std::uint32_t cycles, std::string_view thousandsSeparator);

// "Time = minutes:seconds:milliseconds:microseconds" for a number of E cycles. Minutes are
// not folded into hours; the microseconds carry the crystal's decimals.
std::string timeText(std::uint32_t cycles, const CrystalClock& clock,
                     std::string_view thousandsSeparator, std::string_view decimalSeparator);

// The texts right after a reset. The reset time text always has the comma, as it always had,
// whatever the user's decimal separator.
inline constexpr std::string_view kResetCycleText = "Cycle = 0";
inline constexpr std::string_view kResetTimeText = "Time = 0:0:0:0,0";

// After every command that ran code: shows the cycle counter in panel 3, adds the cycles
// since the last update to the time total and shows it in panel 4. With a crystal the
// display does not know, panel 4 keeps its text while the total still advances.
void updateCycleAndTime(DebugContext& context);

// Reset Cycle: the cycle counter starts again from 0; the time total keeps counting on.
void resetCycle(DebugContext& context);
// Reset Time: the time total starts again from 0.
void resetTime(DebugContext& context);
// Reset Cycle & Time, and the counters' part of Program Reset.
void resetCycleAndTime(DebugContext& context);

// The Run Free to Cycle dialog: the current cycle in number format beside its caption, and an
// edit box for at most ten decimal digits. Only OK runs the program.
inline constexpr std::string_view kRunToCycleCaption = "Run Free to Cycle";
inline constexpr std::string_view kCurrentCycleCaption = "Current Cycle:";
inline constexpr std::string_view kRunToCycleBoxCaption = "Run to Cycle:";
inline constexpr std::size_t kCycleInputMaxLength = 10;

// The keys the box lets through: the digits and Backspace.
constexpr bool isCycleInputKey(char key) {
    return (key >= '0' && key <= '9') || key == '\b';
}

// The box's text on OK: the cycle to run to, or the message to show when it is not a number.
struct CycleTarget {
    std::uint32_t cycle = 0;
    std::string error;
    bool ok() const { return error.empty(); }
};

// An empty box means 0; a number above 4294967295 becomes 4294967295.
CycleTarget parseCycleTarget(std::string_view text);

}  // namespace tarnwick
