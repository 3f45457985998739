#pragma once

#include <cctype>
#include <cstdint>
#include <string>
#include <string_view>

namespace tarnwick::asm11 {

// A value of an expression; `known` is false in pass 1 while a forward reference is unresolved.
struct Value {
    std::int32_t number = 0;
    bool known = true;
};

// Where an expression's names get their values. An interface rather than std::function:
// every name of every expression goes through it.
class SymbolSource {
  public:
    // A symbol's value, or an unknown value, or throws AsmError for an undefined one.
    virtual Value symbolValue(std::string_view name) = 0;
    // An internal symbol's value. The name keeps its colons: ":PC", ":1", "::", "::Table".
    virtual Value internalValue(std::string_view name) = 0;

  protected:
    ~SymbolSource() = default;
};

struct ExpressionContext {
    SymbolSource* symbols = nullptr;  // always set
    std::int32_t location = 0;        // the value of "*"
    // When set and empty, receives a note where a part of the expression mixes + or - with
    // * or / and reading it left to right gives another value than the usual precedence:
    // the part with the { } that make the order explicit, and both values.
    std::string* orderHint = nullptr;
};

// std::isalpha and std::isalnum, with ASCII spared the call into the locale.
inline bool isAsmLetter(char c) {
    const auto code = static_cast<unsigned char>(c);
    if (code >= 0x80) return std::isalpha(code);
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

inline bool isAsmLetterOrDigit(char c) {
    const auto code = static_cast<unsigned char>(c);
    if (code >= 0x80) return std::isalnum(code);
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// A symbol starts with a letter, '_', '.' or '?' (file-local); '?' alone is one too. Inline:
// every name in every expression is scanned with these.
inline bool isSymbolStart(char c) {
    return isAsmLetter(c) || c == '_' || c == '.' || c == '?';
}

// The characters after the first: letters, digits, '_', '.', '@' and '$' (procedure and macro
// locals such as Loop@@ and Loop$$$).
inline bool isSymbolChar(char c) {
    return isAsmLetterOrDigit(c) || c == '_' || c == '.' || c == '@' || c == '$';
}

// Evaluates strictly left to right, every binary operator at the same precedence:
// + - * / \ (remainder) & | ^ < and << (shift left) > and >> (shift right). Unary: - +,
// ~ (swaps the bytes of the low word), [ and ] (low and high byte of the low word), [[ and ]]
// (low and high word). { } group. Terms: $hex, 0xhex, %binary, @octal, decimal (at most
// 2147483647; the others at most $FFFFFFFF), '...', "..." or `...` (one to four characters,
// big-endian), Motorola's 'c, * (location counter), :internal symbols, symbols. Throws AsmError
// on bad syntax and on division by zero.
Value evaluateExpression(std::string_view text, const ExpressionContext& context);

}  // namespace tarnwick::asm11
