#include "base/file_text.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
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

bool writeFileReplacing(const std::filesystem::path& path, std::string_view text) {
    if (path.filename().empty()) return false;
    std::random_device random;
    std::filesystem::path temporary;
    std::FILE* file = nullptr;
    // "x" creates the file exclusively, never through a link placed under its name; another
    // name is tried when one is taken.
    for (int attempt = 0; attempt < 8 && !file; ++attempt) {
        temporary = path.parent_path() /
                    ("." + path.filename().string() + ".tmp" + std::to_string(random() % 1000000));
        file = std::fopen(temporary.c_str(), "wbx");
    }
    if (!file) return false;
    bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    written = std::fflush(file) == 0 && written;
    written = std::fclose(file) == 0 && written;

    std::error_code error;
    const std::filesystem::file_status old = std::filesystem::symlink_status(path, error);
    if (written && std::filesystem::is_regular_file(old))
        std::filesystem::permissions(temporary, old.permissions(), error);
    if (written) {
        std::filesystem::rename(temporary, path, error);
        if (!error) return true;
    }
    std::filesystem::remove(temporary, error);
    return false;
}

}  // namespace tarnwick
