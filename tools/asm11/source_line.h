#pragma once

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tarnwick::asm11 {

// The fields of one source line. A label stands in column 1; the mnemonic is the next word;
// `rest` is everything after it with leading blanks removed, comment included, because only
// the statement knows where its operand ends.
struct SourceLine {
    std::string_view label;  // without a trailing ':'
    std::string_view mnemonic;
    std::string_view rest;
};

SourceLine splitLine(std::string_view text);

// Blank, tab, and the form feed old sources hold between pages.
inline bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\f';
}

// std::toupper, with ASCII, which is nearly every character, spared the call into the locale.
inline char upperChar(char c) {
    const auto code = static_cast<unsigned char>(c);
    if (code >= 0x80) return static_cast<char>(std::toupper(code));
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// The operand at the start of `rest`: up to ";" or, with spaces off, the first blank outside
// string and character constants. Trailing blanks are removed.
std::string_view operandField(std::string_view rest, bool spaces);

// A character or string constant as written in an operand.
struct Constant {
    std::string chars;  // between the quotes, a doubled quote standing for one
    std::size_t end;    // just past the closing quote
};

// The constant at text[i], which holds ', " or `; the same quote closes it. An apostrophe
// without a closing one, or whose closing one comes after a blank, comma or ';', is
// Motorola's 'c: the one character after it (and an apostrophe right after that). Throws
// AsmError on an unterminated constant.
Constant readConstant(std::string_view text, std::size_t i);

// Positions of the next quote-aware scan step: the index just past a string or character
// constant starting at text[i], or i + 1 for any other character. Throws on an unterminated
// string.
inline std::size_t skipConstant(std::string_view text, std::size_t i) {
    const char c = text[i];
    return c == '\'' || c == '"' || c == '`' ? readConstant(text, i).end : i + 1;
}

std::string_view trim(std::string_view text);

// The hash of the assembler's tables of names: FNV-1a, inline, for names of a few characters.
struct NameHash {
    std::size_t operator()(std::string_view name) const {
        std::uint64_t hash = 0xCBF29CE484222325;
        for (const char c : name) hash = (hash ^ static_cast<std::uint8_t>(c)) * 0x100000001B3;
        return static_cast<std::size_t>(hash);
    }
};

}  // namespace tarnwick::asm11
