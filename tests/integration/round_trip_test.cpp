// The disassembly export of random memory images assembles back to the same bytes.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <random>
#include <sstream>
#include <string>

#include "core/machine.h"
#include "disasm/disassembly_export.h"
#include "integration/tool_run.h"
#include "project/s19_loader.h"
#include "project/source_map.h"
#include "project/temp_directory.h"
#include "support/fake_host.h"

namespace tarnwick {
namespace {

using testing::FakeHost;
using testing::TempDirectory;

// The exported line that holds `address`, found through the symbol file's address lines.
std::string exportedLine(const DisassemblyTexts& texts, std::uint16_t address) {
    std::istringstream sym(texts.symText);
    std::string token;
    int lineNumber = 0;
    while (sym >> token) {
        if (token.size() != 4 || token == "#END") continue;
        int line = 0;
        sym >> line;
        if (std::stoi(token, nullptr, 16) > address) break;
        lineNumber = line;
    }
    std::istringstream text(texts.asmText);
    std::string line;
    for (int i = 0; i < lineNumber && std::getline(text, line); ++i) {
    }
    return line;
}

// Exports `original` from `start`, assembles the .asm with asm11 and compares the S19's
// bytes with the original from `start` to FFFF.
void expectRoundTrip(const Machine& original, std::uint16_t start, const std::string& label) {
    const LocalDateTime time{2025, 1, 8, 3, 15, 7};
    const TempDirectory directory;
    ASSERT_EQ(exportDisassembly(original, directory.path(), "image.asm", "image.sym", start, time),
              "");
    const testing::ToolRun run = testing::runTool(directory.path(), ASM11_PATH, "image.asm");
    ASSERT_EQ(run.status, 0) << label << "\n" << run.output << run.errors;

    FakeHost host;
    Machine assembled(host);
    CpuConfiguration configuration;
    SourceMap sourceMap;
    const S19LoadResult loaded =
        loadS19Image(assembled, configuration, sourceMap, directory / "image.s19");
    ASSERT_TRUE(loaded.ok()) << loaded.message;
    const DisassemblyTexts texts = disassemblyTexts(original, "image.asm", start, time);
    for (std::uint32_t address = start; address <= 0xFFFF; ++address) {
        const auto at = static_cast<std::uint16_t>(address);
        ASSERT_EQ(assembled.peek(at), original.peek(at))
            << label << " at " << std::hex << address << ": " << exportedLine(texts, at);
    }
}

// Random code from `start` up to FF3F and random vectors. FF40-FFBF stays zero (TEST
// instructions): a random branch there may reach past FFFF, which the next test covers.
TEST(DisassemblyRoundTripTest, RandomImagesAssembleBackToTheirBytes) {
    std::mt19937 random(68'11);
    for (int image = 0; image < 200 && !::testing::Test::HasFatalFailure(); ++image) {
        FakeHost host;
        Machine original(host);
        const auto start = static_cast<std::uint16_t>(0xFF40 - 1024 - random() % 4096);
        for (std::uint32_t address = start; address < 0xFF40; ++address)
            original.poke(static_cast<std::uint16_t>(address), static_cast<std::uint8_t>(random()));
        for (std::uint32_t address = 0xFFC0; address <= 0xFFFF; ++address)
            original.poke(static_cast<std::uint16_t>(address), static_cast<std::uint8_t>(random()));
        expectRoundTrip(original, start, "image " + std::to_string(image));
    }
}

// The program counter wraps at FFFF, so BSR at FFB2 with offset 52 calls 0006; the export
// writes that target as $0006.
TEST(DisassemblyRoundTripTest, BranchPastTheTopOfMemoryWrapsAround) {
    FakeHost host;
    Machine original(host);
    std::uint16_t address = 0xFFB2;  // BSR $0006, BRN $0035, BRCLR $00,X,#$01,$002A
    for (const std::uint8_t byte : {0x8D, 0x52, 0x21, 0x7F, 0x1F, 0x00, 0x01, 0x70})
        original.poke(address++, byte);
    expectRoundTrip(original, 0xFFB2, "wrapping branches");
}

}  // namespace
}  // namespace tarnwick
