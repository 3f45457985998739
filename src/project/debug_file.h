#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/machine.h"
#include "project/source_map.h"
#include "project/symbol_file.h"

namespace tarnwick {

inline constexpr std::string_view kGlobalScopeName = "Global Variable";

struct DebugFileResult : SourceReadResult {
    bool hasMainFunction = false;  // a main function at an address other than 0000
};

// Reads an ICC11 debug file (a name as the project writes it, resolved against the project
// directory) into the module table and the address records' module, line and return slot.
// `scopes` (the C watch dialog's function list) is emptied, then gets every function that has
// local variables and, last, kGlobalScopeName when there are global variables. Expects a
// freshly loaded image: a line keeps the first address seen for it, counting those already in
// memory.
DebugFileResult readDebugFile(Machine& machine, SourceMap& sourceMap,
                              const std::filesystem::path& projectDirectory,
                              std::string_view fileName, std::vector<std::string>& scopes);
// The same, reading the file into `text`, which a caller that reads again keeps for the next
// time.
DebugFileResult readDebugFile(Machine& machine, SourceMap& sourceMap,
                              const std::filesystem::path& projectDirectory,
                              std::string_view fileName, std::vector<std::string>& scopes,
                              TextLines& text);

}  // namespace tarnwick
