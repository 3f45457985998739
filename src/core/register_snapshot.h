#pragma once

#include <cstdint>

#include "core/machine.h"

namespace tarnwick {

// The CPU's registers at one moment, the condition flags as their byte.
struct RegisterSnapshot {
    std::uint8_t a = 0;
    std::uint8_t b = 0;
    std::uint16_t ix = 0;
    std::uint16_t iy = 0;
    std::uint16_t sp = 0;
    std::uint16_t pc = 0;
    std::uint8_t ccr = 0;

    static RegisterSnapshot of(const Machine& m) {
        return {m.a, m.b, m.ix, m.iy, m.sp, m.pc, m.flags.byte()};
    }
    std::uint16_t d() const { return static_cast<std::uint16_t>(a << 8 | b); }
};

}  // namespace tarnwick
