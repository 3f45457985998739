#include "project/project.h"

#include <algorithm>
#include <charconv>
#include <map>

#include "project/file_names.h"

namespace tarnwick {
namespace {

constexpr std::string_view kProjectSection = "PROJECT";
constexpr std::string_view kAsm11Section = "ASM11";
constexpr std::string_view kS19Section = "S19";
constexpr std::string_view kCpuSection = "CPU";
constexpr std::string_view kFilesSection = "FILES";
constexpr std::string_view kWatchSection = "WATCH";

struct FormatNames {
    ProjectFormat format;
    std::string_view name;
    std::string_view dialogItem;
};
constexpr std::array<FormatNames, 3> kFormats{{
    {ProjectFormat::Asm11, "ASM11", "Vexo - ASM11"},
    {ProjectFormat::S19, "S19", "S19"},
    {ProjectFormat::Icc11, "ICC11", "ICC11"},
}};

const FormatNames* findFormat(ProjectFormat format) {
    const auto found = std::ranges::find(kFormats, format, &FormatNames::format);
    return found == kFormats.end() ? nullptr : &*found;
}

// A missing or malformed count reads as 0, as profile readers take it.
std::size_t readCount(const IniDocument& document, std::string_view section, std::size_t max) {
    const std::string text = document.value(section, "Count").value_or("");
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 0) return 0;
    return std::min(static_cast<std::size_t>(value), max);
}

std::vector<std::string> readList(const IniDocument& document, std::string_view section,
                                  std::string_view prefix, std::size_t max) {
    const std::size_t count = readCount(document, section, max);
    // The keys present decide the work, not Count: a damaged Count of two billion must not
    // make the reader look up two billion keys.
    std::map<std::size_t, std::string> numbered;
    for (const std::string& key : document.keys(section)) {
        if (key.size() <= prefix.size() || key.compare(0, prefix.size(), prefix) != 0) continue;
        std::size_t index = 0;
        const char* first = key.data() + prefix.size();
        const char* last = key.data() + key.size();
        const auto [end, error] = std::from_chars(first, last, index);
        if (error != std::errc() || end != last || index >= count) continue;
        if (std::to_string(index) != std::string_view(first, last)) continue;  // "Name01"
        numbered.emplace(index, *document.value(section, key));
    }
    std::vector<std::string> items;
    for (auto& [index, item] : numbered) items.push_back(std::move(item));
    return items;
}

void writeList(IniDocument& document, std::string_view section, std::string_view prefix,
               const std::vector<std::string>& items) {
    document.clearSection(section);
    document.setValue(section, "Count", std::to_string(items.size()));
    for (std::size_t i = 0; i < items.size(); ++i)
        document.setValue(section, std::string(prefix) + std::to_string(i), items[i]);
}

std::string withoutExtension(const std::string& name) {
    return name.substr(0, name.size() >= 4 ? name.size() - 4 : 0);
}

}  // namespace

std::string_view formatName(ProjectFormat format) {
    const FormatNames* names = findFormat(format);
    return names ? names->name : std::string_view();
}

std::string_view formatDialogItem(ProjectFormat format) {
    const FormatNames* names = findFormat(format);
    return names ? names->dialogItem : std::string_view();
}

std::optional<ProjectFormat> formatFromName(std::string_view name) {
    const auto found = std::ranges::find(kFormats, name, &FormatNames::name);
    return found == kFormats.end() ? std::nullopt : std::optional(found->format);
}

void Project::setPath(const std::filesystem::path& projectPath) {
    path = std::filesystem::absolute(projectPath);
    directory =
        path.parent_path().string() + static_cast<char>(std::filesystem::path::preferred_separator);
    fileName = path.filename().string();
}

std::vector<std::string_view> readProjectFile(const IniDocument& document, Project& project,
                                              AddressSpace& memory) {
    if (const auto format = formatFromName(document.value(kProjectSection, "Format").value_or("")))
        project.format = *format;
    if (project.format == ProjectFormat::Asm11) {
        project.asm11Options.load(
            [&](std::string_view key) { return document.value(kAsm11Section, key); });
    } else if (project.format == ProjectFormat::S19) {
        project.s19Start = document.value(kS19Section, "Start").value_or("");
    }
    auto cut = project.cpu.load(
        [&](std::string_view key) { return document.value(kCpuSection, key); }, memory);
    project.files = readList(document, kFilesSection, "File", kMaxProjectFiles);
    return cut;
}

void writeFormat(IniDocument& document, ProjectFormat format) {
    document.setValue(kProjectSection, "Format", formatName(format));
}

void writeAsm11Options(IniDocument& document, const Asm11Options& options) {
    options.store([&](std::string_view key, std::string_view value) {
        document.setValue(kAsm11Section, key, value);
    });
}

void writeS19Start(IniDocument& document, std::string_view start) {
    document.setValue(kS19Section, "Start", start);
}

void writeCpuConfiguration(IniDocument& document, const CpuConfiguration& cpu) {
    cpu.store([&](std::string_view key, std::string_view value) {
        document.setValue(kCpuSection, key, value);
    });
}

void writeFileList(IniDocument& document, const std::vector<std::string>& files) {
    writeList(document, kFilesSection, "File", files);
}

std::vector<std::string> readWatches(const IniDocument& document) {
    return readList(document, kWatchSection, "Name", SIZE_MAX);
}

void writeWatches(IniDocument& document, const std::vector<std::string>& watches) {
    writeList(document, kWatchSection, "Name", watches);
}

std::filesystem::path firstFilePath(const Project& project) {
    return resolveName(project.directory, project.files.front());
}

DebugImage debugImage(const Project& project) {
    switch (project.format) {
        case ProjectFormat::Asm11:
        case ProjectFormat::S19:
            if (project.files.empty()) return {{}, "No file loaded to the project"};
            break;
        case ProjectFormat::Icc11:
            if (project.files.size() != 1)
                return {{}, "No *.dbg file / more than 1 debug file loaded to the project"};
            if (!project.files.front().ends_with(".dbg"))
                return {{}, "The project input file MUST be a *.dbg file"};
            break;
        case ProjectFormat::None:
            return {{}, "The project has no format"};
    }
    const std::string first = firstFilePath(project).string();
    return {project.format == ProjectFormat::S19 ? first : withoutExtension(first) + ".s19", {}};
}

}  // namespace tarnwick
