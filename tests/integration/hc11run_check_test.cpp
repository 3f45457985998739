// hc11run as a build server's check runs it: assemble firmware, run it to a label, assert
// memory and registers, and read the JSON summary instead of parsing text.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

#include "integration/tool_run.h"
#include "project/temp_directory.h"

namespace tarnwick {
namespace {

using nlohmann::json;
using testing::TempDirectory;

const char* const kFirmware =
    R"(* ci_check.asm - adds 1 to 10 into TOTAL, prints OK and ends at DONE, as firmware under
* test on a build server would. Port E picks a way to go wrong:
* PE0 low reaches FAIL, PE1 low spins for good, PE2 low runs an illegal opcode.
REGS    EQU     $1000
BAUD    EQU     $2B
SCCR2   EQU     $2D
SCSR    EQU     $2E
SCDR    EQU     $2F
PORTE   EQU     $0A

        ORG     $0000
COUNT   RMB     1
TOTAL   RMB     2

        ORG     $E000
START   LDS     #$00FF
        LDX     #REGS
        CLR     BAUD,X
        LDAA    #$08
        STAA    SCCR2,X         ; transmitter on
        BRCLR   PORTE,X,#$01,FAIL
        BRCLR   PORTE,X,#$02,SPIN
        BRCLR   PORTE,X,#$04,ILLEGAL
        CLR     COUNT
        LDD     #0
        STD     TOTAL
LOOP    INC     COUNT
        LDD     TOTAL
        ADDB    COUNT
        ADCA    #0
        STD     TOTAL
        LDAA    COUNT
        CMPA    #10
        BNE     LOOP
        LDAB    #'O'
        BSR     PUTC
        LDAB    #'K'
        BSR     PUTC
        LDY     #TOTAL
SENT    BRCLR   SCSR,X,#$40,SENT ; until the last frame is out
DONE    BRA     DONE
FAIL    BRA     FAIL
SPIN    BRA     SPIN
ILLEGAL FCB     $41

PUTC    BRCLR   SCSR,X,#$80,PUTC
        STAB    SCDR,X
        RTS

        ORG     $FFFE
        FDB     START
)";

class Hc11runCheckTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::writeText(directory.path() / "ci_check.asm", kFirmware);
        const testing::ToolRun built =
            testing::runTool(directory.path(), ASM11_PATH, "ci_check.asm");
        ASSERT_EQ(built.status, 0) << built.output << built.errors;
    }

    testing::ToolRun run(const std::string& arguments) {
        return testing::runTool(directory.path(), HC11RUN_PATH, "ci_check.s19 " + arguments);
    }

    json summary(const std::string& arguments, int status) {
        const testing::ToolRun result = run(arguments + " --summary=json");
        EXPECT_EQ(result.status, status) << arguments << "\n" << result.errors;
        return json::parse(result.output);
    }

    TempDirectory directory;
};

TEST_F(Hc11runCheckTest, TheJsonSummaryHoldsTheEndTheStateAndTheChecks) {
    const json report = summary(
        "--until-pc DONE --print TOTAL:w --print COUNT:3 --expect COUNT=0A "
        "--expect TOTAL=0037 --expect D=0A4B --expect Y=TOTAL --expect TOTAL:b=00",
        0);
    EXPECT_EQ(report["reason"], "until-pc");
    EXPECT_EQ(report["status"], 0);
    EXPECT_EQ(report["stopLabel"], "DONE");
    EXPECT_EQ(report["registers"]["PC"], report["stopAddress"]);
    EXPECT_EQ(report["registers"]["D"], 0x0A4B);
    EXPECT_EQ(report["registers"]["A"], 0x0A);
    EXPECT_EQ(report["registers"]["B"], 0x4B);
    EXPECT_EQ(report["registers"]["X"], 0x1000);
    EXPECT_EQ(report["registers"]["SP"], 0x00FF);
    EXPECT_EQ(report["sciOutput"], "OK");
    EXPECT_EQ(report["crystal"], "8 MHz");
    EXPECT_DOUBLE_EQ(report["seconds"].get<double>(), report["cycles"].get<double>() / 2e6);
    EXPECT_TRUE(report["fault"].is_null());

    EXPECT_EQ(report["print"][0]["label"], "TOTAL");
    EXPECT_EQ(report["print"][0]["address"], 1);
    EXPECT_EQ(report["print"][0]["values"], json::array({55}));
    EXPECT_EQ(report["print"][1]["values"], json::array({10, 0, 55}));
    ASSERT_EQ(report["expect"].size(), 5u);
    for (const json& expected : report["expect"])
        EXPECT_TRUE(expected["holds"].get<bool>()) << expected.dump();
}

TEST_F(Hc11runCheckTest, EachEndHasItsStatusAndItsReason) {
    const struct {
        std::string arguments;
        int status;
        std::string reason;  // the summary line up to the registers
    } cases[] = {
        {"--until-pc FAIL --until-pc DONE", 0, "until-pc DONE (E041)"},
        {"--porte FE --until-pc DONE --fail-pc FAIL", 6, "fail-pc FAIL (E043)"},
        {"--porte FD --until-pc DONE --timeout 0.3", 5, "timeout after 0.3 s"},
        {"--porte FB --until-pc DONE", 2, "uninitialised-vector at E047"},
        {"--steps 5", 4, "steps"},
        {"--cycles 40", 4, "cycles"},
    };
    for (const auto& c : cases) {
        const testing::ToolRun result = run(c.arguments);
        EXPECT_EQ(result.status, c.status) << c.arguments << "\n" << result.errors;
        EXPECT_NE(result.errors.find(c.reason + ": PC="), std::string::npos) << c.arguments << "\n"
                                                                             << result.errors;
    }
}

TEST_F(Hc11runCheckTest, AFailedExpectationNamesTargetAndValues) {
    const testing::ToolRun result =
        run("--until-pc DONE --expect COUNT=0B --expect TOTAL=0037 --expect B=4C");
    EXPECT_EQ(result.status, 7) << result.errors;
    EXPECT_NE(result.errors.find("hc11run: expected COUNT (0000) = 0B, found 0A\n"),
              std::string::npos)
        << result.errors;
    EXPECT_NE(result.errors.find("hc11run: expected B = 4C, found 4B\n"), std::string::npos)
        << result.errors;
    EXPECT_EQ(result.errors.find("TOTAL"), std::string::npos) << result.errors;

    // A run that failed on its own keeps its status.
    EXPECT_EQ(run("--porte FE --fail-pc FAIL --expect COUNT=0B").status, 6);
}

TEST_F(Hc11runCheckTest, ATrapIsReportedWhereItHappenedWithTheStateBeforeTheReset) {
    const json report = summary("--porte FB --until-pc DONE", 2);
    EXPECT_EQ(report["reason"], "uninitialised-vector");
    const json& fault = report["fault"];
    EXPECT_EQ(fault["kind"], "uninitialised-vector");
    EXPECT_EQ(fault["pc"], 0xE047);  // ILLEGAL
    EXPECT_EQ(fault["opcode"], json::array({0x41}));
    EXPECT_TRUE(fault["reset"].get<bool>());
    EXPECT_EQ(fault["registers"]["PC"], 0xE047);
    EXPECT_EQ(fault["registers"]["SP"], 0x00FF);  // the reset left SP at 0000
    EXPECT_EQ(report["registers"]["PC"], 0xE000);
    EXPECT_EQ(report["registers"]["SP"], 0x0000);

    const testing::ToolRun plain = run("--porte FB");
    EXPECT_NE(plain.errors.find("uninitialised-vector at E047 (opcode 41); before the reset "
                                "PC=E047 A=08 B=00 D=0800 X=1000 Y=0000 SP=00FF CCR=D0\n"),
              std::string::npos)
        << plain.errors;
}

TEST_F(Hc11runCheckTest, LabelsComeFromTheSymbolFileBesideTheImage) {
    EXPECT_EQ(run("--until-pc DONE --sym ci_check.sym --expect COUNT=0A").status, 0);
    // Hex given with "$" is hex even where a label could be meant.
    EXPECT_EQ(run("--until-pc '$E041' --expect COUNT=0A").status, 0);

    const testing::ToolRun unknown = run("--until-pc NOWHERE");
    EXPECT_EQ(unknown.status, 1);
    EXPECT_EQ(unknown.errors, "hc11run: unknown label NOWHERE (not in ci_check.sym)\n");

    std::filesystem::remove(directory.path() / "ci_check.sym");
    const testing::ToolRun noSymbols = run("--until-pc DONE");
    EXPECT_EQ(noSymbols.status, 1);
    EXPECT_EQ(noSymbols.errors,
              "hc11run: unknown label DONE (no symbol file: give --sym FILE.sym)\n");
}

}  // namespace
}  // namespace tarnwick
