#include "project/file_names.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <system_error>

namespace tarnwick {
namespace {

bool isLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

char upper(char c) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

bool equalIgnoringCase(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return upper(x) == upper(y); });
}

}  // namespace

// A leading "\" counts as absolute too: it is the same separator as "/".
bool isAbsoluteName(std::string_view name) {
    if (!name.empty() && (name[0] == '/' || name[0] == '\\')) return true;
    return name.size() >= 2 && isLetter(name[0]) && name[1] == ':';
}

std::filesystem::path resolveName(const std::filesystem::path& projectDirectory,
                                  std::string_view name) {
    std::string portable(name);
    std::replace(portable.begin(), portable.end(), '\\', '/');
    if (isAbsoluteName(name)) return std::filesystem::path(portable);
    return projectDirectory / portable;
}

std::filesystem::path findIgnoringCase(const std::filesystem::path& path) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (fs::exists(path, error) || !path.has_filename()) return path;

    const fs::path directory = path.has_parent_path() ? path.parent_path() : fs::path(".");
    const std::string wanted = path.filename().string();
    fs::path found;
    int matches = 0;
    for (fs::directory_iterator it(directory, error), end; !error && it != end;
         it.increment(error)) {
        std::error_code entryError;
        if (it->is_directory(entryError) ||
            !equalIgnoringCase(it->path().filename().string(), wanted))
            continue;
        found = path.has_parent_path() ? it->path() : it->path().filename();
        ++matches;
    }
    // Two names that differ only in case leave no single candidate.
    return matches == 1 ? found : path;
}

}  // namespace tarnwick
