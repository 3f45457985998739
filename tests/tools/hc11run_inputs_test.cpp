// hc11run's inputs (Port E, A/D, XIRQ), its ends by output and by the CPU's wait states, and
// a run of no steps, through the built program.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "project/temp_directory.h"
#include "tools/hc11run_fixture.h"

namespace tarnwick {
namespace {

using testing::readFile;

// The summary line's register part.
std::string registersOf(const std::string& err) {
    const std::size_t start = err.rfind("PC=");
    return start == std::string::npos ? err
                                      : err.substr(start, err.find(" cycles=", start) - start);
}

TEST_F(Hc11runTest, PortEAndAnalogInputsAreWhatTheProgramReads) {
    // Converts AN4-AN7 into ADR1-ADR4, then reads PORTE into A.
    const std::string program = image("adc", {{0xE000,
                                               {
                                                   0x86, 0x14,        // LDAA #$14  MULT, AN4-AN7
                                                   0xB7, 0x10, 0x30,  // STAA $1030 ADCTL
                                                   0xF6, 0x10, 0x30,  // LDAB $1030
                                                   0x2A, 0xFB,        // BPL  E005  until CCF
                                                   0xB6, 0x10, 0x0A,  // LDAA $100A PORTE
                                                   0x20, 0xFE,        // BRA  E00D
                                               }}});
    const std::string dump = (directory / "memory.bin").string();
    const struct {
        std::string inputs;
        std::string porte;
        std::string results;  // ADR1-ADR4
    } cases[] = {
        {"", "FF", std::string(4, '\0')},
        {"--porte a5 --adc 4=1 --adc '5=$80' --adc=7=255 --adc 4=17 --adc 0=9", "A5",
         std::string("\x11\x80\x00\xFF", 4)},
    };
    for (const auto& c : cases) {
        const Result result =
            run(program + " --pc E000 --until-pc E00D --dump " + dump + " " + c.inputs);
        ASSERT_EQ(result.status, 0) << c.inputs << "\n" << result.err;
        EXPECT_EQ(registersOf(result.err).substr(0, 17), "PC=E00D A=" + c.porte + " B=94")
            << c.inputs;
        EXPECT_EQ(readFile(dump).substr(0x1031, 4), c.results) << c.inputs;
    }
}

TEST_F(Hc11runTest, XirqPullsAndLevelsReachTheProgram) {
    // Counts XIRQ interrupts at 0000 with X clear.
    const std::vector<Piece> pieces = {{0xE000,
                                        {
                                            0x8E, 0x01, 0xFF,  // LDS #$01FF
                                            0x7F, 0x00, 0x00,  // CLR $0000
                                            0x4F,              // CLRA
                                            0x06,              // TAP        X clear
                                            0x20, 0xFE,        // BRA E008
                                            0x7C, 0x00, 0x00,  // E00A: INC $0000   the XIRQ handler
                                            0x3B,              // RTI
                                        }},
                                       {0xFFF4, {0xE0, 0x0A}},
                                       {0xFFFE, {0xE0, 0x00}}};
    const std::string program = image("xirq", pieces);
    const std::string dump = (directory / "memory.bin").string();
    const auto count = [&](const std::string& arguments) {
        const Result result = run(program + " --dump " + dump + " " + arguments);
        EXPECT_EQ(result.status, 4) << arguments << "\n" << result.err;
        return static_cast<int>(static_cast<unsigned char>(readFile(dump).at(0)));
    };

    EXPECT_EQ(count("--cycles 10000 --xirq pulse@1000 --xirq pulse@5000"), 2);
    EXPECT_EQ(count("--cycles 10000 --xirq pulse@0"), 1);  // taken once X is clear
    // A held line is taken again after every RTI, until its end.
    const int level = count("--cycles 3000 --xirq level@1000-2000");
    EXPECT_GT(level, 2);
    EXPECT_EQ(count("--cycles 10000 --xirq level@1000-2000"), level);
    EXPECT_EQ(count("--cycles 10000 --xirq level@1000-2000 --xirq pulse@1500"), level);
    EXPECT_EQ(count("--cycles 10000 --xirq pulse@500 --xirq level@2000-3000"), level + 1);

    // Without the vector the pull is refused, as the XIRQ window's buttons are.
    const Result unset = run(image("novector", {pieces[0], pieces[2]}) +
                             " --cycles 10000 --xirq pulse@1000 --xirq level@2000-3000");
    EXPECT_EQ(unset.status, 4) << unset.err;
    EXPECT_EQ(messagesOf(unset.err),
              "hc11run: --xirq pulse@1000 does nothing: the XIRQ vector at FFF4 is not set\n"
              "hc11run: --xirq level@2000-3000 does nothing: the XIRQ vector at FFF4 is not set\n");
}

TEST_F(Hc11runTest, StopEndsTheRunOnlyWhenNothingCanWakeTheCpu) {
    // STOP with X set from the reset: XIRQ only wakes it, and the program goes on after STOP.
    const std::string stopWithXSet = image("stopx", {{0xE000,
                                                      {
                                                          0x86, 0x50,  // LDAA #$50  X and I set
                                                          0x06,        // TAP        S clear
                                                          0xCF,        // STOP
                                                          0x20, 0xFE,  // BRA E004
                                                      }},
                                                     {0xFFF4, {0xE0, 0x04}},
                                                     {0xFFFE, {0xE0, 0x00}}}) +
                                     " --until-pc E004";
    // An RTI request latched while I is set, then CLI and STOP: the instruction after CLI runs
    // before the interrupt, which is taken out of STOP; back in STOP nothing is left.
    const std::string pendingRti =
        image("stoprti", {{0xE000,
                           {
                               0x8E, 0x01, 0xFF,        // LDS #$01FF
                               0xCE, 0x10, 0x00,        // LDX #$1000
                               0x86, 0x10,              // LDAA #$10  I set
                               0x06,                    // TAP        S and X clear
                               0x1C, 0x24, 0x40,        // BSET $24,X,#$40      RTII
                               0x1F, 0x25, 0x40, 0xFC,  // BRCLR $25,X,#$40,*   until RTIF
                               0x0E,                    // CLI
                               0xCF,                    // STOP
                               0x20, 0xFE,              // BRA E012
                               0x7C, 0x00, 0x00,        // E014: INC $0000  the RTI handler
                               0x86, 0x40,              // LDAA #$40
                               0xB7, 0x10, 0x25,        // STAA $1025       clears RTIF
                               0x3B,                    // RTI
                           }},
                          {0xFFF0, {0xE0, 0x14}},
                          {0xFFFE, {0xE0, 0x00}}});
    const std::string dump = (directory / "memory.bin").string();
    const std::string stopped = "stop: STOP, and nothing can wake the CPU";
    const struct {
        std::string arguments;
        int status;
        std::string reason;
    } cases[] = {
        {stopWithXSet, 2, stopped},
        // No E cycles run in STOP, so a pull scheduled later comes at once.
        {stopWithXSet + " --xirq pulse@1000000", 0, "until-pc E004"},
        {stopWithXSet + " --xirq level@100-200", 0, "until-pc E004"},
        {pendingRti + " --cycles 100000 --dump " + dump, 2, stopped},
    };
    for (const auto& c : cases) {
        const Result result = run(c.arguments);
        EXPECT_EQ(result.status, c.status) << c.arguments << "\n" << result.err;
        EXPECT_EQ(reasonOf(result.err), c.reason) << c.arguments;
        EXPECT_EQ(messagesOf(result.err), "") << c.arguments;
    }
    EXPECT_EQ(readFile(dump).at(0), 1);  // the RTI handler ran once
}

TEST_F(Hc11runTest, WaiThatNoInterruptCanEndEndsTheRun) {
    // Started by a reset, which sets X; TAP may clear it.
    const auto program = [this](unsigned char ccr) {
        return image("wai", {{0xE000,
                              {
                                  0x8E, 0x01, 0xFF,  // LDS #$01FF
                                  0x86, ccr,         // LDAA #ccr
                                  0x06,              // TAP
                                  0x3E,              // WAI
                                  0x20, 0xFE,        // BRA E007
                                  0x3B,              // E009: RTI  the XIRQ handler
                              }},
                             {0xFFF4, {0xE0, 0x09}},
                             {0xFFFE, {0xE0, 0x00}}}) +
               " --until-pc E007 --cycles 20000";
    };
    const std::string never = "wait: WAI with I set and no XIRQ that can be taken";
    const struct {
        unsigned char ccr;
        std::string xirq;
        int status;
        std::string reason;
    } cases[] = {
        {0x50, "", 2, never},                             // I and X set
        {0x50, "--xirq pulse@5000", 2, never},            // XIRQ is masked
        {0x10, "", 2, never},                             // X clear, but no XIRQ comes
        {0x10, "--xirq pulse@5000", 0, "until-pc E007"},  // the XIRQ ends the wait
        {0x10, "--xirq level@5000-6000", 0, "until-pc E007"},
        {0x00, "", 4, "cycles"},  // I clear: an interrupt may come; the run lasts its cycles
    };
    for (const auto& c : cases) {
        const Result result = run(program(c.ccr) + " " + c.xirq);
        EXPECT_EQ(result.status, c.status) << int(c.ccr) << " " << c.xirq << "\n" << result.err;
        EXPECT_EQ(reasonOf(result.err), c.reason) << int(c.ccr) << " " << c.xirq;
    }
}

TEST_F(Hc11runTest, UntilOutputEndsTheRunRightAfterTheText) {
    const std::string hello = "'" + Hc11runTest::hello().string() + "' ";
    const struct {
        std::string arguments;
        std::string output;
        int status = 0;
    } cases[] = {
        {"--until-output simulated", "Hello from the simulated"},
        {R"(--until-output '68HC11!\r\n')", "Hello from the simulated 68HC11!\r\n"},
        {R"(--until-output '\x48e')", "He"},
        // Text never sent: the other end comes first.
        {"--until-output Goodbye --cycles 20000", "Hello from the simulated 68HC11!\r\n", 4},
    };
    for (const auto& c : cases) {
        const Result result = run(hello + c.arguments);
        EXPECT_EQ(result.status, c.status) << c.arguments << "\n" << result.err;
        EXPECT_EQ(result.out, c.output) << c.arguments;
    }
}

TEST_F(Hc11runTest, SciInputReachesTheProgramFromAFileOrStandardInput) {
    // Waits 7,000 cycles with the receiver off, then sends back every byte received.
    const std::string copier = image("copy", {{0xE000,
                                               {
                                                   0xCE, 0x10, 0x00,  // LDX #$1000
                                                   0x6F, 0x2B,        // CLR $2B,X  fastest BAUD
                                                   0x18, 0xCE, 0x03, 0xE8,  // LDY #1000
                                                   0x18, 0x09,              // DEY
                                                   0x26, 0xFC,              // BNE E009
                                                   0x86, 0x0C,              // LDAA #$0C
                                                   0xA7, 0x2D,              // STAA $2D,X  TE and RE
                                                   0x1F, 0x2E, 0x20, 0xFC,  // BRCLR $2E,X,#RDRF,*
                                                   0xE6, 0x2F,              // LDAB $2F,X
                                                   0x1F, 0x2E, 0x80, 0xFC,  // BRCLR $2E,X,#TDRE,*
                                                   0xE7, 0x2F,              // STAB $2F,X
                                                   0x20, 0xF2,              // BRA E011
                                               }}}) +
                               " --pc E000";
    const std::string copy = copier + " --until-output END! --cycles 2000000";
    // More than the feed reads ahead, every byte value (Ctrl+] too, which only a terminal
    // takes as the end key); what arrives while RE is clear waits.
    std::string input;
    for (int i = 0; i < 1000; ++i) input += static_cast<char>(i);
    input += "END!";
    const std::string file = (directory / "input.bin").string();
    testing::writeText(file, input);
    for (const std::string& feed :
         {"--sci-in " + file, "--sci-in - <" + file, "--sci-in=- <" + file}) {
        const Result result = run(copy + " " + feed);
        EXPECT_EQ(result.status, 0) << feed << "\n" << result.err;
        EXPECT_TRUE(result.out == input) << feed << ": " << result.out.size() << " bytes";
    }
    const Result piped = testing::runProgram(
        "/bin/cat", "'" + file + "' | '" HC11RUN_PATH "'" + copy + " --sci-in -", directory);
    EXPECT_EQ(piped.status, 0) << piped.err;
    EXPECT_TRUE(piped.out == input) << piped.out.size() << " bytes";

    // The run can end once the input has all been read and answered.
    const Result ended = run(copier + " --sci-in " + file + " --until-input-end");
    EXPECT_EQ(ended.status, 8) << ended.err;
    EXPECT_EQ(reasonOf(ended.err), "input-end");
    EXPECT_TRUE(ended.out == input) << ended.out.size() << " bytes";

    const std::string missing = (directory / "missing").string();
    const struct {
        std::string file;
        std::string error;
    } bad[] = {
        {missing, "hc11run: --sci-in: cannot open " + missing + ": No such file or directory\n"},
        {directory.string(), "hc11run: --sci-in: " + directory.string() + " is a folder\n"},
    };
    for (const auto& c : bad) {
        const Result result = run(copy + " --sci-in " + c.file);
        EXPECT_EQ(result.status, 1) << c.file;
        EXPECT_EQ(result.err, c.error);
    }
}

TEST_F(Hc11runTest, NoStepsLeavesTheStartState) {
    const std::string dump = (directory / "memory.bin").string();
    const Result result = run("'" + hello().string() +
                              "' --steps 0 --porte 3C --set A=12,B=34,PC=E003 --dump " + dump);
    EXPECT_EQ(result.status, 4) << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err,
              "steps: PC=E003 A=12 B=34 D=1234 X=0000 Y=0000 SP=0000 CCR=D0 cycles=0 "
              "time=0.000000 s\n");
    const std::string memory = readFile(dump);
    EXPECT_EQ(memory.substr(0xE000, 3), "\x8E\x01\xFF");
    EXPECT_EQ(memory[0x100A], '\x3C');
}

}  // namespace
}  // namespace tarnwick
