#include "hc11run/program_run.h"

#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <string>

#include "core/run_loops.h"
#include "hc11run/terminal_session.h"

namespace tarnwick {
namespace {

const char* signalName(int signal) {
    switch (signal) {
        case SIGINT:
            return "SIGINT";
        case SIGTERM:
            return "SIGTERM";
        case SIGHUP:
            return "SIGHUP";
        default:
            return "SIGQUIT";
    }
}

constexpr std::uint8_t kStopOpcode = 0xCF;

}  // namespace

std::string registerText(const Machine& m) {
    char text[80];
    std::snprintf(text, sizeof text, "PC=%04X A=%02X B=%02X X=%04X Y=%04X SP=%04X CCR=%02X", m.pc,
                  m.a, m.b, m.ix, m.iy, m.sp, m.flags.byte());
    return text;
}

ProgramRun::ProgramRun(Machine& machine, ToolHost& host, const RunOptions& options)
    : machine_(machine),
      host_(host),
      options_(options),
      xirq_(options.xirqTimings),
      cycleLimit_(options.cycles.value_or(XirqSchedule::kNever)),
      stepLimit_(options.steps.value_or(UINT64_MAX)),
      untilPc_(options.untilPc ? *options.untilPc : -1) {
    if (!options.untilOutput.empty()) outputMatch_.emplace(options.untilOutput);
    if (options.realtime) pace_.emplace(options.crystalHz);
    if (!options.sciInPath.empty()) {
        feed_.emplace(options.sciInPath);
        machine.peripherals.sciReceiver.attachInput();
    }
    machine.peripherals.onSciFrameTransmitted = [this](std::uint8_t byte) { transmitted(byte); };
    host.betweenBatches = [this] { betweenBatches(); };
}

ProgramRun::~ProgramRun() {
    machine_.peripherals.onSciFrameTransmitted = nullptr;
    host_.betweenBatches = nullptr;
}

int ProgramRun::run() {
    xirq_.playUntil(0, machine_.peripherals.xirq);
    nextCycleCheck_ = std::min(cycleLimit_, xirq_.nextCycle());
    if (stepLimit_ == 0) return kEndReached;
    betweenBatches();  // the input there is already
    if (ending_ == Ending::None) options_.trace ? runTracing() : runWithAlarm();
    feed_.reset();  // the terminal as it was, for the messages
    // On a terminal the messages start on a line of their own.
    if (lastByte_ && *lastByte_ != '\n' && isatty(STDOUT_FILENO) && isatty(STDERR_FILENO))
        std::fputc('\n', stderr);

    if (host_.invalidAccessStopped) return kInvalidAccessStopped;
    switch (ending_) {
        case Ending::Reached:
        case Ending::Output:
            return kEndReached;
        case Ending::EndKey:
            std::fputs("hc11run: ended with Ctrl+]\n", stderr);
            return kEndReached;
        case Ending::Stop:
            std::fputs("hc11run: STOP, and nothing can wake the CPU\n", stderr);
            return kProgramStopped;
        case Ending::Wait:
            std::fputs(
                "hc11run: WAI with I set and no XIRQ that can be taken: no interrupt can "
                "end the wait\n",
                stderr);
            return kProgramStopped;
        case Ending::Signal:
            std::fprintf(stderr, "hc11run: ended by %s\n", signalName(signal_));
            return kEndedBySignal + signal_;
        case Ending::None:
            break;
    }
    return kProgramStopped;
}

// The run loop itself, ending at its step budget, at the temporary stop on the --until-pc
// address, at a stop request from the SCI output or between batches, and at a ring of the
// cycle alarm, which comes at the cycle limit, at the next XIRQ edge and after the steps
// that idle the CPU in WAI or STOP.
void ProgramRun::runWithAlarm() {
    CycleAlarm& alarm = machine_.peripherals.cycleAlarm;
    alarm.start([this](std::uint64_t counted) { return ring(counted); }, nextCycleCheck_);
    if (untilPc_ >= 0) placeTemporaryStop(machine_, static_cast<std::uint16_t>(untilPc_));
    const RunOutcome outcome = runSteps(machine_, stepLimit_);
    steps_ = outcome.steps;
    cyclesRun_ = alarm.counted();
    alarm.stop();
    const bool untilPcReached = untilPc_ >= 0 && machine_.temporaryStop.reached;
    if (untilPc_ >= 0) removeTemporaryStop(machine_);

    // The step limit comes before the CPU's idling, as when every step is looked at (the ring
    // looks at the other limits itself); a stop the program requested wins over both.
    if ((ending_ == Ending::Stop || ending_ == Ending::Wait) && steps_ >= stepLimit_)
        ending_ = Ending::Reached;
    if (ending_ == Ending::None && (!outcome.stopped || untilPcReached)) ending_ = Ending::Reached;
}

// In the step that rings, after its tick. A stop the program requested in that step wins over
// the end conditions.
std::uint64_t ProgramRun::ring(std::uint64_t counted) {
    cyclesRun_ = counted;
    if (!machine_.requests.stop && ending_ == Ending::None && checkEnds()) machine_.requestStop();
    return nextCycleCheck_;
}

// With --trace every step is looked at, through the run loop that calls back after each.
void ProgramRun::runTracing() {
    runUntil(machine_, [this] { return endOfStep(); });
}

// After every step: one test for the common case; the rest only when a limit is near or
// the CPU waits.
bool ProgramRun::endOfStep() {
    cyclesRun_ += machine_.stepCycles;
    ++steps_;
    if (options_.trace) trace();
    // A stop the program requested in this step wins over the end conditions.
    if (machine_.requests.stop) return false;
    if (cyclesRun_ < nextCycleCheck_ && steps_ < stepLimit_ && machine_.pc != untilPc_ &&
        !machine_.stopState && !machine_.waitState) [[likely]]
        return false;
    return checkEnds();
}

bool ProgramRun::checkEnds() {
    xirq_.playUntil(cyclesRun_, machine_.peripherals.xirq);
    nextCycleCheck_ = std::min(cycleLimit_, xirq_.nextCycle());
    if (cyclesRun_ >= cycleLimit_ || steps_ >= stepLimit_ || machine_.pc == untilPc_)
        ending_ = Ending::Reached;
    else if (idlesInStop() && !stopCanEnd())
        ending_ = Ending::Stop;
    else if (machine_.waitState && !waitCanEnd())
        ending_ = Ending::Wait;
    return ending_ != Ending::None;
}

// A maskable interrupt taken in STOP runs its handler with the stop state still set and
// returns to the STOP opcode, which idles again.
bool ProgramRun::idlesInStop() const {
    return machine_.stopState && machine_.peek(machine_.pc) == kStopOpcode;
}

// XIRQ wakes the CPU from STOP whatever X, a maskable interrupt only when it is taken.
bool ProgramRun::stopCanEnd() {
    Peripherals& peripherals = machine_.peripherals;
    if (peripherals.xirqPending()) return true;
    if (!machine_.flags.i && machine_.cycleCounter != machine_.cliMark &&
        peripherals.anyMaskableInterruptDue())
        return true;
    // No E cycles run in STOP, so the next XIRQ pull comes now or never.
    return xirq_.pullNow(peripherals.xirq);
}

// With I clear a maskable interrupt may yet come; with I set only XIRQ, and only with X clear.
bool ProgramRun::waitCanEnd() const {
    if (!machine_.flags.i) return true;
    if (machine_.flags.x) return false;
    return machine_.peripherals.xirqPending() || xirq_.pullAhead();
}

void ProgramRun::transmitted(std::uint8_t byte) {
    std::fputc(byte, stdout);
    lastByte_ = byte;
    // A stop already asked for in this step (a trap, an error) keeps its own ending.
    if (outputMatch_ && outputMatch_->add(byte) && !machine_.requests.stop &&
        ending_ == Ending::None) {
        ending_ = Ending::Output;
        machine_.requestStop();
    }
}

void ProgramRun::betweenBatches() {
    if (const int signal = EndSignals::received(); signal != 0 && ending_ == Ending::None) {
        ending_ = Ending::Signal;
        signal_ = signal;
        machine_.requestStop();
        return;
    }
    if (feed_ && feed_->poll(machine_.peripherals.sciReceiver)) {
        ending_ = Ending::EndKey;
        machine_.requestStop();
        return;
    }
    const CycleAlarm& alarm = machine_.peripherals.cycleAlarm;
    if (alarm.running()) cyclesRun_ = alarm.counted();
    if (pace_) pace_->pace(cyclesRun_);
}

void ProgramRun::trace() const {
    std::fprintf(stderr, "%s cyc=%u total=%llu\n", registerText(machine_).c_str(),
                 machine_.stepCycles, static_cast<unsigned long long>(cyclesRun_));
}

}  // namespace tarnwick
