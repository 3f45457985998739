#include "debugger/modify_breakpoint.h"

#include <algorithm>

#include "base/number_text.h"
#include "debugger/go_to_line.h"

namespace tarnwick {

namespace {

constexpr std::uint32_t kMaxHit = 0xFFFF;

std::uint32_t fieldValue(std::string_view text) {
    return text.empty() ? 0 : static_cast<std::uint32_t>(std::stoul(std::string(text)));
}

}  // namespace

ModifyBreakpoint::ModifyBreakpoint(DebugContext& context, BreakpointList& list,
                                   const std::filesystem::path& file, int line,
                                   std::uint16_t address)
    : context_(&context), list_(&list), address_(address) {
    const AddressRecord& record = context.machine.memory[address];
    fileName_ = context.sourceMap.modules[record.module];
    line_ = std::to_string(line);
    addressText_ = hexText(address, 4);
    pass_ = std::to_string(record.hit) + " of " + std::to_string(record.hitCount);
    sourceText_ = context.editor.lineText(file, line - 1);
    initialNewPass_ = std::to_string(record.hit);
    initialNewCount_ = std::to_string(record.hitCount);
}

std::optional<ModifyBreakpoint> ModifyBreakpoint::forCaretLine(DebugContext& context,
                                                               BreakpointList& list) {
    const auto file = context.editor.activeFile();
    if (!file) return std::nullopt;
    const int caret = context.editor.caretLine();
    if (!(context.editor.markers(*file, caret) & kBreakpointMarker)) return std::nullopt;
    const auto address = lineAddress(context, *file, caret + 1);
    if (!address) return std::nullopt;
    return ModifyBreakpoint(context, list, *file, caret + 1, *address);
}

std::optional<ModifyBreakpoint> ModifyBreakpoint::forRow(DebugContext& context,
                                                         BreakpointList& list,
                                                         std::optional<std::size_t> selected) {
    const SourceLineRow* row = list.selectedRow(selected);
    if (!row) return std::nullopt;
    const auto address = list.rowAddress(*row);
    if (!address) return std::nullopt;
    return ModifyBreakpoint(context, list, list.rowFile(*row), row->line, *address);
}

std::string ModifyBreakpoint::newPassFieldText(std::string_view text) {
    const std::string digits = decimalFieldText(text, kFieldLength);
    return digits.empty() ? "1" : digits;
}

std::string ModifyBreakpoint::newCountFieldText(std::string_view text) {
    const std::string digits = decimalFieldText(text, kFieldLength);
    // "00" is as much a zero count as "0": it would switch the breakpoint's test off.
    const bool zero = std::all_of(digits.begin(), digits.end(), [](char c) { return c == '0'; });
    return zero ? "1" : digits;
}

bool ModifyBreakpoint::ok(std::string_view newPass, std::string_view newCount) {
    const std::uint32_t pass = fieldValue(decimalFieldText(newPass, kFieldLength));
    const std::uint32_t count = fieldValue(newCountFieldText(newCount));
    const char* error = nullptr;
    if (count > kMaxHit)
        error = "Maximum value of count is 65535";
    else if (pass > kMaxHit)
        error = "Maximum value of pass is 65535";
    else if (pass > count)
        error = "New Pass is higher than New Count";
    if (error) {
        context_->host.showError(error);
        return false;
    }
    AddressRecord& record = context_->machine.memory[address_];
    record.hit = static_cast<std::uint16_t>(pass == count ? 0 : pass);
    record.hitCount = static_cast<std::uint16_t>(count);
    list_->refresh();
    return true;
}

}  // namespace tarnwick
