#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/machine.h"
#include "hc11run/input_feed.h"
#include "hc11run/output_match.h"
#include "hc11run/realtime_pace.h"
#include "hc11run/run_ending.h"
#include "hc11run/run_options.h"
#include "hc11run/stop_addresses.h"
#include "hc11run/tool_host.h"
#include "hc11run/xirq_schedule.h"

namespace tarnwick {

// One run of a loaded program from its start state to the first end condition. Every byte
// the SCI transmits goes to stdout as it is sent, or with --summary=json into sciOutput().
class ProgramRun {
  public:
    ProgramRun(Machine& machine, ToolHost& host, const RunOptions& options);
    ~ProgramRun();
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    // How the run ended.
    RunEnd run();

    // Counted apart from the machine's 32-bit counter, which wraps every nine minutes of
    // simulated time at 8 MHz.
    std::uint64_t cyclesRun() const { return cyclesRun_; }
    std::uint64_t steps() const { return steps_; }
    // The --until-pc or --fail-pc that ended the run; null for other ends.
    const AddressArgument* reachedAddress() const { return reachedAddress_; }
    int signal() const { return signal_; }
    const std::string& sciOutput() const { return sciOutput_; }
    // One sentence for each peripheral that is not simulated and that the program wrote to.
    const std::vector<std::string>& notes() const { return notes_; }

  private:
    using Clock = std::chrono::steady_clock;

    void runWithAlarm();
    void runTracing();
    std::uint64_t ring(std::uint64_t counted);
    bool endOfStep();
    bool checkEnds();
    void endAtStopAddress();
    bool idlesInStop() const;
    bool stopCanEnd();
    bool waitCanEnd() const;
    void transmitted(std::uint8_t byte);
    void betweenBatches();
    bool inputHasEnded();
    void endNow(RunEnd end);
    void trace() const;

    Machine& machine_;
    ToolHost& host_;
    const RunOptions& options_;
    XirqSchedule xirq_;
    StopAddresses stops_;
    std::optional<OutputMatch> outputMatch_;
    std::optional<RealtimePace> pace_;
    std::optional<InputFeed> feed_;
    std::optional<Clock::time_point> deadline_;

    std::uint64_t cyclesRun_ = 0;
    std::uint64_t steps_ = 0;
    std::uint64_t cycleLimit_;
    std::uint64_t stepLimit_;
    // The least cycle count at which the cycle limit or the XIRQ schedule needs a look.
    std::uint64_t nextCycleCheck_ = 0;
    std::optional<RunEnd> end_;
    const AddressArgument* reachedAddress_ = nullptr;
    std::optional<std::uint8_t> lastByte_;  // transmitted
    std::string sciOutput_;                 // kept for the JSON summary only
    std::vector<std::string> notes_;
    bool sciActive_ = false;        // a byte sent since the last look at the input
    std::uint64_t quietSince_ = 0;  // the cycle the SCI was last seen busy
    int signal_ = 0;
};

}  // namespace tarnwick
