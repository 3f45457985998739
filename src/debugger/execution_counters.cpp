#include "debugger/execution_counters.h"

#include "base/number_text.h"

namespace tarnwick {

void ExecutionCounterList::add(const std::filesystem::path& file, int line, std::uint16_t address) {
    context_.machine.memory[address].executionCount = 0;
    rows_.push_back(
        {rowFileText(context_.projectDirectory(), file), line, hexText(address, 4), "0"});
    context_.display.refresh(kCounterList);
}

void ExecutionCounterList::remove(const std::filesystem::path& file, int line) {
    eraseRows(file, line);
    context_.display.refresh(kCounterList);
}

void ExecutionCounterList::resetRow(std::optional<std::size_t> selected) {
    if (rows_.empty()) return;
    const SourceLineRow* row = selectedRow(selected);
    if (!row) return;
    if (const auto address = rowAddress(*row)) context_.machine.memory[*address].executionCount = 0;
    refresh();
}

void ExecutionCounterList::viewSource(std::optional<std::size_t> selected) {
    const SourceLineRow* row = selectedRow(selected);
    if (row && context_.editor.open(rowFile(*row))) context_.editor.moveCaret(row->line - 1);
}

void ExecutionCounterList::refresh() {
    const std::string separator = context_.host.thousandsSeparator();
    for (SourceLineRow& row : rows_)
        if (const auto address = rowAddress(row))
            row.count = groupThousands(context_.machine.memory[*address].executionCount, separator);
    context_.display.refresh(kCounterList);
}

void ExecutionCounterList::resetAll() {
    for (const SourceLineRow& row : rows_)
        if (const auto address = rowAddress(row))
            context_.machine.memory[*address].executionCount = 0;
    refresh();
}

}  // namespace tarnwick
