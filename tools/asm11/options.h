#pragma once

#include <string>
#include <utility>
#include <vector>

namespace tarnwick::asm11 {

// One asm11 command line. Every switch is written -NAME+ or -NAME-; the defaults are those
// the IDE's build assumes.
struct AsmOptions {
    bool help = false;
    bool version = false;
    std::string sourcePath;

    bool warnings = true;        // -WRN
    bool spaces = false;         // -SP: operands may hold blanks; only ";" starts a comment
    bool s0Header = false;       // -SH
    bool overlapCheck = true;    // -O
    bool pass1Stop = true;       // -P
    bool caseSensitive = false;  // -C
    bool listing = false;        // -L
    bool map = false;            // -M
    bool extraMnemonics = true;  // -X
    bool relHint = false;        // -REL
    bool rtsHint = false;        // -RTS
    bool symbolFile = true;      // -LS
    bool symbolFormatE = false;  // -LSE
    bool s19File = true;         // -S
    bool errorFile = false;      // -E
    bool otherMessages = false;  // -T
    bool exportFile = false;     // -EXP: the EXP symbols and #MEXPORT macros into file.exp
    std::vector<std::string> includeDirs;  // -I, ":"-separated
    // -Dname or -Dname:value (or =value): symbols defined before the first line.
    std::vector<std::pair<std::string, std::string>> defines;
};

struct ParsedAsmOptions {
    AsmOptions options;
    std::string error;  // one line; empty when the command line is good

    bool ok() const { return error.empty(); }
};

// argv[0] is the program name and is skipped.
ParsedAsmOptions parseAsmOptions(int argc, const char* const* argv);

std::string usageText();

}  // namespace tarnwick::asm11
