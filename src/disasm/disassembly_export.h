#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "core/machine.h"
#include "disasm/disassembler.h"

namespace tarnwick {

// The two files of a disassembly, CR LF line ends throughout.
struct DisassemblyTexts {
    std::string asmText;  // header, code from the start address to FFBF, vector table
    std::string symText;  // one module mapping each instruction's address to its .asm line
};

// Without a time the header names no date, so that two runs give the same files.
// `asmName` is the .asm file's name as the project writes it; the .sym's module line names it.
DisassemblyTexts disassemblyTexts(const Machine& machine, std::string_view asmName,
                                  std::uint16_t start, const std::optional<LocalDateTime>& time);

// Writes both files, replacing existing ones (a link is replaced, not written through); the
// names are resolved against `directory` unless absolute. Returns what could not be written,
// empty when both files were.
std::string exportDisassembly(const Machine& machine, const std::filesystem::path& directory,
                              std::string_view asmName, std::string_view symName,
                              std::uint16_t start, const std::optional<LocalDateTime>& time);

}  // namespace tarnwick
