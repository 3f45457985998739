#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/machine.h"
#include "disasm/disassembler.h"
#include "project/cpu_configuration.h"
#include "project/source_map.h"

namespace tarnwick {

// What the S19 commands need of the open project.
struct S19Project {
    std::string firstFile;  // the first file's name as the project holds it; empty = no files
    std::filesystem::path directory;
    std::string startText;  // the S19 start address, hex digits
};

struct S19CommandResult {
    enum Outcome { Done, Cancelled, Failed } outcome = Done;
    std::string error;              // for the error box when Failed
    std::filesystem::path written;  // the .asm to open in an editor, or the .bin
};

// A Yes/Cancel question; true for Yes.
using Confirm = std::function<bool(std::string_view question)>;

// The files the build of `project` writes: a .asm named after the first file, or `asmName`
// when given, and a .sym named after the .asm, both resolved against the project directory.
struct S19BuildOutputs {
    std::string asmName;  // as the project names them
    std::string symName;
    std::filesystem::path asmPath;
    std::filesystem::path symPath;
};
S19BuildOutputs s19BuildOutputs(const S19Project& project, std::string_view asmName = {});

// Build of an S19 project: loads the image and disassembles it from the start address into a
// .asm and a .sym named after the first file (or after `asmName` when given), asking before
// an existing .asm is replaced. Without a time the .asm's header names no date.
S19CommandResult buildS19Project(Machine& machine, CpuConfiguration& configuration,
                                 SourceMap& sourceMap, const S19Project& project,
                                 const Confirm& overwrite, const std::optional<LocalDateTime>& time,
                                 std::string_view asmName = {});

// The save-to-binary dialog: the chosen index into kEpromChoices, nullopt for Cancel.
using EpromDialog = std::function<std::optional<std::size_t>()>;

// "Save to BINary": loads the first file's .s19, lets the dialog choose and writes the .bin
// beside the project file.
S19CommandResult saveProjectToBinary(Machine& machine, CpuConfiguration& configuration,
                                     SourceMap& sourceMap, const S19Project& project,
                                     const std::filesystem::path& projectFile,
                                     const EpromDialog& dialog);

}  // namespace tarnwick
