#include "hc11run/program_run.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "core/run_loops.h"
#include "hc11run/terminal_session.h"
#include "peripherals/sci.h"
#include "peripherals/unsimulated_registers.h"

namespace tarnwick {
namespace {

constexpr std::uint8_t kStopOpcode = 0xCF;
// How long the SCI must be silent after the input has ended for --until-input-end.
constexpr std::uint64_t kQuietFrames = 100;

}  // namespace

ProgramRun::ProgramRun(Machine& machine, ToolHost& host, const RunOptions& options)
    : machine_(machine),
      host_(host),
      options_(options),
      xirq_(options.xirqTimings),
      stops_(machine, options.untilPcs, options.failPcs),
      cycleLimit_(options.cycles.value_or(XirqSchedule::kNever)),
      stepLimit_(options.steps.value_or(UINT64_MAX)) {
    if (!options.untilOutput.empty()) outputMatch_.emplace(options.untilOutput);
    if (options.realtime) pace_.emplace(options.crystalHz);
    if (!options.sciInPath.empty()) {
        feed_.emplace(options.sciInPath);
        machine.peripherals.sciReceiver.attachInput();
    }
    machine.peripherals.onSciFrameTransmitted = [this](std::uint8_t byte) { transmitted(byte); };
    machine.peripherals.onUnsimulatedWrite = [this](const UnsimulatedRegister& written,
                                                    std::uint16_t address) {
        notes_.push_back(unsimulatedWriteText(written, address));
        std::fprintf(stderr, "hc11run: note: %s\n", notes_.back().c_str());
    };
    host.betweenBatches = [this] { betweenBatches(); };
}

ProgramRun::~ProgramRun() {
    machine_.peripherals.onSciFrameTransmitted = nullptr;
    machine_.peripherals.onUnsimulatedWrite = nullptr;
    host_.betweenBatches = nullptr;
}

RunEnd ProgramRun::run() {
    if (options_.timeoutSeconds)
        deadline_ = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                       std::chrono::duration<double>(*options_.timeoutSeconds));
    xirq_.playUntil(0, machine_.peripherals.xirq);
    nextCycleCheck_ = std::min(cycleLimit_, xirq_.nextCycle());
    if (stepLimit_ == 0) return RunEnd::Steps;
    betweenBatches();  // the input there is already
    if (!end_) options_.trace ? runTracing() : runWithAlarm();
    feed_.reset();  // the terminal as it was, for the messages
    // On a terminal the messages start on a line of their own.
    if (lastByte_ && *lastByte_ != '\n' && !options_.jsonSummary && isatty(STDOUT_FILENO) &&
        isatty(STDERR_FILENO))
        std::fputc('\n', stderr);

    if (host_.invalidAccessStopped) return RunEnd::InvalidAccess;
    if (end_) return *end_;
    // Nothing else stops a run: the program stopped itself, and the host has the report.
    return host_.fault ? host_.fault->end : RunEnd::IllegalOpcode;
}

// The run loop itself, ending at its step budget, at the temporary stops on the --until-pc
// and --fail-pc addresses, at a stop request from the SCI output or between batches, and at
// a ring of the cycle alarm, which comes at the cycle limit, at the next XIRQ edge and after
// the steps that idle the CPU in WAI or STOP.
void ProgramRun::runWithAlarm() {
    CycleAlarm& alarm = machine_.peripherals.cycleAlarm;
    alarm.start([this](std::uint64_t counted) { return ring(counted); }, nextCycleCheck_);
    machine_.temporaryStop.reached = false;
    const RunOutcome outcome = runSteps(machine_, stepLimit_);
    steps_ = outcome.steps;
    cyclesRun_ = alarm.counted();
    alarm.stop();

    // The step limit comes before the CPU's idling, as when every step is looked at (the ring
    // looks at the other limits itself); a stop the program requested wins over both.
    if ((end_ == RunEnd::Stop || end_ == RunEnd::Wait) && steps_ >= stepLimit_)
        end_ = RunEnd::Steps;
    if (end_) return;
    if (machine_.temporaryStop.reached)
        endAtStopAddress();
    else if (!outcome.stopped)
        end_ = RunEnd::Steps;
}

// In the step that rings, after its tick. A stop the program requested in that step wins over
// the end conditions.
std::uint64_t ProgramRun::ring(std::uint64_t counted) {
    cyclesRun_ = counted;
    if (!machine_.requests.stop && !end_ && checkEnds()) machine_.requestStop();
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
    if (cyclesRun_ < nextCycleCheck_ && steps_ < stepLimit_ && !stops_.marked(machine_.pc) &&
        !machine_.stopState && !machine_.waitState) [[likely]]
        return false;
    return checkEnds();
}

bool ProgramRun::checkEnds() {
    xirq_.playUntil(cyclesRun_, machine_.peripherals.xirq);
    nextCycleCheck_ = std::min(cycleLimit_, xirq_.nextCycle());
    if (cyclesRun_ >= cycleLimit_)
        end_ = RunEnd::Cycles;
    else if (steps_ >= stepLimit_)
        end_ = RunEnd::Steps;
    else if (stops_.marked(machine_.pc))
        endAtStopAddress();
    else if (idlesInStop() && !stopCanEnd())
        end_ = RunEnd::Stop;
    else if (machine_.waitState && !waitCanEnd())
        end_ = RunEnd::Wait;
    return end_.has_value();
}

void ProgramRun::endAtStopAddress() {
    bool fail = false;
    reachedAddress_ = stops_.at(machine_.pc, fail);
    end_ = fail ? RunEnd::FailPc : RunEnd::UntilPc;
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
    if (options_.jsonSummary)
        sciOutput_ += static_cast<char>(byte);
    else
        std::fputc(byte, stdout);
    lastByte_ = byte;
    sciActive_ = true;
    // A stop already asked for in this step (a trap, an error) keeps its own ending.
    if (outputMatch_ && outputMatch_->add(byte) && !machine_.requests.stop && !end_)
        endNow(RunEnd::UntilOutput);
}

void ProgramRun::betweenBatches() {
    if (end_) return;
    if (const int signal = EndSignals::received(); signal != 0) {
        signal_ = signal;
        endNow(RunEnd::Signal);
        return;
    }
    if (feed_ && feed_->poll(machine_.peripherals.sciReceiver)) {
        endNow(RunEnd::EndKey);
        return;
    }
    const CycleAlarm& alarm = machine_.peripherals.cycleAlarm;
    if (alarm.running()) cyclesRun_ = alarm.counted();
    if (deadline_ && Clock::now() >= *deadline_) {
        endNow(RunEnd::Timeout);
        return;
    }
    if (options_.untilInputEnd && inputHasEnded()) {
        endNow(RunEnd::InputEnd);
        return;
    }
    if (pace_) pace_->pace(cyclesRun_);
}

// All input received and read, and the SCI silent for a while since.
bool ProgramRun::inputHasEnded() {
    const SciReceiver& receiver = machine_.peripherals.sciReceiver;
    if (!feed_->ended() || receiver.queuedInputCount() != 0 || receiver.rdrf() || sciActive_) {
        sciActive_ = false;
        quietSince_ = cyclesRun_;
        return false;
    }
    return cyclesRun_ - quietSince_ >=
           kQuietFrames * kSciFrameCycles[machine_.peripherals.sci.baudIndex];
}

void ProgramRun::endNow(RunEnd end) {
    end_ = end;
    machine_.requestStop();
}

void ProgramRun::trace() const {
    const RegisterSnapshot r = RegisterSnapshot::of(machine_);
    std::fprintf(stderr, "PC=%04X A=%02X B=%02X X=%04X Y=%04X SP=%04X CCR=%02X cyc=%u total=%llu\n",
                 r.pc, r.a, r.b, r.ix, r.iy, r.sp, r.ccr, machine_.stepCycles,
                 static_cast<unsigned long long>(cyclesRun_));
}

}  // namespace tarnwick
