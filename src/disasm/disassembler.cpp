#include "disasm/disassembler.h"

#include <array>
#include <ctime>
#include <string_view>

#include "base/instruction_set.h"
#include "base/number_text.h"

namespace tarnwick {
namespace {

constexpr std::uint16_t kLastDecodedAddress = 0xFFBB;
constexpr std::size_t kIndent = 20;
constexpr std::size_t kLineWidth = 49;  // puts the comment's ";" in column 51
constexpr std::size_t kMnemonicWidth = 10;
constexpr std::uint8_t kRts = 0x39;
constexpr std::uint8_t kRti = 0x3B;
constexpr std::string_view kHeader = ";Disassembled by Tarnwick";

std::string padded(std::string_view text, std::size_t width) {
    std::string result(text.substr(0, width));
    result.resize(width, ' ');
    return result;
}

Page pageOf(std::uint8_t byte) {
    switch (byte) {
        case kPrefix18:
            return Page::Prefix18;
        case kPrefix1A:
            return Page::Prefix1A;
        case kPrefixCD:
            return Page::PrefixCD;
        default:
            return Page::Base;
    }
}

// The operand text of `form` at `address`; the operand bytes follow the opcode.
std::string operandText(const Machine& m, const InstructionForm& form, std::uint16_t address) {
    const auto operandStart =
        static_cast<std::uint16_t>(address + (form.page == Page::Base ? 1 : 2));
    const auto byte = [&](int i) {
        return "$" + hexText(m.peek(static_cast<std::uint16_t>(operandStart + i)), 2);
    };
    // The relative offset is the instruction's last byte.
    const auto target = [&] {
        const auto offset =
            static_cast<std::int8_t>(m.peek(static_cast<std::uint16_t>(address + form.length - 1)));
        return "$" + hexText(static_cast<std::uint16_t>(address + form.length + offset), 4);
    };
    switch (form.mode) {
        case Mode::Inherent:
            return "";
        case Mode::BitTestDirect:
            return byte(0) + ",#" + byte(1) + "," + target();
        case Mode::BitTestIndexedX:
            return byte(0) + ",X,#" + byte(1) + "," + target();
        case Mode::BitTestIndexedY:
            return byte(0) + ",Y,#" + byte(1) + "," + target();
        case Mode::BitSetDirect:
            return byte(0) + ",#" + byte(1);
        case Mode::BitSetIndexedX:
            return byte(0) + ",X,#" + byte(1);
        case Mode::BitSetIndexedY:
            return byte(0) + ",Y,#" + byte(1);
        case Mode::Relative:
            return target();
        case Mode::Immediate8:
            return "#" + byte(0);
        case Mode::Immediate16:
            return "#$" + hexText(m.peek16(operandStart), 4);
        case Mode::Direct:
            return "<" + byte(0);
        case Mode::IndexedX:
            return byte(0) + ",X";
        case Mode::IndexedY:
            return byte(0) + ",Y";
        case Mode::Extended:
            return ">$" + hexText(m.peek16(operandStart), 4);
    }
    return "";
}

}  // namespace

DisassembledLine disassembleInstruction(const Machine& machine, std::uint16_t address) {
    const std::uint8_t first = machine.peek(address);
    const Page page = pageOf(first);
    const std::uint8_t opcode =
        page == Page::Base ? first : machine.peek(static_cast<std::uint16_t>(address + 1));
    const InstructionForm* form = findInstruction(page, opcode);

    DisassembledLine line;
    std::string instruction;
    if (form == nullptr || address > kLastDecodedAddress) {
        instruction = padded("FCB", kMnemonicWidth) + "$" + hexText(first, 2);
    } else {
        instruction = padded(form->mnemonic, kMnemonicWidth) + operandText(machine, *form, address);
        line.length = form->length;
    }
    line.text = padded(std::string(kIndent, ' ') + instruction, kLineWidth) + " ; $" +
                hexText(address, 4) + " ";
    for (int i = 0; i < line.length; ++i)
        line.text += hexText(machine.peek(static_cast<std::uint16_t>(address + i)), 2) + " ";
    if (first == kRts || first == kRti) {
        line.text += " \r\n";
        line.endsBlock = true;
    }
    return line;
}

std::string vectorLine(const Machine& machine, std::uint16_t address) {
    return std::string(kIndent, ' ') + "FDB       $" + hexText(machine.peek16(address), 4) +
           std::string(15, ' ') + "; $" + hexText(address, 4) + " " +
           hexText(machine.peek16(address), 4);
}

LocalDateTime currentLocalTime() {
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    if (local == nullptr) return {};
    return {local->tm_year + 1900, local->tm_mon + 1, local->tm_mday,
            local->tm_wday,        local->tm_hour,    local->tm_min};
}

std::string undatedHeaderLine() {
    return std::string(kHeader) + "\r\n";
}

std::string headerLine(const LocalDateTime& time) {
    static constexpr std::array<std::string_view, 7> kWeekdays{
        "Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    static constexpr std::array<std::string_view, 12> kMonths{
        "January", "February", "March",     "April",   "May",      "June",
        "July",    "August",   "September", "October", "November", "December"};
    const int hour12 = time.hour % 12 == 0 ? 12 : time.hour % 12;
    const auto twoDigits = [](int value) {
        return std::string(value < 10 ? "0" : "") + std::to_string(value);
    };
    return std::string(kHeader) + " [" + std::string(kWeekdays.at(time.weekday)) + ", " +
           std::string(kMonths.at(time.month - 1)) + " " + twoDigits(time.day) + ", " +
           std::to_string(time.year) + " " + std::to_string(hour12) + ":" + twoDigits(time.minute) +
           " " + (time.hour < 12 ? "AM" : "PM") + "]\r\n";
}

}  // namespace tarnwick
