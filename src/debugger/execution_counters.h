#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include "debugger/breakpoint_list.h"
#include "debugger/debug_context.h"

namespace tarnwick {

// The execution counters of a debug session. The simulator counts the executions of every
// address all the time; a counter row makes one line's count visible and starts it from 0.
// Each row is mirrored by the counter marker of its editor line. Counters never stop a run.
// The view holds the selection and passes it in.
class ExecutionCounterList {
  public:
    explicit ExecutionCounterList(DebugContext& context) : context_(context) {}

    const std::vector<SourceLineRow>& rows() const { return rows_; }
    std::filesystem::path rowFile(const SourceLineRow& row) const;
    std::optional<std::uint16_t> rowAddress(const SourceLineRow& row) const;
    // The selected row; null, after telling the user to select one, when there is none.
    const SourceLineRow* selectedRow(std::optional<std::size_t> selected) const;

    // Menu and pop-up "Toggle Counter": the active editor's file at the caret line.
    void toggleAtCaret();
    // A 0-based line of a file; lines without code are left alone.
    void toggle(const std::filesystem::path& file, int line);

    // "&Delete" and the Del key on the list.
    void deleteRow(std::optional<std::size_t> selected);
    // "Delete &All" and the menu "Delete All Counters".
    void deleteAll();
    // "&Reset" on the list: the selected row's count starts again from 0.
    void resetRow(std::optional<std::size_t> selected);
    // Double-click, Enter or "&View Source" on a row.
    void viewSource(std::optional<std::size_t> selected);

    // After every run command: shows each row's execution count.
    void refresh();
    // Program Reset.
    void resetAll();
    // Session stop: empties the list and leaves counts and markers to the session.
    void clear();

  private:
    void remove(const std::filesystem::path& file, int line);

    DebugContext& context_;
    std::vector<SourceLineRow> rows_;
};

}  // namespace tarnwick
