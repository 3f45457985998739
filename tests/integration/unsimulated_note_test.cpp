// The note a debug session shows in the editor's status panel when the program first writes a
// register of a peripheral the simulator leaves out.

#include <gtest/gtest.h>

#include "debugger/instruction_analysis.h"
#include "integration/debug_session_rig.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using testing::DebugSessionRig;

constexpr int kHaltLine = 10;

const std::string kTocNote =
    "Note: the program wrote TOC1 at 1016; output compares are not simulated, so their "
    "registers act as plain memory";
const std::string kSpiNote =
    "Note: the program wrote SPCR at 1028; the SPI is not simulated, so its registers act as "
    "plain memory";

class UnsimulatedNoteTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::writeText(rig.path("prog.asm"),
                           "        ORG $E000\n"
                           "START   LDS #$00FF\n"
                           "        LDD #$1234\n"
                           "        STD $1016\n"   // TOC1
                           "        STAA $1020\n"  // TCTL1, another output-compare register
                           "        LDAA #$03\n"
                           "        STAA $1026\n"  // PACTL: the RTI rate alone
                           "        CLR $1028\n"   // SPCR
                           "        STD $1018\n"   // TOC2
                           "HALT    BRA HALT\n"
                           "        ORG $FFFE\n"
                           "        FDB START\n");
        const testing::ToolRun build =
            testing::runTool(rig.directory.path(), ASM11_PATH, "prog.asm");
        ASSERT_EQ(build.status, 0) << build.output;
        testing::writeText(rig.path("prog.pro"),
                           "[PROJECT]\nFormat=ASM11\n[CPU]\nType=M68HC11E1\nRMem=E000 FFFF\n"
                           "RWMem=0000 00FF\nIOMem=1000 103F\n[FILES]\nCount=1\nFile0=prog.asm\n");
        rig.openProject("prog.pro");
        source = rig.path("prog.asm");
        rig.debugger.startOrStop();
        ASSERT_TRUE(rig.debugger.inSession()) << rig.errors();
    }

    std::string status() const { return rig.editor.statusPanels[kStatusPanel]; }
    std::string analysis() const { return analysisText(rig.machine, rig.machine.pc); }
    void runToHalt() {
        rig.caretTo(source, kHaltLine);
        rig.debugger.runToCursor();
        ASSERT_EQ(rig.executionLine(source), kHaltLine);
    }

    DebugSessionRig rig;
    fs::path source;
};

TEST_F(UnsimulatedNoteTest, FirstWritePerPeripheralTakesTheAnalysisPlaceOncePerSession) {
    rig.debugger.traceInto();
    rig.debugger.traceInto();
    EXPECT_EQ(status(), analysis());
    rig.debugger.traceInto();  // STD $1016
    EXPECT_EQ(status(), kTocNote);
    EXPECT_EQ(rig.machine.peek16(0x1016), 0x1234) << "TOC1 stays plain memory";
    rig.debugger.traceInto();  // TCTL1
    EXPECT_EQ(status(), analysis());

    // The program reset keeps what the session has noted: only the SPI is new.
    rig.debugger.programReset();
    runToHalt();
    EXPECT_EQ(status(), kSpiNote);
    rig.debugger.traceInto();
    EXPECT_EQ(status(), analysis());
    EXPECT_TRUE(rig.host.messages.empty()) << "no message box";

    // A new session notes both again, together after the command that met them.
    rig.debugger.startOrStop();
    rig.debugger.startOrStop();
    ASSERT_TRUE(rig.debugger.inSession());
    runToHalt();
    EXPECT_EQ(status(), kTocNote + "  " + kSpiNote);
}

}  // namespace
}  // namespace tarnwick
