#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tarnwick {

// The whole content of a regular file, byte for byte; nothing when the path names no regular
// file (missing, a folder) or reading it fails. Never throws.
std::optional<std::string> readFileText(const std::filesystem::path& path);

// Writes `text` to a new file beside `path` and renames it over `path`, so that a symbolic
// link there is replaced rather than followed, and a failed write (a full disk) leaves the
// old file as it was, never an empty or partial one. A replaced regular file's permissions
// carry over. False when anything failed; no temporary file remains then. Never throws.
bool writeFileReplacing(const std::filesystem::path& path, std::string_view text);

}  // namespace tarnwick
