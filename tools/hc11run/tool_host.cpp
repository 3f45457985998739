#include "hc11run/tool_host.h"

#include <chrono>
#include <cstdio>

#include "base/interrupt_sources.h"

namespace tarnwick {
namespace {

void print(std::string_view text) {
    std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
}

bool isPagePrefix(std::uint8_t byte) {
    return byte == 0x18 || byte == 0x1A || byte == 0xCD;
}

}  // namespace

bool ToolHost::warnYesNo(std::string_view text) {
    print(text);
    print(continueOnInvalid_ ? "Answered Yes (--on-invalid=continue)"
                             : "Answered No (--on-invalid=stop)");
    if (continueOnInvalid_) return true;
    invalidAccessStopped = true;
    record(RunEnd::InvalidAccess, text);
    return false;
}

// Only the illegal opcode trap warns.
void ToolHost::showWarning(std::string_view text) {
    print(text);
    record(RunEnd::IllegalOpcode, text);
}

// Only an uninitialised vector is an error.
void ToolHost::showError(std::string_view text) {
    print(text);
    record(RunEnd::UninitialisedVector, text);
}

void ToolHost::showInformation(std::string_view text) {
    print(text);
}

std::uint32_t ToolHost::timeSeed() {
    seedUsed = seed_.value_or(
        static_cast<std::uint32_t>(std::chrono::system_clock::now().time_since_epoch().count()));
    return *seedUsed;
}

// An instruction's own fault (SWI, an illegal opcode, an access) happened at the instruction;
// a hardware interrupt's vector error where the program was when the interrupt came.
void ToolHost::record(RunEnd end, std::string_view text) {
    if (fault || !machine_) return;
    const Machine& m = *machine_;
    const bool atInstruction =
        end != RunEnd::UninitialisedVector || text.find("SWI") != std::string_view::npos ||
        text.find(interruptSourceInfo(InterruptSource::IllegalOpcode).name) !=
            std::string_view::npos;
    Fault recorded{end, std::string(text),       atInstruction ? m.instructionAddress : m.pc,
                   {},  RegisterSnapshot::of(m), m.cycleCounter};
    if (atInstruction) {
        recorded.registers.pc = recorded.address;  // the fetch has moved PC on
        recorded.opcode.push_back(m.peek(recorded.address));
        if (isPagePrefix(recorded.opcode[0]))
            recorded.opcode.push_back(m.peek(static_cast<std::uint16_t>(recorded.address + 1)));
    }
    while (!recorded.message.empty() && recorded.message.front() == '\n')
        recorded.message.erase(0, 1);
    fault = std::move(recorded);
}

}  // namespace tarnwick
