#include "core/step_class.h"

#include <array>

#include "base/instruction_set.h"

namespace tarnwick::detail {
namespace {

constexpr StepClass classOf(const InstructionForm& form) {
    switch (form.operation) {
        case Operation::JumpToSubroutine:
        case Operation::BranchToSubroutine:
            return StepClass::Call;
        case Operation::ReturnFromSubroutine:
            return StepClass::Return;
        case Operation::ReturnFromInterrupt:
            return StepClass::ReturnFromInterrupt;
        case Operation::SoftwareInterrupt:
            return StepClass::SoftwareInterrupt;
        case Operation::WaitForInterrupt:
            return StepClass::Wait;
        case Operation::IncrementStack:
        case Operation::DecrementStack:
        case Operation::TransferIndexToStack:
        case Operation::Pull:
        case Operation::Push:
            return StepClass::StackChange;
        case Operation::Load:
            return form.reg == Reg::S ? StepClass::StackChange : StepClass::Other;
        default:
            return StepClass::Other;
    }
}

constexpr std::array<StepClass, 256> buildStepClasses(Page page) {
    std::array<StepClass, 256> classes{};
    for (const InstructionForm& form : kInstructionSet)
        if (form.page == page) classes[form.opcode] = classOf(form);
    return classes;
}

constexpr auto kBaseStepClasses = buildStepClasses(Page::Base);
constexpr auto kPrefix18StepClasses = buildStepClasses(Page::Prefix18);

}  // namespace

StepClass classifyNext(Machine& m) {
    const std::uint8_t opcode = m.read8(m.pc);
    if (opcode == kPrefix18)
        return kPrefix18StepClasses[m.read8(static_cast<std::uint16_t>(m.pc + 1))];
    return kBaseStepClasses[opcode];
}

}  // namespace tarnwick::detail
