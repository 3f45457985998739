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

// What the breakpoint list and the counter list share: rows of source lines, each mirrored by
// one marker bit of its editor line, toggled from the caret or the gutter and deleted from the
// list. The view holds the selection and passes it in.
class SourceLineList {
  public:
    SourceLineList(const SourceLineList&) = delete;
    SourceLineList& operator=(const SourceLineList&) = delete;

    const std::vector<SourceLineRow>& rows() const { return rows_; }
    std::filesystem::path rowFile(const SourceLineRow& row) const;
    std::optional<std::uint16_t> rowAddress(const SourceLineRow& row) const;
    // The selected row; without one the user is told to select one.
    const SourceLineRow* selectedRow(std::optional<std::size_t> selected) const;

    // The menu entry: the active editor's file at the caret line.
    void toggleAtCaret();
    // A gutter click on a 0-based line. Lines without code are left alone.
    void toggle(const std::filesystem::path& file, int line);
    // "&Delete" and the Del key on the list.
    void deleteRow(std::optional<std::size_t> selected);
    // "Delete &All" and the menu entry.
    void deleteAll();
    // Session stop: empties the list and leaves addresses and markers to the session.
    void clear();

  protected:
    SourceLineList(DebugContext& context, MarkerBits marker, DebugView view)
        : context_(context), marker_(marker), view_(view) {}
    ~SourceLineList() = default;

    // The list's own part of toggling a 1-based line on and off.
    virtual void add(const std::filesystem::path& file, int line, std::uint16_t address) = 0;
    virtual void remove(const std::filesystem::path& file, int line) = 0;
    // Removes the rows of the file's 1-based line; how many there were.
    std::size_t eraseRows(const std::filesystem::path& file, int line);

    DebugContext& context_;
    std::vector<SourceLineRow> rows_;

  private:
    MarkerBits marker_;
    DebugView view_;
};

}  // namespace tarnwick
