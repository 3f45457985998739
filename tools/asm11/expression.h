#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

namespace tarnwick::asm11 {

// A value of an expression; `known` is false in pass 1 while a forward reference is unresolved.
struct Value {
    std::int32_t number = 0;
    bool known = true;
};

struct ExpressionContext {
    // Gives a symbol's value, or an unknown value, or throws AsmError for an undefined one.
    std::function<Value(std::string_view name)> symbol;
    std::int32_t location = 0;  // the value of "*"
};

bool isSymbolStart(char c);
bool isSymbolChar(char c);

// Evaluates strictly left to right, every binary operator at the same precedence:
// + - * / \ (remainder) & | ^ << >>; unary - + ~; { } group. Terms: $hex, 0xhex, %binary,
// @octal, decimal, 'c' or "c", * (location counter), symbols. Throws AsmError on bad syntax
// and on division by zero.
Value evaluateExpression(std::string_view text, const ExpressionContext& context);

}  // namespace tarnwick::asm11
