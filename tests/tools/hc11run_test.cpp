// Runs the built hc11run as a user's test script would.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>

#include "support/program_run.h"
#include "tools/hc11run_fixture.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

using testing::readFile;

TEST_F(Hc11runTest, HelloExamplePrintsItsGreetingThroughTheSci) {
    const Result result = run("'" + hello().string() + "' --until-pc E023");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "Hello from the simulated 68HC11!\r\n");
    EXPECT_TRUE(
        std::regex_search(result.err, std::regex("^until-pc E023: PC=E023 A=08 B=00 D=0800 X=1000 "
                                                 "Y=E047 SP=01FF CCR=D4 cycles=[0-9]+ "
                                                 "time=0\\.00[0-9]{4} s\n$")))
        << result.err;
}

TEST_F(Hc11runTest, VersionNamesTheProgramAndTheRelease) {
    const Result result = run("--version");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "hc11run " TARNWICK_VERSION "\n");
}

TEST_F(Hc11runTest, TraceShowsTheStateAfterEachStepAndDumpHoldsMemory) {
    const fs::path dump = directory / "memory.bin";
    const Result result =
        run("'" + hello().string() + "' --steps 2 --trace --dump '" + dump.string() + "'");
    EXPECT_EQ(result.status, 4) << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err.substr(0, result.err.find("cycles=")),
              "PC=E003 A=00 B=00 X=0000 Y=0000 SP=01FF CCR=D0 cyc=3 total=3\n"
              "PC=E006 A=00 B=00 X=1000 Y=0000 SP=01FF CCR=D0 cyc=3 total=6\n"
              "steps: PC=E006 A=00 B=00 D=0000 X=1000 Y=0000 SP=01FF CCR=D0 ");

    const std::string memory = readFile(dump);
    ASSERT_EQ(memory.size(), 0x10000u);
    EXPECT_EQ(memory.substr(0xE000, 3), "\x8E\x01\xFF");
    EXPECT_EQ(memory.substr(0xFFFE, 2), std::string("\xE0\x00", 2));
    EXPECT_EQ(memory[0x0100], '\0');    // RAM starts 00 unless --random-memory
    EXPECT_EQ(memory[0xF000], '\xFF');  // unused ROM

    // A link under the dump's name is replaced; the file it points to is left alone.
    const fs::path victim = directory / "victim";
    std::ofstream(victim) << "victim";
    fs::remove(dump);
    fs::create_symlink(victim, dump);
    EXPECT_EQ(run("'" + hello().string() + "' --steps 1 --dump '" + dump.string() + "'").status, 4);
    EXPECT_EQ(readFile(victim), "victim");
    EXPECT_EQ(readFile(dump).size(), 0x10000u);
}

TEST_F(Hc11runTest, ARandomFillIsRepeatedWithItsSeed) {
    const auto fill = [this](const std::string& seed) {
        const fs::path dump = directory / ("memory" + seed + ".bin");
        const Result result = run("'" + hello().string() + "' --random-memory --steps 0 --seed " +
                                  seed + " --dump '" + dump.string() + "'");
        EXPECT_NE(result.err.find(" seed=" + seed + "\n"), std::string::npos) << result.err;
        return readFile(dump).substr(0, 0x200);  // the RAM
    };
    EXPECT_EQ(fill("7"), fill("7"));
    EXPECT_NE(fill("7"), fill("8"));
    // Without --seed the summary tells the seed the clock gave.
    EXPECT_TRUE(std::regex_search(run("'" + hello().string() + "' --random-memory --steps 0").err,
                                  std::regex(" seed=[0-9]+\n$")));
}

TEST_F(Hc11runTest, AWriteToAPeripheralThatIsNotSimulatedIsNotedOncePerPeripheral) {
    const std::string program = image("timer", {{0xE000,
                                                 {
                                                     0xCE, 0x10, 0x00,  // LDX #$1000
                                                     0xED, 0x16,        // STD $16,X  TOC1
                                                     0xA7, 0x20,        // STAA $20,X TCTL1
                                                     0xA7, 0x28,        // STAA $28,X SPCR
                                                     0xED, 0x18,        // STD $18,X  TOC2
                                                     0x20, 0xFE,        // BRA *
                                                 }}});
    const Result result = run(program + " --pc E000 --until-pc E00B");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(messagesOf(result.err),
              "hc11run: note: the program wrote TOC1 at 1016; output compares are not simulated, "
              "so their registers act as plain memory\n"
              "hc11run: note: the program wrote SPCR at 1028; the SPI is not simulated, so its "
              "registers act as plain memory\n");
    const Result json = run(program + " --pc E000 --until-pc E00B --summary=json");
    EXPECT_NE(json.out.find(R"("notes":["the program wrote TOC1 at 1016;)"), std::string::npos)
        << json.out;
}

TEST_F(Hc11runTest, ExitStatusTellsHowTheRunEnded) {
    const std::string illegal =
        writeBinary("illegal.bin", {0x01, 0x41}).string();  // NOP, then 41, which is no opcode
    const std::string trapVector = writeBinary("vector.bin", {0xE0, 0x00}).string();
    const std::string romWrite =
        writeBinary("romwrite.bin", {0x7F, 0xE0, 0x00}).string();  // CLR $E000
    // With S clear (CCR 00 after --pc) STOP idles for good: nothing in hc11run can wake it.
    const std::string stop = writeBinary("stop.bin", {0xCF}).string();
    const std::string folder = (directory / "folder.bin").string();
    fs::create_directory(folder);
    const struct {
        std::string arguments;
        int status;
        std::string errorStart;  // the first line on stderr
    } cases[] = {
        {"--bin " + illegal + "@E000 --pc E000", 2, "ERROR: Illegal Interrupt vector"},
        {"--bin " + illegal + "@E000 --bin " + trapVector + "@FFF8 --pc E000 --set SP=1FF", 2,
         "WARNING: Entering Illegal Opcode Trap"},
        {"--bin " + romWrite + "@E000 --pc E000", 3,
         "WARNING: Accessing invalid memory at PC=E000"},
        {"--bin " + romWrite + "@E000 --pc E000 --on-invalid=continue --steps 1", 4,
         "WARNING: Accessing invalid memory at PC=E000"},
        {"--bin " + illegal + "@E000", 1, "hc11run: no reset vector; give --pc"},
        {"--bin " + illegal + "@FFFF --pc 0", 1, "hc11run: " + illegal + " (2 bytes) runs past"},
        {"missing.s19", 1, "hc11run: Cannot open the file missing.s19"},
        {"--bin " + stop + "@E000 --pc E000 --cycles 1000", 2,
         "stop: STOP, and nothing can wake the CPU"},
        {"--bin " + folder + "@E000 --pc E000", 1, "hc11run: Cannot open the file " + folder},
        {"--cycles x " + illegal, 1, "hc11run: --cycles: not a decimal number"},
    };
    for (const auto& c : cases) {
        const Result result = run(c.arguments);
        EXPECT_EQ(result.status, c.status) << c.arguments << "\n" << result.err;
        EXPECT_EQ(result.err.substr(0, c.errorStart.size()), c.errorStart) << c.arguments;
    }
}

}  // namespace
}  // namespace tarnwick
