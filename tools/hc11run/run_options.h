#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

// An address as given: hex, or a label of the symbol file. Hex given with "$" or "0x" is
// always hex; a bare word is a label when the symbol file has it. `value` holds the hex
// value after parsing and the final address once the symbols are known.
struct AddressArgument {
    std::string text;
    std::uint16_t value = 0;
    bool isLabel = false;  // resolved as a label

    bool operator==(const AddressArgument&) const = default;
};

// A raw binary file stored from `address` on.
struct BinaryImage {
    std::string path;
    AddressArgument address;
};

// Register values given with --set; unset ones keep the start state's values. The 16-bit
// ones take labels.
struct RegisterValues {
    std::optional<std::uint8_t> a;
    std::optional<std::uint8_t> b;
    std::optional<AddressArgument> d;
    std::optional<AddressArgument> ix;
    std::optional<AddressArgument> iy;
    std::optional<AddressArgument> sp;
    std::optional<AddressArgument> pc;
    std::optional<std::uint8_t> ccr;
};

// Memory shown after the run with --print: `count` bytes or big-endian words.
struct PrintRequest {
    AddressArgument address;
    std::uint32_t count = 1;
    bool words = false;
};

// A register or memory value checked after the run with --expect.
struct Expectation {
    std::string target;  // the register's name, or empty for memory
    AddressArgument address;
    bool word = false;  // a 16-bit register, or a big-endian memory word
    AddressArgument value;
};

// An analog input level given with --adc.
struct AnalogInput {
    std::uint8_t channel = 0;  // AN0-AN7
    std::uint8_t value = 0;
};

// When the XIRQ line is pulled low, counted in E cycles since the start of the run: a pulse
// holds it low until one XIRQ interrupt is taken, a level from `from` until `to`.
struct XirqTiming {
    bool level = false;
    std::uint64_t from = 0;
    std::uint64_t to = 0;  // levels only; after `from`

    bool operator==(const XirqTiming&) const = default;
};

// One hc11run command line, checked and with the chip's defaults filled in.
struct RunOptions {
    bool help = false;
    bool version = false;

    std::string s19Path;  // empty when only binaries are loaded
    std::string symPath;  // empty: the .sym beside the S19 image, when there is one
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
    std::optional<std::uint32_t> seed;  // of the random fill; none: from the clock

    std::optional<AddressArgument> startPc;  // set: no machine reset
    RegisterValues registers;

    std::optional<std::uint8_t> portE;      // the Port E pin levels as read
    std::vector<AnalogInput> analogInputs;  // in the order given: a later one for a channel wins
    std::vector<XirqTiming> xirqTimings;    // in the order given; no two levels overlap
    std::string sciInPath;                  // "-" for standard input; empty for none

    std::optional<std::uint64_t> cycles;  // E cycles run since the start
    std::optional<std::uint64_t> steps;   // 0: the start state only
    std::vector<AddressArgument> untilPcs;
    std::vector<AddressArgument> failPcs;
    std::string untilOutput;  // the bytes themselves, escapes replaced; empty for none
    bool untilInputEnd = false;
    std::optional<double> timeoutSeconds;  // wall clock
    bool realtime = false;
    bool continueOnInvalid = false;

    bool trace = false;
    std::string dumpPath;
    std::vector<PrintRequest> prints;
    std::vector<Expectation> expectations;
    bool jsonSummary = false;
};

struct ParsedRunOptions {
    RunOptions options;
    std::string error;  // one line; empty when the command line is good

    bool ok() const { return error.empty(); }
};

// argv[0] is the program name and is skipped.
ParsedRunOptions parseRunOptions(int argc, const char* const* argv);

std::string usageText();

// The names --chip and --xtal take, comma-separated.
std::string chipNameList();
std::string crystalNameList();

// The clock of one of kCrystalNames; nullopt for any other name.
std::optional<std::uint32_t> crystalHz(std::string_view name);

}  // namespace tarnwick
