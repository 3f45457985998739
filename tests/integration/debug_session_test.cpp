// Debug sessions on real project files: the sum example assembled by asm11, the same program
// as an S19 project built by the disassembly export, and a small C project.

#include <gtest/gtest.h>

#include "debugger/instruction_analysis.h"
#include "debugger/modify_breakpoint.h"
#include "debugger/watch_dialogs.h"
#include "integration/debug_session_rig.h"
#include "project/assembler_build.h"
#include "project/s19_build.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using testing::DebugSessionRig;

// Lines of examples/sum/sum.asm.
constexpr int kStartLine = 23;
constexpr int kCallAddUpLine = 28;  // JSR ADDUP
constexpr int kAfterCallLine = 29;
constexpr int kHaltLine = 38;
constexpr int kAddUpLine = 41;
constexpr int kNextLine = 45;    // the loop's first line
constexpr int kBranchLine = 53;  // BNE NEXT
constexpr int kReturnLine = 54;  // RTS of ADDUP

class AssemblySessionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        rig.buildExample("sum");
        source = rig.path("sum.asm");
        rig.debugger.startOrStop();
        ASSERT_TRUE(rig.debugger.inSession()) << rig.errors();
    }
    DebugSessionRig rig;
    fs::path source;
};

TEST_F(AssemblySessionTest, StartShowsTheResetAddressAndMarksEveryCodeLine) {
    EXPECT_EQ(rig.machine.pc, 0xE000);
    EXPECT_EQ(rig.debugger.registers.field(PanelField::PC).text, "E000");
    EXPECT_FALSE(rig.debugger.registers.field(PanelField::PC).changed);
    EXPECT_EQ(rig.executionLine(source), kStartLine);
    EXPECT_EQ(rig.editor.lineStyle(source, kStartLine - 1), LineStyle::ExecutionPoint);
    EXPECT_EQ(rig.debugger.lastExecutionPoint().line, kStartLine);
    EXPECT_TRUE(rig.editor.page(source).readOnly);
    const std::vector<int> codeLines = rig.editor.linesWith(source, kCodeLineMarker);
    ASSERT_FALSE(codeLines.empty());
    EXPECT_EQ(codeLines.front() + 1, kStartLine);
    EXPECT_EQ(rig.editor.markers(source, 0), 0) << "a comment line has no code";
    EXPECT_EQ(rig.display.caption, "Tarnwick - sum.pro [Debug Mode]");
    EXPECT_TRUE(rig.display.refreshed & kControls);
    EXPECT_EQ(rig.display.desktopRestores, 1);
}

TEST_F(AssemblySessionTest, TraceStepOverStepOutAndCursorCommands) {
    rig.debugger.traceInto();
    EXPECT_EQ(rig.executionLine(source), kStartLine + 1);
    EXPECT_EQ(rig.editor.statusPanels[kCyclePanel], "Cycle = 3");  // LDS immediate
    EXPECT_EQ(rig.debugger.registers.field(PanelField::SP).text, "00FF");
    EXPECT_TRUE(rig.debugger.registers.field(PanelField::SP).changed);
    EXPECT_TRUE(rig.debugger.registers.field(PanelField::PC).changed);
    EXPECT_FALSE(rig.debugger.registers.field(PanelField::AHex).changed);
    EXPECT_EQ(rig.editor.statusPanels[kStatusPanel], analysisText(rig.machine, rig.machine.pc));
    EXPECT_EQ(rig.editor.markers(source, kStartLine - 1) & kExecutionPointMarker, 0);
    EXPECT_EQ(rig.editor.lineStyle(source, kStartLine - 1), LineStyle::Whitespace);

    rig.caretTo(source, kCallAddUpLine);
    rig.debugger.runToCursor();
    EXPECT_EQ(rig.executionLine(source), kCallAddUpLine);
    rig.debugger.stepOver();
    EXPECT_EQ(rig.executionLine(source), kAfterCallLine);
    EXPECT_EQ(rig.machine.peek16(0x0000), 228) << "ADDUP ran during the step over";

    rig.caretTo(source, kCallAddUpLine);
    rig.debugger.skipToCursor();
    EXPECT_EQ(rig.machine.pc, 0xE00C);
    rig.debugger.traceInto();
    EXPECT_EQ(rig.executionLine(source), kAddUpLine);
    rig.debugger.stepOut();
    EXPECT_EQ(rig.executionLine(source), kAfterCallLine);
    EXPECT_FALSE(rig.debugger.commandInProgress());
    EXPECT_FALSE(rig.debugger.runControlsDisabled());
}

TEST_F(AssemblySessionTest, BreakpointWithPassCountAndCounterOnTheLoop) {
    rig.caretTo(source, kNextLine);
    rig.debugger.breakpoints.toggleAtCaret();
    rig.debugger.counters.toggleAtCaret();
    EXPECT_EQ(rig.editor.lineStyle(source, kNextLine - 1), LineStyle::BreakPoint);
    auto dialog = ModifyBreakpoint::forCaretLine(rig.context, rig.debugger.breakpoints);
    ASSERT_TRUE(dialog.has_value());
    ASSERT_TRUE(dialog->ok("0", "3"));

    rig.debugger.run();  // stops on the third arrival at the loop's first line
    EXPECT_EQ(rig.executionLine(source), kNextLine);
    EXPECT_EQ(rig.machine.peek(0x0002), 2) << "two entries added before the stop";
    ASSERT_EQ(rig.debugger.breakpoints.rows().size(), 1u);
    const SourceLineRow& row = rig.debugger.breakpoints.rows().front();
    EXPECT_EQ(row.file, "sum.asm");
    EXPECT_EQ(row.line, kNextLine);
    EXPECT_EQ(row.address, "E036");
    EXPECT_EQ(row.count, "3 of 3");
    EXPECT_EQ(rig.debugger.counters.rows().front().count, "2")
        << "the stop comes before the line runs";

    // Run to Cursor stops at the breakpoint on the way; Run Freely to Cursor passes it.
    rig.caretTo(source, kReturnLine);
    rig.debugger.runToCursor();
    EXPECT_EQ(rig.executionLine(source), kNextLine) << "counting again from 0 of 3";
    EXPECT_EQ(rig.machine.peek(0x0002), 5);
    rig.debugger.programReset();
    EXPECT_EQ(rig.debugger.breakpoints.rows().front().count, "0 of 3");
    EXPECT_EQ(rig.debugger.counters.rows().front().count, "0");
    rig.caretTo(source, kReturnLine);
    rig.debugger.runFreelyToCursor();
    EXPECT_EQ(rig.executionLine(source), kReturnLine);
    EXPECT_EQ(rig.machine.peek(0x0002), 8);
    EXPECT_EQ(rig.debugger.counters.rows().front().count, "8");

    rig.debugger.startOrStop();
    EXPECT_TRUE(rig.debugger.breakpoints.rows().empty());
    EXPECT_TRUE(rig.debugger.counters.rows().empty());
    EXPECT_EQ(rig.editor.lineStyle(source, kNextLine - 1), LineStyle::Whitespace);
}

TEST_F(AssemblySessionTest, WatchesFollowTheProgramAndStayInTheProjectFile) {
    AssemblyWatchDialog dialog(rig.context, rig.debugger.watches);
    const std::vector<std::pair<std::string, std::size_t>> watches = {
        {"TOTAL", 10}, {"TOTAL", 8}, {"INDEX", 1}};  // Word (Dec), Word (Hex), Byte (Bin)
    for (const auto& [name, format] : watches) {
        dialog.show(rig.debugger.watchNames());
        dialog.name = name;
        dialog.length = "1";
        dialog.format = format;
        dialog.ok();
    }
    ASSERT_EQ(rig.debugger.watches.rows().size(), 3u) << rig.errors();

    rig.caretTo(source, kCallAddUpLine);
    rig.debugger.runToCursor();
    rig.debugger.stepOver();
    const auto& rows = rig.debugger.watches.rows();
    EXPECT_NE(rows[0].value.find("228"), std::string::npos) << rows[0].value;
    EXPECT_NE(rows[1].value.find("00E4"), std::string::npos) << rows[1].value;
    EXPECT_NE(rows[2].value.find("0000-1000"), std::string::npos) << rows[2].value;

    rig.debugger.startOrStop();
    EXPECT_TRUE(rig.debugger.watches.rows().empty());
    EXPECT_EQ(readWatches(readIniFile(rig.project.path)).size(), 3u);
    rig.debugger.startOrStop();
    ASSERT_TRUE(rig.debugger.inSession());
    EXPECT_EQ(rig.debugger.watches.rows().size(), 3u);
}

TEST_F(AssemblySessionTest, CursorCommandsOnALineWithoutCodeDoNothing) {
    rig.caretTo(source, kStartLine - 1);
    const std::uint32_t cycles = rig.machine.cycleCounter;
    rig.debugger.runToCursor();
    rig.debugger.runFreelyToCursor();
    rig.debugger.skipToCursor();
    EXPECT_EQ(rig.machine.pc, 0xE000);
    EXPECT_EQ(rig.machine.cycleCounter, cycles);
    EXPECT_TRUE(rig.host.messages.empty());
}

TEST_F(AssemblySessionTest, BranchOppositeTakesTheOtherWayWithoutCycles) {
    rig.caretTo(source, kBranchLine);
    rig.debugger.runToCursor();
    ASSERT_EQ(rig.executionLine(source), kBranchLine);
    const std::uint32_t cycles = rig.machine.cycleCounter;
    rig.debugger.branchOpposite();  // BNE NEXT would be taken on the first pass
    EXPECT_EQ(rig.executionLine(source), kReturnLine);
    EXPECT_EQ(rig.machine.cycleCounter, cycles);
    rig.debugger.branchOpposite();  // RTS is no branch
    EXPECT_EQ(rig.executionLine(source), kReturnLine);
}

TEST_F(AssemblySessionTest, RunStopsOnPauseAndProgramResetGoesBackToTheStart) {
    rig.host.onProcessEvents = [this] {
        if (rig.machine.pc == 0xE027) rig.debugger.pause();
    };
    rig.debugger.run();
    EXPECT_EQ(rig.executionLine(source), kHaltLine);
    EXPECT_EQ(rig.editor.linesWith(source, kExecutionPointMarker).size(), 1u);

    rig.display.refreshed = 0;
    rig.debugger.programReset();
    EXPECT_EQ(rig.machine.pc, 0xE000);
    EXPECT_EQ(rig.machine.cycleCounter, 0u);
    const DebugViews startOver =
        kRamView | kStackView | kWatchList | kBreakpointList | kCounterList | kPeripheralWindows;
    EXPECT_EQ(rig.display.refreshed & startOver, startOver);
    EXPECT_EQ(rig.executionLine(source), kStartLine);
    EXPECT_EQ(rig.editor.statusPanels[kCyclePanel], "Cycle = 0");
    EXPECT_EQ(rig.editor.statusPanels[kTimePanel], "Time = 0:0:0:0,0");
}

// Commands given from the event pump of a running command wait for it: they neither move the
// program nor end the run.
TEST_F(AssemblySessionTest, ResetAndSkipDoNothingWhileACommandRuns) {
    rig.caretTo(source, kAddUpLine);
    bool tried = false;
    rig.host.onProcessEvents = [&] {
        if (tried) {
            rig.debugger.pause();
            return;
        }
        tried = true;
        const std::uint16_t pc = rig.machine.pc;
        const std::uint32_t cycles = rig.machine.cycleCounter;
        rig.debugger.programReset();
        rig.debugger.skipToCursor();
        EXPECT_EQ(rig.machine.pc, pc);
        EXPECT_EQ(rig.machine.cycleCounter, cycles);
    };
    rig.debugger.run();
    ASSERT_TRUE(tried);
    EXPECT_FALSE(rig.debugger.commandInProgress());
}

TEST_F(AssemblySessionTest, RunFreelyToCycleStopsAtTheFirstLineAtOrPastTheTarget) {
    rig.debugger.runFreelyToCycle(100);
    EXPECT_GE(rig.machine.cycleCounter, 100u);
    EXPECT_NE(rig.machine.memory[rig.machine.pc].line, 0);
    EXPECT_NE(rig.executionLine(source), 0);
}

TEST_F(AssemblySessionTest, StopUnmarksTheSourceAndGoesBackToTheLastPoint) {
    rig.caretTo(source, kNextLine);
    rig.debugger.runToCursor();
    rig.editor.moveCaret(0);
    rig.debugger.startOrStop();

    EXPECT_FALSE(rig.debugger.inSession());
    EXPECT_FALSE(rig.editor.page(source).readOnly);
    EXPECT_TRUE(rig.editor.linesWith(source, kCodeLineMarker).empty());
    EXPECT_TRUE(rig.editor.linesWith(source, kExecutionPointMarker).empty());
    EXPECT_EQ(rig.editor.caretLine() + 1, kNextLine);
    EXPECT_EQ(rig.display.caption, "Tarnwick - sum.pro");
    EXPECT_EQ(rig.display.sessionWindowsClosed, 1);
    EXPECT_EQ(rig.display.desktopSaves, 1);
    for (const int panel : {kCyclePanel, kTimePanel, kStatusPanel})
        EXPECT_EQ(rig.editor.statusPanels[panel], "");
}

// The sum example's image alone, as an S19 project built by the disassembly export.
TEST(S19SessionTest, BuiltProjectDebugsInItsDisassembly) {
    DebugSessionRig rig;
    rig.buildExample("sum");
    fs::copy_file(rig.path("sum.s19"), rig.path("image.s19"));
    testing::writeText(rig.path("image.pro"),
                       "[PROJECT]\nFormat=S19\n[S19]\nStart=E000\n[CPU]\nType=M68HC11E1\n"
                       "RMem=E000 FFFF\nRWMem=0000 00FF\nIOMem=1000 103F\n"
                       "[FILES]\nCount=1\nFile0=image.s19\n");
    rig.openProject("image.pro");
    const S19CommandResult built = buildS19Project(
        rig.machine, rig.project.cpu, rig.sourceMap,
        {"image.s19", rig.directory.path(), rig.project.s19Start},
        [](std::string_view) { return true; }, LocalDateTime{});
    ASSERT_EQ(built.outcome, S19CommandResult::Done) << built.error;

    rig.debugger.startOrStop();
    ASSERT_TRUE(rig.debugger.inSession()) << rig.errors();
    const fs::path listing = rig.path("image.asm");
    EXPECT_EQ(rig.editor.activeFile(), listing);
    EXPECT_TRUE(rig.editor.page(listing).readOnly);
    const int startLine = rig.executionLine(listing);
    ASSERT_NE(startLine, 0);
    EXPECT_NE(rig.editor.lineText(listing, startLine - 1).find("LDS"), std::string::npos);

    // The listing's line of an address of the program.
    const auto lineOf = [&rig](std::uint16_t address) {
        return int{rig.machine.memory[address].line};
    };
    rig.debugger.traceInto();
    rig.debugger.traceInto();
    EXPECT_EQ(rig.machine.pc, 0xE006);
    EXPECT_EQ(rig.executionLine(listing), startLine + 2);

    rig.caretTo(listing, lineOf(0xE00C));  // JSR ADDUP
    rig.debugger.runToCursor();
    rig.debugger.stepOver();
    EXPECT_EQ(rig.machine.pc, 0xE00F);
    EXPECT_EQ(rig.machine.peek16(0x0000), 228);
    rig.caretTo(listing, lineOf(0xE00C));
    rig.debugger.skipToCursor();
    rig.debugger.traceInto();
    EXPECT_EQ(rig.executionLine(listing), lineOf(0xE029));  // into ADDUP
    rig.debugger.stepOut();
    EXPECT_EQ(rig.machine.pc, 0xE00F);

    rig.debugger.programReset();
    EXPECT_EQ(rig.executionLine(listing), startLine);
    rig.caretTo(listing, lineOf(0xE036));  // the loop's first line
    rig.debugger.breakpoints.toggleAtCaret();
    rig.debugger.counters.toggleAtCaret();
    ASSERT_TRUE(
        ModifyBreakpoint::forCaretLine(rig.context, rig.debugger.breakpoints)->ok("0", "3"));
    rig.debugger.run();
    EXPECT_EQ(rig.machine.pc, 0xE036);
    EXPECT_EQ(rig.machine.peek(0x0002), 2);
    EXPECT_EQ(rig.debugger.breakpoints.rows().front().count, "3 of 3");
    rig.caretTo(listing, lineOf(0xE049));  // RTS
    rig.debugger.runToCursor();
    EXPECT_EQ(rig.machine.pc, 0xE036) << "the breakpoint on the way stops first";
    rig.caretTo(listing, lineOf(0xE049));
    rig.debugger.runFreelyToCursor();
    EXPECT_EQ(rig.machine.pc, 0xE049);
    EXPECT_EQ(rig.debugger.counters.rows().front().count, "8");

    rig.debugger.programReset();
    rig.caretTo(listing, lineOf(0xE047));  // BNE NEXT, taken on the first pass
    rig.debugger.runFreelyToCursor();
    rig.debugger.branchOpposite();
    EXPECT_EQ(rig.machine.pc, 0xE049);
    rig.debugger.runFreelyToCycle(rig.machine.cycleCounter + 100);
    EXPECT_NE(rig.executionLine(listing), 0);
    EXPECT_EQ(addWatchFromMenu(rig.project, rig.host), WatchDialogKind::None);
    EXPECT_EQ(rig.errors(), "Not available for S19 format\n");

    rig.debugger.startOrStop();
    EXPECT_FALSE(rig.debugger.inSession());
    EXPECT_FALSE(rig.editor.page(listing).readOnly);
    EXPECT_EQ(rig.display.desktopSaves, 1);
}

// A C program as the compiler would leave it: start-up code without line info that calls
// main, main calling twice. The image is assembled from the equivalent code, the debug file
// written by hand.
// The project file lies in "proj", its first file below it or beside it, and the process
// works elsewhere: the build writes the image beside the source and the start finds it there.
class ProjectFolderTest : public ::testing::TestWithParam<const char*> {
  protected:
    // Runs the batch file to its end when started.
    struct ShellProcess : Process {
        int exit = -1;
        bool start(const std::vector<std::string>& arguments, const fs::path& directory,
                   const fs::path&, bool) override {
            exit = testing::runTool(directory, arguments[0], arguments[1]).status;
            return true;
        }
        std::optional<int> exitCode() override { return exit; }
        void terminate() override {}
        std::string errorOutput() override { return {}; }
    };

    // The example's file of the extension, at the parameter's place in a project in "proj".
    void writeProject(const std::string& format, const std::string& extension) {
        rig.buildExample("sum");
        fs::create_directories(rig.path("proj/sub"));
        fs::create_directories(rig.path("lib"));
        const std::string entry = GetParam() + extension;
        placed = rig.path("proj") / entry;
        fs::copy_file(rig.path("sum" + extension), placed);
        testing::writeText(rig.path("proj/demo.pro"),
                           "[PROJECT]\nFormat=" + format +
                               "\n[S19]\nStart=E000\n[CPU]\nType=M68HC11E1\nRMem=E000 FFFF\n"
                               "RWMem=0000 00FF\nIOMem=1000 103F\n[FILES]\nCount=1\nFile0=" +
                               entry + "\n");
        rig.openProject("proj/demo.pro");
    }

    DebugSessionRig rig;
    fs::path placed;
};

TEST_P(ProjectFolderTest, AssemblerBuildThenDebugStart) {
    writeProject("ASM11", ".asm");
    ShellProcess process;
    AssemblerBuild build(process);
    ASSERT_TRUE(
        build
            .begin({rig.project.path, rig.project.files[0], ASM11_PATH, rig.project.asm11Options},
                   true)
            .showBuildingWindow);
    EXPECT_EQ(build.startRun(), "");
    EXPECT_TRUE(build.poll());
    EXPECT_EQ(build.finish([](const fs::path&) {}), "");
    EXPECT_EQ(process.exit, 0);

    rig.debugger.startOrStop();
    ASSERT_TRUE(rig.debugger.inSession()) << rig.errors();
    EXPECT_EQ(rig.executionLine(placed), kStartLine);
}

TEST_P(ProjectFolderTest, S19BuildThenDebugStart) {
    writeProject("S19", ".s19");
    const S19CommandResult built = buildS19Project(
        rig.machine, rig.project.cpu, rig.sourceMap,
        {rig.project.files[0], rig.project.directory, rig.project.s19Start},
        [](std::string_view) { return true; }, LocalDateTime{});
    ASSERT_EQ(built.outcome, S19CommandResult::Done) << built.error;

    rig.debugger.startOrStop();
    ASSERT_TRUE(rig.debugger.inSession()) << rig.errors();
    const fs::path listing = fs::path(placed).replace_extension(".asm");
    EXPECT_EQ(built.written, listing);
    EXPECT_NE(rig.executionLine(listing), 0);
}

INSTANTIATE_TEST_SUITE_P(BelowOrBeside, ProjectFolderTest,
                         ::testing::Values("sub/prog", "../lib/prog"));

class CSessionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::writeText(rig.path("prog.asm"),
                           "        ORG $E000\n"
                           "START   LDS #$00FF\n"  // E000
                           "        JSR MAIN\n"    // E003
                           "HALT    BRA HALT\n"    // E006
                           "MAIN    LDAA #3\n"     // E008 main.c line 5
                           "        JSR TWICE\n"   // E00A line 6
                           "        STAA $0010\n"  // E00D line 7
                           "        RTS\n"         // E00F line 8
                           "TWICE   ASLA\n"        // E010 line 11
                           "        RTS\n"         // E011 line 12
                           "        ORG $FFFE\n"
                           "        FDB START\n");
        const testing::ToolRun build =
            testing::runTool(rig.directory.path(), ASM11_PATH, "prog.asm");
        ASSERT_EQ(build.status, 0) << build.output;
        testing::writeText(rig.path("prog.dbg"),
                           "FILE main.c\n"
                           "FUNC main E008\n"
                           "STACK s1 x\n"
                           "LINE 5 E008\nLINE 6 E00A\nLINE 7 E00D\nLINE 8 E00F\n"
                           "DEFLOCAL i 1 c\n"
                           "FUNCEND\n"
                           "FUNC twice\n"
                           "STACK s1 x\n"
                           "LINE 11 E010\nLINE 12 E011\n"
                           "FUNCEND\n"
                           "DEFGLOBAL result 0010 c\n");
        std::string source;
        for (int line = 1; line <= 14; ++line)
            source += "/* line " + std::to_string(line) + " */\n";
        testing::writeText(rig.path("main.c"), source);
        testing::writeText(rig.path("prog.pro"),
                           "[PROJECT]\nFormat=ICC11\n[CPU]\nType=M68HC11E1\n"
                           "RMem=E000 FFFF\nRWMem=0000 00FF\nIOMem=1000 103F\n"
                           "[FILES]\nCount=1\nFile0=prog.dbg\n");
        rig.openProject("prog.pro");
        rig.debugger.startOrStop();
        ASSERT_TRUE(rig.debugger.inSession()) << rig.errors();
        mainC = rig.path("main.c");
    }
    DebugSessionRig rig;
    fs::path mainC;
};

TEST_F(CSessionTest, StartRunsTheStartUpCodeToMain) {
    EXPECT_EQ(rig.machine.pc, 0xE008);
    EXPECT_EQ(rig.executionLine(mainC), 5);
    EXPECT_GT(rig.machine.cycleCounter, 0u) << "cycles of the start-up code stay";
    EXPECT_EQ(rig.debugger.cScopes(), (std::vector<std::string>{"main", "Global Variable"}));
}

TEST_F(CSessionTest, StepOutUsesTheReturnSlotAndProgramResetRunsToMain) {
    rig.debugger.traceInto();
    rig.debugger.traceInto();
    ASSERT_EQ(rig.executionLine(mainC), 11);
    rig.debugger.stepOut();
    EXPECT_EQ(rig.machine.pc, 0xE00D);
    EXPECT_EQ(rig.executionLine(mainC), 7);
    EXPECT_EQ(rig.machine.a, 6);

    rig.debugger.programReset();
    EXPECT_EQ(rig.machine.pc, 0xE008);
    EXPECT_EQ(rig.executionLine(mainC), 5);
}

TEST_F(CSessionTest, CodeWithoutLineInfoIsShownInATemporaryDisassembly) {
    // A link left under the file's name is replaced; the file it points to stays as it was.
    const testing::TempDirectory outside;
    testing::writeText(outside / "victim", "victim");
    fs::create_symlink(outside / "victim", rig.path("_tnwk0.asm"));
    rig.caretTo(mainC, 8);
    rig.debugger.runToCursor();
    rig.host.onProcessEvents = [this] { rig.debugger.pause(); };
    rig.debugger.run();  // main returns into the start-up code's endless loop
    rig.host.onProcessEvents = nullptr;
    EXPECT_EQ(rig.machine.pc, 0xE006);
    const fs::path first = rig.path("_tnwk0.asm");
    ASSERT_TRUE(rig.editor.isOpen(first)) << rig.errors();
    EXPECT_EQ(rig.executionLine(first), 2);
    EXPECT_NE(rig.editor.lineText(first, 1).find("BRA"), std::string::npos);
    EXPECT_EQ(rig.editor.lineCount(first), 2) << "the disassembly ends at the next line of C";
    EXPECT_FALSE(fs::is_symlink(first));
    EXPECT_EQ(testing::readText(outside / "victim"), "victim");

    rig.machine.pc = 0xE000;
    rig.debugger.traceInto();  // from the start-up code into main
    EXPECT_EQ(rig.executionLine(mainC), 5);
    rig.caretTo(mainC, 8);
    rig.debugger.skipToCursor();
    EXPECT_EQ(rig.machine.pc, 0xE00F);
    rig.debugger.programReset();
    EXPECT_EQ(rig.machine.pc, 0xE008);
    EXPECT_FALSE(rig.editor.isOpen(rig.path("_tnwk1.asm")));
}

TEST_F(CSessionTest, StepOverBreakpointCounterAndWatchesInC) {
    CWatchDialog dialog(rig.context, rig.debugger.watches);
    for (const std::size_t format : {std::size_t{3}, std::size_t{4}}) {  // Decimal, HexaDecimal
        dialog.show(rig.debugger.cScopes());
        dialog.chooseFunction("Global Variable");
        dialog.variable = "result";
        dialog.format = format;
        dialog.ok();
    }
    ASSERT_EQ(rig.debugger.watches.rows().size(), 2u) << rig.errors();

    rig.caretTo(mainC, 11);  // the first line of twice
    rig.debugger.breakpoints.toggleAtCaret();
    rig.debugger.counters.toggleAtCaret();
    rig.debugger.stepOver();
    rig.debugger.stepOver();  // over the call of twice: the breakpoint inside stops it
    EXPECT_EQ(rig.executionLine(mainC), 11);
    rig.debugger.stepOut();
    EXPECT_EQ(rig.executionLine(mainC), 7);
    rig.debugger.stepOver();
    EXPECT_EQ(rig.executionLine(mainC), 8);
    const auto& rows = rig.debugger.watches.rows();
    EXPECT_NE(rows[0].value.find('6'), std::string::npos) << rows[0].value;
    EXPECT_NE(rows[1].value.find("06"), std::string::npos) << rows[1].value;
    EXPECT_EQ(rig.debugger.counters.rows().front().count, "1");
    EXPECT_EQ(rig.debugger.breakpoints.rows().front().file, "main.c");

    rig.debugger.startOrStop();
    EXPECT_EQ(readWatches(readIniFile(rig.project.path)).size(), 2u);
    EXPECT_TRUE(rig.editor.linesWith(mainC, kBreakpointMarker).empty());
}

TEST_F(CSessionTest, AStepOutAnsweredNoLeavesTheNextCommandWorking) {
    rig.debugger.traceInto();
    rig.debugger.traceInto();  // into twice, whose return slot is SP + 1
    rig.machine.sp = 0x7000;   // undefined memory: the read warns
    rig.host.yesNoAnswers = {false};
    rig.debugger.stepOut();
    ASSERT_FALSE(rig.host.messages.empty());
    EXPECT_EQ(rig.host.messages.front().kind, testing::FakeHost::Message::YesNoWarning);
    EXPECT_EQ(rig.executionLine(mainC), 5) << "No performed the program reset";
    rig.debugger.traceInto();
    EXPECT_EQ(rig.executionLine(mainC), 6);
}

TEST_F(CSessionTest, StepOutWithoutReturnSlotIsRefused) {
    rig.machine.memory[rig.machine.pc].returnSlot = 0;
    rig.debugger.stepOut();
    EXPECT_EQ(rig.errors(), "No return address info, cannot stepping out\n");
    EXPECT_EQ(rig.machine.pc, 0xE008);
    EXPECT_FALSE(rig.debugger.commandInProgress());
}

TEST(DebugStartTest, AStartWithoutLineInfoAtTheResetAddressLeavesTheSourceWritable) {
    DebugSessionRig rig;
    rig.buildExample("sum");
    // The reset vector points into the middle of the first instruction: no line starts there.
    std::string image = testing::readText(rig.path("sum.s19"));
    const std::size_t vector = image.find("S105FFFEE000");
    ASSERT_NE(vector, std::string::npos);
    image.replace(vector, 14, "S105FFFEE0011C");
    testing::writeText(rig.path("sum.s19"), image);

    rig.debugger.startOrStop();
    EXPECT_FALSE(rig.debugger.inSession());
    EXPECT_EQ(rig.errors(), "No line info at $E001, Debug|Stop\n");
    EXPECT_FALSE(rig.editor.page(rig.path("sum.asm")).readOnly);
    EXPECT_FALSE(rig.editor.linesWith(rig.path("sum.asm"), kCodeLineMarker).empty());
}

TEST(DebugStartTest, AMissingModuleEndsTheStartAndLeavesTheOthersWritable) {
    DebugSessionRig rig;
    testing::writeText(rig.path("p.pro"),
                       "[PROJECT]\nFormat=ASM11\n[CPU]\nType=M68HC11E1\nRMem=E000 FFFF\n"
                       "RWMem=0000 00FF\nIOMem=1000 103F\n[FILES]\nCount=1\nFile0=p.asm\n");
    testing::writeText(rig.path("p.asm"), " NOP\n NOP\n");
    testing::writeText(rig.path("p.s19"), "S105E000010118\nS105FFFEE0001D\nS9030000FC\n");
    testing::writeText(rig.path("p.sym"),
                       "#MODULE P p.asm\nE000 1\n#END\n#MODULE GONE gone.asm\nE001 1\n#END\n");
    rig.openProject("p.pro");

    rig.debugger.startOrStop();
    EXPECT_FALSE(rig.debugger.inSession());
    EXPECT_EQ(rig.errors(), "Cannot open the source file " + rig.path("gone.asm").string() + "\n");
    EXPECT_FALSE(rig.editor.page(rig.path("p.asm")).readOnly);
}

TEST(DebugStartTest, RefusedStartsNameTheirCause) {
    struct Case {
        std::string name;
        std::string projectText;
        std::vector<std::pair<std::string, std::string>> files;
        std::string error;  // "{dir}" stands for the project directory
    };
    const std::string cpu =
        "[CPU]\nType=M68HC11E1\nRMem=E000 FFFF\nRWMem=0000 00FF\nIOMem=1000 103F\n";
    const std::string program = "S107E0000102030410\nS9030000FC\n";
    const std::string ioVector = "S105FFFE1000ED\nS9030000FC\n";
    const std::vector<Case> cases = {
        {"no files", "[PROJECT]\nFormat=ASM11\n" + cpu, {}, "No file loaded to the project"},
        {"no format",
         "[PROJECT]\nFormat=ASM12\n" + cpu + "[FILES]\nCount=1\nFile0=p.asm\n",
         {{"p.asm", " NOP\n"}},
         std::string(kNoFormatText)},
        {"no symbol file",
         "[PROJECT]\nFormat=ASM11\n" + cpu + "[FILES]\nCount=1\nFile0=p.asm\n",
         {{"p.asm", " NOP\n"}},
         "The ASM/SYM file cannot be found, Project|Build"},
        {"vector into the registers",
         "[PROJECT]\nFormat=ASM11\n" + cpu + "[FILES]\nCount=1\nFile0=p.asm\n",
         {{"p.asm", " NOP\n"}, {"p.sym", "#END\n"}, {"p.s19", ioVector}},
         "Reset Vector points to invalid memory, Configure|CPU"},
        {"unknown vector",
         "[PROJECT]\nFormat=ASM11\n" + cpu + "[FILES]\nCount=1\nFile0=p.asm\n",
         {{"p.asm", " NOP\n"}, {"p.sym", "#END\n"}, {"p.s19", program}},
         "Reset Vector is invalid"},
        {"S19 never built",
         "[PROJECT]\nFormat=S19\n" + cpu + "[FILES]\nCount=1\nFile0=p.s19\n",
         {{"p.s19", program}},
         "The ASM/SYM file cannot be found, Project|Build"},
        {"C with two files",
         "[PROJECT]\nFormat=ICC11\n" + cpu + "[FILES]\nCount=2\nFile0=a.dbg\nFile1=b.dbg\n",
         {},
         "No *.dbg file / more than 1 debug file loaded to the project"},
        {"C file in capitals",
         "[PROJECT]\nFormat=ICC11\n" + cpu + "[FILES]\nCount=1\nFile0=MAIN.DBG\n",
         {{"MAIN.DBG", "FILE main.c\n"}},
         "The project input file MUST be a *.dbg file"},
        {"C without image",
         "[PROJECT]\nFormat=ICC11\n" + cpu + "[FILES]\nCount=1\nFile0=main.dbg\n",
         {{"main.dbg", "FILE main.c\n"}},
         "The file {dir}/main.s19 cannot be found"},
    };
    for (const Case& c : cases) {
        DebugSessionRig rig;
        testing::writeText(rig.path("p.pro"), c.projectText);
        for (const auto& [name, text] : c.files) testing::writeText(rig.path(name), text);
        rig.openProject("p.pro");
        rig.debugger.startOrStop();
        EXPECT_FALSE(rig.debugger.inSession()) << c.name;
        std::string error = c.error;
        if (const std::size_t at = error.find("{dir}"); at != std::string::npos)
            error.replace(at, 5, rig.directory.path().string());
        EXPECT_EQ(rig.errors(), error + "\n") << c.name;
    }
}

}  // namespace
}  // namespace tarnwick
