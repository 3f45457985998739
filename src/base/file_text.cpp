#include "base/file_text.h"

#include <algorithm>
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

bool TextLines::read(const std::filesystem::path& path) {
    text_.clear();
    lines_.clear();
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return false;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    // As much as the file held when asked, then whatever it has grown by since.
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    text_.resize(error ? 0 : static_cast<std::size_t>(size));
    text_.resize(std::fread(text_.data(), 1, text_.size(), file));
    char chunk[4096];
    while (const std::size_t more = std::fread(chunk, 1, sizeof chunk, file))
        text_.append(chunk, more);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        text_.clear();
        return false;
    }

    const std::string_view text = text_;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find_first_of("\r\n", start), text.size());
        lines_.push_back(text.substr(start, end - start));
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return true;
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
