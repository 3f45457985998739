// hc11run looks at the CPU after every step only with --trace. Without it the run loop runs on
// its own, and the ends come from its mechanisms: the step budget between batches, a
// temporary stop at the --until-pc address, stop requests from the SCI output, and the cycle
// alarm, which rings at the cycle limit, at the XIRQ edges and after the steps that idle the
// CPU. Every end must fall on the same step either way: exit status, output, messages,
// closing registers and cycles, and memory agree.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/busy_program.h"
#include "tools/hc11run_fixture.h"

namespace tarnwick {
namespace {

using testing::readFile;

// Standard error without the trace's lines.
std::string withoutTrace(const std::string& err) {
    std::string kept;
    std::size_t start = 0;
    while (start < err.size()) {
        const std::size_t end = std::min(err.find('\n', start), err.size() - 1) + 1;
        const std::string line = err.substr(start, end - start);
        if (line.find(" cyc=") == std::string::npos) kept += line;
        start = end;
    }
    return kept;
}

TEST_F(Hc11runTest, EndsFallOnTheSameStepWithAndWithoutTrace) {
    std::vector<Piece> pieces = {
        {testing::kBusyStart,
         {std::begin(testing::kBusyProgram), std::end(testing::kBusyProgram)}}};
    for (const auto& [address, target] : testing::kBusyVectors)
        pieces.push_back(
            {address,
             {static_cast<unsigned char>(target >> 8), static_cast<unsigned char>(target)}});
    const std::string busy = image("busy", pieces) +
                             " --ram '0000 0FFF 1040 DFFF' --rom 'E000 FFFF' --io '' --adc 0=77 ";
    const std::string hello = "'" + Hc11runTest::hello().string() + "' ";
    // LDS #$01FF, LDAA #1, then an opcode that does not exist; the trap's handler loops at
    // E010.
    const std::string trap = image("trap", {{0xE000, {0x8E, 0x01, 0xFF, 0x86, 0x01, 0x41}},
                                            {0xE010, {0x20, 0xFE}},
                                            {0xFFF8, {0xE0, 0x10}},
                                            {0xFFFE, {0xE0, 0x00}}}) +
                             " ";
    const std::string xirq = " --xirq pulse@20000 --xirq pulse@60000 --xirq level@90000-95000";

    const std::string cases[] = {
        hello + "--until-pc E023",
        hello + "--steps 1",
        hello + "--steps 100",
        hello + "--steps 101",
        hello + "--steps 777",
        hello + "--cycles 1",
        hello + "--cycles 3001",
        hello + "--until-output simulated",
        busy + "--cycles 120000 --on-invalid=continue",  // STOP with nothing to wake the CPU
        busy + "--cycles 120000 --on-invalid=continue" + xirq,
        busy + "--steps 25000 --on-invalid=continue" + xirq,
        busy + "--steps 28641 --on-invalid=continue",  // the limit falls on the first STOP
        busy + "--until-pc " + hexText(testing::kBusyStop, 4) + " --on-invalid=continue",
        busy + "--until-output '\\x05\\x06' --on-invalid=continue",
        busy + "--cycles 120000",  // the write to ROM stops the run
        trap + "--steps 3",        // the trap's stop wins over the step limit
        trap + "--steps 4",
        trap + "--until-pc E010",  // and over the address it arrives at
    };
    const std::string dump = (directory / "memory.bin").string();
    const std::string tracedDump = (directory / "traced.bin").string();
    for (const std::string& arguments : cases) {
        const Result traced = run(arguments + " --trace --dump " + tracedDump);
        const Result result = run(arguments + " --dump " + dump);
        EXPECT_EQ(result.status, traced.status) << arguments << "\n" << result.err;
        EXPECT_EQ(result.out, traced.out) << arguments;
        EXPECT_EQ(result.err, withoutTrace(traced.err)) << arguments;
        EXPECT_TRUE(readFile(dump) == readFile(tracedDump)) << arguments;
    }
}

}  // namespace
}  // namespace tarnwick
