#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "project/ini_file.h"

namespace tarnwick {

// A watch as the project file keeps it: "name key length", single spaces between.
struct WatchEntry {
    std::string name;  // a symbol, a C global, or "variable=function" for a C local
    std::string key;
    unsigned length = 1;  // 1 to 32
};

std::string watchEntryText(const WatchEntry& entry);

// None unless the text is exactly three words with a decimal length; a length of 0 counts as
// 1 and one above 32 as 32.
std::optional<WatchEntry> parseWatchEntry(std::string_view text);

// The texts of section "WATCH": "Name0" up to "Count" - 1. `problem` says why the section did
// not read as written: without a usable Count, every NameN key is taken in index order rather
// than none, so that the next save does not drop them.
struct SavedWatches {
    std::vector<std::string> entries;
    std::string problem;
};
SavedWatches readSavedWatches(const IniDocument& document);

}  // namespace tarnwick
