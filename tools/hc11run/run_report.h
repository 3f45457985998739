#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/machine.h"
#include "hc11run/program_run.h"
#include "hc11run/run_ending.h"
#include "hc11run/run_options.h"
#include "hc11run/tool_host.h"

namespace tarnwick {

// Memory read for one --print.
struct PrintedMemory {
    const PrintRequest* request;
    std::vector<std::uint16_t> values;  // bytes or big-endian words
};

// One --expect against the state after the run.
struct ExpectationResult {
    const Expectation* expected;
    std::uint16_t actual;
    bool holds;
};

// What a finished run tells: its end and exit status, the state after it and the checks.
struct RunReport {
    RunEnd end = RunEnd::Steps;
    int status = 0;
    std::string reason;  // "until-pc DONE (E023)", "illegal-opcode at E012", ...
    const AddressArgument* reachedAddress = nullptr;
    RegisterSnapshot registers;
    std::uint64_t cycles = 0;
    std::uint64_t steps = 0;
    double seconds = 0;  // at the crystal
    std::string crystal;
    std::optional<std::uint32_t> seed;
    std::string sciOutput;           // with --summary=json only
    std::vector<std::string> notes;  // writes to peripherals that are not simulated
    std::vector<PrintedMemory> printed;
    std::vector<ExpectationResult> expectations;
    std::optional<Fault> fault;
};

// The report of a run that ended with `end`; the machine as the run left it.
RunReport makeReport(const Machine& machine, const ToolHost& host, const ProgramRun& run,
                     RunEnd end, const RunOptions& options);

// Lines for stderr: the summary (reason, registers, cycles, time), where a fault happened,
// the --print lines and a line for each --expect that does not hold.
std::string textSummary(const RunReport& report);

// One JSON object on one line.
std::string jsonSummary(const RunReport& report);

}  // namespace tarnwick
