#include "asm11/source_line.h"

#include "asm11/asm_error.h"

namespace tarnwick::asm11 {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\f';
}

std::string_view trim(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

SourceLine splitLine(std::string_view text) {
    SourceLine line;
    if (text.empty() || text[0] == '*' || text[0] == ';') return line;
    std::size_t i = 0;
    if (!isBlank(text[0])) {
        while (i < text.size() && !isBlank(text[i]) && text[i] != ':' && text[i] != '=' &&
               text[i] != ';')
            ++i;
        line.label = text.substr(0, i);
        if (i < text.size() && text[i] == ':') ++i;
    }
    while (i < text.size() && isBlank(text[i])) ++i;
    if (i == text.size() || text[i] == ';') return line;
    std::size_t end = i;
    if (text[i] == '=') {
        end = i + 1;
    } else {
        while (end < text.size() && !isBlank(text[end]) && text[end] != ';') ++end;
    }
    line.mnemonic = text.substr(i, end - i);
    while (end < text.size() && isBlank(text[end])) ++end;
    line.rest = text.substr(end);
    return line;
}

std::size_t skipConstant(std::string_view text, std::size_t i) {
    if (text[i] == '"') {
        const std::size_t close = text.find('"', i + 1);
        if (close == std::string_view::npos) throw AsmError{"Unterminated string"};
        return close + 1;
    }
    if (text[i] == '\'') {
        // 'c' or Motorola's 'c without the closing apostrophe.
        if (i + 1 >= text.size()) return i + 1;
        if (i + 2 < text.size() && text[i + 2] == '\'') return i + 3;
        return i + 2;
    }
    return i + 1;
}

std::string_view operandField(std::string_view rest, bool spaces) {
    std::size_t i = 0;
    while (i < rest.size() && rest[i] != ';' && (spaces || !isBlank(rest[i])))
        i = skipConstant(rest, i);
    return trim(rest.substr(0, i));
}

}  // namespace tarnwick::asm11
