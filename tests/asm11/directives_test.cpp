// Directives in column 1: conditional blocks, messages and included files.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "asm11/assemble_text.h"

namespace tarnwick::asm11 {
namespace {

namespace fs = std::filesystem;

struct ConditionalCase {
    const char* source;  // assembled after "V EQU 5" and " ORG $100"
    std::vector<std::uint8_t> bytes;
};

const ConditionalCase kConditionalCases[] = {
    {"#IF V = 5\n FCB 1\n#ELSE\n FCB 2\n#ENDIF", {1}},
    {"#IF V <> 5\n FCB 1\n#ELSE\n FCB 2\n#ENDIF", {2}},
    {"#IF V>4\n FCB 1\n#ENDIF\n#IF V<=4\n FCB 2\n#ENDIF\n#IF V>=5\n FCB 3\n#ENDIF", {1, 3}},
    {"#IF V<<1 == 10\n FCB 1\n#ENDIF\n#IF V!=5\n FCB 2\n#ENDIF\n#IF V-5\n FCB 3\n#ENDIF", {1}},
    {"#IFZ V-5\n FCB 1\n#ENDIF\n#IFNZ V-5\n FCB 2\n#ENDIF", {1}},
    {"#IFDEF V\n FCB 1\n#ENDIF\n#IFNDEF V\n FCB 2\n#ENDIF\n#IFDEF LATER\n FCB 3\n#ENDIF\nLATER",
     {1}},
    {"#IFMAIN\n FCB 1\n#ENDIF\n#IFINCLUDED\n FCB 2\n#ENDIF", {1}},
    // Inside a skipped block nothing counts, not even an inner #ELSE or bad lines.
    {"#IF 0\n#IF 1\n FCB 1\n#ELSE\n FCB 2\n#ENDIF\n LDAX\n#ERROR no\n#ELSE\n FCB 3\n#ENDIF", {3}},
    {"#IF 1\n#IF 0\n FCB 1\n#ELSE\n FCB 2\n#ENDIF\n#ENDIF", {2}},
    {"$IF 1\n FCB 1\n$ENDIF ; dollar sign too", {1}},
    {"#SPACESON\n FCB 1 + 1\n#SPACESOFF\n FCB 1 + 1", {2, 1}},
    {"#LISTOFF\n#EXTRAON\n#PAGE\n FCB 1", {1}},
    // Without case a name finds the first symbol spelled like it.
    {"#CASEON\nv EQU 7\n FCB v,V\n#CASEOFF\n FCB v", {7, 5, 5}},
    // Each segment keeps its own location counter; the code goes on where it left off.
    {" FCB 1\n#RAM\n ORG $200\n FCB 9\n#ROM\n FCB 2\n#RAM\n FCB 8\n#ROM\n FCB 3", {1, 2, 3}},
    {"#SEG9\n ORG $300\n#ROM\n FCB *&$FF,*>>8\n#SEG9\n FCB 9", {0, 1}},
    {"#MEMORY $100 $100\n#MEMORY $101,$1FF\n FCB 1\n FDB 2", {1, 0, 2}},
    // #PULL brings back the segment and the switches #PUSH saw.
    {"#PUSH\n#DATA\n ORG $200\n#SPACESON\n#PULL\n FCB 1 + 1\n#DATA\nLOC EQU *\n#ROM\n FDB LOC",
     {1, 2, 0}},
};

TEST(DirectivesTest, ConditionalBlocksChooseTheirLines) {
    for (const ConditionalCase& c : kConditionalCases) {
        const AssemblyResult result = assembleText(std::string("V EQU 5\n ORG $100\n") + c.source);
        EXPECT_EQ(result.errors, 0) << c.source << "\n" << allMessages(result);
        EXPECT_EQ(bytesAt(result, 0x100), c.bytes) << c.source;
    }
}

TEST(DirectivesTest, PullRestoresEverySwitchThatPushSaw) {
    AsmOptions options;
    options.listing = true;
    options.map = true;
    const AssemblyResult result = assembleText(
        " ORG $100\nV EQU 5\n#PUSH\n#SPACESON\n#EXTRAOFF\n#CASEON\n#LISTOFF\n#MAPOFF\n"
        "#OPTRELON\n#OPTRTSON\n#TABSIZE 2\n#DATA\n NOP\n#PULL\n"
        "\tFCB 1 + 1\n CLRD\n FCB v\n JMP *\n JSR $1234\n RTS",
        options);
    EXPECT_EQ(result.errors + result.warnings, 0) << allMessages(result);
    EXPECT_EQ(bytesAt(result, 0x100), (std::vector<std::uint8_t>{0x01, 0x4F, 0x5F, 0x05, 0x7E, 0x01,
                                                                 0x04, 0xBD, 0x12, 0x34, 0x39}));
    // The NOP went to the data segment, at its own counter.
    EXPECT_EQ(bytesAt(result, 0x000), (std::vector<std::uint8_t>{0x01}));
    std::vector<int> listedLines;
    for (const ListedLine& line : result.listing) listedLines.push_back(line.line);
    EXPECT_EQ(listedLines, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 14, 15, 16, 17, 18, 19, 20}));
    EXPECT_EQ(result.listing[8].text, "        FCB 1 + 1");
    std::vector<int> mappedLines;
    for (const MapEntry& entry : result.map) mappedLines.push_back(entry.line);
    EXPECT_EQ(mappedLines, (std::vector<int>{15, 16, 17, 18, 19, 20}));
}

TEST(DirectivesTest, MessagesWarningsAndErrors) {
    const AssemblyResult result = assembleText(
        "#MESSAGE Building the fast version\n#WARNING Check the baud rate\n"
        "#ERROR Not for this chip\n NOP\n#FATAL Give up\n LDAX\n");
    EXPECT_EQ(allMessages(result),
              "Building the fast version\n"
              "WRN t.asm [2] Check the baud rate\n"
              "ERR* t.asm [3] Not for this chip\n"
              "ERR* t.asm [5] Give up\n");
    EXPECT_EQ(result.errors, 2);
    EXPECT_EQ(result.warnings, 1);

    AsmOptions quiet;
    quiet.warnings = false;
    const AssemblyResult unwarned = assembleText("#WARNING Check\n NOP", quiet);
    EXPECT_EQ(unwarned.warnings, 0);
    EXPECT_EQ(allMessages(unwarned), "");
}

class IncludeTest : public ::testing::Test {
  protected:
    IncludeTest() {
        directory = fs::temp_directory_path() /
                    ("tarnwick_asm11_include_" + std::to_string(std::random_device()()));
        fs::create_directories(directory / "lib");
    }
    ~IncludeTest() override {
        std::error_code ignored;
        fs::remove_all(directory, ignored);
    }

    void write(const std::string& name, const std::string& text) {
        std::ofstream(directory / name, std::ios::binary) << text;
    }

    AssemblyResult assembleMain(const std::string& text, AsmOptions options = {}) {
        write("main.asm", text);
        options.includeDirs.push_back((directory / "lib").string());
        return assemble((directory / "main.asm").string(), text, options);
    }

    std::string path(const std::string& name) const {
        return (directory / name).lexically_normal().string();
    }

    fs::path directory;
};

TEST_F(IncludeTest, IncludesNestWithConditionalsAndGiveEachFileItsLines) {
    write("defs.inc",
          "FAST EQU 1\n"
          "#IFMAIN\n FCB $EE\n#ENDIF\n"
          "#IFINCLUDED\n FCB $11\n#ENDIF\n"
          "#INCLUDE \"code.inc\"\n");
    write("lib/code.inc", "#IFEXISTS defs.inc\n NOP\n#ENDIF\n#IFNEXISTS code.inc\n INX\n#ENDIF\n");
    const AssemblyResult result = assembleMain(
        " ORG $100\n#INCLUDE \"defs.inc\"\n#IFDEF FAST\n LDAA #1\n#ELSE\n LDAA #2\n#ENDIF\n");
    ASSERT_EQ(result.errors, 0) << allMessages(result);
    EXPECT_EQ(bytesAt(result, 0x100), (std::vector<std::uint8_t>{0x11, 0x01, 0x86, 0x01}));
    ASSERT_EQ(result.modules.size(), 3u);
    EXPECT_EQ(result.modules[0].file, path("main.asm"));
    EXPECT_EQ(result.modules[0].lines, (std::vector<std::pair<std::uint16_t, int>>{{0x102, 4}}));
    EXPECT_EQ(result.modules[1].file, path("defs.inc"));
    EXPECT_EQ(result.modules[1].lines, (std::vector<std::pair<std::uint16_t, int>>{{0x100, 6}}));
    EXPECT_EQ(result.modules[2].file, path("lib/code.inc"));
    EXPECT_EQ(result.modules[2].lines, (std::vector<std::pair<std::uint16_t, int>>{{0x101, 2}}));
}

TEST_F(IncludeTest, ProblemsNameTheIncludedFileAndLine) {
    write("bad.inc", " NOP\n LDAX\n");
    write("self.inc", "#INCLUDE self.inc\n");
    write("open.inc", "#IF 1\n");
    AsmOptions options;
    options.pass1Stop = false;
    const AssemblyResult result = assembleMain(
        "#INCLUDE bad.inc\n#INCLUDE missing.inc\n#INCLUDE self.inc\n#INCLUDE open.inc\n"
        " LDAA UNDEFINED\n",
        options);
    EXPECT_EQ(allMessages(result),
              "ERR* " + path("bad.inc") + " [2] Unknown instruction: LDAX\n" + "ERR* " +
                  path("main.asm") + " [2] Cannot find include file: missing.inc\n" + "ERR* " +
                  path("self.inc") + " [1] Includes nested deeper than 16 levels\n" + "ERR* " +
                  path("main.asm") + " [5] Undefined symbol: UNDEFINED\n" + "ERR* " +
                  path("open.inc") + " [1] #IF without #ENDIF\n");
}

struct HintCase {
    const char* source;  // assembled after " ORG $100"
    bool rel;
    bool rts;
    const char* messages;
};

const HintCase kHintCases[] = {
    {" JMP NEAR\nNEAR JSR NEAR\n JSR $10", true, false,
     "WRN t.asm [2] JMP to $0103 could be BRA\n"
     "WRN t.asm [3] JSR to $0103 could be BSR\n"},
    {" JMP $1000\n JMP 0,X\n JSR $10", false, false, ""},
    {" JMP $1000\n JMP 0,X\n JSR $10", true, false, ""},
    {"#OPTRELON\n JMP *\n#OPTRELOFF\n JMP *", false, false,
     "WRN t.asm [3] JMP to $0100 could be BRA\n"},
    {" JSR $1000\n RTS\n BSR *\n; comment\n RTS", false, true,
     "WRN t.asm [3] RTS after a call: the call could be a JMP or BRA\n"
     "WRN t.asm [6] RTS after a call: the call could be a JMP or BRA\n"},
    // A label makes the RTS a target of its own; data or another instruction between.
    {" JSR $1000\nBACK RTS\n JSR $1000\n FCB 1\n RTS\n JSR $1000\n NOP\n RTS", false, true, ""},
    {"#OPTRTSON\n JSR $1000\n RTS\n#OPTRTSOFF\n JSR $1000\n RTS", false, false,
     "WRN t.asm [4] RTS after a call: the call could be a JMP or BRA\n"},
};

TEST(HintsTest, RelAndRtsWarnOnlyWhereTheyApply) {
    for (const HintCase& c : kHintCases) {
        AsmOptions options;
        options.relHint = c.rel;
        options.rtsHint = c.rts;
        const AssemblyResult result = assembleText(std::string(" ORG $100\n") + c.source, options);
        EXPECT_EQ(allMessages(result), c.messages) << c.source;
    }
}

}  // namespace
}  // namespace tarnwick::asm11
