// libFuzzer target: any text read as the symbol file of a freshly loaded image ends in success
// or in an error naming the file; what it read answers the debugger's questions (source of an
// address, address of a line, symbol by name) without faults.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fresh_image.h"
#include "fuzz_support.h"
#include "project/symbol_file.h"

using namespace tarnwick;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::FreshImage image;
    image.restore();
    Machine& machine = *image.machine;
    SourceMap& sourceMap = *image.sourceMap;
    const std::filesystem::path& directory = fuzz::scratchDirectory();
    fuzz::writeScratchFile(directory / "prog.sym", fuzz::asText(data, size));
    std::vector<std::string> watchNames;
    const SourceReadResult read =
        readSymbolFile(machine, sourceMap, directory, "PROG.SYM", watchNames);
    if (!read.ok()) return 0;

    for (const std::string& name : watchNames)
        fuzz::check(findSymbol(sourceMap, name) != nullptr, "every watch name is a symbol", name);
    // The questions the debugger asks at a stop and at a breakpoint set in a source window.
    int asked = 0;
    for (std::uint32_t address = 0; address < kAddressSpaceSize && asked < 64; ++address) {
        const auto location =
            sourceOfAddress(machine, sourceMap, directory, static_cast<std::uint16_t>(address));
        if (!location) continue;
        ++asked;
        const std::uint16_t first = addressOfSourceLine(machine, sourceMap, directory,
                                                        location->file.string(), location->line);
        fuzz::check(first == 0 || machine.memory[first].line == location->line,
                    "a line's first address holds that line", location->file.string());
    }
    return 0;
}
