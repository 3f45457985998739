#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace tarnwick {

// The whole content of a regular file, byte for byte; nothing when the path names no regular
// file (missing, a folder) or reading it fails. Never throws.
std::optional<std::string> readFileText(const std::filesystem::path& path);

}  // namespace tarnwick
