// hc11dis: the S19-project build without the IDE. Disassembles an S19 image from a start
// address into a .asm and a .sym beside it, as the build of an S19 project does.

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "core/machine.h"
#include "hc11run/tool_host.h"
#include "project/cpu_configuration.h"
#include "project/ini_file.h"
#include "project/project.h"
#include "project/s19_build.h"
#include "project/source_map.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

constexpr const char* kUsage =
    "usage: hc11dis FILE.s19 START [-o NAME.asm] [--pro FILE.pro] [--force] [--no-date]\n"
    "  Loads FILE.s19 with the default CPU configuration and disassembles it from START (hex)\n"
    "  to FFBF, then the vector table, into FILE.asm and FILE.sym beside it.\n"
    "  -o NAME.asm    another name for the .asm (it must end in .asm), beside FILE.s19; the\n"
    "                 .sym is named after it\n"
    "  --pro FILE.pro the CPU configuration of this project file instead of the default\n"
    "  --force        replace an existing .asm or .sym, and write an -o outside the folder\n"
    "                 of FILE.s19\n"
    "  --no-date      no date in the .asm's header, so that two runs give the same files\n"
    "  --version      the program's name and version\n"
    "  The outputs never replace FILE.s19 or FILE.pro, --force or not.\n";

struct Arguments {
    std::string s19;
    std::string start;
    std::string asmName;
    std::string projectFile;
    bool force = false;
    bool noDate = false;
    bool help = false;
    bool version = false;
};

// What is wrong with the command line, empty when it is good.
std::string parse(int argc, char** argv, Arguments& arguments) {
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "-h" || argument == "--help") {
            arguments.help = true;
            return "";
        }
        if (argument == "--version") {
            arguments.version = true;
            return "";
        }
        if (argument == "--force") {
            arguments.force = true;
        } else if (argument == "--no-date") {
            arguments.noDate = true;
        } else if (argument == "-o" || argument == "--pro") {
            std::string& value = argument == "-o" ? arguments.asmName : arguments.projectFile;
            if (!value.empty()) return std::string(argument) + " given twice";
            if (i + 1 == argc) return std::string(argument) + " needs a file name";
            value = argv[++i];
        } else if (argument.starts_with("-")) {
            return "unknown option " + std::string(argument);
        } else {
            positional.emplace_back(argument);
        }
    }
    if (positional.size() != 2) return "an S19 file and a start address are needed";
    arguments.s19 = positional[0];
    arguments.start = positional[1];
    // An -o name ending in .asm can replace neither the image (the build takes only .s19
    // files) nor the .sym written beside it.
    if (arguments.asmName.empty()) return "";
    std::string extension = fs::path(arguments.asmName).extension().string();
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension == ".asm" ? "" : "the -o name must end in .asm";
}

// The path with its folder resolved (links, "..") but not its last part, which names the
// entry a write replaces.
fs::path entryPath(const fs::path& path) {
    std::error_code ignored;
    const fs::path absolute = fs::absolute(path, ignored);
    return fs::weakly_canonical(absolute.parent_path(), ignored) / absolute.filename();
}

bool sameFile(const fs::path& one, const fs::path& other) {
    std::error_code ignored;
    return entryPath(one) == entryPath(other) || fs::equivalent(one, other, ignored);
}

bool isInside(const fs::path& path, const fs::path& folder) {
    std::error_code ignored;
    const fs::path relative =
        entryPath(path).lexically_relative(fs::weakly_canonical(fs::absolute(folder), ignored));
    return !relative.empty() && *relative.begin() != "..";
}

bool entryExists(const fs::path& path) {
    std::error_code ignored;
    return fs::symlink_status(path, ignored).type() != fs::file_type::not_found;
}

// Why the outputs may not be written, empty when they may; asked before anything is written.
std::string refusal(const Arguments& arguments, const S19Project& project) {
    const S19BuildOutputs outputs = s19BuildOutputs(project, arguments.asmName);
    for (const fs::path& output : {outputs.asmPath, outputs.symPath}) {
        if (sameFile(output, arguments.s19))
            return output.string() + " would replace the image " + arguments.s19;
        if (!arguments.projectFile.empty() && sameFile(output, arguments.projectFile))
            return output.string() + " would replace the project file " + arguments.projectFile;
    }
    if (arguments.force) return "";
    if (!isInside(outputs.asmPath, project.directory))
        return outputs.asmPath.string() + " is outside the folder of " + arguments.s19 +
               "; --force writes it there";
    for (const fs::path& output : {outputs.asmPath, outputs.symPath}) {
        if (entryExists(output)) return output.string() + " exists; --force replaces it";
    }
    return "";
}

int run(const Arguments& arguments) {
    const fs::path s19(arguments.s19);
    const S19Project project{s19.filename().string(),
                             s19.has_parent_path() ? s19.parent_path() : ".", arguments.start};
    ToolHost host(false);
    const auto machine = std::make_unique<Machine>(host);
    CpuConfiguration configuration;
    if (!arguments.projectFile.empty()) {
        if (!fs::is_regular_file(arguments.projectFile)) {
            std::fprintf(stderr, "hc11dis: cannot open %s\n", arguments.projectFile.c_str());
            return 1;
        }
        Project projectFile;
        readProjectFile(readIniFile(arguments.projectFile), projectFile, machine->memory);
        configuration = projectFile.cpu;
    }
    if (const std::string refused = refusal(arguments, project); !refused.empty()) {
        std::fprintf(stderr, "hc11dis: %s\n", refused.c_str());
        return 1;
    }
    SourceMap sourceMap;
    const S19CommandResult result = buildS19Project(
        *machine, configuration, sourceMap, project, [](std::string_view) { return true; },
        arguments.noDate ? std::nullopt : std::optional(currentLocalTime()), arguments.asmName);
    if (result.outcome != S19CommandResult::Done) {
        std::fprintf(stderr, "hc11dis: %s\n", result.error.c_str());
        return 1;
    }
    std::printf("%s\n", result.written.string().c_str());
    return 0;
}

}  // namespace
}  // namespace tarnwick

int main(int argc, char** argv) {
    tarnwick::Arguments arguments;
    if (const std::string error = tarnwick::parse(argc, argv, arguments); !error.empty()) {
        std::fprintf(stderr, "hc11dis: %s\n", error.c_str());
        std::fputs(tarnwick::kUsage, stderr);
        return 1;
    }
    if (arguments.help) {
        std::fputs(tarnwick::kUsage, stdout);
        return 0;
    }
    if (arguments.version) {
        std::puts("hc11dis " TARNWICK_VERSION);
        return 0;
    }
    try {
        return tarnwick::run(arguments);
    } catch (const tarnwick::FileError& error) {
        std::fprintf(stderr, "hc11dis: %s\n", error.what());
        return 1;
    }
}
