#pragma once

#include <cstdint>
#include <string_view>

namespace tarnwick {

enum ExitStatus : int {
    kEndReached = 0,
    kUsageOrLoadError = 1,
    kProgramStopped = 2,
    kInvalidAccessStopped = 3,
    kLimitReached = 4,
    kTimedOut = 5,
    kFailAddressReached = 6,
    kExpectationFailed = 7,
    kInputEnded = 8,
    kEndedBySignal = 128,  // plus the signal number, as a shell reports a killed program
};

// The ways a run ends.
enum class RunEnd : std::uint8_t {
    UntilPc,
    UntilOutput,
    EndKey,
    Steps,
    Cycles,
    Timeout,
    FailPc,
    IllegalOpcode,
    UninitialisedVector,
    Stop,
    Wait,
    InvalidAccess,
    InputEnd,
    Signal,
};

struct RunEndInfo {
    std::string_view name;  // in the summaries
    int status;             // the signal's number is added to kEndedBySignal
};

constexpr RunEndInfo runEndInfo(RunEnd end) {
    switch (end) {
        case RunEnd::UntilPc:
            return {"until-pc", kEndReached};
        case RunEnd::UntilOutput:
            return {"until-output", kEndReached};
        case RunEnd::EndKey:
            return {"end-key", kEndReached};
        case RunEnd::Steps:
            return {"steps", kLimitReached};
        case RunEnd::Cycles:
            return {"cycles", kLimitReached};
        case RunEnd::Timeout:
            return {"timeout", kTimedOut};
        case RunEnd::FailPc:
            return {"fail-pc", kFailAddressReached};
        case RunEnd::IllegalOpcode:
            return {"illegal-opcode", kProgramStopped};
        case RunEnd::UninitialisedVector:
            return {"uninitialised-vector", kProgramStopped};
        case RunEnd::Stop:
            return {"stop", kProgramStopped};
        case RunEnd::Wait:
            return {"wait", kProgramStopped};
        case RunEnd::InvalidAccess:
            return {"invalid-access", kInvalidAccessStopped};
        case RunEnd::InputEnd:
            return {"input-end", kInputEnded};
        case RunEnd::Signal:
            return {"signal", kEndedBySignal};
    }
    return {"", kProgramStopped};
}

}  // namespace tarnwick
