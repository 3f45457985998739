#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

// The whole content of a regular file, byte for byte; nothing when the path names no regular
// file (missing, a folder) or reading it fails. Never throws.
std::optional<std::string> readFileText(const std::filesystem::path& path);

// A text file split into lines, kept for the next file read into it: reading one of about the
// same size again allocates nothing, where fresh buffers for every debug start would be handed
// back to the system and mapped again each time.
class TextLines {
  public:
    // The whole file, as readFileText() reads it, split on CR LF, LF or a lone CR (a final
    // terminator does not start another line). False, with no lines, when it cannot be read.
    bool read(const std::filesystem::path& path);

    // Valid until the next read.
    const std::vector<std::string_view>& lines() const { return lines_; }

  private:
    std::string text_;
    std::vector<std::string_view> lines_;
};

// Writes `text` to a new file beside `path` and renames it over `path`, so that a symbolic
// link there is replaced rather than followed, and a failed write (a full disk) leaves the
// old file as it was, never an empty or partial one. A replaced regular file's permissions
// carry over. False when anything failed; no temporary file remains then. Never throws.
bool writeFileReplacing(const std::filesystem::path& path, std::string_view text);

}  // namespace tarnwick
