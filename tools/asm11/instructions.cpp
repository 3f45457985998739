// Instruction statements, the extra mnemonics' expansions, and the code they emit into
// the image, the listing, the map and the symbol file.

#include <algorithm>
#include <array>
#include <cctype>

#include "asm11/asm_error.h"
#include "asm11/assembler_core.h"
#include "asm11/source_line.h"
#include "base/instruction_set.h"
#include "base/number_text.h"

namespace tarnwick::asm11 {
namespace {

constexpr std::uint8_t kSwiOpcode = 0x3F;
constexpr std::size_t kBranchSize = 2;
constexpr std::uint8_t kJmpExtended = 0x7E;
constexpr std::uint8_t kJsrExtended = 0xBD;
constexpr std::uint8_t kJsrDirect = 0x9D;

// The part of an extra mnemonic's operand a step takes: "@" all of it, "@<" what stands
// before its last comma and "@>" what follows it (CBEQA #5,LOOP compares with #5 and
// branches to LOOP).
std::string_view operandPart(std::string_view text, std::string_view part) {
    if (part == "@") return text;
    std::size_t comma = std::string_view::npos;
    for (std::size_t i = 0; i < text.size(); i = skipConstant(text, i))
        if (text[i] == ',') comma = i;
    if (comma == std::string_view::npos) throw AsmError{"Missing ,target in " + std::string(text)};
    return part == "@<" ? text.substr(0, comma) : text.substr(comma + 1);
}

// The E cycles of one encoded instruction, found by its prefix and opcode.
int cyclesOf(std::span<const std::uint8_t> bytes) {
    // Indexed by Page itself, whose values start at 1.
    constexpr std::size_t kPages = static_cast<std::size_t>(Page::PrefixCD) + 1;
    static const std::array<std::array<std::uint8_t, 256>, kPages> table = [] {
        std::array<std::array<std::uint8_t, 256>, kPages> built{};
        for (const InstructionForm& form : kInstructionSet)
            built[static_cast<std::size_t>(form.page)][form.opcode] = form.cycles;
        return built;
    }();
    if (bytes.empty()) return 0;
    Page page = Page::Base;
    std::size_t at = 0;
    if (bytes.size() > 1 && bytes[0] == kPrefix18) page = Page::Prefix18, at = 1;
    if (bytes.size() > 1 && bytes[0] == kPrefix1A) page = Page::Prefix1A, at = 1;
    if (bytes.size() > 1 && bytes[0] == kPrefixCD) page = Page::PrefixCD, at = 1;
    return table[static_cast<std::size_t>(page)][bytes[at]];
}

}  // namespace

void Assembler::instruction(const Statement& s, const Forms* forms, bool forceReal) {
    if (!s.label.empty()) defineSymbol(s.label, Value{state_.location, true}, false);
    if (!forms && !forceReal && state_.switches.extra) {
        if (const ExtraMnemonic* expansion = extraMnemonic(s.name))
            return extraStatement(s.name, *expansion, s.rest);
    }
    if (!forms) throw AsmError{"Unknown instruction: " + std::string(s.name)};
    const InstructionBytes bytes = encodeOperand(*forms, s.rest);
    const bool followsCall = state_.afterCall;
    emit(bytes);
    countCycles(bytes);
    trackStack(s.name);
    if (pass_ == 2) hints(s.name, bytes, followsCall && s.label.empty());
    state_.afterCall = s.name == "JSR" || s.name == "BSR";
    if (s.name == "RTS") state_.lastRts = lineStart_;
}

void Assembler::countCycles(std::span<const std::uint8_t> bytes) {
    state_.cycles += cyclesOf(bytes);
}

// #SPAUTO follows the stack through the pushes and pulls.
void Assembler::trackStack(std::string_view mnemonic) {
    if (state_.switches.stackMode != Switches::StackMode::Auto) return;
    static const std::unordered_map<std::string, int> changes = {
        {"PSHA", 1},  {"PSHB", 1},  {"PSHX", 2},  {"PSHY", 2},  {"DES", 1},
        {"PULA", -1}, {"PULB", -1}, {"PULX", -2}, {"PULY", -2}, {"INS", -1},
        {"PSHD", 2},  {"PULD", -2}, {"PUSH", 6},  {"PULL", -6}};
    const auto it = changes.find(std::string(mnemonic));
    if (it == changes.end()) return;
    state_.switches.spOffset += it->second;
    state_.spMax = std::max(state_.spMax, state_.switches.spOffset - state_.switches.spCheck);
    if (state_.spLimit >= 0 && state_.switches.spOffset - state_.switches.spCheck > state_.spLimit)
        warning("Stack depth " +
                std::to_string(state_.switches.spOffset - state_.switches.spCheck) +
                " exceeds the #SPAUTO limit " + std::to_string(state_.spLimit));
}

// -REL: a JMP or JSR whose target a BRA or BSR here would reach. -RTS: an RTS right after a
// call, where the call could jump instead (not when a label makes the RTS a target of its own).
void Assembler::hints(std::string_view mnemonic, std::span<const std::uint8_t> bytes,
                      bool followsCall) {
    if (state_.switches.rtsHint && mnemonic == "RTS" && followsCall)
        warning("RTS after a call: the call could be a JMP or BRA");
    if (!state_.switches.relHint || (mnemonic != "JMP" && mnemonic != "JSR")) return;
    std::int32_t target = -1;
    if (bytes.size() == 3 && (bytes[0] == kJmpExtended || bytes[0] == kJsrExtended))
        target = bytes[1] << 8 | bytes[2];
    else if (bytes.size() == 2 && bytes[0] == kJsrDirect)
        target = bytes[1];
    const std::int32_t offset = target - (lineStart_ + static_cast<std::int32_t>(kBranchSize));
    if (target >= 0 && offset >= -128 && offset <= 127)
        warning(std::string(mnemonic) + " to " + hexAddress(target) + " could be " +
                (mnemonic == "JMP" ? "BRA" : "BSR"));
}

// The line's own operand: pass 2 repeats pass 1's choice between direct and extended.
InstructionBytes Assembler::encodeOperand(const Forms& forms, std::string_view rest,
                                          std::optional<std::int32_t> address) {
    std::optional<bool> direct;
    if (pass_ == 2 && current_ < records_.size()) direct = records_[current_].direct;
    Encoding encoding = encodeInstruction(
        {forms, rest, state_.switches.spaces, expressionContext(), direct, address});
    reportOrderHint();
    if (pass_ == 1 && current_ < records_.size()) records_[current_].direct = encoding.direct;
    return encoding.bytes;
}

// An operand of an expansion, "*" being the step's own address.
InstructionBytes Assembler::encodeFixed(std::string_view mnemonic, std::string_view operand,
                                        std::int32_t address) {
    ExpressionContext context = expressionContext();
    context.location = address;
    InstructionBytes bytes =
        encodeInstruction({*instructionForms(mnemonic), operand, false, context, {}}).bytes;
    reportOrderHint();
    return bytes;
}

// A step of an extra mnemonic that does not take the line's operand: the table gives it
// none or a constant ("CLRA", "LDX #0"), so it encodes alike everywhere and is encoded once.
const InstructionBytes& Assembler::fixedStep(const ExtraStep& step) {
    if (const auto known = fixedSteps_.find(&step); known != fixedSteps_.end())
        return known->second;
    return fixedSteps_.emplace(&step, encodeFixed(step.mnemonic, step.operand, lineStart_))
        .first->second;
}

void Assembler::extraStatement(std::string_view mnemonic, const ExtraMnemonic& expansion,
                               std::string_view rest) {
    if (expansion.kind == ExtraKind::Undefined)
        throw AsmError{"Extra mnemonic " + std::string(mnemonic) + " has no defined expansion"};
    bool takesOperand = expansion.kind != ExtraKind::Steps;
    for (const ExtraStep& step : expansion.steps) takesOperand |= step.operand.starts_with('@');
    if (takesOperand && operand(rest).empty())
        throw AsmError{"Missing operand for " + std::string(mnemonic)};
    std::vector<std::uint8_t> bytes;
    const auto append = [this, &bytes](const InstructionBytes& more) {
        countCycles(more);
        bytes.insert(bytes.end(), more.begin(), more.end());
    };
    switch (expansion.kind) {
        case ExtraKind::Undefined:
            break;
        case ExtraKind::SwiByte:
            bytes = {kSwiOpcode, byteValue(operand(rest))};
            break;
        case ExtraKind::SwiWord: {
            const std::uint16_t word = wordValue(operand(rest));
            bytes = {kSwiOpcode, static_cast<std::uint8_t>(word >> 8),
                     static_cast<std::uint8_t>(word)};
            break;
        }
        case ExtraKind::OverJump: {
            // The JMP's size decides the skip: 2 bytes indexed, 3 extended.
            const InstructionBytes jump = encodeOperand(*instructionForms("JMP"), rest);
            const std::string skip = "*+" + std::to_string(kBranchSize + jump.size());
            append(encodeFixed(expansion.steps[0].mnemonic, skip, lineStart_));
            append(jump);
            break;
        }
        case ExtraKind::Steps:
            for (const ExtraStep& step : expansion.steps) {
                const std::int32_t address = lineStart_ + static_cast<std::int32_t>(bytes.size());
                if (step.operand.starts_with('@'))
                    append(encodeOperand(*instructionForms(step.mnemonic),
                                         operandPart(operand(rest), step.operand), address));
                else
                    append(fixedStep(step));
            }
            break;
    }
    emit(bytes);
    trackStack(mnemonic);
}

void Assembler::emit(std::span<const std::uint8_t> bytes) {
    state_.afterCall = false;
    const std::int64_t location = state_.location;
    const std::int64_t where = location + state_.s19Offset;
    const auto size = static_cast<std::int64_t>(bytes.size());
    if (location + size > kAddressLimit) throw AsmError{"Code runs past $FFFF"};
    if (where < 0 || where + size > kAddressLimit)
        throw AsmError{"ORG offset puts code outside $0000-$FFFF"};
    if (pass_ == 2 && !bytes.empty()) {
        AssemblyResult& result = state_.result;
        bool overlap = false;
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            const auto address = static_cast<std::size_t>(where) + i;
            overlap = overlap || result.image.used[address];
            result.image.bytes[address] = bytes[i];
            result.image.used[address] = 1;
            if (bytes[i] != 0) {
                const auto sum = static_cast<std::uint16_t>(address * bytes[i]);
                state_.s19Crc = static_cast<std::uint16_t>(state_.s19Crc + sum);
                if (bytes[i] != 0xFF) state_.crc = static_cast<std::uint16_t>(state_.crc + sum);
            }
        }
        result.byteCount += bytes.size();
        recordLine();
        if (listed_) {
            std::vector<std::uint8_t>& listedBytes = result.listing[*listed_].bytes;
            listedBytes.insert(listedBytes.end(), bytes.begin(), bytes.end());
        }
        if (options_.map && state_.switches.map)
            result.map.push_back({static_cast<std::uint16_t>(where), file_, line_});
        if (overlap && options_.overlapCheck)
            error("Code overlaps earlier code at " + hexAddress(where));
        for (std::int64_t i = 0; options_.overlapCheck && i < size; ++i) {
            if (!inMemoryRanges(static_cast<std::int32_t>(where + i))) {
                error("Code at " + hexAddress(where + i) + " is outside the #MEMORY ranges");
                break;
            }
        }
    }
    state_.location += static_cast<std::int32_t>(size);
}

void Assembler::recordLine() {
    state_.result.modules[module_].lines.emplace_back(static_cast<std::uint16_t>(state_.location),
                                                      line_);
}

void Assembler::reserve(std::int64_t count) {
    if (count < 0) throw AsmError{"Negative count: " + std::to_string(count)};
    if (state_.location + count > kAddressLimit) throw AsmError{"Code runs past $FFFF"};
    state_.location += static_cast<std::int32_t>(count);
}

bool Assembler::inMemoryRanges(std::int32_t address) const {
    for (const auto& [start, end] : memoryRanges_)
        if (address >= start && address <= end) return true;
    return memoryRanges_.empty();
}

void Assembler::switchSegment(std::size_t segment) {
    state_.segmentLocations[state_.segment] = state_.location;
    state_.segment = segment;
    state_.location = state_.segmentLocations[segment];
}

}  // namespace tarnwick::asm11
