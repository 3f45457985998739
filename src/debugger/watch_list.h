#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "debugger/debug_context.h"
#include "debugger/watch_entries.h"

namespace tarnwick {

class CVariableTable;

// One row of the watch list.
struct WatchRow {
    std::string name;  // a symbol, a C global, or "variable=function" for a C local
    // The watched address; for a C local (key starting with "L") the offset from IX.
    std::uint16_t address = 0;
    std::string key;
    unsigned length = 1;
    std::string value;  // as the last refresh found it
};

inline constexpr std::array<std::string_view, 5> kWatchColumnCaptions{"Name", "Addr", "Format", "L",
                                                                      "Value"};
// The row's texts in the order of kWatchColumnCaptions.
std::array<std::string, 5> watchRowTexts(const WatchRow& row);

// The watches of a debug session, shown on the project window's "Watches" page. They come
// from the project file's section "WATCH" at debug start and go back to it at debug stop.
// Every change asks the display to redraw the list.
class WatchList {
  public:
    explicit WatchList(DebugContext& context);
    WatchList(const WatchList&) = delete;
    WatchList& operator=(const WatchList&) = delete;

    const std::vector<WatchRow>& rows() const { return rows_; }

    // Appends the row with its value evaluated at once.
    void add(WatchRow row);

    // Evaluates every row again: the C evaluator in C projects, the assembly one otherwise.
    void refresh();

    // "Delete": removes the selected row; with rows but none selected the user is asked to
    // select one. An empty list does nothing.
    void deleteSelected(std::optional<std::size_t> selected);
    // "Delete All".
    void deleteAll();

    // Debug start: replaces the list by the watches of the project file (none for S19
    // projects). Entries that no longer name a symbol or variable are dropped; entries that
    // cannot be read are reported and kept for the next save, so the file loses nothing.
    void restore();
    // Debug stop: writes the list into the project file (not for S19 projects), replacing the
    // file in one step. A failure is reported and leaves the file as it was; false then.
    bool save();
    // Debug stop, after the save: empties the list.
    void clear();

  private:
    std::string evaluate(const WatchRow& row) const;
    // The problem that keeps a saved entry out of the list, empty when it goes in or drops.
    std::string restoreEntry(const std::string& text, const CVariableTable* variables);
    bool keyFitsProject(const WatchEntry& entry) const;
    bool formatHasWatches() const;

    DebugContext& context_;
    std::vector<WatchRow> rows_;
    // Saved entries this session could not take in; save writes them back after the rows.
    std::vector<std::string> keptEntries_;
    // The project file could not be read at restore: save keeps whatever entries it holds.
    bool projectFileUnread_ = false;
};

}  // namespace tarnwick
