// libFuzzer target: any text read as an ICC11 debug file, by the debug start's reader and by
// the C variable table of the watch dialog, ends in success or in an error naming the file;
// every variable either converts or tells why not.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "debugger/watch_variables.h"
#include "fresh_image.h"
#include "fuzz_support.h"
#include "project/debug_file.h"

using namespace tarnwick;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::FreshImage image;
    image.restore();
    Machine& machine = *image.machine;
    SourceMap& sourceMap = *image.sourceMap;
    const std::filesystem::path& directory = fuzz::scratchDirectory();
    fuzz::writeScratchFile(directory / "prog.dbg", fuzz::asText(data, size));
    std::vector<std::string> scopes;
    const DebugFileResult read = readDebugFile(machine, sourceMap, directory, "prog.dbg", scopes);
    if (!read.ok())
        fuzz::check(read.error.find("prog.dbg") != std::string::npos, "the error names the file",
                    read.error);

    Project project;
    project.setPath(directory / "prog.pro");
    project.format = ProjectFormat::Icc11;
    project.files = {"prog.dbg"};
    std::string error;
    const std::optional<CVariableTable> table = CVariableTable::read(project, error);
    fuzz::check(table.has_value(), "the C variable table reads an existing file", error);
    scopes.emplace_back(kGlobalScopeName);
    for (const std::string& scope : scopes) {
        for (const std::string& name : table->names(scope)) {
            const CVariableLookup lookup = table->find(scope, name);
            fuzz::check(lookup.variable.has_value() != !lookup.error.empty(),
                        "a declared variable converts or tells why not", name);
        }
    }
    return 0;
}
