#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::asm11 {

// One source file, read once and kept for both passes.
struct SourceFile {
    std::string name;  // as messages and the symbol file name it
    std::string text;
    std::vector<std::string_view> lines;  // views into text
};

// Lines end in LF or CR LF; a DOS end-of-file mark at the very end and a UTF-8 byte order mark
// at the start are dropped.
std::vector<std::string_view> splitSourceLines(std::string_view text);

// The path of an included file: beside the including file first, then in each directory
// (the main source's and those of -I).
std::optional<std::string> findInclude(std::string_view name, std::string_view includer,
                                       const std::vector<std::string>& dirs);

std::optional<std::string> readSource(const std::string& path);

}  // namespace tarnwick::asm11
