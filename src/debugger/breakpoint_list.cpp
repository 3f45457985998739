#include "debugger/breakpoint_list.h"

#include "base/number_text.h"

namespace tarnwick {

namespace {

constexpr std::string_view kSortingMessage = "Sorting is not available yet...";

}  // namespace

void BreakpointList::add(const std::filesystem::path& file, int line, std::uint16_t address) {
    AddressRecord& record = context_.machine.memory[address];
    record.hitCount = 1;
    record.hit = 0;
    record.flags |= kBreakpointFlag;
    ++context_.machine.activeStopCount;
    rows_.push_back({rowFileText(context_.projectDirectory(), file), line, hexText(address, 4),
                     hitText(address)});
    context_.display.refresh(kBreakpointList);
}

void BreakpointList::remove(const std::filesystem::path& file, int line) {
    const std::size_t removed = eraseRows(file, line);
    if (removed == 0) return;
    // Every row was counted once when it was added.
    context_.machine.activeStopCount -= static_cast<std::uint16_t>(removed);
    if (const auto address = lineAddress(context_, file, line)) {
        AddressRecord& record = context_.machine.memory[*address];
        record.hitCount = 0;
        record.hit = 0;
        record.flags &= static_cast<std::uint8_t>(~kBreakpointFlag);
    }
    context_.display.refresh(kBreakpointList);
}

void BreakpointList::viewSource(std::optional<std::size_t> selected) {
    const SourceLineRow* row = selectedRow(selected);
    if (row && context_.editor.open(rowFile(*row))) context_.editor.centreLine(row->line - 1);
}

void BreakpointList::columnClicked(int column) {
    if (column == 0 && !rows_.empty()) context_.host.showError(kSortingMessage);
}

std::string BreakpointList::hitText(std::uint16_t address) const {
    const AddressRecord& record = context_.machine.memory[address];
    return std::to_string(record.hit) + " of " + std::to_string(record.hitCount);
}

void BreakpointList::refresh() {
    for (SourceLineRow& row : rows_) {
        const auto address = rowAddress(row);
        if (!address) continue;
        row.count = hitText(*address);
        AddressRecord& record = context_.machine.memory[*address];
        if (record.hit == record.hitCount) record.hit = 0;
    }
    context_.display.refresh(kBreakpointList);
}

void BreakpointList::resetAllHits() {
    for (const SourceLineRow& row : rows_)
        if (const auto address = rowAddress(row)) context_.machine.memory[*address].hit = 0;
    refresh();
}

}  // namespace tarnwick
