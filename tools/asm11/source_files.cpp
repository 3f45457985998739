#include "asm11/source_files.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "base/file_text.h"

namespace tarnwick::asm11 {

namespace fs = std::filesystem;

std::vector<std::string_view> splitSourceLines(std::string_view text) {
    while (!text.empty() && text.back() == '\x1A') text.remove_suffix(1);
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);  // UTF-8 byte order mark
    std::vector<std::string_view> lines;
    // Lines end in LF, CR LF or a lone CR. Without a CR, find() runs through each line at once.
    if (text.find('\r') == std::string_view::npos) {
        // Counted first, so that the vector never moves its lines as it grows.
        lines.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
        for (std::size_t begin = 0; begin < text.size();) {
            const std::size_t end = std::min(text.find('\n', begin), text.size());
            lines.push_back(text.substr(begin, end - begin));
            begin = end + 1;
        }
        return lines;
    }
    std::size_t begin = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\n' && text[i] != '\r') continue;
        lines.push_back(text.substr(begin, i - begin));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        begin = i + 1;
    }
    if (begin < text.size()) lines.push_back(text.substr(begin));
    return lines;
}

namespace {

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

// The entries of `directory` whose names equal `name` in any case: the exact one first, then
// the rest in sorted order, so that the choice never depends on the order the disk lists them.
std::vector<fs::path> namesInAnyCase(const fs::path& directory, const std::string& name) {
    std::vector<fs::path> exact;
    std::vector<fs::path> others;
    std::error_code error;
    fs::directory_iterator entries(directory.empty() ? fs::path(".") : directory, error);
    for (; !error && entries != fs::directory_iterator(); entries.increment(error)) {
        const std::string entry = entries->path().filename().string();
        if (entry == name)
            exact.push_back(directory / entry);
        else if (sameIgnoringCase(entry, name))
            others.push_back(directory / entry);
    }
    std::sort(others.begin(), others.end());
    exact.insert(exact.end(), others.begin(), others.end());
    return exact;
}

// Follows `parts` down from `base`, each directory and the file name in any case; a folder
// that leads nowhere gives way to the next spelling.
std::optional<fs::path> resolveInAnyCase(const fs::path& base,
                                         const std::vector<std::string>& parts, std::size_t next) {
    std::error_code error;
    if (next == parts.size()) {
        if (fs::is_regular_file(base, error)) return base;
        return std::nullopt;
    }
    const std::string& part = parts[next];
    if (part == "." || part == "..") return resolveInAnyCase(base / part, parts, next + 1);
    for (const fs::path& spelling : namesInAnyCase(base, part)) {
        if (next + 1 < parts.size() && !fs::is_directory(spelling, error)) continue;
        if (std::optional<fs::path> found = resolveInAnyCase(spelling, parts, next + 1))
            return found;
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> findInclude(std::string_view name, std::string_view includer,
                                       const std::vector<std::string>& dirs) {
    // Sources from DOS name their includes with backslashes and in any case.
    std::string portable(name);
    std::replace(portable.begin(), portable.end(), '\\', '/');
    const fs::path file(portable);
    std::vector<std::string> parts;
    for (const fs::path& part : file.relative_path())
        if (!part.empty()) parts.push_back(part.string());

    std::vector<fs::path> bases;
    if (file.is_absolute()) {
        bases.push_back(file.root_path());
    } else {
        bases.push_back(fs::path(includer).parent_path());
        for (const std::string& dir : dirs) bases.push_back(dir);
    }
    for (const fs::path& base : bases) {
        std::error_code error;
        if (fs::is_regular_file(base / file.relative_path(), error))
            return (base / file.relative_path()).lexically_normal().string();
        if (const std::optional<fs::path> found = resolveInAnyCase(base, parts, 0))
            return found->lexically_normal().string();
    }
    return std::nullopt;
}

std::optional<std::string> readSource(const std::string& path) {
    return readFileText(path);
}

std::optional<OverwrittenInput> findOverwrittenInput(const std::vector<std::string>& inputs,
                                                     const std::vector<std::string>& outputs) {
    const auto same = [](const fs::path& a, const fs::path& b) {
        std::error_code error;
        if (fs::exists(a, error) && fs::exists(b, error)) return fs::equivalent(a, b, error);
        return fs::absolute(a, error).lexically_normal() ==
               fs::absolute(b, error).lexically_normal();
    };
    for (const std::string& input : inputs)
        for (const std::string& output : outputs)
            if (same(input, output)) return OverwrittenInput{input, output};
    return std::nullopt;
}

}  // namespace tarnwick::asm11
