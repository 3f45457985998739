#include "hc11run/xirq_schedule.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace tarnwick {

XirqSchedule::XirqSchedule(const std::vector<XirqTiming>& timings) {
    for (const XirqTiming& timing : timings) {
        if (!timing.level) {
            edges_.push_back({timing.from, Edge::Pulse, timing});
            continue;
        }
        edges_.push_back({timing.from, Edge::LevelStart, timing});
        edges_.push_back({timing.to, Edge::LevelEnd, timing});
    }
    // A level that ends where the next one starts is released before that one pulls.
    std::ranges::stable_sort(edges_, [](const Event& one, const Event& other) {
        if (one.cycle != other.cycle) return one.cycle < other.cycle;
        return one.edge == Edge::LevelEnd && other.edge != Edge::LevelEnd;
    });
}

void XirqSchedule::playUntil(std::uint64_t cycles, XirqLine& line) {
    while (next_ < edges_.size() && edges_[next_].cycle <= cycles) play(edges_[next_++], line);
}

bool XirqSchedule::pullNow(XirqLine& line) {
    while (next_ < edges_.size()) {
        play(edges_[next_++], line);
        if (line.pending()) return true;
    }
    return false;
}

bool XirqSchedule::pullAhead() const {
    return std::any_of(edges_.begin() + static_cast<std::ptrdiff_t>(next_), edges_.end(),
                       [](const Event& event) { return event.edge != Edge::LevelEnd; });
}

void XirqSchedule::play(const Event& event, XirqLine& line) {
    if (event.edge == Edge::LevelEnd) {
        // The line may already be free: a wake-up from STOP releases it.
        if (line.levelButton().pendingCaption) line.bxirqLevelClick();
        return;
    }
    if (event.edge == Edge::LevelStart && line.pulseButton().pendingCaption)
        line.bxirqPulseClick();  // the level takes over a pulse not yet answered
    if (line.pending()) return;  // already low
    // As when the XIRQ window is shown: its buttons work only with the vector set.
    line.intrShow();
    if (event.edge == Edge::Pulse)
        line.bxirqPulseClick();
    else
        line.bxirqLevelClick();
    if (line.pending()) return;
    const XirqTiming& t = event.timing;
    const std::string text = t.level
                                 ? "level@" + std::to_string(t.from) + "-" + std::to_string(t.to)
                                 : "pulse@" + std::to_string(t.from);
    std::fprintf(stderr, "hc11run: --xirq %s does nothing: the XIRQ vector at FFF4 is not set\n",
                 text.c_str());
}

}  // namespace tarnwick
