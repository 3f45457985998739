// Expressions as the assembler evaluates them: symbols through its scopes, values needed in
// pass 1, and {expr} embedded in texts.

#include <algorithm>

#include "asm11/asm_error.h"
#include "asm11/assembler_core.h"
#include "asm11/source_line.h"
#include "base/number_text.h"

namespace tarnwick::asm11 {

Value Assembler::symbolValue(std::string_view name) {
    const Symbol* symbol = findSymbol(name);
    if (backwardOnly_) {
        if (symbol && symbol->known && symbol->definedAt < current_) return {symbol->value, true};
        return {0, false};
    }
    if (symbol && symbol->known) return {symbol->value, true};
    if (pass_ == 1) return {0, false};
    throw AsmError{"Undefined symbol: " + std::string(name)};
}

// Every use of the context ends with reportOrderHint, so a hint belongs to its line.
const ExpressionContext& Assembler::expressionContext() {
    context_.location = lineStart_;
    context_.orderHint = &orderHint_;
    orderHint_.clear();
    return context_;
}

void Assembler::reportOrderHint() {
    if (orderHint_.empty()) return;
    // A line may evaluate its operand more than once; it hears of the order once.
    const std::vector<Message>& messages = state_.result.messages;
    if (messages.empty() || messages.back().text != orderHint_ || messages.back().line != line_ ||
        messages.back().file != file_)
        report(Message::Kind::Hint, orderHint_);
    orderHint_.clear();
}

Value Assembler::evaluate(std::string_view text) {
    if (text.empty()) throw AsmError{"Missing operand"};
    const Value value = evaluateExpression(text, expressionContext());
    reportOrderHint();
    return value;
}

// A value that must be known in pass 1 because it moves the location counter.
std::int32_t Assembler::evaluateNow(std::string_view text, std::string_view what) {
    const Value value = evaluate(text);
    if (!value.known) throw AsmError{std::string(what) + " needs a value defined before this line"};
    return value.number;
}

// A count or address that moves the location counter, widened so that adding it to the
// location cannot overflow before the check against 64 KB.
std::int64_t Assembler::evaluateCount(std::string_view text, std::string_view what) {
    return static_cast<std::int64_t>(evaluateNow(text, what));
}

// "{expr}" in a text becomes the expression's value, with an optional format after it in
// parentheses: (D) decimal, (H) hex, (S) signed 16-bit, (X) both, (1)-(9) decimal places,
// (Fn) and (Zn) filled to n digits with blanks or zeros. In a directive's text an
// expression that cannot be evaluated shows as ???; elsewhere it is an error.
std::string Assembler::formatEmbedded(std::string_view text, bool inDirective) {
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t open = text.find('{', i);
        if (open == std::string_view::npos) break;
        std::size_t close = open + 1;
        for (int depth = 1; close < text.size(); ++close) {
            if (text[close] == '{') ++depth;
            if (text[close] == '}' && --depth == 0) break;
        }
        if (close >= text.size()) break;
        out.append(text.substr(i, open - i));
        std::string_view inner = text.substr(open + 1, close - open - 1);
        std::string format = "D";
        if (!inner.empty() && inner.back() == ')') {
            const std::size_t paren = inner.rfind('(');
            if (paren != std::string_view::npos && paren + 2 <= inner.size() - 1 &&
                inner.size() - paren <= 5) {
                format = upper(inner.substr(paren + 1, inner.size() - paren - 2));
                inner = inner.substr(0, paren);
            }
        }
        std::string value;
        try {
            const Value v = evaluate(inner);
            if (!v.known) throw AsmError{"Undefined symbol in {" + std::string(inner) + "}"};
            const std::int32_t n = v.number;
            const auto u = static_cast<std::uint32_t>(n);
            if (format == "H") {
                value = "$" + hexText(u, u > 0xFFFF ? 8 : u > 0xFF ? 4 : 2);
            } else if (format == "S") {
                value = std::to_string(u <= 0xFFFF ? static_cast<std::int16_t>(u) : n);
            } else if (format == "X") {
                value = std::to_string(n) + " [$" + hexText(u, u > 0xFFFF ? 8 : 4) + "]";
            } else if (format.size() == 1 && format[0] >= '1' && format[0] <= '9') {
                std::string digits = std::to_string(n < 0 ? -static_cast<std::int64_t>(n) : n);
                const auto places = static_cast<std::size_t>(format[0] - '0');
                if (digits.size() <= places) digits.insert(0, places + 1 - digits.size(), '0');
                value = (n < 0 ? "-" : "") + digits.substr(0, digits.size() - places) + "." +
                        digits.substr(digits.size() - places);
            } else if (!format.empty() && (format[0] == 'F' || format[0] == 'Z')) {
                std::size_t width = 2;
                if (format.size() > 1) width = format[1] == '0' ? 10 : format[1] - '0';
                value = std::to_string(n);
                if (value.size() < width)
                    value.insert(0, width - value.size(), format[0] == 'F' ? ' ' : '0');
            } else {
                value = std::to_string(n);
            }
        } catch (const AsmError&) {
            if (!inDirective) throw;
            value = "???";
        }
        out += value;
        i = close + 1;
    }
    out.append(text.substr(std::min(i, text.size())));
    return out;
}

}  // namespace tarnwick::asm11
