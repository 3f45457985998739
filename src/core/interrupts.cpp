#include "core/interrupts.h"

#include <optional>
#include <string>

namespace tarnwick {

void machineReset(Machine& machine) {
    machine.pc = machine.readResetVector();
    machine.sp = 0x0000;
    machine.flags.s = machine.flags.x = machine.flags.i = true;
    machine.stopState = false;
    machine.waitState = false;
    // The registers first: their time protection needs the cycle counter cleared after them.
    machine.peripherals.resetRegisters();
    machine.cycleCounter = 0;
    // A reset inside a step (after an error) leaves none of its cycles for the tick.
    machine.stepCycles = 0;
    machine.lastShownCycles = 0;
    machine.timeTotal = 0;
    machine.cliMark = 0;
}

void pushRegisterFrame(Machine& machine, std::uint16_t returnAddress) {
    const std::uint16_t sp = machine.sp;
    machine.write16(static_cast<std::uint16_t>(sp - 1), returnAddress);
    machine.write16(static_cast<std::uint16_t>(sp - 3), machine.iy);
    machine.write16(static_cast<std::uint16_t>(sp - 5), machine.ix);
    machine.write8(static_cast<std::uint16_t>(sp - 6), machine.a);
    machine.write8(static_cast<std::uint16_t>(sp - 7), machine.b);
    machine.write8(static_cast<std::uint16_t>(sp - 8), machine.flags.byte());
    machine.sp = static_cast<std::uint16_t>(sp - 9);
}

void interruptEntry(Machine& machine, InterruptSource source) {
    const bool waiStacking = source == InterruptSource::WaiStacking;
    std::uint16_t vector = 0;
    if (!waiStacking) {
        const InterruptSourceInfo& info = interruptSourceInfo(source);
        vector = info.vector;
        if (machine.peek(vector) == 0xFF && machine.peek(vector + 1) == 0xFF) {
            machine.host.showError("ERROR: " + std::string(info.name) +
                                   "Interrupt vector is not initialized, Debug|Stop");
            machine.stopAfterError();
            return;
        }
    }

    std::uint16_t returnAddress = machine.pc;
    if (waiStacking) {
        machine.pc = static_cast<std::uint16_t>(machine.pc - 1);
    } else {
        if (source == InterruptSource::Xirq && machine.stopState) {
            machine.stopState = false;
            returnAddress = static_cast<std::uint16_t>(machine.pc + 1);
        }
        machine.pc = machine.read16(vector);
    }

    if (machine.waitState) {
        machine.waitState = false;
    } else {
        pushRegisterFrame(machine, returnAddress);
        if (!waiStacking) {
            machine.cycleCounter += 12;
            machine.stepCycles = 12;
        }
    }
    machine.peripherals.interruptTaken(source);
}

namespace {

// An entry out of WAI charges nothing. Made before the instruction it is a step of its own,
// which must leave no cycles for the tick: the count there is still the previous step's.
// Made after the instruction, the step's cycles are that instruction's (the idle WAI's).
void enterFromPoll(Machine& machine, InterruptSource source, PollPlace place) {
    const bool waiting = machine.waitState;
    interruptEntry(machine, source);
    if (waiting && place == PollPlace::BeforeInstruction) machine.stepCycles = 0;
}

void takeXirq(Machine& machine, PollPlace place) {
    enterFromPoll(machine, InterruptSource::Xirq, place);
    machine.flags.i = machine.flags.x = true;
}

void wakeFromStop(Machine& machine) {
    machine.stopState = false;
    machine.pc = static_cast<std::uint16_t>(machine.pc + 1);
    machine.peripherals.releaseXirqAtStopWakeUp();
}

bool pollMaskable(Machine& machine, PollPlace place) {
    const std::optional<InterruptSource> source = machine.peripherals.dueMaskableInterrupt();
    if (!source) return false;
    enterFromPoll(machine, *source, place);
    machine.flags.i = true;
    return true;
}

}  // namespace

bool pollWithAttention(Machine& machine, PollPlace place) {
    if (machine.peripherals.xirqPending()) {
        if (!machine.flags.x) {
            takeXirq(machine, place);
            return true;
        }
        // With X set, XIRQ only wakes the CPU from STOP; the instruction after STOP runs
        // before any other interrupt.
        if (machine.stopState) {
            wakeFromStop(machine);
            return false;
        }
    }
    if (machine.flags.i || !machine.peripherals.anyMaskableRequestLatched()) return false;
    if (machine.cycleCounter == machine.cliMark) return false;
    return pollMaskable(machine, place);
}

}  // namespace tarnwick
