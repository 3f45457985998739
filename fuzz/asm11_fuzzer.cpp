// libFuzzer target: any text, assembled with the listing and the map on and every output
// text written, must end with messages, never with a crash, a hang or a sanitizer report.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "asm11/assembler.h"
#include "asm11/output_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarnwick::asm11;
    AsmOptions options;
    options.listing = true;
    options.map = true;
    options.pass1Stop = false;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const AssemblyResult result = assemble("fuzz.asm", text, options);
    static_cast<void>(s19Text(result, "fuzz"));
    static_cast<void>(symbolFileText(result));
    static_cast<void>(listingText(result));
    static_cast<void>(mapText(result));
    static_cast<void>(exportFileText(result));
    return 0;
}
