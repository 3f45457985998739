#include "asm11/source_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "asm11/assemble_text.h"
#include "project/temp_directory.h"

namespace tarnwick::asm11 {
namespace {

namespace fs = std::filesystem;

// A project written on DOS: the sources name their includes in another case than the disk
// holds them, with backslashes.
class IncludeCaseTest : public ::testing::Test {
  protected:
    IncludeCaseTest() {
        for (const char* folder : {"src/Lib", "src/lib", "src/data.asm", "inc"})
            fs::create_directories(directory / folder);
        for (const char* file : {"src/main.asm", "src/EQU2_unit.asm", "src/lib/Equ.inc",
                                 "src/both.asm", "src/BOTH.asm", "src/DATA.ASM", "inc/Regs.INC",
                                 "inc/main.asm", "src/Lib/Other.inc", "src/lib/other.INC"})
            testing::writeText(directory / file, file);
    }

    std::optional<std::string> find(const std::string& name) const {
        return findInclude(name, (directory / "src/main.asm").string(),
                           {(directory / "src").string(), (directory / "inc").string()});
    }

    std::string path(const std::string& name) const {
        return (directory / name).lexically_normal().string();
    }

    testing::TempDirectory directory;
};

TEST_F(IncludeCaseTest, NamesMatchInAnyCaseWithTheExactOneFirst) {
    const struct {
        const char* name;
        const char* found;  // under the directory, nullptr for none
    } cases[] = {
        {"EQU2_unit.asm", "src/EQU2_unit.asm"},
        {"EQU2_UNIT.ASM", "src/EQU2_unit.asm"},
        // Src/Lib holds no Equ.inc, so src/lib, sorted after it, is tried next.
        {"LIB\\EQU.INC", "src/lib/Equ.inc"},
        {"lib/equ.inc", "src/lib/Equ.inc"},
        {"lib/OTHER.inc", "src/lib/other.INC"},
        {"LIB/OTHER.inc", "src/Lib/Other.inc"},
        {"..\\INC\\regs.inc", "inc/Regs.INC"},
        {"REGS.INC", "inc/Regs.INC"},
        {"both.asm", "src/both.asm"},
        {"BOTH.asm", "src/BOTH.asm"},
        {"Both.Asm", "src/BOTH.asm"},
        // The folder named exactly gives way to the file in another case.
        {"data.asm", "src/DATA.ASM"},
        // Beside the includer before the directories.
        {"MAIN.ASM", "src/main.asm"},
        {"LIB", nullptr},
        {"lib\\missing.inc", nullptr},
        {"equ.inc", nullptr},
    };
    for (const auto& c : cases) {
        const std::optional<std::string> found = find(c.name);
        if (c.found)
            EXPECT_EQ(found, path(c.found)) << c.name;
        else
            EXPECT_EQ(found, std::nullopt) << c.name;
    }
    EXPECT_EQ(findInclude((directory / "SRC/LIB/EQU.INC").string(), "", {}),
              path("src/lib/Equ.inc"));
}

TEST_F(IncludeCaseTest, IncludeAndIfExistsFindDosNames) {
    testing::writeText(directory / "src/lib/Equ.inc", "VALUE EQU $42\n");
    const AssemblyResult result =
        assemble((directory / "src/main.asm").string(),
                 " ORG $100\n#INCLUDE LIB\\EQU.INC\n#IFEXISTS ..\\INC\\REGS.INC\n FCB VALUE\n"
                 "#ENDIF\n#IFNEXISTS LIB\\NONE.INC\n FCB 1\n#ENDIF\n",
                 {});
    ASSERT_EQ(result.errors, 0) << allMessages(result);
    EXPECT_EQ(bytesAt(result, 0x100), (std::vector<std::uint8_t>{0x42, 0x01}));
}

TEST(OverwrittenInputTest, SameFileThroughLinksOrAnotherSpelling) {
    const testing::TempDirectory directory;
    fs::create_directory(directory / "inc");
    testing::writeText(directory / "p.asm", "");
    testing::writeText(directory / "inc/defs.inc", "");
    testing::writeText(directory / "p.s19", "");
    fs::create_symlink(directory / "inc/defs.inc", directory / "p.lst");
    const std::string defs = (directory / "inc/defs.inc").string();
    const std::vector<std::string> inputs{(directory / "p.asm").string(), defs,
                                          "not-yet-there.inc"};

    const struct {
        std::string output;
        std::optional<std::string> input;  // the one overwritten
    } cases[] = {
        {(directory / "p.s19").string(), std::nullopt},
        {(directory / "p.sym").string(), std::nullopt},
        {(directory / "inc/../inc/defs.inc").string(), defs},
        {(directory / "p.lst").string(), defs},
        {(fs::current_path() / "./not-yet-there.inc").string(), "not-yet-there.inc"},
    };
    for (const auto& c : cases) {
        const std::optional<OverwrittenInput> found =
            findOverwrittenInput(inputs, {(directory / "p.map").string(), c.output});
        EXPECT_EQ(found.has_value(), c.input.has_value()) << c.output;
        if (found && c.input) {
            EXPECT_EQ(found->input, *c.input);
            EXPECT_EQ(found->output, c.output);
        }
    }
}

}  // namespace
}  // namespace tarnwick::asm11
