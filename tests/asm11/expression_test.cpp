// The expression evaluator on its own: operators, numbers, constants, symbol names and
// internal symbols, and its errors; then the operators whose characters mean more in a line.

#include "asm11/expression.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "asm11/asm_error.h"
#include "asm11/assemble_text.h"

namespace tarnwick::asm11 {
namespace {

// Symbols with distinct values, so that a wrongly cut name shows.
class TestSymbols : public SymbolSource {
  public:
    Value symbolValue(std::string_view name) override {
        static const std::map<std::string, std::int32_t, std::less<>> symbols = {
            {"?", 1},    {"?temp", 2}, {"Loop@@", 3}, {"Loop$$$", 4},
            {".dot", 5}, {"_x1", 6},   {"A", 0x10},
        };
        const auto it = symbols.find(name);
        if (it == symbols.end()) throw AsmError{"Undefined symbol: " + std::string(name)};
        return {it->second, true};
    }

    Value internalValue(std::string_view name) override {
        throw AsmError{"Unknown internal symbol " + std::string(name)};
    }
};

ExpressionContext testContext() {
    static TestSymbols symbols;
    return {&symbols, 0};
}

std::int32_t valueOf(const char* text) {
    return evaluateExpression(text, testContext()).number;
}

std::string errorOf(const char* text) {
    try {
        evaluateExpression(text, testContext());
    } catch (const AsmError& error) {
        return error.text;
    }
    return "no error";
}

struct ValueCase {
    const char* text;
    std::int32_t value;
};

TEST(ExpressionTest, UnaryOperatorsTakeBytesAndWords) {
    const ValueCase cases[] = {
        {"[$1234", 0x34},
        {"]$1234", 0x12},
        {"[[$123456", 0x3456},
        {"]]$123456", 0x0012},
        {"]]-1", 0xFFFF},
        {"[ [[$123456", 0x56},
        {"~$1234", 0x3412},
        {"~$123456", 0x5634},  // the high word goes
        {"~~$1234", 0x1234},
        {"-~$0100", -1},
        // A unary operator takes the term after it, then the line goes on left to right.
        {"]$1234+1", 0x13},
        {"[[$12345678>>8", 0x56},
        {"]{$1200+$3400}", 0x46},
    };
    for (const ValueCase& c : cases) EXPECT_EQ(valueOf(c.text), c.value) << c.text;
}

TEST(ExpressionTest, SingleAndDoubleAnglesShift) {
    const ValueCase cases[] = {
        {"1<4", 16},   {"1<<4", 16},         {"$80>4", 8}, {"$80>>4", 8},   {"1<4+1", 17},
        {"3+1<2", 16}, {"-1>1", 0x7FFFFFFF}, {"1<32", 0},  {"A>2<2", 0x10},
    };
    for (const ValueCase& c : cases) EXPECT_EQ(valueOf(c.text), c.value) << c.text;
}

TEST(ExpressionTest, NumbersReachThirtyTwoBits) {
    const ValueCase cases[] = {
        {"2147483647", 2147483647},
        {"-2147483647-1", -2147483647 - 1},
        {"$FFFFFFFF", -1},
        {"0xffffffff", -1},
        {"%11111111111111111111111111111111", -1},
        {"@37777777777", -1},
        {"$7FFFFFFF+1", -2147483647 - 1},  // arithmetic wraps
        {"@17", 15},
        {"$1F", 31},
        {"$0000000000012", 0x12},  // the limit is on the value, not the digits
    };
    for (const ValueCase& c : cases) EXPECT_EQ(valueOf(c.text), c.value) << c.text;
}

TEST(ExpressionTest, QuotedConstantsAreBigEndian) {
    const ValueCase cases[] = {
        {"'AB'", 0x4142},
        {"\"ABCD\"", 0x41424344},
        {"`A`", 0x41},
        {"`a b`", 0x612062},
        {"'A'<8|'B'", 0x4142},
        {"' '", 0x20},
        {"','", 0x2C},
        {"\"a\"\"\"", 0x6122},  // a doubled quote stands for one
        {"''''", 0x27},
        // Motorola's 'c: one character, the closing apostrophe optional.
        {"'a", 0x61},
        {"'a+1", 0x62},
        {"''", 0x27},
        {"'''", 0x27},
    };
    for (const ValueCase& c : cases) EXPECT_EQ(valueOf(c.text), c.value) << c.text;
}

TEST(ExpressionTest, SymbolNamesTakeLocalMarks) {
    const ValueCase cases[] = {
        {"?", 1}, {"?temp", 2}, {"Loop@@", 3}, {"Loop$$$+?", 5}, {".dot*_x1", 30},
    };
    for (const ValueCase& c : cases) EXPECT_EQ(valueOf(c.text), c.value) << c.text;
}

TEST(ExpressionTest, InternalSymbolsGoToTheirCallbackWithTheirColons) {
    // Numbers each internal symbol by its turn.
    struct Recorder : TestSymbols {
        std::vector<std::string> names;
        Value internalValue(std::string_view name) override {
            names.emplace_back(name);
            return {static_cast<std::int32_t>(names.size()), true};
        }
    } recorder;
    // Left to right: 1+2+3+4+5+6-7.
    EXPECT_EQ(evaluateExpression(":PC+:temp+:1+::+::Table+::?x-:A_1", {&recorder, 0}).number, 14);
    EXPECT_EQ(recorder.names,
              (std::vector<std::string>{":PC", ":temp", ":1", "::", "::Table", "::?x", ":A_1"}));
}

TEST(ExpressionTest, BadExpressionsSayWhy) {
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"2147483648", "Number too large: 2147483648"},
        {"4294967297", "Number too large: 4294967297"},
        {"$100000000", "Number too large: $100000000"},
        {"0x1FFFFFFFF", "Number too large: 0x1FFFFFFFF"},
        {"%111111111111111111111111111111111",
         "Number too large: %111111111111111111111111111111111"},
        {"@40000000000", "Number too large: @40000000000"},
        {"99999999999999999999999", "Number too large: 99999999999999999999999"},
        {"$12$", "Bad number: $12$"},
        {"'ABCDE'", "Character constant longer than 4 characters: 'ABCDE'"},
        {"\"\"", "Empty character constant"},
        {"`AB", "Unterminated string"},
        {"'", "Unterminated character constant"},
        {"1=2", "Unexpected '=' in expression 1=2"},
        {"1<>2", "Unexpected '>' in expression 1<>2"},
        {"A?B", "Unexpected '?' in expression A?B"},
        {"1+", "Missing term in expression 1+"},
        {":", "Unexpected ':' in expression :"},
        {":+1", "Unexpected ':' in expression :+1"},
        {":PC", "Unknown internal symbol :PC"},
        {"1+::Table", "Unknown internal symbol ::Table"},
    };
    for (const auto& c : cases) EXPECT_EQ(errorOf(c.text), c.message) << c.text;
}

// The leading < and > choose direct and extended addressing, and in #IF they compare: 2<1 as a
// shift would be true, 5>4 false.
TEST(ExpressionTest, AnglesStillForceModesAndCompareInConditions) {
    const AssemblyResult result = assembleText(
        " ORG $100\n LDAA <$10\n LDAA >$10\n FCB 1<2,$10>>1\n"
        "#IF 2<1\n FCB 1\n#ELSE\n FCB 2\n#ENDIF\n#IF 5>4\n FCB 3\n#ENDIF");
    EXPECT_EQ(result.errors, 0) << allMessages(result);
    EXPECT_EQ(bytesAt(result, 0x100),
              (std::vector<std::uint8_t>{0x96, 0x10, 0xB6, 0x00, 0x10, 4, 8, 2, 3}));
}

// Multi-character constants must not swallow Motorola's 'c lists, nor the blank ending an
// operand before a comment.
TEST(ExpressionTest, QuotedConstantsEndOperandsWhereTheyShould) {
    const AssemblyResult result = assembleText(
        " ORG $100\n FCB 'a,'b\n LDAA #'c load c's code\n LDX #'OK' ;it's\n"
        " FDB `;,`\n LDD #\"A;\"");
    EXPECT_EQ(result.errors, 0) << allMessages(result);
    EXPECT_EQ(bytesAt(result, 0x100), (std::vector<std::uint8_t>{'a', 'b', 0x86, 'c', 0xCE, 'O',
                                                                 'K', ';', ',', 0xCC, 'A', ';'}));
}

// Where + or - and * or / meet and the usual precedence would give another value, the
// evaluator notes both values and the { } grouping it read; nothing otherwise.
TEST(ExpressionTest, MixedPrecedenceIsNotedWhereTheOrderChangesTheValue) {
    const struct {
        const char* text;
        const char* hint;  // empty: none
    } cases[] = {
        {"2+3*4", "{2+3}*4 = 20 ($0014); the usual precedence would give 14 ($000E)"},
        {"10 - 2 * 3", "{10 - 2} * 3 = 24 ($0018); the usual precedence would give 4 ($0004)"},
        {"1+8/4-1", "{1+8}/4-1 = 1 ($0001); the usual precedence would give 2 ($0002)"},
        {"1+2*3+4*5", "{{1+2}*3+4}*5 = 65 ($0041); the usual precedence would give 27 ($001B)"},
        {"A+A*2&$FF", "{A+A}*2&$FF = 64 ($0040); the usual precedence would give 48 ($0030)"},
        {"1-3*2", "{1-3}*2 = -4 ($FFFFFFFC); the usual precedence would give -5 ($FFFFFFFB)"},
        {"3*{1+2*2}", "{1+2}*2 = 6 ($0006); the usual precedence would give 5 ($0005)"},
        {"2*3+4", ""},    // the same value either way
        {"0+2*1", ""},    // the same value either way
        {"0-1*2", ""},    // the same value either way
        {"{2+3}*4", ""},  // grouped: each part has one kind of operator
        {"2+3+4-1", ""},  // no * or /
        {"2*3/2", ""},    // no + or -
        {"1+1<<2", ""},   // a shift is neither
        {"-2*3", ""},     // a unary minus is part of its term
        {"1+6/0*0", ""},  // left to right divides by zero: an error, no note
    };
    for (const auto& c : cases) {
        std::string hint;
        ExpressionContext context = testContext();
        context.orderHint = &hint;
        try {
            evaluateExpression(c.text, context);
        } catch (const AsmError&) {
        }
        EXPECT_EQ(hint, *c.hint ? std::string("Read left to right: ") + c.hint : "") << c.text;
    }
}

}  // namespace
}  // namespace tarnwick::asm11
