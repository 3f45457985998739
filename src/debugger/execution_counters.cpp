#include "debugger/execution_counters.h"

#include "core/number_text.h"

namespace tarnwick {

std::filesystem::path ExecutionCounterList::rowFile(const SourceLineRow& row) const {
    return rowFilePath(context_.projectDirectory(), row.file);
}

std::optional<std::uint16_t> ExecutionCounterList::rowAddress(const SourceLineRow& row) const {
    return lineAddress(context_, rowFile(row), row.line);
}

void ExecutionCounterList::toggleAtCaret() {
    const auto file = context_.editor.activeFile();
    if (file) toggle(*file, context_.editor.caretLine());
}

void ExecutionCounterList::toggle(const std::filesystem::path& file, int line) {
    SourceEditor& editor = context_.editor;
    const MarkerBits markers = editor.markers(file, line);
    if (markers & kCounterMarker) {
        removeMarkers(editor, file, line, kCounterMarker);
        remove(file, line + 1);
        restyleLine(editor, file, line);
        return;
    }
    if (!(markers & kCodeLineMarker)) return;
    const auto address = lineAddress(context_, file, line + 1);
    if (!address) return;
    addMarkers(editor, file, line, kCounterMarker);
    context_.machine.memory[*address].executionCount = 0;
    rows_.push_back(
        {rowFileText(context_.projectDirectory(), file), line + 1, hexText(*address, 4), "0"});
    restyleLine(editor, file, line);
    context_.display.refresh(kCounterList);
}

void ExecutionCounterList::remove(const std::filesystem::path& file, int line) {
    const std::string fileText = rowFileText(context_.projectDirectory(), file);
    std::erase_if(
        rows_, [&](const SourceLineRow& row) { return row.file == fileText && row.line == line; });
    context_.display.refresh(kCounterList);
}

const SourceLineRow* ExecutionCounterList::selectedRow(std::optional<std::size_t> selected) const {
    if (selected && *selected < rows_.size()) return &rows_[*selected];
    context_.host.showInformation(kNoItemSelected);
    return nullptr;
}

void ExecutionCounterList::deleteRow(std::optional<std::size_t> selected) {
    if (rows_.empty()) return;
    const SourceLineRow* row = selectedRow(selected);
    if (!row) return;
    const std::filesystem::path file = rowFile(*row);
    const int line = row->line;
    // The row goes even when its file has no page, or Delete All would never end.
    removeMarkers(context_.editor, file, line - 1, kCounterMarker);
    remove(file, line);
    restyleLine(context_.editor, file, line - 1);
}

void ExecutionCounterList::deleteAll() {
    while (!rows_.empty()) deleteRow(0);
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

void ExecutionCounterList::clear() {
    rows_.clear();
    context_.display.refresh(kCounterList);
}

}  // namespace tarnwick
