#pragma once

#include <cstdint>
#include <cstring>

namespace tarnwick {

// The request latches of the maskable interrupts (RTI, timer overflow, SCI TDRE and TC), kept
// side by side so that the interrupt poll learns with one load that none is raised, which is
// what it finds before nearly every instruction. Each peripheral refers to its own latch.
struct MaskableRequestLatches {
    bool rti = false;
    bool overflow = false;
    bool tdre = false;
    bool tc = false;

    bool anyRaised() const {
        std::uint32_t all;
        std::memcpy(&all, this, sizeof all);
        return all != 0;
    }
};
static_assert(sizeof(MaskableRequestLatches) == sizeof(std::uint32_t));

}  // namespace tarnwick
