#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tarnwick {

// File names as symbol, debug, error and project files write them: "/" and "\" both separate
// directories, and a name is absolute when it starts with "/" or with a drive letter and a
// colon. Everything else is relative to the project directory.

bool isAbsoluteName(std::string_view name);

// The project directory joined with a relative name; an absolute name as it is ("\" becomes
// "/").
std::filesystem::path resolveName(const std::filesystem::path& projectDirectory, std::string_view name);

// The file itself when it exists; otherwise the one file in its directory whose name matches
// without regard to letter case; otherwise the path unchanged (opening it then fails).
std::filesystem::path findIgnoringCase(const std::filesystem::path& path);

}  // namespace tarnwick
