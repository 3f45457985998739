#pragma once

#include <cstdint>
#include <vector>

#include "hc11run/run_options.h"
#include "peripherals/xirq_line.h"

namespace tarnwick {

// The pulls and releases of the XIRQ line that --xirq asks for, played in cycle order
// through the XIRQ window's buttons, so the line behaves as it does under the user's clicks.
class XirqSchedule {
  public:
    static constexpr std::uint64_t kNever = UINT64_MAX;

    explicit XirqSchedule(const std::vector<XirqTiming>& timings);

    // The cycle of the next pull or release; kNever when none is left.
    std::uint64_t nextCycle() const { return next_ < edges_.size() ? edges_[next_].cycle : kNever; }

    // Plays every pull and release due by `cycles`.
    void playUntil(std::uint64_t cycles, XirqLine& line);

    // Plays the pulls and releases ahead up to the first pull that leaves the line low,
    // whatever their cycles; true when there was one.
    bool pullNow(XirqLine& line);

    // Whether a pull lies ahead.
    bool pullAhead() const;

  private:
    enum class Edge : std::uint8_t { Pulse, LevelStart, LevelEnd };
    struct Event {
        std::uint64_t cycle = 0;
        Edge edge = Edge::Pulse;
        XirqTiming timing;  // for the message when the pull is not possible
    };

    void play(const Event& event, XirqLine& line);

    std::vector<Event> edges_;
    std::size_t next_ = 0;
};

}  // namespace tarnwick
