// libFuzzer target: any source text, with files to include, assembles to messages and output
// texts, never to a crash, a hang or a sanitizer report; a clean assembly's S19 image and
// symbol file load as the debug start loads them, the image holding exactly the bytes
// assembled.
//
// Input: the main source, then the files it may include, each after a NUL, in turn named
// lib.inc, Inc/Defs.INC, inc/macros.inc and sub/part.asm (the folder "inc" is an include
// directory, and "Inc" differs from it only in case). A first line "* -C+ -SP+ ..." of the
// main source, a comment to the assembler, also gives asm11 options.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "asm11/assembler.h"
#include "asm11/output_files.h"
#include "fuzz_support.h"
#include "project/s19_loader.h"
#include "project/symbol_file.h"

using namespace tarnwick;
namespace fs = std::filesystem;

namespace {

constexpr std::array<std::string_view, 4> kIncludeNames{"lib.inc", "Inc/Defs.INC", "inc/macros.inc",
                                                        "sub/part.asm"};

std::vector<std::string> blankSeparatedWords(std::string_view line) {
    std::vector<std::string> words;
    while (!line.empty()) {
        const std::size_t start = line.find_first_not_of(" \t");
        if (start == std::string_view::npos) break;
        line.remove_prefix(start);
        const std::size_t end = std::min(line.find_first_of(" \t"), line.size());
        words.emplace_back(line.substr(0, end));
        line.remove_prefix(end);
    }
    return words;
}

// The listing and the map on and no stop after pass 1, so that every pass and output runs;
// then the options of the first line, include directories inside the scratch folder.
asm11::AsmOptions optionsFor(std::string_view source, const fs::path& mainPath) {
    const std::vector<std::string> plain{"asm11", "-L+", "-M+", "-P-"};
    std::vector<std::string> words = plain;
    if (source.starts_with('*')) {
        const std::string_view line = source.substr(1, source.find_first_of("\r\n") - 1);
        const std::vector<std::string> given = blankSeparatedWords(line);
        words.insert(words.end(), given.begin(), given.end());
    }
    asm11::ParsedAsmOptions parsed;
    for (std::vector<std::string> command : {words, plain}) {
        command.push_back(mainPath.string());
        const std::vector<const char*> argv = fuzz::argumentVector(command);
        parsed = asm11::parseAsmOptions(static_cast<int>(command.size()), argv.data());
        if (parsed.ok() && !parsed.options.help) break;
    }
    std::vector<std::string> dirs{(fuzz::scratchDirectory() / "inc").string()};
    for (const std::string& dir : parsed.options.includeDirs)
        if (fs::path(dir).is_relative()) dirs.push_back((fuzz::scratchDirectory() / dir).string());
    parsed.options.includeDirs = dirs;
    return parsed.options;
}

// Loads the outputs of a clean assembly as the debug start of an ASM11 project does.
void loadOutputs(const asm11::AssemblyResult& result, const asm11::AsmOptions& options) {
    static fuzz::QuietHost host;
    static const auto machine = std::make_unique<Machine>(host);
    static const auto sourceMap = std::make_unique<SourceMap>();
    const fs::path& directory = fuzz::scratchDirectory();
    fuzz::writeScratchFile(directory / "prog.s19",
                           asm11::s19Text(result, options.s0Header ? "prog" : ""));
    fuzz::writeScratchFile(directory / "prog.sym", asm11::symbolFileText(result));

    CpuConfiguration configuration;
    const S19LoadResult load =
        loadS19Image(*machine, configuration, *sourceMap, directory / "prog.s19");
    fuzz::check(load.ok(), "the S19 image of a clean assembly loads", load.message);
    for (std::size_t address = 0; address < kAddressSpaceSize; ++address) {
        if (result.image.used[address])
            fuzz::check(machine->memory[address].value == result.image.bytes[address],
                        "the image holds the bytes assembled");
    }
    std::vector<std::string> watchNames;
    const SourceReadResult symbols =
        readSymbolFile(*machine, *sourceMap, directory, "prog.sym", watchNames);
    fuzz::check(symbols.ok(), "the symbol file of a clean assembly reads", symbols.error);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input = fuzz::asText(data, size);
    const fs::path& directory = fuzz::scratchDirectory();
    fuzz::clearScratchDirectory();
    const std::size_t mainEnd = std::min(input.find('\0'), input.size());
    const std::string_view source = input.substr(0, mainEnd);
    const fs::path mainPath = directory / "prog.asm";
    fuzz::writeScratchFile(mainPath, source);
    input.remove_prefix(std::min(mainEnd + 1, input.size()));
    for (std::size_t i = 0; i < kIncludeNames.size() && !input.empty(); ++i) {
        const std::size_t end = std::min(input.find('\0'), input.size());
        fuzz::writeScratchFile(directory / kIncludeNames[i], input.substr(0, end));
        input.remove_prefix(std::min(end + 1, input.size()));
    }

    const asm11::AsmOptions options = optionsFor(source, mainPath);
    const asm11::AssemblyResult result = asm11::assemble(mainPath.string(), source, options);
    for (const asm11::Message& message : result.messages)
        static_cast<void>(asm11::messageLine(message, options.otherMessages));
    static_cast<void>(asm11::listingText(result));
    static_cast<void>(asm11::mapText(result));
    static_cast<void>(asm11::exportFileText(result));
    if (result.errors == 0 && !result.stoppedAfterPass1) loadOutputs(result, options);
    return 0;
}
