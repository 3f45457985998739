#include "debugger/watch_evaluator.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/machine_fixture.h"
#include "debugger/watch_format.h"

namespace tarnwick {
namespace {

using testing::MachineTest;

class WatchEvaluatorTest : public MachineTest {
  protected:
    void store(std::uint16_t address, const std::vector<std::uint8_t>& bytes) {
        for (const std::uint8_t byte : bytes) machine->poke(address++, byte);
    }
    std::string evaluate(std::string_view key, unsigned length, std::uint16_t address = 0x0040) {
        const auto format = assemblyWatchFormat(key);
        EXPECT_TRUE(format) << key;
        return format ? evaluateWatch(*machine, address, *format, length) : std::string();
    }
};

// At 0040: 12 AB 00 FE 41 0A 10 00 48 69 00; the pointer 1000 at 0046 leads to 3C 7F 80 01.
TEST_F(WatchEvaluatorTest, EveryAssemblyKeyDecodesItsElements) {
    store(0x0040, {0x12, 0xAB, 0x00, 0xFE, 0x41, 0x0A, 0x10, 0x00, 0x48, 0x69, 0x00});
    store(0x1000, {0x3C, 0x7F, 0x80, 0x01});
    struct Case {
        std::string_view key;
        std::uint16_t address;
        unsigned length;
        std::string value;
    };
    const Case cases[] = {
        {"ByteHex", 0x0040, 3, "0:12,1:AB,2:00"},
        {"ByteBin", 0x0044, 2, "0:0100-0001,1:0000-1010"},
        {"ByteDec", 0x0040, 2, "0:18,1:171"},
        {"ByteChar", 0x0044, 2, "0:'A',1:'\\n'"},
        {"PtrBHex", 0x0046, 2, "0:3C,1:7F"},
        {"PtrBBin", 0x0046, 1, "0:0011-1100"},
        {"PtrBDec", 0x0046, 3, "0:60,1:127,2:128"},
        {"PtrBChar", 0x0046, 1, "0:'<'"},
        {"WordHex", 0x0040, 2, "0:12AB,1:00FE"},
        {"WordBin", 0x0040, 1, "0:0001-0010-1010-1011"},
        {"WordDec", 0x0042, 1, "0:254"},
        {"WordDec", 0x0043, 1, "0:65089"},
        {"PtrWHex", 0x0046, 2, "0:3C7F,1:8001"},
        {"PtrWBin", 0x0046, 1, "0:0011-1100-0111-1111"},
        {"PtrWDec", 0x0046, 2, "0:15487,1:32769"},
        {"PtrStr", 0x0046, 2, "\"<\x7F\""},
        {"String", 0x0048, 3, "\"Hi.\""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(evaluate(c.key, c.length, c.address), c.value) << c.key << " at " << c.address;
}

TEST_F(WatchEvaluatorTest, UnsignedWordsAndBinaryLimits) {
    store(0x0040, {0xFF, 0xFE});
    EXPECT_EQ(evaluate("WordDec", 1), "0:65534");

    // Binary elements are wide: bytes stop after 20, words after 11; other keys show all 32.
    const auto elements = [](const std::string& value) {
        return std::count(value.begin(), value.end(), ':');
    };
    EXPECT_EQ(elements(evaluate("ByteBin", 32)), 20);
    EXPECT_EQ(elements(evaluate("PtrBBin", 32)), 20);
    EXPECT_EQ(elements(evaluate("WordBin", 32)), 11);
    EXPECT_EQ(elements(evaluate("PtrWBin", 32)), 11);
    EXPECT_EQ(elements(evaluate("ByteHex", 32)), 32);
    EXPECT_EQ(elements(evaluate("WordDec", 32)), 32);
    EXPECT_EQ(evaluate("ByteHex", 32).back(), '0');  // no trailing comma
}

TEST_F(WatchEvaluatorTest, ElementsPastFFFFWrapToZero) {
    store(0xFFFF, {0xAA});
    store(0x0000, {0xBB, 0xCC});
    EXPECT_EQ(evaluate("ByteHex", 2, 0xFFFF), "0:AA,1:BB");
    EXPECT_EQ(evaluate("WordHex", 2, 0xFFFF), "0:AABB,1:CC00");
    EXPECT_EQ(evaluate("String", 2, 0xFFFF), "\"\xAA\xBB\"");
}

TEST_F(WatchEvaluatorTest, StringsShowEveryCharacterPastZeroBytes) {
    store(0x0040, {0x41, 0x5C, 0x22, 0x00, 0x0D, 0x42});
    EXPECT_EQ(evaluate("String", 3), R"("A\\\"")");
    EXPECT_EQ(evaluate("String", 6), R"("A\\\".\rB")");
    store(0x0050, {0x00, 0x40});
    EXPECT_EQ(evaluate("PtrStr", 3, 0x0050), R"("A\\\"")");
}

TEST(WatchFormsTest, BinaryFormPutsBitSevenFirstWithADashInTheMiddle) {
    EXPECT_EQ(watchBinaryForm(0x41), "0100-0001");
    EXPECT_EQ(watchBinaryForm(0x00), "0000-0000");
    EXPECT_EQ(watchBinaryForm(0xFF), "1111-1111");
    EXPECT_EQ(watchBinaryForm(0x80), "1000-0000");
    EXPECT_EQ(watchBinaryForm(0x01), "0000-0001");
}

TEST(WatchFormsTest, CharacterTranslation) {
    const std::string controls[] = {"\\a", "\\b", "\\t", "\\n", "\\v", "\\f", "\\r"};
    for (int byte = 0; byte < 32; ++byte) {
        const bool escaped = byte >= 7 && byte <= 13;
        EXPECT_EQ(watchCharacter(static_cast<std::uint8_t>(byte)),
                  escaped ? controls[byte - 7] : ".")
            << byte;
    }
    EXPECT_EQ(watchCharacter('"'), "\\\"");
    EXPECT_EQ(watchCharacter('\''), "\\'");
    EXPECT_EQ(watchCharacter('?'), "\\?");
    EXPECT_EQ(watchCharacter('\\'), "\\\\");
    EXPECT_EQ(watchCharacter(' '), " ");
    EXPECT_EQ(watchCharacter('A'), "A");
    EXPECT_EQ(watchCharacter(0xE9), "\xE9");
}

// The C keys decode like the assembly keys of the same shape; the other combinations show
// nothing, and texts that no C dialog can build are no keys at all.
TEST(CWatchKeyTest, KeysDecodeLikeTheirAssemblyShape) {
    struct Shape {
        std::string_view typeClass;
        std::string_view assemblyStem;  // empty: the class shows nothing
    };
    const Shape shapes[] = {
        {"Char", "Byte"}, {"PtrB", "PtrB"}, {"Short", "Word"}, {"PtrW", "PtrW"}, {"Long", ""}};
    for (const char scope : {'G', 'L'}) {
        for (const Shape& shape : shapes) {
            for (const CWatchDisplayChoice& choice : kCWatchFormats) {
                const std::string key = cWatchKey(scope == 'L', shape.typeClass, choice.suffix);
                const auto parsed = parseCWatchKey(key);
                ASSERT_TRUE(parsed) << key;
                EXPECT_EQ(parsed->local, scope == 'L') << key;
                const auto expected = shape.assemblyStem.empty()
                                          ? std::nullopt
                                          : assemblyWatchFormat(std::string(shape.assemblyStem) +
                                                                std::string(choice.suffix));
                ASSERT_EQ(parsed->format.has_value(), expected.has_value()) << key;
                if (expected) {
                    EXPECT_EQ(parsed->format->element, expected->element) << key;
                    EXPECT_EQ(parsed->format->display, expected->display) << key;
                    EXPECT_EQ(parsed->format->throughPointer, expected->throughPointer) << key;
                }
            }
        }
    }
    for (const std::string_view text : {"", "ByteHex", "XCharDec", "GChar", "GCharOct", "gCharDec"})
        EXPECT_FALSE(parseCWatchKey(text)) << text;
}

TEST(CWatchKeyTest, TypeCodesMapToClasses) {
    const std::pair<std::string_view, std::string_view> codes[] = {
        {"C", "Char"},  {"c", "Char"},  {"pC", "PtrB"}, {"pc", "PtrB"}, {"S", "Short"},
        {"s", "Short"}, {"I", "Short"}, {"i", "Short"}, {"pS", "PtrW"}, {"ps", "PtrW"},
        {"pI", "PtrW"}, {"pi", "PtrW"}, {"L", "Long"},  {"l", "Long"}};
    for (const auto& [code, typeClass] : codes) EXPECT_EQ(cTypeClass(code), typeClass) << code;
    for (const std::string_view code : {"", "F", "pL", "ppC", "D"})
        EXPECT_FALSE(cTypeClass(code)) << code;
}

}  // namespace
}  // namespace tarnwick
