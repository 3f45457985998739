#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "debugger/debug_context.h"

namespace tarnwick {

// One row of the breakpoint list or the counter list. The address text is fixed when the row
// is made; every operation recomputes the address from the file and line instead.
struct SourceLineRow {
    std::string file;     // "Filename": the bare name inside the project directory, else the path
    int line = 0;         // "Line", 1-based
    std::string address;  // "Address", 4 hex digits
    std::string count;    // "Hit" ("2 of 3") or "Pass" (the execution count)
};

// The lists' answer to a command that needs a selected row.
inline constexpr std::string_view kNoItemSelected = "No item selected, please select one";

// The breakpoint and counter lists name and find files alike.
std::string rowFileText(const std::filesystem::path& projectDirectory,
                        const std::filesystem::path& file);
// A file text without a directory part lies in the project directory.
std::filesystem::path rowFilePath(const std::filesystem::path& projectDirectory,
                                  const std::string& fileText);
// The first address of the 1-based line of the file; none when the source map has no code
// for it (the lookup's 0000 is taken only when address 0000 really belongs to that line).
std::optional<std::uint16_t> lineAddress(const DebugContext& context,
                                         const std::filesystem::path& file, int line);

// The breakpoints of a debug session. The list is the only record of which lines carry
// breakpoints; each row is mirrored by the breakpoint fields of its address and by the
// breakpoint marker of its editor line, and this class keeps the three and the active stop
// count in step. The view holds the selection and passes it in.
class BreakpointList {
  public:
    explicit BreakpointList(DebugContext& context) : context_(context) {}

    const std::vector<SourceLineRow>& rows() const { return rows_; }
    std::filesystem::path rowFile(const SourceLineRow& row) const;
    std::optional<std::uint16_t> rowAddress(const SourceLineRow& row) const;
    // The selected row; null, after telling the user to select one, when there is none.
    const SourceLineRow* selectedRow(std::optional<std::size_t> selected) const;

    // F5: the active editor's file at the caret line.
    void toggleAtCaret();
    // A gutter click on a 0-based line. Lines without code are left alone.
    void toggle(const std::filesystem::path& file, int line);

    // "&Delete" and the Del key on the list.
    void deleteRow(std::optional<std::size_t> selected);
    // "Delete &All" and the menu "Delete All Breakpoints".
    void deleteAll();
    // Double-click, Enter or "&View Source" on a row.
    void viewSource(std::optional<std::size_t> selected);
    // A click on a column header (0 = "Filename").
    void columnClicked(int column);

    // After every run command: shows each row's hit, and starts a breakpoint that has just
    // stopped a run counting again from 0.
    void refresh();
    // Program Reset.
    void resetAllHits();
    // Session stop: empties the list and leaves addresses and markers to the session.
    void clear();

  private:
    void add(const std::filesystem::path& file, int line, std::uint16_t address);
    void remove(const std::filesystem::path& file, int line);
    std::string hitText(std::uint16_t address) const;

    DebugContext& context_;
    std::vector<SourceLineRow> rows_;
};

}  // namespace tarnwick
