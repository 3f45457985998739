#include "asm11/expression.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <string>
#include <vector>

#include "asm11/asm_error.h"
#include "asm11/source_line.h"
#include "base/number_text.h"

namespace tarnwick::asm11 {

namespace {

// The usual precedence of the binary operators, tightest first: * / \ (remainder), + -,
// the shifts, &, ^, |.
constexpr int kLevels = 6;
constexpr int kNoOperator = kLevels;

int usualLevel(char op) {
    switch (op) {
        case '*':
        case '/':
        case '\\':
            return 5;
        case '+':
        case '-':
            return 4;
        case '<':
        case '>':
            return 3;
        case '&':
            return 2;
        case '^':
            return 1;
        default:
            return 0;
    }
}

std::string valueText(std::int32_t value) {
    const auto u = static_cast<std::uint32_t>(value);
    return std::to_string(value) + " ($" + hexText(u, u > 0xFFFF ? 8 : 4) + ")";
}

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

    static bool isBinaryOperator(char c) {
        switch (c) {
            case '+':
            case '-':
            case '*':
            case '/':
            case '\\':
            case '&':
            case '|':
            case '^':
            case '<':
            case '>':
                return true;
            default:
                return false;
        }
    }

    // The same operands evaluated with the usual precedence, beside the left-to-right value.
    // Pending operators are strictly increasing in precedence, so a few fixed slots hold them.
    class UsualOrder {
      public:
        explicit UsualOrder(Value first) { values_[0] = first; }

        void push(char op, Value right) {
            const int level = usualLevel(op);
            while (count_ > 0 && levels_[count_ - 1] >= level) reduce();
            ops_[count_] = op;
            levels_[count_] = level;
            values_[++count_] = right;
        }

        // A division's right operand is one term in either order, so left to right has
        // thrown before this could divide by zero.
        Value finish() {
            while (count_ > 0) reduce();
            return values_[0];
        }

      private:
        void reduce() {
            --count_;
            values_[count_] = apply(ops_[count_], values_[count_], values_[count_ + 1]);
        }

        Value values_[kLevels + 1];
        char ops_[kLevels] = {};
        int levels_[kLevels] = {};
        int count_ = 0;
    };

    Value sequence() {
        skipBlanks();
        const std::size_t start = pos_;
        Value value = term();
        std::size_t termEnd = pos_;
        UsualOrder usual(value);
        bool additive = false;
        bool multiplicative = false;
        // Where a "}" makes the left-to-right order explicit: before an operator that binds
        // tighter than one already read since the last brace.
        std::vector<std::size_t> closeAt;
        int loosest = kNoOperator;
        while (!atEnd() && text_[pos_] != '}') {
            const char op = text_[pos_];
            if (!isBinaryOperator(op))
                throw AsmError{"Unexpected '" + std::string(1, op) + "' in expression " +
                               std::string(text_)};
            ++pos_;
            // << and >> are the older spellings of the shifts.
            if ((op == '<' || op == '>') && pos_ < text_.size() && text_[pos_] == op) ++pos_;
            const int level = usualLevel(op);
            if (loosest < level) {
                closeAt.push_back(termEnd);
                loosest = kNoOperator;
            }
            loosest = std::min(loosest, level);
            additive = additive || op == '+' || op == '-';
            multiplicative = multiplicative || op == '*' || op == '/';
            const Value right = term();
            termEnd = pos_;
            value = apply(op, value, right);
            usual.push(op, right);
        }
        if (additive && multiplicative && value.known && context_.orderHint &&
            context_.orderHint->empty()) {
            const Value other = usual.finish();
            if (other.number != value.number)
                *context_.orderHint = orderHint(start, termEnd, closeAt, value, other);
        }
        return value;
    }

    std::string orderHint(std::size_t start, std::size_t end,
                          const std::vector<std::size_t>& closeAt, Value leftToRight,
                          Value usual) const {
        std::string grouped(closeAt.size(), '{');
        std::size_t from = start;
        for (const std::size_t close : closeAt) {
            grouped.append(text_.substr(from, close - from)).push_back('}');
            from = close;
        }
        grouped.append(text_.substr(from, end - from));
        return "Read left to right: " + grouped + " = " + valueText(leftToRight.number) +
               "; the usual precedence would give " + valueText(usual.number);
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

    static std::uint32_t unary(char op, bool doubled, std::uint32_t u) {
        switch (op) {
            case '-':
                return 0u - u;
            case '~':
                return ((u & 0xFF) << 8) | ((u >> 8) & 0xFF);
            case '[':
                return doubled ? u & 0xFFFF : u & 0xFF;
            case ']':
                return doubled ? u >> 16 : (u >> 8) & 0xFF;
            default:
                return u;
        }
    }

    Value term() {
        const Nesting nesting(depth_);
        if (atEnd()) throw AsmError{"Missing term in expression " + std::string(text_)};
        const char c = text_[pos_];
        if (c == '-' || c == '+' || c == '~' || c == '[' || c == ']') {
            const bool doubled =
                (c == '[' || c == ']') && pos_ + 1 < text_.size() && text_[pos_ + 1] == c;
            pos_ += doubled ? 2 : 1;
            Value value = term();
            value.number = static_cast<std::int32_t>(
                unary(c, doubled, static_cast<std::uint32_t>(value.number)));
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
        if (c == '\'' || c == '"' || c == '`') return character();
        if (c == ':') return internal();
        if (c == '$') return number(pos_ + 1, 16);
        if (c == '%') return number(pos_ + 1, 2);
        if (c == '@') return number(pos_ + 1, 8);
        if (c == '0' && pos_ + 1 < text_.size() &&
            (text_[pos_ + 1] == 'x' || text_[pos_ + 1] == 'X'))
            return number(pos_ + 2, 16);
        if (std::isdigit(static_cast<unsigned char>(c))) return number(pos_, 10);
        if (isSymbolStart(c)) {
            const std::size_t start = pos_++;
            while (pos_ < text_.size() && isSymbolChar(text_[pos_])) ++pos_;
            return context_.symbols->symbolValue(text_.substr(start, pos_ - start));
        }
        throw AsmError{"Unexpected '" + std::string(1, c) + "' in expression " +
                       std::string(text_)};
    }

    Value character() {
        const Constant constant = readConstant(text_, pos_);
        if (constant.chars.empty()) throw AsmError{"Empty character constant"};
        if (constant.chars.size() > 4)
            throw AsmError{"Character constant longer than 4 characters: " +
                           std::string(text_.substr(pos_, constant.end - pos_))};
        std::uint32_t value = 0;
        for (const char c : constant.chars) value = value << 8 | static_cast<unsigned char>(c);
        pos_ = constant.end;
        return Value{static_cast<std::int32_t>(value), true};
    }

    // :name (letters, digits, '_'), "::" alone, or "::" and a symbol (its size).
    Value internal() {
        const std::size_t start = pos_++;
        if (pos_ < text_.size() && text_[pos_] == ':') {
            ++pos_;
            if (pos_ < text_.size() && isSymbolStart(text_[pos_])) {
                ++pos_;
                while (pos_ < text_.size() && isSymbolChar(text_[pos_])) ++pos_;
            }
        } else {
            while (pos_ < text_.size() &&
                   (std::isalnum(static_cast<unsigned char>(text_[pos_])) || text_[pos_] == '_'))
                ++pos_;
            if (pos_ == start + 1)
                throw AsmError{"Unexpected ':' in expression " + std::string(text_)};
        }
        const std::string_view name = text_.substr(start, pos_ - start);
        return context_.symbols->internalValue(name);
    }

    // Decimal literals are signed 32-bit; the others may give all 32 bits.
    Value number(std::size_t start, int base) {
        const std::size_t begin = pos_;
        const std::uint64_t limit = base == 10 ? INT32_MAX : UINT32_MAX;
        std::uint64_t value = 0;
        bool bad = false;
        // One pass over the literal: the digits' values and whether all are digits of the base.
        std::size_t end = start;
        for (; end < text_.size() && isSymbolChar(text_[end]); ++end) {
            const int digit = digitValue(text_[end]);
            bad = bad || digit >= base;
            if (!bad && value <= limit)
                value =
                    value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
        }
        const std::string_view literal = text_.substr(begin, end - begin);
        if (bad || end == start) throw AsmError{"Bad number: " + std::string(literal)};
        if (value > limit) throw AsmError{"Number too large: " + std::string(literal)};
        pos_ = end;
        return Value{static_cast<std::int32_t>(static_cast<std::uint32_t>(value)), true};
    }
};

}  // namespace

Value evaluateExpression(std::string_view text, const ExpressionContext& context) {
    return Parser(text, context).parse();
}

}  // namespace tarnwick::asm11
