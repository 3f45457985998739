// libFuzzer target: the build of an S19 project over any image. The first two bytes give the
// start address (kept from F000 up, so that one run disassembles at most 4 KB), the rest are
// stored from there as an S19 file; the build disassembles it into a .asm and a .sym, the
// .sym must read back as the debug start reads it, naming lines of the .asm, the .asm must
// assemble back to the bytes from the start address to FFFF, and the image is also saved to a
// binary file.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "asm11/assembler.h"
#include "core/file_text.h"
#include "core/number_text.h"
#include "disasm/binary_export.h"
#include "fuzz_support.h"
#include "project/s19_build.h"
#include "project/symbol_file.h"

using namespace tarnwick;

namespace {

std::string hexByte(unsigned value) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    return {kDigits[value >> 4 & 0xF], kDigits[value & 0xF]};
}

// S1 records of up to 32 bytes from `start`, then the S9 record.
std::string s19Image(std::uint16_t start, std::string_view bytes) {
    std::string text;
    const auto record = [&text](char type, unsigned address, std::string_view data) {
        unsigned sum = static_cast<unsigned>(data.size()) + 3 + (address >> 8) + (address & 0xFF);
        text += 'S';
        text += type;
        text += hexByte(static_cast<unsigned>(data.size()) + 3) + hexByte(address >> 8) +
                hexByte(address & 0xFF);
        for (const char c : data) {
            text += hexByte(static_cast<unsigned char>(c));
            sum += static_cast<unsigned char>(c);
        }
        text += hexByte(~sum & 0xFF) + "\n";
    };
    bytes = bytes.substr(0, 0x10000 - start);
    for (std::size_t offset = 0; offset < bytes.size(); offset += 32)
        record('1', start + offset, bytes.substr(offset, 32));
    record('9', 0, {});
    return text;
}

std::size_t lineCount(std::string_view text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::QuietHost host;
    static const auto machine = std::make_unique<Machine>(host);
    static const auto sourceMap = std::make_unique<SourceMap>();
    if (size < 2) return 0;
    const auto start = static_cast<std::uint16_t>(0xF000 | (data[0] << 8 | data[1]));
    const std::filesystem::path& directory = fuzz::scratchDirectory();
    fuzz::clearScratchDirectory();
    fuzz::writeScratchFile(directory / "image.s19",
                           s19Image(start, fuzz::asText(data + 2, size - 2)));

    CpuConfiguration configuration;
    const S19Project project{"image.s19", directory, hexText(start, 4)};
    const LocalDateTime time{2025,        1 + data[0] % 12, 1 + data[1] % 28,
                             data[1] % 7, data[0] % 24,     data[1] % 60};
    const S19CommandResult build = buildS19Project(
        *machine, configuration, *sourceMap, project, [](std::string_view) { return true; }, time);
    fuzz::check(build.outcome == S19CommandResult::Done, "the build of a valid image succeeds",
                build.error);

    const std::optional<std::string> asmText = readFileText(build.written);
    fuzz::check(asmText.has_value(), "the build wrote the .asm");
    std::vector<std::string> watchNames;
    const SourceReadResult read =
        readSymbolFile(*machine, *sourceMap, directory, "image.sym", watchNames);
    fuzz::check(read.ok(), "the .sym of a build reads back", read.error);
    const std::size_t lines = lineCount(*asmText);
    for (const AddressRecord& record : machine->memory)
        fuzz::check(record.line <= lines, "the .sym names lines of the .asm");

    const asm11::AssemblyResult assembled =
        asm11::assemble(build.written.string(), *asmText, asm11::AsmOptions{});
    fuzz::check(assembled.errors == 0, "the .asm assembles",
                assembled.messages.empty() ? "" : asm11::messageLine(assembled.messages.front()));
    for (std::uint32_t address = start; address < kAddressSpaceSize; ++address) {
        fuzz::check(assembled.image.used[address] != 0 &&
                        assembled.image.bytes[address] == machine->memory[address].value,
                    "the .asm assembles back to the image's bytes", hexText(address, 4));
    }

    const std::size_t choice = size % kEpromChoices.size();
    const std::string saved = saveBinary(*machine, directory / "image.pro", choice);
    fuzz::check(saved.empty(), "the binary of an image saves", saved);
    const std::optional<std::string> binary = readFileText(directory / "image.bin");
    fuzz::check(binary && binary->size() == 0x10000u - kEpromChoices[choice].start,
                "the binary runs from the EPROM's start to FFFF");
    return 0;
}
