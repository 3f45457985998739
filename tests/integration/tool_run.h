#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "project/temp_directory.h"

namespace tarnwick::testing {

struct ToolRun {
    int status = -1;
    std::string output;  // standard output
    std::string errors;  // standard error
};

// Runs `program` with `arguments` in `directory`, as the IDE runs the assembler in the
// project directory.
inline ToolRun runTool(const std::filesystem::path& directory, const std::string& program,
                       const std::string& arguments) {
    const std::filesystem::path output = directory / "tool_stdout.txt";
    const std::filesystem::path errors = directory / "tool_stderr.txt";
    const std::string command = "cd '" + directory.string() + "' && '" + program + "' " +
                                arguments + " >'" + output.string() + "' 2>'" + errors.string() +
                                "'";
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readText(output), readText(errors)};
}

}  // namespace tarnwick::testing
