#include "asm11/expression.h"

#include <cctype>
#include <string>

#include "asm11/asm_error.h"
#include "asm11/source_line.h"

namespace tarnwick::asm11 {

bool isSymbolStart(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_' || c == '.';
}

bool isSymbolChar(char c) {
    return isSymbolStart(c) || std::isdigit(static_cast<unsigned char>(c));
}

namespace {

int digitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'z') return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    return 99;
}

class Parser {
  public:
    Parser(std::string_view text, const ExpressionContext& context)
        : text_(text), context_(context) {}

    Value parse() {
        const Value value = sequence();
        skipBlanks();
        if (pos_ < text_.size()) {
            if (text_[pos_] == '}') throw AsmError{"Unbalanced '}' in expression"};
            throw AsmError{"Unexpected '" + std::string(1, text_[pos_]) + "' in expression " +
                           std::string(text_)};
        }
        return value;
    }

  private:
    std::string_view text_;
    const ExpressionContext& context_;
    std::size_t pos_ = 0;
    int depth_ = 0;
    static constexpr int kMaxNesting = 100;

    void skipBlanks() {
        while (pos_ < text_.size() && isBlank(text_[pos_])) ++pos_;
    }

    bool atEnd() {
        skipBlanks();
        return pos_ >= text_.size();
    }

    Value sequence() {
        Value value = term();
        while (!atEnd() && text_[pos_] != '}') {
            const char op = text_[pos_];
            std::string_view name(&text_[pos_], 1);
            if (op == '<' || op == '>') {
                if (pos_ + 1 >= text_.size() || text_[pos_ + 1] != op)
                    throw AsmError{"Unknown operator '" + std::string(name) + "'"};
                ++pos_;
            } else if (std::string_view("+-*/\\&|^").find(op) == std::string_view::npos) {
                throw AsmError{"Unexpected '" + std::string(name) + "' in expression " +
                               std::string(text_)};
            }
            ++pos_;
            value = apply(op, value, term());
        }
        return value;
    }

    static Value apply(char op, Value left, Value right) {
        Value result;
        result.known = left.known && right.known;
        if (!result.known) return result;
        const auto a = static_cast<std::uint32_t>(left.number);
        const auto b = static_cast<std::uint32_t>(right.number);
        std::uint32_t r = 0;
        switch (op) {
            case '+':
                r = a + b;
                break;
            case '-':
                r = a - b;
                break;
            case '*':
                r = a * b;
                break;
            case '/':
            case '\\': {
                if (b == 0) throw AsmError{"Division by zero"};
                const std::int64_t x = left.number, y = right.number;
                r = static_cast<std::uint32_t>(op == '/' ? x / y : x % y);
                break;
            }
            case '&':
                r = a & b;
                break;
            case '|':
                r = a | b;
                break;
            case '^':
                r = a ^ b;
                break;
            case '<':
                r = b > 31 ? 0 : a << b;
                break;
            case '>':
                r = b > 31 ? 0 : a >> b;
                break;
        }
        result.number = static_cast<std::int32_t>(r);
        return result;
    }

    // Bounds the recursion of braces and unary operators, whatever a line holds.
    struct Nesting {
        explicit Nesting(int& depth) : depth_(depth) {
            if (++depth_ > kMaxNesting) throw AsmError{"Expression nested too deeply"};
        }
        ~Nesting() { --depth_; }
        int& depth_;
    };

    Value term() {
        const Nesting nesting(depth_);
        if (atEnd()) throw AsmError{"Missing term in expression " + std::string(text_)};
        const char c = text_[pos_];
        if (c == '-' || c == '~' || c == '+') {
            ++pos_;
            Value value = term();
            const auto u = static_cast<std::uint32_t>(value.number);
            if (c == '-') value.number = static_cast<std::int32_t>(0u - u);
            if (c == '~') value.number = static_cast<std::int32_t>(~u);
            return value;
        }
        if (c == '{') {
            ++pos_;
            const Value value = sequence();
            if (atEnd() || text_[pos_] != '}') throw AsmError{"Missing '}' in expression"};
            ++pos_;
            return value;
        }
        if (c == '*') {
            ++pos_;
            return Value{context_.location, true};
        }
        if (c == '\'' || c == '"') return character(c);
        if (c == '$') return number(pos_ + 1, 16);
        if (c == '%') return number(pos_ + 1, 2);
        if (c == '@') return number(pos_ + 1, 8);
        if (c == '0' && pos_ + 1 < text_.size() &&
            (text_[pos_ + 1] == 'x' || text_[pos_ + 1] == 'X'))
            return number(pos_ + 2, 16);
        if (std::isdigit(static_cast<unsigned char>(c))) return number(pos_, 10);
        if (isSymbolStart(c)) {
            const std::size_t start = pos_;
            while (pos_ < text_.size() && isSymbolChar(text_[pos_])) ++pos_;
            return context_.symbol(text_.substr(start, pos_ - start));
        }
        throw AsmError{"Unexpected '" + std::string(1, c) + "' in expression " +
                       std::string(text_)};
    }

    Value character(char quote) {
        if (pos_ + 1 >= text_.size()) throw AsmError{"Unterminated character constant"};
        const auto value = static_cast<unsigned char>(text_[pos_ + 1]);
        pos_ += 2;
        if (pos_ < text_.size() && text_[pos_] == quote) {
            ++pos_;
        } else if (quote == '"') {
            throw AsmError{"Unterminated character constant"};
        }
        return Value{value, true};
    }

    Value number(std::size_t start, int base) {
        const std::size_t begin = pos_;
        std::size_t i = start;
        std::uint32_t value = 0;
        while (i < text_.size() && isSymbolChar(text_[i])) {
            const int digit = digitValue(text_[i]);
            if (digit >= base) {
                i = start;
                break;
            }
            value = value * static_cast<std::uint32_t>(base) + static_cast<std::uint32_t>(digit);
            ++i;
        }
        if (i == start) {
            std::size_t end = start;
            while (end < text_.size() && isSymbolChar(text_[end])) ++end;
            throw AsmError{"Bad number: " + std::string(text_.substr(begin, end - begin))};
        }
        pos_ = i;
        return Value{static_cast<std::int32_t>(value), true};
    }
};

}  // namespace

Value evaluateExpression(std::string_view text, const ExpressionContext& context) {
    return Parser(text, context).parse();
}

}  // namespace tarnwick::asm11
