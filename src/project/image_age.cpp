#include "project/image_age.h"

#include <algorithm>
#include <string>
#include <system_error>

#include "project/file_names.h"
#include "project/symbol_file.h"

namespace tarnwick {

namespace {

namespace fs = std::filesystem;

// The file names of the "#MODULE <name> <file>" lines; none when the file cannot be read.
std::vector<std::string> moduleFiles(const fs::path& symbolFile) {
    std::string error;
    const auto lines = readTextLines(symbolFile, error);
    std::vector<std::string> files;
    if (!lines) return files;
    for (const std::string& line : *lines) {
        LineTokens tokens(line);
        if (tokens.next() != "#MODULE") continue;
        tokens.next();
        const std::string_view file = tokens.next();
        if (!file.empty()) files.emplace_back(file);
    }
    return files;
}

}  // namespace

std::vector<fs::path> imageSources(const Project& project) {
    std::vector<fs::path> sources;
    if (project.format != ProjectFormat::Asm11 || project.files.empty()) return sources;
    const auto add = [&](std::string_view name) {
        const fs::path file =
            findIgnoringCase(resolveName(project.directory, name)).lexically_normal();
        if (std::find(sources.begin(), sources.end(), file) == sources.end())
            sources.push_back(file);
    };
    for (const std::string& file : project.files) add(file);
    // name.sym beside name.s19.
    std::string symbols = debugImage(project).s19.string();
    symbols.replace(symbols.size() - 4, 4, ".sym");
    for (const std::string& file : moduleFiles(findIgnoringCase(symbols))) add(file);
    return sources;
}

bool imageOlderThanSources(const Project& project) {
    const DebugImage image = debugImage(project);
    if (project.format != ProjectFormat::Asm11 || !image.ok()) return false;
    std::error_code error;
    const fs::file_time_type written = fs::last_write_time(findIgnoringCase(image.s19), error);
    if (error) return false;
    for (const fs::path& source : imageSources(project)) {
        const fs::file_time_type changed = fs::last_write_time(source, error);
        if (!error && changed > written) return true;
    }
    return false;
}

}  // namespace tarnwick
