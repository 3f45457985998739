// libFuzzer target: any command line given to hc11run (words end at a NUL or a line end) is
// accepted with the chip's defaults filled in, or refused with a one-line message.
#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "hc11run/run_options.h"
#include "project/cpu_configuration.h"

using namespace tarnwick;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> words = fuzz::commandWords("hc11run", fuzz::asText(data, size));
    const std::vector<const char*> argv = fuzz::argumentVector(words);
    const ParsedRunOptions parsed = parseRunOptions(static_cast<int>(words.size()), argv.data());
    if (!parsed.ok()) {
        fuzz::check(parsed.error.find('\n') == std::string::npos, "the message is one line",
                    parsed.error);
        return 0;
    }
    const RunOptions& options = parsed.options;
    // Help and version are answered before anything else is checked.
    if (options.help || options.version) return 0;
    fuzz::check(crystalHz(options.crystal) == options.crystalHz, "the crystal's clock is known",
                options.crystal);
    // The memory map takes every pair the command line let through, each in order.
    for (const std::string* ranges :
         {&options.romRanges, &options.readWriteRanges, &options.thirdRanges}) {
        for (const AddressRange& range : parseRangeText(*ranges))
            fuzz::check(range.start <= range.end, "an accepted range runs upwards", *ranges);
    }
    return 0;
}
