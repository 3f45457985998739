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
// (the main source's and those of -I). A backslash separates as a slash does. In each
// directory the name as written wins; else each folder and the file name match in any case,
// the first of the sorted spellings when several do.
std::optional<std::string> findInclude(std::string_view name, std::string_view includer,
                                       const std::vector<std::string>& dirs);

std::optional<std::string> readSource(const std::string& path);

struct OverwrittenInput {
    std::string input;
    std::string output;
};

// The first of `inputs` that one of `outputs` would overwrite: the same file when both
// exist, through links or another spelling of its path, else the same absolute path.
std::optional<OverwrittenInput> findOverwrittenInput(const std::vector<std::string>& inputs,
                                                     const std::vector<std::string>& outputs);

}  // namespace tarnwick::asm11
