#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/file_text.h"
#include "core/machine.h"
#include "project/source_map.h"

namespace tarnwick {

// Outcome of reading a symbol or debug file. Tables filled before a failure keep what they got.
struct SourceReadResult {
    std::string error;  // names the file, and the line when one is at fault; empty = success

    bool ok() const { return error.empty(); }
};

// Reads a .sym file (a name as the project writes it, resolved against the project directory)
// into the address records' module and line, the module table and the symbol table. Only
// symbols at RAM or I/O addresses are kept; their names also go to `watchNames` (the Add Watch
// name list), which is emptied first. Expects a freshly loaded image: it does not clear the map.
SourceReadResult readSymbolFile(Machine& machine, SourceMap& sourceMap,
                                const std::filesystem::path& projectDirectory,
                                std::string_view fileName, std::vector<std::string>& watchNames);
// The same, reading the file into `text`, which a caller that reads again keeps for the next
// time.
SourceReadResult readSymbolFile(Machine& machine, SourceMap& sourceMap,
                                const std::filesystem::path& projectDirectory,
                                std::string_view fileName, std::vector<std::string>& watchNames,
                                TextLines& text);

struct SourceLocation {
    std::filesystem::path file;  // the module's name resolved against the project directory
    std::uint16_t line = 0;
};

// The module and line starting at the address; none without line info.
std::optional<SourceLocation> sourceOfAddress(const Machine& machine, const SourceMap& sourceMap,
                                              const std::filesystem::path& projectDirectory,
                                              std::uint16_t address);

// The lowest address of the line in the first module whose resolved name equals the file name
// without regard to case; 0000 when there is none.
std::uint16_t addressOfSourceLine(const Machine& machine, const SourceMap& sourceMap,
                                  const std::filesystem::path& projectDirectory,
                                  std::string_view fileName, std::uint16_t line);

// The first symbol with exactly this name (letter case counts); null when there is none.
const MEMORYSYM* findSymbol(const SourceMap& sourceMap, std::string_view name);

// Symbol and debug files share their line format: before each word, characters up to 32 and
// from 128 on are skipped; a word then runs to the next space (a tab does not end it).
class LineTokens {
  public:
    explicit LineTokens(std::string_view line) : rest_(line) {}

    // The next word; empty at the end of the line.
    std::string_view next();

  private:
    std::string_view rest_;
};

// A whole text file as lines; LF, CR LF and CR all end a line. An error names the file.
std::optional<std::vector<std::string>> readTextLines(const std::filesystem::path& path,
                                                      std::string& error);
// The same into `text`; false after setting the error.
bool readTextLines(const std::filesystem::path& path, TextLines& text, std::string& error);

// Hex digits without prefix, at most FFFF.
std::optional<std::uint16_t> parseHexWord(std::string_view text);

// Decimal digits only, at most `limit`.
std::optional<std::uint16_t> parseDecimal(std::string_view text, std::uint16_t limit = 0xFFFF);

}  // namespace tarnwick
