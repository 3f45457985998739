#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tarnwick {

// Interrupt source codes as used by the interrupt entry. The names end with a blank because
// the uninitialised-vector message puts them straight in front of "Interrupt vector ...".
enum class InterruptSource : std::uint8_t {
    Reset = 0,
    Sci = 1,
    Spi = 2,
    PulseAccumulatorInput = 3,
    PulseAccumulatorOverflow = 4,
    TimerOverflow = 5,
    Tic4Toc5 = 6,
    Toc4 = 7,
    Toc3 = 8,
    Toc2 = 9,
    Toc1 = 10,
    Tic3 = 11,
    Tic2 = 12,
    Tic1 = 13,
    RealTime = 14,
    Irq = 15,
    Xirq = 16,
    IllegalOpcode = 17,
    WaiStacking = 255,
};

struct InterruptSourceInfo {
    std::uint16_t vector;
    std::string_view name;
    // The order in which a maskable source is served when several are due, 1 first (the
    // 68HC11's order with HPRIO at its reset value); 0 for the others.
    std::uint8_t priority;
};

inline constexpr std::array<InterruptSourceInfo, 18> kInterruptSources{{
    {0xFFFE, "", 0},
    {0xFFD6, "SCI ", 15},
    {0xFFD8, "SPI ", 14},
    {0xFFDA, "Pulse Acc IE ", 13},
    {0xFFDC, "Pulse Acc O ", 12},
    {0xFFDE, "Timer Overflow ", 11},
    {0xFFE0, "TIC4/TOC5 ", 10},
    {0xFFE2, "TOC4 ", 9},
    {0xFFE4, "TOC3 ", 8},
    {0xFFE6, "TOC2 ", 7},
    {0xFFE8, "TOC1 ", 6},
    {0xFFEA, "TIC3 ", 5},
    {0xFFEC, "TIC2 ", 4},
    {0xFFEE, "TIC1 ", 3},
    {0xFFF0, "RTI ", 2},
    {0xFFF2, "IRQ ", 1},
    {0xFFF4, "XIRQ ", 0},
    {0xFFF8, "Illegal ", 0},
}};

constexpr const InterruptSourceInfo& interruptSourceInfo(InterruptSource source) {
    return kInterruptSources[static_cast<std::size_t>(source)];
}

inline constexpr std::uint16_t kSwiVector = 0xFFF6;
inline constexpr std::uint16_t kResetVector = 0xFFFE;

}  // namespace tarnwick
