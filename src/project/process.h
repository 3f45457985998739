#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick {

// A program run outside the simulator, such as the assembler. The shell implements it with
// the platform's processes, tests with a script. The build polls it from the user-interface
// thread; nothing here blocks.
class Process {
  public:
    virtual ~Process() = default;

    // Starts the program (arguments[0]) in `directory` with its standard output written to
    // `output`; `shown` asks for a visible console. False when it cannot be started.
    virtual bool start(const std::vector<std::string>& arguments,
                       const std::filesystem::path& directory, const std::filesystem::path& output,
                       bool shown) = 0;
    // Empty while the program runs, then its exit code.
    virtual std::optional<int> exitCode() = 0;
    virtual void terminate() = 0;
    // What the program wrote to its standard error, once it has ended.
    virtual std::string errorOutput() = 0;
};

}  // namespace tarnwick
