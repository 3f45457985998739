#pragma once

// Debian's m68hc11-objdump (package binutils-m68hc1x) as an independent reader of the S19
// images the assembler writes.

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <regex>
#include <string>

namespace tarnwick::asm11 {

struct ObjdumpInstruction {
    std::string mnemonic;  // binutils' spelling: "bcc" for BHS, "asla" for LSLA
    std::string operands;  // as printed, with the doubled "0x0x" of branch targets made "0x"
    std::size_t length = 0;
};

inline bool objdumpInstalled() {
    return std::system("command -v m68hc11-objdump >/dev/null 2>&1") == 0;
}

// The instructions objdump decodes in `s19`, by address. An empty map when objdump fails.
inline std::map<std::uint32_t, ObjdumpInstruction> objdumpS19(const std::string& s19) {
    namespace fs = std::filesystem;
    const fs::path directory = fs::temp_directory_path() /
                               ("tarnwick_asm11_objdump_" + std::to_string(std::random_device()()));
    fs::create_directories(directory);
    std::ofstream(directory / "image.s19", std::ios::binary) << s19;
    const std::string command = "m68hc11-objdump -D -b srec -m m68hc11 '" +
                                (directory / "image.s19").string() + "' > '" +
                                (directory / "image.txt").string() + "'";
    std::map<std::uint32_t, ObjdumpInstruction> decoded;
    if (std::system(command.c_str()) == 0) {
        std::ifstream listing(directory / "image.txt");
        // "    1000:\t18 1e 42 5a \tbrset\t0x42,y, ..."; bytes beyond four continue on lines
        // that have no mnemonic.
        const std::regex row(R"(^\s*([0-9a-f]+):\t((?:[0-9a-f]{2} )+)\s*(?:\t(\S+)\s*(.*))?$)");
        std::uint32_t current = 0;
        for (std::string text; std::getline(listing, text);) {
            std::smatch match;
            if (!std::regex_match(text, match, row)) continue;
            const std::size_t bytes = match[2].str().size() / 3;
            if (match[3].matched) {
                current = static_cast<std::uint32_t>(std::stoul(match[1].str(), nullptr, 16));
                const std::string operands =
                    std::regex_replace(match[4].str(), std::regex("0x0x"), "0x");
                decoded[current] = {match[3].str(), operands, bytes};
            } else if (decoded.contains(current)) {
                decoded[current].length += bytes;
            }
        }
    }
    std::error_code ignored;
    fs::remove_all(directory, ignored);
    return decoded;
}

}  // namespace tarnwick::asm11
