#include "project/s19_build.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "disasm/disasm_fixture.h"
#include "disasm/disassembly_export.h"
#include "project/file_names.h"
#include "project/symbol_file.h"

namespace tarnwick {
namespace {

const LocalDateTime kTime{2025, 1, 8, 3, 15, 7};
// LDAA #$05 and RTS at FFB0, reset vector E000.
const char* const kImage = "S106FFB0860539C3\nS105FFFEE0001D\nS9030000FC\n";

class S19BuildTest : public testing::DisasmTest {
  protected:
    S19BuildTest() { configuration.randomMemory = false; }

    void write(const std::string& name, const std::string& text) {
        std::filesystem::create_directories((directory / name).parent_path());
        std::ofstream(directory / name, std::ios::binary) << text;
    }

    S19CommandResult build(const std::string& firstFile, const std::string& start,
                           bool answer = true) {
        return buildS19Project(
            *machine, configuration, sourceMap, {firstFile, projectDirectory, start},
            [&](std::string_view question) {
                questions.emplace_back(question);
                return answer;
            },
            kTime);
    }

    CpuConfiguration configuration;
    SourceMap sourceMap;
    std::vector<std::string> questions;
    std::filesystem::path projectDirectory = directory;
};

TEST_F(S19BuildTest, WritesAsmAndSymNamedAfterTheFirstFile) {
    write("PROG.S19", kImage);
    const S19CommandResult result = build("PROG.S19", "ffb0");
    ASSERT_EQ(result.outcome, S19CommandResult::Done) << result.error;
    EXPECT_EQ(result.written, directory / "PROG.asm");
    const DisassemblyTexts texts = disassemblyTexts(*machine, "PROG.asm", 0xFFB0, kTime);
    EXPECT_EQ(readFile(directory / "PROG.asm"), texts.asmText);
    EXPECT_EQ(readFile(directory / "PROG.sym"), texts.symText);
    EXPECT_NE(texts.asmText.find("LDAA      #$05"), std::string::npos);
    EXPECT_TRUE(questions.empty());
}

TEST_F(S19BuildTest, ErrorsBeforeAnyFileIsWritten) {
    write("prog.s19", kImage);
    write("prog.hex", kImage);
    struct Case {
        const char* firstFile;
        const char* start;
        const char* error;
    };
    const Case cases[] = {
        {"", "E000", "No file loaded to the project"},
        {"prog.hex", "E000", "The file is not an S19 file"},
        {"prog.s19", "", "S19 start address is wrong"},
        {"prog.s19", "E0G0", "'E0G0' is not a valid hex address"},
        {"prog.s19", "12345", "'12345' is not a valid hex address"},
    };
    for (const Case& c : cases) {
        const S19CommandResult result = build(c.firstFile, c.start);
        EXPECT_EQ(result.outcome, S19CommandResult::Failed) << c.firstFile;
        EXPECT_EQ(result.error, c.error);
        EXPECT_FALSE(std::filesystem::exists(directory / "prog.asm")) << c.error;
        EXPECT_FALSE(std::filesystem::exists(directory / "prog.sym")) << c.error;
    }
    const S19CommandResult missing = build("gone.s19", "E000");
    EXPECT_EQ(missing.outcome, S19CommandResult::Failed);
    EXPECT_NE(missing.error.find("gone.s19"), std::string::npos) << missing.error;
}

TEST_F(S19BuildTest, CancellingTheOverwriteKeepsOldFilesButTheImageIsLoaded) {
    write("prog.s19", kImage);
    write("prog.asm", "old asm");
    write("prog.sym", "old sym");
    EXPECT_EQ(build("prog.s19", "FFB0", false).outcome, S19CommandResult::Cancelled);
    EXPECT_EQ(questions, std::vector<std::string>{"The ASM file already exists, overwrite?"});
    EXPECT_EQ(readFile(directory / "prog.asm"), "old asm");
    EXPECT_EQ(readFile(directory / "prog.sym"), "old sym");
    EXPECT_EQ(machine->peek16(0xFFFE), 0xE000);

    EXPECT_EQ(build("prog.s19", "FFB0", true).outcome, S19CommandResult::Done);
    EXPECT_NE(readFile(directory / "prog.sym"), "old sym");
}

// The project directory is "proj"; its first file lies in it, below it or beside it.
TEST_F(S19BuildTest, SymbolFileReadsBackToTheAsmLines) {
    projectDirectory = directory / "proj";
    const struct {
        std::string firstFile, module, asmFile;
    } cases[] = {
        {"prog.s19", "PROG.ASM", "proj/prog.asm"},
        {"sub/prog.s19", "sub/PROG.ASM", "proj/sub/prog.asm"},
        {"../lib/prog.s19", "../lib/PROG.ASM", "lib/prog.asm"},
    };
    for (const auto& c : cases) {
        write(c.asmFile.substr(0, c.asmFile.size() - 4) + ".s19", kImage);
        ASSERT_EQ(build(c.firstFile, "FFB0").outcome, S19CommandResult::Done) << c.firstFile;
        std::vector<std::string> watchNames;
        const std::string symFile = c.firstFile.substr(0, c.firstFile.size() - 4) + ".sym";
        const SourceReadResult read =
            readSymbolFile(*machine, sourceMap, projectDirectory, symFile, watchNames);
        ASSERT_TRUE(read.ok()) << read.error;
        EXPECT_EQ(sourceMap.modules[0], c.module);
        EXPECT_EQ(sourceMap.moduleCount(), 1u);
        // LDAA at line 3, RTS at 4, then the blank line after the RTS.
        const std::pair<std::uint16_t, int> lines[] = {{0xFFB0, 3}, {0xFFB2, 4}, {0xFFB3, 6}};
        for (const auto& [address, line] : lines) {
            const auto location = sourceOfAddress(*machine, sourceMap, projectDirectory, address);
            ASSERT_TRUE(location.has_value()) << address;
            EXPECT_EQ(location->line, line);
            // The module names the .asm upper-cased; it still finds the file.
            EXPECT_EQ(findIgnoringCase(location->file).lexically_normal(),
                      (directory / c.asmFile).lexically_normal());
        }
        const std::string asmLines = readFile(directory / c.asmFile);
        EXPECT_EQ(std::count(asmLines.begin(), asmLines.begin() + asmLines.find("; $FFB3"), '\n'),
                  5);
    }
}

class SaveToBinaryTest : public S19BuildTest {
  protected:
    S19CommandResult save(const std::string& firstFile, std::optional<std::size_t> choice) {
        return saveProjectToBinary(*machine, configuration, sourceMap, {firstFile, directory, ""},
                                   directory / "PROG.PRO", [&] { return choice; });
    }
};

TEST_F(SaveToBinaryTest, LoadsTheFirstFilesImageAndWritesTheChoice) {
    write("prog.s19", kImage);
    const S19CommandResult result = save("prog.asm", 0);
    ASSERT_EQ(result.outcome, S19CommandResult::Done) << result.error;
    EXPECT_EQ(result.written, directory / "PROG.bin");
    const std::string bytes = readFile(directory / "PROG.bin");
    ASSERT_EQ(bytes.size(), 2048u);
    EXPECT_EQ(bytes.substr(0x7B0, 3), "\x86\x05\x39");
    EXPECT_EQ(bytes[0x7AF], '\xFF');  // ROM that the file leaves alone
    EXPECT_EQ(bytes.substr(2046), std::string("\xE0\x00", 2));
}

TEST_F(SaveToBinaryTest, ErrorsAndCancel) {
    EXPECT_EQ(save("", 0).error, "No file loaded to the project");
    EXPECT_EQ(save("prog.asm", 0).error, "The S19 file cannot be found");
    write("prog.s19", kImage);
    EXPECT_EQ(save("prog.asm", std::nullopt).outcome, S19CommandResult::Cancelled);
    EXPECT_FALSE(std::filesystem::exists(directory / "PROG.bin"));
    EXPECT_EQ(machine->peek(0xFFB0), 0x86);
}

}  // namespace
}  // namespace tarnwick
