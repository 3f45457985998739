#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "asm11/options.h"

namespace tarnwick::asm11 {

struct Message {
    // A note is #MESSAGE's text; a hint points at something that may not mean what it seems
    // and, unlike a warning, is not counted and leaves the exit status alone.
    enum class Kind { Error, Warning, Hint, Note };
    Kind kind;
    std::string file;  // as given on the command line or found for #INCLUDE
    int line;          // 1-based
    std::string text;
};

// "ERR* prog.asm [12] text", "WRN prog.asm [12] text" or "HNT prog.asm [12] text", the line
// format the IDE reads (it counts the first two and lists every line); a note is its text
// alone. The alternative style is the one compilers use and most editors follow:
// "prog.asm:12: error: text", "prog.asm:12: warning: text" or "prog.asm:12: note: text".
std::string messageLine(const Message& message, bool alternative = false);

// The bytes the program stores, over the whole 64 KB.
struct MemoryImage {
    std::vector<std::uint8_t> bytes = std::vector<std::uint8_t>(0x10000);
    // 1 where a byte was stored: a byte per address, which the assembler sets for every byte
    // of code, costs less to reach than a bit of a std::vector<bool>.
    std::vector<std::uint8_t> used = std::vector<std::uint8_t>(0x10000);
};

// Address of the first byte of each source line that produced code or data, per file.
struct ModuleLines {
    std::string file;
    std::vector<std::pair<std::uint16_t, int>> lines;  // address, 1-based line
};

struct SymbolValue {
    std::string name;
    std::uint16_t value;
};

// One source line as the listing shows it: the lines while the listing is on, the #LISTON
// line itself, and every line with an error or a warning.
struct ListedLine {
    std::string file;
    int line;                         // 1-based
    std::int32_t address;             // the location counter at the line's start
    std::vector<std::uint8_t> bytes;  // what the line stored
    std::string text;                 // tabs expanded
    std::vector<Message> messages;    // its errors and warnings
    bool newPage = false;             // #PAGE: a new listing page starts after it
    int macroLine = 0;                // for a line of a macro expansion, its body line
    // Shown where a line without bytes has no address: an EQU's or SET's value, the address
    // an RMB or DS reserves from.
    std::optional<std::int32_t> shownValue = std::nullopt;
};

// A line that stored bytes, while the map is on.
struct MapEntry {
    std::uint16_t address;
    std::string file;
    int line;
};

struct AssemblyResult {
    std::vector<Message> messages;  // in source order, of the last pass run
    int errors = 0;
    int warnings = 0;  // counted only while warnings are on
    bool stoppedAfterPass1 = false;
    MemoryImage image;
    std::size_t byteCount = 0;
    std::uint16_t startAddress = 0;       // END's operand, 0000 without one
    std::vector<ModuleLines> modules;     // files that produced code, in the order first read
    std::vector<SymbolValue> symbols;     // labels, EQUs and SETs in definition order
    std::set<std::int32_t> recordStarts;  // where #S19FLUSH ended the S1 record
    std::vector<ListedLine> listing;      // with -L+ only
    std::vector<MapEntry> map;            // with -M+ only
    std::vector<std::string> readFiles;   // every file read: the source, then includes
    std::vector<SymbolValue> exports;     // EXP symbols and #EXPORT, for the -EXP file
    std::string exportedMacros;           // #MEXPORT definitions, for the -EXP file
    std::string title;                    // TITLE, for the listing's heading
};

// Assembles one source text in two passes. `fileName` names the source in messages and in
// the module list; #INCLUDE files are looked for beside it, then in the include directories.
AssemblyResult assemble(std::string_view fileName, std::string_view text,
                        const AsmOptions& options);

}  // namespace tarnwick::asm11
