// Every form of the instruction-set table assembled from one source: the bytes must be the
// table's, and an independent disassembler must read the same instructions back.

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "asm11/assemble_text.h"
#include "asm11/objdump_s19.h"
#include "asm11/output_files.h"
#include "base/instruction_set.h"

namespace tarnwick::asm11 {
namespace {

constexpr std::uint16_t kOrigin = 0x1000;

// One line of the generated source, with representative operands: address or offset $42,
// mask and 8-bit immediate $5A, extended address and 16-bit immediate $1234, branch target
// 16 bytes on from the instruction.
struct FormLine {
    const InstructionForm* form;
    std::string operand;
    std::vector<std::uint8_t> operandBytes;
};

FormLine formLine(const InstructionForm& form) {
    const std::uint8_t branch = static_cast<std::uint8_t>(0x10 - form.length);
    switch (form.mode) {
        case Mode::Inherent:
            return {&form, "", {}};
        case Mode::Immediate8:
            return {&form, "#$5A", {0x5A}};
        case Mode::Immediate16:
            return {&form, "#$1234", {0x12, 0x34}};
        case Mode::Direct:
            return {&form, "$42", {0x42}};
        case Mode::Extended:
            return {&form, "$1234", {0x12, 0x34}};
        case Mode::IndexedX:
            return {&form, "$42,X", {0x42}};
        case Mode::IndexedY:
            return {&form, "$42,Y", {0x42}};
        case Mode::Relative:
            return {&form, "*+$10", {branch}};
        case Mode::BitSetDirect:
            return {&form, "$42,#$5A", {0x42, 0x5A}};
        case Mode::BitSetIndexedX:
            return {&form, "$42,X,#$5A", {0x42, 0x5A}};
        case Mode::BitSetIndexedY:
            return {&form, "$42,Y,#$5A", {0x42, 0x5A}};
        case Mode::BitTestDirect:
            return {&form, "$42,#$5A,*+$10", {0x42, 0x5A, branch}};
        case Mode::BitTestIndexedX:
            return {&form, "$42,X,#$5A,*+$10", {0x42, 0x5A, branch}};
        case Mode::BitTestIndexedY:
            return {&form, "$42,Y,#$5A,*+$10", {0x42, 0x5A, branch}};
    }
    return {&form, "", {}};
}

std::vector<std::uint8_t> opcodeBytes(const InstructionForm& form) {
    switch (form.page) {
        case Page::Prefix18:
            return {kPrefix18, form.opcode};
        case Page::Prefix1A:
            return {kPrefix1A, form.opcode};
        case Page::PrefixCD:
            return {kPrefixCD, form.opcode};
        case Page::Base:
            break;
    }
    return {form.opcode};
}

class InstructionFormsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string source = " ORG $1000\n";
        for (const InstructionForm& form : kInstructionSet) {
            lines.push_back(formLine(form));
            source += " " + std::string(form.mnemonic) + " " + lines.back().operand + "\n";
        }
        result = assembleText(source);
    }

    std::vector<FormLine> lines;
    AssemblyResult result;
};

TEST_F(InstructionFormsTest, EveryFormAssemblesToTheTableOpcodeAndLength) {
    ASSERT_EQ(result.errors, 0) << allMessages(result);
    std::uint32_t address = kOrigin;
    for (const FormLine& line : lines) {
        std::vector<std::uint8_t> expected = opcodeBytes(*line.form);
        expected.insert(expected.end(), line.operandBytes.begin(), line.operandBytes.end());
        ASSERT_EQ(expected.size(), line.form->length) << line.form->mnemonic;
        const std::vector<std::uint8_t> actual(
            result.image.bytes.begin() + address,
            result.image.bytes.begin() + address + line.form->length);
        EXPECT_EQ(actual, expected) << line.form->mnemonic << " " << line.operand;
        address += line.form->length;
    }
    EXPECT_EQ(bytesAt(result, kOrigin).size(), address - kOrigin);
}

// GNU binutils names some instructions differently from Motorola.
std::string binutilsName(std::string_view mnemonic) {
    static const std::map<std::string_view, std::string> renamed = {
        {"BHS", "bcc"},   {"BLO", "bcs"},   {"LSL", "asl"},   {"LSLA", "asla"},
        {"LSLB", "aslb"}, {"LSLD", "asld"}, {"TEST", "bgnd"},
    };
    if (const auto it = renamed.find(mnemonic); it != renamed.end()) return it->second;
    std::string name(mnemonic);
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name;
}

// Pieces binutils must print for the representative operands of an instruction at `address`.
std::vector<std::string> binutilsOperandParts(const InstructionForm& form, std::uint32_t address) {
    std::ostringstream target;
    target << "0x" << std::hex << address + 0x10;
    switch (form.mode) {
        case Mode::Inherent:
            return {};
        case Mode::Immediate8:
            return {"#0x5a"};
        case Mode::Immediate16:
            return {"#0x1234"};
        case Mode::Direct:
            return {"*0x42"};
        case Mode::Extended:
            return {"0x1234"};
        case Mode::IndexedX:
            return {"0x42,x"};
        case Mode::IndexedY:
            return {"0x42,y"};
        case Mode::Relative:
            return {target.str()};
        case Mode::BitSetDirect:
            return {"*0x42", "#0x5a"};
        case Mode::BitSetIndexedX:
            return {"0x42,x", "#0x5a"};
        case Mode::BitSetIndexedY:
            return {"0x42,y", "#0x5a"};
        case Mode::BitTestDirect:
            return {"*0x42", "#0x5a", target.str()};
        case Mode::BitTestIndexedX:
            return {"0x42,x", "#0x5a", target.str()};
        case Mode::BitTestIndexedY:
            return {"0x42,y", "#0x5a", target.str()};
    }
    return {};
}

TEST_F(InstructionFormsTest, BinutilsDisassemblesTheSameInstructions) {
    ASSERT_TRUE(objdumpInstalled()) << "m68hc11-objdump is missing: install binutils-m68hc1x";
    ASSERT_EQ(result.errors, 0) << allMessages(result);
    const std::map<std::uint32_t, ObjdumpInstruction> decoded = objdumpS19(s19Text(result, ""));
    std::uint32_t address = kOrigin;
    for (const FormLine& line : lines) {
        const auto it = decoded.find(address);
        ASSERT_NE(it, decoded.end()) << line.form->mnemonic << " at " << std::hex << address;
        EXPECT_EQ(it->second.mnemonic, binutilsName(line.form->mnemonic)) << std::hex << address;
        EXPECT_EQ(it->second.length, line.form->length) << line.form->mnemonic;
        for (const std::string& part : binutilsOperandParts(*line.form, address))
            EXPECT_NE(it->second.operands.find(part), std::string::npos)
                << line.form->mnemonic << ": " << it->second.operands << " lacks " << part;
        address += line.form->length;
    }
}

}  // namespace
}  // namespace tarnwick::asm11
