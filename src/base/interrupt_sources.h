#pragma once

#include <array>
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
};

inline constexpr std::array<InterruptSourceInfo, 18> kInterruptSources{{
    {0xFFFE, ""},
    {0xFFD6, "SCI "},
    {0xFFD8, "SPI "},
    {0xFFDA, "Pulse Acc IE "},
    {0xFFDC, "Pulse Acc O "},
    {0xFFDE, "Timer Overflow "},
    {0xFFE0, "TIC4/TOC5 "},
    {0xFFE2, "TOC4 "},
    {0xFFE4, "TOC3 "},
    {0xFFE6, "TOC2 "},
    {0xFFE8, "TOC1 "},
    {0xFFEA, "TIC3 "},
    {0xFFEC, "TIC2 "},
    {0xFFEE, "TIC1 "},
    {0xFFF0, "RTI "},
    {0xFFF2, "IRQ "},
    {0xFFF4, "XIRQ "},
    {0xFFF8, "Illegal "},
}};

inline constexpr std::uint16_t kSwiVector = 0xFFF6;
inline constexpr std::uint16_t kResetVector = 0xFFFE;

}  // namespace tarnwick
