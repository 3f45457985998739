#include "debugger/source_line_list.h"

#include <cctype>

#include "project/symbol_file.h"

namespace tarnwick {

namespace {

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

std::filesystem::path SourceLineList::rowFile(const SourceLineRow& row) const {
    return rowFilePath(context_.projectDirectory(), row.file);
}

std::optional<std::uint16_t> SourceLineList::rowAddress(const SourceLineRow& row) const {
    return lineAddress(context_, rowFile(row), row.line);
}

const SourceLineRow* SourceLineList::selectedRow(std::optional<std::size_t> selected) const {
    if (selected && *selected < rows_.size()) return &rows_[*selected];
    context_.host.showInformation(kNoItemSelected);
    return nullptr;
}

void SourceLineList::toggleAtCaret() {
    const auto file = context_.editor.activeFile();
    if (file) toggle(*file, context_.editor.caretLine());
}

void SourceLineList::toggle(const std::filesystem::path& file, int line) {
    SourceEditor& editor = context_.editor;
    const MarkerBits markers = editor.markers(file, line);
    if (markers & marker_) {
        removeMarkers(editor, file, line, marker_);
        remove(file, line + 1);
        restyleLine(editor, file, line);
        return;
    }
    if (!(markers & kCodeLineMarker)) return;
    const auto address = lineAddress(context_, file, line + 1);
    if (!address) return;
    addMarkers(editor, file, line, marker_);
    add(file, line + 1, *address);
    restyleLine(editor, file, line);
}

void SourceLineList::deleteRow(std::optional<std::size_t> selected) {
    if (rows_.empty()) return;
    const SourceLineRow* row = selectedRow(selected);
    if (!row) return;
    const std::filesystem::path file = rowFile(*row);
    const int line = row->line;
    // The row goes even when its file has no page, or Delete All would never end.
    removeMarkers(context_.editor, file, line - 1, marker_);
    remove(file, line);
    restyleLine(context_.editor, file, line - 1);
}

void SourceLineList::deleteAll() {
    while (!rows_.empty()) deleteRow(0);
}

void SourceLineList::clear() {
    rows_.clear();
    context_.display.refresh(view_);
}

std::size_t SourceLineList::eraseRows(const std::filesystem::path& file, int line) {
    const std::string fileText = rowFileText(context_.projectDirectory(), file);
    return std::erase_if(
        rows_, [&](const SourceLineRow& row) { return row.file == fileText && row.line == line; });
}

}  // namespace tarnwick
