#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace tarnwick::testing {

inline std::string readFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// A built program run through the shell as a user's script would run it.
struct ProgramRun {
    int status = -1;  // the exit status, -1 when it did not exit normally
    std::string out;
    std::string err;
};

// `arguments` are shell words, quoted by the caller; the outputs go through files in
// `directory`.
inline ProgramRun runProgram(const std::string& program, const std::string& arguments,
                             const std::filesystem::path& directory) {
    const std::filesystem::path out = directory / "program.stdout";
    const std::filesystem::path err = directory / "program.stderr";
    const std::string command =
        "'" + program + "' " + arguments + " >'" + out.string() + "' 2>'" + err.string() + "'";
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readFile(out), readFile(err)};
}

}  // namespace tarnwick::testing
