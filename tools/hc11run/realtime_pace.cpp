#include "hc11run/realtime_pace.h"

#include <thread>

namespace tarnwick {
namespace {

using Seconds = std::chrono::duration<double>;

// Shorter leads are left to build up, so a sleep is worth its wake-up.
constexpr Seconds kLeastSleep{0.001};
// A run further behind than this (suspended, or on a busy host) starts counting afresh
// instead of racing to catch up.
constexpr Seconds kMostBehind{0.1};

}  // namespace

void RealtimePace::pace(std::uint64_t cyclesRun) {
    const Seconds simulated{static_cast<double>(cyclesRun - startCycles_) * secondsPerCycle_};
    const Clock::time_point now = Clock::now();
    const Seconds ahead = simulated - Seconds(now - start_);
    if (ahead >= kLeastSleep) {
        std::this_thread::sleep_for(ahead);
    } else if (ahead <= -kMostBehind) {
        start_ = now;
        startCycles_ = cyclesRun;
    }
}

}  // namespace tarnwick
