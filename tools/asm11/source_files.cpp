#include "asm11/source_files.h"

#include <filesystem>

#include "core/file_text.h"

namespace tarnwick::asm11 {

namespace fs = std::filesystem;

std::vector<std::string_view> splitSourceLines(std::string_view text) {
    while (!text.empty() && text.back() == '\x1A') text.remove_suffix(1);
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);  // UTF-8 byte order mark
    std::vector<std::string_view> lines;
    // Lines end in LF, CR LF or a lone CR.
    while (!text.empty()) {
        const std::size_t end = text.find_first_of("\r\n");
        lines.push_back(text.substr(0, end));
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1));
    }
    return lines;
}

std::optional<std::string> findInclude(std::string_view name, std::string_view includer,
                                       const std::vector<std::string>& dirs) {
    const fs::path file(name);
    std::vector<fs::path> candidates;
    if (file.is_absolute()) {
        candidates.push_back(file);
    } else {
        candidates.push_back(fs::path(includer).parent_path() / file);
        for (const std::string& dir : dirs) candidates.push_back(fs::path(dir) / file);
    }
    for (const fs::path& candidate : candidates) {
        std::error_code error;
        if (fs::is_regular_file(candidate, error)) return candidate.lexically_normal().string();
    }
    return std::nullopt;
}

std::optional<std::string> readSource(const std::string& path) {
    return readFileText(path);
}

}  // namespace tarnwick::asm11
