#pragma once

#include <chrono>
#include <cstdint>

namespace tarnwick {

// Keeps simulated time from running ahead of the wall clock: between batches of steps it
// sleeps for as long as the cycles run are ahead.
class RealtimePace {
  public:
    explicit RealtimePace(std::uint32_t crystalHz) : secondsPerCycle_(4.0 / crystalHz) {}

    void pace(std::uint64_t cyclesRun);

  private:
    using Clock = std::chrono::steady_clock;

    double secondsPerCycle_;  // an E cycle is four crystal periods
    Clock::time_point start_ = Clock::now();
    std::uint64_t startCycles_ = 0;
};

}  // namespace tarnwick
