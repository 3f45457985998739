#include <gtest/gtest.h>

#include "disasm/binary_export.h"
#include "disasm/disasm_fixture.h"
#include "disasm/disassembly_export.h"

namespace tarnwick {
namespace {

using DisassemblyExportTest = testing::DisasmTest;
using BinaryExportTest = testing::DisasmTest;

const LocalDateTime kTime{2025, 1, 8, 3, 15, 7};
const std::string kHeader = ";Disassembled by Tarnwick [Wednesday, January 08, 2025 3:07 PM]\r\n";
const std::string kIndent(20, ' ');

// An instruction line: `instruction` and blanks up to column 49, then the comment.
std::string code(const std::string& instruction, const std::string& comment) {
    return kIndent + instruction + std::string(29 - instruction.size(), ' ') + " ; " + comment;
}

// The vector table of a machine whose vectors all hold 0000 except the reset vector E000.
std::string vectorTable() {
    std::string text = " \r\n" + kIndent + "ORG       $FFC0 \r\n";
    for (int address = 0xFFC0; address < 0xFFFE; address += 2) {
        static constexpr char kDigits[] = "0123456789ABCDEF";
        std::string hex = "FF";
        hex += kDigits[(address >> 4) & 0xF];
        hex += kDigits[address & 0xF];
        text += kIndent + "FDB       $0000" + std::string(15, ' ') + "; $" + hex + " 0000\r\n";
    }
    return text + kIndent + "FDB       $E000" + std::string(15, ' ') + "; $FFFE E000\r\n";
}

TEST_F(DisassemblyExportTest, SmallImageAndItsSymbols) {
    store(0xFFB6, {0x86, 0x05, 0x39, 0x18, 0x3B, 0x01, 0x02, 0x03, 0x04, 0x05});
    store(0xFFFE, {0xE0, 0x00});
    const DisassemblyTexts texts = disassemblyTexts(*machine, "prog.asm", 0xFFB6, kTime);
    EXPECT_EQ(texts.asmText,
              kHeader + kIndent + "ORG       $FFB6 \r\n" +
                  code("LDAA      #$05", "$FFB6 86 05 \r\n") + code("RTS", "$FFB8 39  \r\n\r\n") +
                  code("FCB       $18", "$FFB9 18 \r\n") + code("RTI", "$FFBA 3B  \r\n\r\n") +
                  code("NOP", "$FFBB 01 \r\n") + code("FCB       $02", "$FFBC 02 \r\n") +
                  code("FCB       $03", "$FFBD 03 \r\n") + code("FCB       $04", "$FFBE 04 \r\n") +
                  code("FCB       $05", "$FFBF 05 \r\n") + vectorTable());
    EXPECT_EQ(texts.symText,
              "#MODULE PROGASM PROG.ASM\r\nFFB6 3\r\nFFB8 4\r\nFFB9 6\r\nFFBA 7\r\nFFBB 9\r\n"
              "FFBC 10\r\nFFBD 11\r\nFFBE 12\r\nFFBF 13\r\n#END");
}

TEST_F(DisassemblyExportTest, StartAtOrAboveTheVectorsWritesOnlyTheFrame) {
    store(0xFFFE, {0xE0, 0x00});
    for (const std::uint16_t start : {0xFFC0, 0xFFFE}) {
        const DisassemblyTexts texts = disassemblyTexts(*machine, "sub\\Prog.asm", start, kTime);
        EXPECT_EQ(texts.asmText, kHeader + kIndent + "ORG       $" +
                                     (start == 0xFFC0 ? "FFC0" : "FFFE") + " \r\n" + vectorTable());
        EXPECT_EQ(texts.symText, "#MODULE SUB\\PROGASM sub\\PROG.ASM\r\n#END");
    }
}

TEST_F(DisassemblyExportTest, WritesBothFilesAndReportsThoseItCannot) {
    std::ofstream(directory / "prog.asm") << "old";
    EXPECT_EQ(exportDisassembly(*machine, directory, "prog.asm", "prog.sym", 0xE000, kTime), "");
    const DisassemblyTexts texts = disassemblyTexts(*machine, "prog.asm", 0xE000, kTime);
    EXPECT_EQ(readFile(directory / "prog.asm"), texts.asmText);
    EXPECT_EQ(readFile(directory / "prog.sym"), texts.symText);

    const std::string error =
        exportDisassembly(*machine, directory / "missing", "a.asm", "a.sym", 0xE000, kTime);
    EXPECT_NE(error.find("a.asm"), std::string::npos) << error;
    EXPECT_NE(error.find("a.sym"), std::string::npos) << error;
}

TEST_F(BinaryExportTest, EachEpromChoiceWritesTheTopOfMemory) {
    for (std::uint32_t address = 0; address < 0x10000; ++address)
        machine->poke(static_cast<std::uint16_t>(address), static_cast<std::uint8_t>(address * 7));
    store(0xFFFE, {0xE0, 0x00});
    const std::size_t sizes[] = {2048, 4096, 8192, 16384, 32768, 65536, 12288};
    const std::filesystem::path project = directory / "PROG.PRO";
    for (std::size_t choice = 0; choice < kEpromChoices.size(); ++choice) {
        ASSERT_EQ(saveBinary(*machine, project, choice), "");
        const std::string bytes = readFile(directory / "PROG.bin");
        ASSERT_EQ(bytes.size(), sizes[choice]) << kEpromChoices[choice].item;
        const std::uint16_t start = kEpromChoices[choice].start;
        EXPECT_EQ(static_cast<std::uint8_t>(bytes.front()), machine->peek(start));
        EXPECT_EQ(static_cast<std::uint8_t>(bytes[bytes.size() / 2]),
                  machine->peek(static_cast<std::uint16_t>(start + bytes.size() / 2)));
        EXPECT_EQ(bytes.substr(bytes.size() - 2), std::string("\xE0\x00", 2));
    }
    EXPECT_EQ(kEpromChoices.front().item, "F800-FFFF (2716/M68HC11E2)");
    EXPECT_EQ(kEpromChoices.back().item, "D000-FFFF (M68HC(7)11E9)");
}

TEST_F(BinaryExportTest, FileNameAndFailure) {
    EXPECT_EQ(binaryFileName("/x/PROG.PRO"), std::filesystem::path("/x/PROG.bin"));
    EXPECT_EQ(binaryFileName("a.b/prog.pro"), std::filesystem::path("a.b/prog.bin"));
    EXPECT_NE(saveBinary(*machine, directory / "missing" / "p.pro", 0), "");
}

// A link under an output name is replaced; the file it points to elsewhere stays as it was.
TEST_F(DisassemblyExportTest, LinksUnderTheOutputNamesLeaveTheirTargetsAlone) {
    const std::filesystem::path project = directory / "project";
    const std::filesystem::path outside = directory / "outside";
    std::filesystem::create_directories(project);
    std::filesystem::create_directories(outside);
    for (const char* name : {"prog.asm", "prog.sym", "PROG.bin"}) {
        std::ofstream(outside / name) << "victim";
        std::filesystem::create_symlink(outside / name, project / name);
    }
    EXPECT_EQ(exportDisassembly(*machine, project, "prog.asm", "prog.sym", 0xFFB0, kTime), "");
    EXPECT_EQ(saveBinary(*machine, project / "PROG.PRO", 0), "");
    for (const char* name : {"prog.asm", "prog.sym", "PROG.bin"}) {
        EXPECT_EQ(readFile(outside / name), "victim") << name;
        EXPECT_FALSE(std::filesystem::is_symlink(project / name)) << name;
    }
    EXPECT_EQ(readFile(project / "PROG.bin").size(), 2048u);
}

}  // namespace
}  // namespace tarnwick
