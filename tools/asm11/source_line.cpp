#include "asm11/source_line.h"

#include "asm11/asm_error.h"

namespace tarnwick::asm11 {

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

Constant readConstant(std::string_view text, std::size_t i) {
    const char quote = text[i];
    Constant constant{"", i + 1};
    bool closed = false;
    for (std::size_t j = i + 1; j < text.size() && !closed; ++j) {
        if (text[j] != quote) {
            constant.chars += text[j];
        } else if (j + 1 < text.size() && text[j + 1] == quote) {
            constant.chars += quote;
            ++j;
        } else {
            closed = true;
            constant.end = j + 1;
        }
    }
    if (quote != '\'') {
        if (!closed) throw AsmError{"Unterminated string"};
        return constant;
    }
    // 'A,'B and 'A followed by a comment holding an apostrophe stay Motorola's.
    const bool separated =
        constant.chars.size() > 1 && constant.chars.find_first_of(" \t\f,;") != std::string::npos;
    if (closed && !constant.chars.empty() && !separated) return constant;
    if (i + 1 >= text.size()) throw AsmError{"Unterminated character constant"};
    const bool closing = i + 2 < text.size() && text[i + 2] == quote;
    return {std::string(1, text[i + 1]), i + (closing ? 3 : 2)};
}

std::string_view operandField(std::string_view rest, bool spaces) {
    std::size_t i = 0;
    while (i < rest.size() && rest[i] != ';' && (spaces || !isBlank(rest[i])))
        i = skipConstant(rest, i);
    return trim(rest.substr(0, i));
}

}  // namespace tarnwick::asm11
