#pragma once

#include <array>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/address_record.h"
#include "project/assembler_build.h"
#include "project/cpu_configuration.h"
#include "project/ini_file.h"

namespace tarnwick {

enum class ProjectFormat { None = 0, Asm11 = 1, S19 = 2, Icc11 = 3 };

// "ASM11", "S19", "ICC11" as key "Format" holds them; empty for None.
std::string_view formatName(ProjectFormat format);
// The item of the Project Format dialog.
std::string_view formatDialogItem(ProjectFormat format);
std::optional<ProjectFormat> formatFromName(std::string_view name);

// The file list holds at most this many entries; further FILES keys are not read and Add
// refuses a file beyond it.
inline constexpr std::size_t kMaxProjectFiles = 255;

// Build and Debug Start of a project whose file named none of the formats.
inline constexpr std::string_view kNoFormatText =
    "The project file gives no format: its section PROJECT needs Format=ASM11, Format=S19 or "
    "Format=ICC11";

struct Project {
    std::filesystem::path path;  // the .pro file, absolute
    std::string directory;       // ends with the separator
    std::string fileName;
    ProjectFormat format = ProjectFormat::None;
    // As stored: a bare name for a file in the project directory, a full path otherwise.
    std::vector<std::string> files;
    Asm11Options asm11Options;
    std::string s19Start;
    CpuConfiguration cpu;

    // Sets the path, the directory and the file name.
    void setPath(const std::filesystem::path& projectPath);
};

// Reading a project file: "Format" (an unknown name keeps the format as it was), the ASM11
// keys for ASM11 or "Start" for S19, section "CPU" through the CPU configuration, which also
// applies the memory map, and the file list. Returns the CPU keys whose range texts were cut
// to what the CPU dialog holds.
std::vector<std::string_view> readProjectFile(const IniDocument& document, Project& project,
                                              AddressSpace& memory);

// Writers of the sections, each replacing only its own keys; the file list and the watch
// list empty their section first (it keeps its place in the file).
void writeFormat(IniDocument& document, ProjectFormat format);
void writeAsm11Options(IniDocument& document, const Asm11Options& options);
void writeS19Start(IniDocument& document, std::string_view start);
void writeCpuConfiguration(IniDocument& document, const CpuConfiguration& cpu);
void writeFileList(IniDocument& document, const std::vector<std::string>& files);

// Section "WATCH": one text per watch, its tokens as the watch list forms them.
std::vector<std::string> readWatches(const IniDocument& document);
void writeWatches(IniDocument& document, const std::vector<std::string>& watches);

// Reads the file, lets `change` write its keys and saves it atomically. Throws FileError.
template <typename Change>
void updateProjectFile(const std::filesystem::path& path, Change&& change) {
    IniDocument document = readIniFile(path);
    change(document);
    writeIniFile(path, document);
}

// The first project file, resolved against the project directory.
std::filesystem::path firstFilePath(const Project& project);

// The S19 image a debug start loads: name.s19 of the first file for ASM11 and ICC11
// projects, the first file itself for S19 projects. `error` holds the start's message when
// the file list does not allow a start.
struct DebugImage {
    std::filesystem::path s19;
    std::string error;
    bool ok() const { return error.empty(); }
};
DebugImage debugImage(const Project& project);

}  // namespace tarnwick
