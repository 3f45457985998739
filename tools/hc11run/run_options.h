#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

// A raw binary file stored from `address` on.
struct BinaryImage {
    std::string path;
    std::uint16_t address = 0;
};

// Register values given with --set; unset ones keep the start state's values.
struct RegisterValues {
    std::optional<std::uint8_t> a;
    std::optional<std::uint8_t> b;
    std::optional<std::uint16_t> ix;
    std::optional<std::uint16_t> iy;
    std::optional<std::uint16_t> sp;
    std::optional<std::uint8_t> ccr;
};

// One hc11run command line, checked and with the chip's defaults filled in.
struct RunOptions {
    bool help = false;

    std::string s19Path;  // empty when only binaries are loaded
    // A project file (".pro"): its CPU configuration and the S19 image its debug start
    // loads take the place of s19Path and the CPU options.
    std::string projectPath;
    std::vector<BinaryImage> binaries;

    std::string chip = "M68HC11E1";
    std::string romRanges;
    std::string readWriteRanges;
    std::string thirdRanges;
    std::string crystal = "8 MHz";
    std::uint32_t crystalHz = 8000000;
    bool randomMemory = false;

    std::optional<std::uint16_t> startPc;  // set: no machine reset
    RegisterValues registers;

    std::optional<std::uint64_t> cycles;  // E cycles run since the start
    std::optional<std::uint64_t> steps;
    std::optional<std::uint16_t> untilPc;
    bool continueOnInvalid = false;

    bool trace = false;
    std::string dumpPath;
};

struct ParsedRunOptions {
    RunOptions options;
    std::string error;  // one line; empty when the command line is good

    bool ok() const { return error.empty(); }
};

// argv[0] is the program name and is skipped.
ParsedRunOptions parseRunOptions(int argc, const char* const* argv);

std::string usageText();

// The clock of one of kCrystalNames; nullopt for any other name.
std::optional<std::uint32_t> crystalHz(std::string_view name);

}  // namespace tarnwick
