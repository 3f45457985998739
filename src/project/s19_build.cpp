#include "project/s19_build.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <system_error>

#include "disasm/binary_export.h"
#include "disasm/disassembly_export.h"
#include "project/file_names.h"
#include "project/s19_loader.h"

namespace tarnwick {
namespace {

S19CommandResult failed(std::string error) {
    return {S19CommandResult::Failed, std::move(error), {}};
}

std::string upperCase(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// The name without its last four characters (the extension with its dot).
std::string withExtension(std::string_view name, std::string_view extension) {
    return std::string(name.substr(0, name.size() - std::min<std::size_t>(4, name.size()))) +
           std::string(extension);
}

std::optional<std::uint16_t> parseStart(std::string_view text) {
    if (text.empty() || text.size() > 4) return std::nullopt;
    unsigned value = 0;
    for (const char c : text) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
        value = value << 4 |
                static_cast<unsigned>(std::isdigit(static_cast<unsigned char>(c))
                                          ? c - '0'
                                          : std::toupper(static_cast<unsigned char>(c)) - 'A' + 10);
    }
    return static_cast<std::uint16_t>(value);
}

bool fileExists(const std::filesystem::path& path) {
    std::error_code ignored;
    return std::filesystem::is_regular_file(path, ignored);
}

}  // namespace

S19BuildOutputs s19BuildOutputs(const S19Project& project, std::string_view asmName) {
    S19BuildOutputs outputs;
    outputs.asmName =
        asmName.empty() ? withExtension(project.firstFile, ".asm") : std::string(asmName);
    outputs.symName = withExtension(outputs.asmName, ".sym");
    outputs.asmPath = resolveName(project.directory, outputs.asmName);
    outputs.symPath = resolveName(project.directory, outputs.symName);
    return outputs;
}

S19CommandResult buildS19Project(Machine& machine, CpuConfiguration& configuration,
                                 SourceMap& sourceMap, const S19Project& project,
                                 const Confirm& overwrite, const std::optional<LocalDateTime>& time,
                                 std::string_view asmName) {
    if (project.firstFile.empty()) return failed("No file loaded to the project");
    const std::string extension = std::filesystem::path(project.firstFile).extension().string();
    if (upperCase(extension) != ".S19") return failed("The file is not an S19 file");
    if (project.startText.empty()) return failed("S19 start address is wrong");

    const S19LoadResult load =
        loadS19Image(machine, configuration, sourceMap,
                     findIgnoringCase(resolveName(project.directory, project.firstFile)));
    if (!load.ok()) return failed(load.message);

    const S19BuildOutputs outputs = s19BuildOutputs(project, asmName);
    if (fileExists(outputs.asmPath) && !overwrite("The ASM file already exists, overwrite?"))
        return {S19CommandResult::Cancelled, {}, {}};

    const std::optional<std::uint16_t> start = parseStart(project.startText);
    if (!start) return failed("'" + project.startText + "' is not a valid hex address");
    const std::string error = exportDisassembly(machine, project.directory, outputs.asmName,
                                                outputs.symName, *start, time);
    if (!error.empty()) return failed(error);
    return {S19CommandResult::Done, {}, outputs.asmPath};
}

S19CommandResult saveProjectToBinary(Machine& machine, CpuConfiguration& configuration,
                                     SourceMap& sourceMap, const S19Project& project,
                                     const std::filesystem::path& projectFile,
                                     const EpromDialog& dialog) {
    if (project.firstFile.empty()) return failed("No file loaded to the project");
    const std::filesystem::path s19 =
        findIgnoringCase(resolveName(project.directory, withExtension(project.firstFile, ".s19")));
    if (!fileExists(s19)) return failed("The S19 file cannot be found");

    const S19LoadResult load = loadS19Image(machine, configuration, sourceMap, s19);
    if (!load.ok()) return failed(load.message);

    const std::optional<std::size_t> choice = dialog();
    if (!choice) return {S19CommandResult::Cancelled, {}, {}};
    const std::string error = saveBinary(machine, projectFile, *choice);
    if (!error.empty()) return failed(error);
    return {S19CommandResult::Done, {}, binaryFileName(projectFile)};
}

}  // namespace tarnwick
