#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/machine.h"
#include "hc11run/input_feed.h"
#include "hc11run/output_match.h"
#include "hc11run/realtime_pace.h"
#include "hc11run/run_options.h"
#include "hc11run/tool_host.h"
#include "hc11run/xirq_schedule.h"

namespace tarnwick {

enum ExitStatus : int {
    kEndReached = 0,
    kUsageOrLoadError = 1,
    kProgramStopped = 2,
    kInvalidAccessStopped = 3,
    kEndedBySignal = 128,  // plus the signal number, as a shell reports a killed program
};

// "PC=E023 A=08 B=00 X=1000 Y=E047 SP=01FF CCR=D4"
std::string registerText(const Machine& m);

// One run of a loaded program from its start state to the first end condition. Every byte
// the SCI transmits goes to stdout as it is sent.
class ProgramRun {
  public:
    ProgramRun(Machine& machine, ToolHost& host, const RunOptions& options);
    ~ProgramRun();
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    // The exit status; the reason goes to stderr unless the run reached an end option.
    int run();

    // Counted apart from the machine's 32-bit counter, which wraps every nine minutes of
    // simulated time at 8 MHz.
    std::uint64_t cyclesRun() const { return cyclesRun_; }

  private:
    enum class Ending { None, Reached, Output, EndKey, Stop, Wait, Signal };

    void runWithAlarm();
    void runTracing();
    std::uint64_t ring(std::uint64_t counted);
    bool endOfStep();
    bool checkEnds();
    bool idlesInStop() const;
    bool stopCanEnd();
    bool waitCanEnd() const;
    void transmitted(std::uint8_t byte);
    void betweenBatches();
    void trace() const;

    Machine& machine_;
    ToolHost& host_;
    const RunOptions& options_;
    XirqSchedule xirq_;
    std::optional<OutputMatch> outputMatch_;
    std::optional<RealtimePace> pace_;
    std::optional<InputFeed> feed_;

    std::uint64_t cyclesRun_ = 0;
    std::uint64_t steps_ = 0;
    std::uint64_t cycleLimit_;
    std::uint64_t stepLimit_;
    int untilPc_;  // -1 for none, which no PC equals
    // The least cycle count at which the cycle limit or the XIRQ schedule needs a look.
    std::uint64_t nextCycleCheck_ = 0;
    Ending ending_ = Ending::None;
    std::optional<std::uint8_t> lastByte_;  // transmitted
    int signal_ = 0;
};

}  // namespace tarnwick
