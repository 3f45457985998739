#include "core/file_text.h"

#include <fstream>
#include <iterator>
#include <system_error>

namespace tarnwick {

std::optional<std::string> readFileText(const std::filesystem::path& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return std::nullopt;
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    // The stream buffer reports a failing read (EIO, a file that became a folder) by throwing
    // even with the stream's exceptions off.
    try {
        std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        if (file.bad()) return std::nullopt;
        return text;
    } catch (const std::ios_base::failure&) {
        return std::nullopt;
    }
}

}  // namespace tarnwick
