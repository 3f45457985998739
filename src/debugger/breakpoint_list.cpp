#include "debugger/breakpoint_list.h"

#include <cctype>

#include "core/number_text.h"
#include "project/symbol_file.h"

namespace tarnwick {

namespace {

constexpr std::string_view kSortingMessage = "Sorting is not available yet...";

// File names compare as the source map compares them: normalised and without regard to case.
std::string comparable(const std::filesystem::path& file) {
    std::string name = file.lexically_normal().generic_string();
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return name;
}

}  // namespace

std::string rowFileText(const std::filesystem::path& projectDirectory,
                        const std::filesystem::path& file) {
    const bool inProjectDirectory =
        (projectDirectory / file.filename()).lexically_normal() == file.lexically_normal();
    return inProjectDirectory ? file.filename().string() : file.string();
}

std::filesystem::path rowFilePath(const std::filesystem::path& projectDirectory,
                                  const std::string& fileText) {
    const std::filesystem::path file(fileText);
    return file.has_parent_path() ? file : projectDirectory / file;
}

std::optional<std::uint16_t> lineAddress(const DebugContext& context,
                                         const std::filesystem::path& file, int line) {
    if (line <= 0 || line > 0xFFFF) return std::nullopt;
    const auto sourceLine = static_cast<std::uint16_t>(line);
    const std::filesystem::path directory = context.projectDirectory();
    const std::uint16_t address = addressOfSourceLine(context.machine, context.sourceMap, directory,
                                                      file.string(), sourceLine);
    if (address != 0) return address;
    // The lookup answers 0000 also when it found nothing.
    const auto atZero = sourceOfAddress(context.machine, context.sourceMap, directory, 0);
    if (atZero && atZero->line == sourceLine && comparable(atZero->file) == comparable(file))
        return address;
    return std::nullopt;
}

std::filesystem::path BreakpointList::rowFile(const SourceLineRow& row) const {
    return rowFilePath(context_.projectDirectory(), row.file);
}

std::optional<std::uint16_t> BreakpointList::rowAddress(const SourceLineRow& row) const {
    return lineAddress(context_, rowFile(row), row.line);
}

void BreakpointList::toggleAtCaret() {
    const auto file = context_.editor.activeFile();
    if (file) toggle(*file, context_.editor.caretLine());
}

void BreakpointList::toggle(const std::filesystem::path& file, int line) {
    SourceEditor& editor = context_.editor;
    const MarkerBits markers = editor.markers(file, line);
    if (markers & kBreakpointMarker) {
        removeMarkers(editor, file, line, kBreakpointMarker);
        remove(file, line + 1);
        restyleLine(editor, file, line);
        return;
    }
    if (!(markers & kCodeLineMarker)) return;
    const auto address = lineAddress(context_, file, line + 1);
    if (!address) return;
    addMarkers(editor, file, line, kBreakpointMarker);
    add(file, line + 1, *address);
    restyleLine(editor, file, line);
}

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
    const std::string fileText = rowFileText(context_.projectDirectory(), file);
    const auto matches = [&](const SourceLineRow& row) {
        return row.file == fileText && row.line == line;
    };
    const auto removed = std::erase_if(rows_, matches);
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

const SourceLineRow* BreakpointList::selectedRow(std::optional<std::size_t> selected) const {
    if (selected && *selected < rows_.size()) return &rows_[*selected];
    context_.host.showInformation(kNoItemSelected);
    return nullptr;
}

void BreakpointList::deleteRow(std::optional<std::size_t> selected) {
    if (rows_.empty()) return;
    const SourceLineRow* row = selectedRow(selected);
    if (!row) return;
    const std::filesystem::path file = rowFile(*row);
    const int line = row->line;
    // The row goes even when its file has no page, or Delete All would never end.
    removeMarkers(context_.editor, file, line - 1, kBreakpointMarker);
    remove(file, line);
    restyleLine(context_.editor, file, line - 1);
}

void BreakpointList::deleteAll() {
    while (!rows_.empty()) deleteRow(0);
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

void BreakpointList::clear() {
    rows_.clear();
    context_.display.refresh(kBreakpointList);
}

}  // namespace tarnwick
