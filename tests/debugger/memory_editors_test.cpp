#include "debugger/memory_editors.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

#include "base/number_text.h"
#include "debugger/register_editor.h"
#include "support/fake_debug_display.h"
#include "support/fake_host.h"

namespace tarnwick::testing {
namespace {

TEST(EditorFieldsTest, KeyFiltersTakeOnlyTheirDigitsAndBackspace) {
    for (const char key : std::string("09afAF\b")) EXPECT_TRUE(isHexKey(key)) << key;
    for (const char key : std::string("gG- x$")) EXPECT_FALSE(isHexKey(key)) << key;
    for (const char key : std::string("09\b")) EXPECT_TRUE(isDecimalKey(key)) << key;
    for (const char key : std::string("aF-+ .")) EXPECT_FALSE(isDecimalKey(key)) << key;
}

TEST(EditorFieldsTest, HexFieldCleansEveryChangedText) {
    struct Case {
        FieldWidth width;
        const char* typed;
        const char* shown;
        std::uint16_t value;
    };
    const Case cases[] = {
        {FieldWidth::Byte, "a", "A", 0x0A},
        {FieldWidth::Byte, "fz", "F", 0x0F},
        {FieldWidth::Byte, "", "0", 0},
        {FieldWidth::Byte, "1234", "12", 0x12},
        {FieldWidth::Word, "c0de", "C0DE", 0xC0DE},
        {FieldWidth::Word, "$-x", "0", 0},
    };
    for (const Case& c : cases) {
        HexField field(c.width, 0x55);
        field.edit(c.typed);
        EXPECT_EQ(field.text(), c.shown) << c.typed;
        EXPECT_EQ(field.value(), c.value) << c.typed;
    }
}

TEST(EditorFieldsTest, PairedFieldsFollowEachOther) {
    struct Case {
        FieldWidth width;
        bool decimalEdited;
        const char* typed;
        const char* hex;
        const char* decimal;
    };
    const Case cases[] = {
        {FieldWidth::Byte, true, "300", "FF", "255"},
        {FieldWidth::Byte, true, "7", "7", "7"},
        {FieldWidth::Byte, true, "", "0", "0"},
        {FieldWidth::Byte, false, "0f", "0F", "15"},
        {FieldWidth::Byte, false, "", "0", "0"},
        {FieldWidth::Word, true, "10", "A", "10"},
        {FieldWidth::Word, true, "300", "12C", "300"},
        {FieldWidth::Word, true, "4096", "1000", "4096"},
        {FieldWidth::Word, true, "99999", "FFFF", "65535"},
        {FieldWidth::Word, true, "123456789012345678901234", "FFFF", "65535"},
        {FieldWidth::Word, false, "00ff", "00FF", "255"},
    };
    for (const Case& c : cases) {
        HexDecimalPair pair(c.width, 0x42);
        if (c.decimalEdited)
            pair.editDecimal(c.typed);
        else
            pair.editHex(c.typed);
        EXPECT_EQ(pair.hexText(), c.hex) << c.typed;
        EXPECT_EQ(pair.decimalText(), c.decimal) << c.typed;
    }
}

TEST(EditorFieldsTest, ByteForms) {
    struct Case {
        std::uint8_t byte;
        const char* binary;
        const char* character;
    };
    const Case cases[] = {
        {0x41, "0100-0001", "'A'"}, {0x00, "0000-0000", "'.'"},    {0x1F, "0001-1111", "'.'"},
        {0x20, "0010-0000", "' '"}, {0xFF, "1111-1111", "'\xFF'"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(binaryForm(c.byte), c.binary) << int{c.byte};
        EXPECT_EQ(characterForm(c.byte), c.character) << int{c.byte};
    }
}

class EditorTest : public ::testing::Test {
  protected:
    EditorTest() {
        setMemoryKind(machine->memory, 0x0000, 0x00FF, MemoryKind::Ram);
        setMemoryKind(machine->memory, 0x0100, 0x01FF, MemoryKind::Rom);
        setMemoryKind(machine->memory, 0x1000, 0x103F, MemoryKind::Io);
    }

    FakeHost host;
    FakeDebugDisplay display;
    std::unique_ptr<Machine> machine = std::make_unique<Machine>(host);
};

TEST_F(EditorTest, RegisterEditorShowsTheRegistersAndStoresItsFields) {
    machine->a = 0x41;
    machine->b = 0x05;
    machine->ix = 0x1234;
    machine->iy = 0x00FF;
    machine->sp = 0x01FF;
    machine->flags = {.s = true, .x = true, .i = true, .z = true, .c = true};
    machine->cycleCounter = 777;

    RegisterEditor editor(*machine);
    EXPECT_EQ(editor.currentA, "41");
    EXPECT_EQ(editor.currentIy, "00FF");
    EXPECT_EQ(editor.a.decimalText(), "65");
    EXPECT_EQ(editor.iy.hexText(), "00FF");
    EXPECT_EQ(editor.iy.decimalText(), "255");
    EXPECT_EQ(editor.aCharacter(), "'A'");
    EXPECT_EQ(editor.bBinary(), "0000-0101");
    EXPECT_FALSE(editor.halfCarry);
    EXPECT_TRUE(editor.zero);

    editor.a.editDecimal("300");
    editor.b.editHex("");
    editor.ix.editDecimal("4096");
    editor.iy.editHex("beef");
    editor.sp.edit("7f");
    editor.halfCarry = true;
    editor.zero = false;
    editor.carry = false;
    editor.negative = true;
    editor.overflow = true;
    EXPECT_EQ(editor.aBinary(), "1111-1111");
    editor.accept(*machine, display);

    EXPECT_EQ(machine->a, 0xFF);
    EXPECT_EQ(machine->b, 0x00);
    EXPECT_EQ(machine->ix, 0x1000);
    EXPECT_EQ(machine->iy, 0xBEEF);
    EXPECT_EQ(machine->sp, 0x007F);
    // H N V set, Z C cleared; S X I are not the dialog's.
    EXPECT_EQ(machine->flags.byte(), 0xFA);
    EXPECT_EQ(machine->cycleCounter, 777u);
    EXPECT_EQ(display.refreshed, kRegisterPanel | kStackView);
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(EditorTest, RamEditorShowsTheLine) {
    for (int i = 0; i < 16; ++i) machine->poke(static_cast<std::uint16_t>(0x40 + i), 0x3A + i);
    machine->poke(0x4F, 0x0A);

    const RamEditor editor(*machine, 0x0040);
    EXPECT_EQ(editor.rowLabel(0), "0040:");
    EXPECT_EQ(editor.rowLabel(1), "0048:");
    EXPECT_EQ(editor.bytes[0].text(), "3A");
    EXPECT_EQ(editor.characterLabel(7), "A");
    EXPECT_EQ(editor.characterLabel(15), ".");
    EXPECT_EQ(editor.from.text(), "0040");
    EXPECT_EQ(editor.to.text(), "004F");
    EXPECT_EQ(editor.fill.text(), "00");
    EXPECT_FALSE(editor.random);
    EXPECT_EQ(editor.mode, RamEditor::Mode::OneBlock);

    // A block that starts off the 16-byte grid labels its second row with its own address.
    EXPECT_EQ(RamEditor(*machine, 0x0003).rowLabel(1), "000B:");
}

TEST_F(EditorTest, OneBlockWritesAllSixteenBytesWhateverTheirKind) {
    RamEditor editor(*machine, 0x00F8);  // 00F8-00FF RAM, 0100-0107 ROM
    for (std::size_t i = 0; i < 16; ++i) editor.bytes[i].edit(hexText(0x10 + i, 2));
    editor.accept(*machine, display);

    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(machine->peek(static_cast<std::uint16_t>(0xF8 + i)), 0x10 + i) << i;
    EXPECT_TRUE(machine->memoryChanged);
    EXPECT_EQ(display.refreshed, kRamView | kStackView | kWatchValues);
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(EditorTest, OneBlockAtTheTopOfMemoryWraps) {
    RamEditor editor(*machine, 0xFFF8);
    editor.bytes[8].edit("AB");
    editor.accept(*machine, display);
    EXPECT_EQ(machine->peek(0x0000), 0xAB);
}

TEST_F(EditorTest, BlocksFillOnlyRamInTheRange) {
    RamEditor editor(*machine, 0x0000);
    editor.mode = RamEditor::Mode::Blocks;
    editor.from.edit("00f0");
    editor.to.edit("0108");
    editor.fill.edit("5a");
    editor.accept(*machine, display);

    EXPECT_EQ(machine->peek(0x00EF), 0x00);
    for (int address = 0xF0; address <= 0xFF; ++address)
        EXPECT_EQ(machine->peek(static_cast<std::uint16_t>(address)), 0x5A) << address;
    EXPECT_EQ(machine->peek(0x0100), 0x00);  // ROM is skipped
    EXPECT_TRUE(machine->memoryChanged);
    EXPECT_EQ(display.refreshed, kRamView | kStackView | kWatchValues);
}

TEST_F(EditorTest, BlocksWithRandomFillRamWithVaryingBytes) {
    setMemoryKind(machine->memory, 0x0080, 0x0080, MemoryKind::Io);
    RamEditor editor(*machine, 0x0000);
    editor.mode = RamEditor::Mode::Blocks;
    editor.from.edit("0000");
    editor.to.edit("FFFF");
    editor.random = true;
    editor.accept(*machine, display);

    std::set<int> ramBytes;
    for (int address = 0; address <= 0xFF; ++address)
        if (address != 0x80) ramBytes.insert(machine->peek(static_cast<std::uint16_t>(address)));
    EXPECT_GT(ramBytes.size(), 100u);
    EXPECT_EQ(machine->peek(0x0080), 0x00);
    EXPECT_EQ(machine->peek(0x0100), 0x00);
    EXPECT_EQ(machine->peek(0xFFFF), 0x00);
}

TEST_F(EditorTest, BlocksRefuseARangeWhoseStartIsNotBelowItsEnd) {
    struct Case {
        const char* from;
        const char* to;
    };
    for (const Case& c : {Case{"0000", "0000"}, Case{"0020", "0010"}, Case{"", ""}}) {
        RamEditor editor(*machine, 0x0000);
        editor.mode = RamEditor::Mode::Blocks;
        editor.from.edit(c.from);
        editor.to.edit(c.to);
        editor.fill.edit("FF");
        host.messages.clear();
        display.refreshed = 0;
        editor.accept(*machine, display);

        ASSERT_EQ(host.messages.size(), 1u) << c.from << "-" << c.to;
        EXPECT_EQ(host.messages[0].kind, FakeHost::Message::Error);
        EXPECT_EQ(host.messages[0].text, "Start Address is lower than Stop Address");
        EXPECT_EQ(display.refreshed, kWatchList);
        EXPECT_FALSE(machine->memoryChanged);
        for (int address = 0; address <= 0x20; ++address)
            EXPECT_EQ(machine->peek(static_cast<std::uint16_t>(address)), 0x00) << address;
    }
}

TEST_F(EditorTest, StackEditorShowsAndStoresTheByte) {
    machine->poke(0x00FE, 0x41);
    StackByteEditor editor(*machine, 0x00FE);
    EXPECT_EQ(editor.addressLabel(), "00FE:");
    EXPECT_EQ(editor.byte.hexText(), "41");
    EXPECT_EQ(editor.byte.decimalText(), "65");
    EXPECT_EQ(editor.characterLabel(), "'A'");
    EXPECT_EQ(editor.binaryLabel(), "0100-0001");

    editor.byte.editHex("");
    EXPECT_EQ(editor.byte.decimalText(), "0");
    editor.byte.editDecimal("256");
    editor.accept(*machine, display);
    EXPECT_EQ(machine->peek(0x00FE), 0xFF);
    EXPECT_TRUE(machine->memoryChanged);
    EXPECT_EQ(display.refreshed, kStackView | kRamView | kWatchValues);
}

}  // namespace
}  // namespace tarnwick::testing
