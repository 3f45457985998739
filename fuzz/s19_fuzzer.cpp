// libFuzzer target: any text loaded as an S19 image ends in success or in an error that names
// the file; a failed load keeps what was stored before it.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "fuzz_support.h"
#include "project/s19_loader.h"

using namespace tarnwick;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::QuietHost host;
    static const auto machine = std::make_unique<Machine>(host);
    const std::filesystem::path path = fuzz::scratchDirectory() / "image.s19";
    fuzz::writeScratchFile(path, fuzz::asText(data, size));

    CpuConfiguration configuration;
    SourceMap sourceMap;
    const S19LoadResult result = loadS19Image(*machine, configuration, sourceMap, path);
    fuzz::check(result.ok() == result.message.empty(), "a message exactly when the load failed",
                result.message);
    if (!result.ok())
        fuzz::check(result.message.find(path.string()) != std::string::npos,
                    "the message names the file", result.message);
    return 0;
}
