#include "project/project_commands.h"

#include <algorithm>
#include <cctype>
#include <system_error>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

bool hasProjectExtension(const fs::path& path) {
    std::string extension = path.extension().string();
    std::ranges::transform(extension, extension.begin(),
                           [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return extension == ".PRO";
}

bool fileExists(const fs::path& path) {
    std::error_code ignored;
    return fs::exists(path, ignored);
}

// A line end would split the name's line in the project file, and a tab or another control
// character is surely no name the user meant.
bool holdsControlCharacter(const fs::path& path) {
    return std::ranges::any_of(path.string(),
                               [](unsigned char c) { return c < 0x20 || c == 0x7F; });
}

// The project still opens: the cut value is what the CPU dialog would show and save.
std::string cutRangesText(const std::vector<std::string_view>& keys) {
    std::string names;
    for (const std::string_view key : keys) names += (names.empty() ? "" : ", ") + std::string(key);
    return "The memory map in section CPU (" + names + ") is longer than the " +
           std::to_string(kMaxRangeTextLength) +
           " characters the CPU Configuration dialog holds; the ranges after them are ignored";
}

}  // namespace

ProjectMenuState projectMenuState(bool projectOpen) {
    return {!projectOpen, projectOpen, projectOpen, projectOpen, !projectOpen};
}

std::string ProjectCommands::mainCaption() const {
    return open_ ? std::string(kProductName) + " - " + project_.fileName
                 : std::string(kProductName);
}

std::string ProjectCommands::projectWindowCaption() const {
    return open_ ? project_.path.string() : "Project";
}

AddFilter ProjectCommands::addDialogFilter() const {
    switch (project_.format) {
        case ProjectFormat::Asm11:
            return AddFilter::Assembler;
        case ProjectFormat::S19:
            return AddFilter::S19;
        case ProjectFormat::Icc11:
            return AddFilter::IccDbg;
        case ProjectFormat::None:
            break;
    }
    return AddFilter::AnyFile;
}

void ProjectCommands::recordLastProject(const std::string& path) {
    settings_.lastProject = path;
    store_.writeString(kLastProjectKey, path);
}

void ProjectCommands::enterOpenState() {
    open_ = true;
    recordLastProject(project_.path.string());
    selectedFile_ = project_.files.empty() ? std::nullopt : std::optional<std::size_t>(0);
}

void ProjectCommands::newProject(const std::optional<fs::path>& chosen) {
    if (!chosen) return;
    if (holdsControlCharacter(*chosen)) {
        ui_.showError(kControlCharacterText);
        return;
    }
    // The dialog's default extension: a name typed without one still makes a file Open takes.
    fs::path path = *chosen;
    if (path.extension().empty()) path += ".pro";
    if (fileExists(path) && !ui_.askYesNo("OK to overwrite " + path.string() + " ?")) return;

    // Everything is gathered on a draft; only a completed New touches the file and the model.
    Project draft = project_;
    draft.setPath(path);
    draft.files.clear();
    const auto format = ui_.chooseFormat();
    if (!format) return;
    draft.format = *format;

    IniDocument document;
    writeFormat(document, draft.format);
    if (draft.format == ProjectFormat::Asm11) {
        if (!ui_.editAsm11Options(draft.asm11Options)) return;
        writeAsm11Options(document, draft.asm11Options);
    } else if (draft.format == ProjectFormat::S19) {
        if (!ui_.editS19Start(draft.s19Start)) return;
        writeS19Start(document, draft.s19Start);
    }
    if (!ui_.editCpuConfiguration(draft.cpu)) return;
    writeCpuConfiguration(document, draft.cpu);

    try {
        writeIniFile(draft.path, document);
    } catch (const FileError& error) {
        ui_.showError(error.what());
        return;
    }
    project_ = std::move(draft);
    project_.cpu.applyMemoryMap(memory_);
    enterOpenState();
}

void ProjectCommands::open(const std::optional<fs::path>& chosen) {
    if (!chosen) return;
    if (!fileExists(*chosen)) {
        ui_.showError("Project file cannot be found");
        return;
    }
    openPath(*chosen, "Project file is wrong");
}

void ProjectCommands::openLast() {
    const fs::path path = settings_.lastProject;
    if (!fileExists(path)) {
        ui_.showError("Project file cannot be found");
        recordLastProject("");
        return;
    }
    openPath(path, "Project file is invalid");
}

void ProjectCommands::openPath(const fs::path& path, std::string_view wrongExtension) {
    if (!hasProjectExtension(path)) {
        ui_.showError(wrongExtension);
        return;
    }
    // Read before anything changes, so an unreadable file leaves the program as it was.
    IniDocument document;
    try {
        document = readIniFile(path);
    } catch (const FileError& error) {
        ui_.showError(error.what());
        return;
    }
    project_.setPath(path);
    const auto cut = readProjectFile(document, project_, memory_);
    enterOpenState();
    if (!cut.empty()) ui_.showInformation(cutRangesText(cut));
}

void ProjectCommands::close() {
    open_ = false;
    project_.files.clear();
    selectedFile_.reset();
    project_.cpu.reset();
    project_.asm11Options = Asm11Options();
}

bool ProjectCommands::saveFileList(std::vector<std::string> files) {
    try {
        updateProjectFile(project_.path,
                          [&](IniDocument& document) { writeFileList(document, files); });
    } catch (const FileError& error) {
        ui_.showError(error.what());
        return false;
    }
    project_.files = std::move(files);
    return true;
}

void ProjectCommands::addFile(const std::optional<fs::path>& chosen) {
    if (!chosen) return;
    if (holdsControlCharacter(*chosen)) {
        ui_.showError(kControlCharacterText);
        return;
    }
    if (project_.files.size() >= kMaxProjectFiles) {
        ui_.showError("A project holds at most " + std::to_string(kMaxProjectFiles) + " files");
        return;
    }
    const std::string directory =
        chosen->parent_path().string() + static_cast<char>(fs::path::preferred_separator);
    std::vector<std::string> files = project_.files;
    files.push_back(directory == project_.directory ? chosen->filename().string()
                                                    : chosen->string());
    if (saveFileList(std::move(files))) selectedFile_ = project_.files.size() - 1;
}

void ProjectCommands::removeFile(std::optional<std::size_t> selected) {
    if (!selected || *selected >= project_.files.size()) return;
    std::vector<std::string> files = project_.files;
    files.erase(files.begin() + static_cast<std::ptrdiff_t>(*selected));
    if (!saveFileList(std::move(files))) return;
    selectedFile_ = project_.files.empty() ? std::nullopt : std::optional<std::size_t>(0);
}

void ProjectCommands::options() {
    try {
        if (project_.format == ProjectFormat::Asm11) {
            Asm11Options edited = project_.asm11Options;
            if (!ui_.editAsm11Options(edited)) return;
            updateProjectFile(project_.path,
                              [&](IniDocument& document) { writeAsm11Options(document, edited); });
            project_.asm11Options = std::move(edited);
        } else if (project_.format == ProjectFormat::S19) {
            std::string edited = project_.s19Start;
            if (!ui_.editS19Start(edited)) return;
            updateProjectFile(project_.path,
                              [&](IniDocument& document) { writeS19Start(document, edited); });
            project_.s19Start = std::move(edited);
        } else if (project_.format == ProjectFormat::Icc11) {
            ui_.showInformation("No project options for ICC format");
        }
    } catch (const FileError& error) {
        ui_.showError(error.what());
    }
}

}  // namespace tarnwick
