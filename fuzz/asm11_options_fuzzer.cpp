// libFuzzer target: any asm11 command line (words end at a NUL or a line end) is accepted or
// refused with a one-line message; an accepted one, its -D definitions included, assembles a
// small program.
#include <cstddef>
#include <cstdint>

#include "asm11/assembler.h"
#include "asm11/options.h"
#include "asm11/output_files.h"
#include "fuzz_support.h"

using namespace tarnwick;

namespace {

constexpr std::string_view kProgram =
    "        ORG     $E000\n"
    "Start   LDS     #$01FF\n"
    "        #IFDEF  DEBUG\n"
    "        LDAA    #DEBUG\n"
    "        #ENDIF\n"
    "Loop    BRA     Loop\n"
    "        ORG     $FFFE\n"
    "        FDB     Start\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarnwick::asm11;
    const std::vector<std::string> words = fuzz::commandWords("asm11", fuzz::asText(data, size));
    const std::vector<const char*> argv = fuzz::argumentVector(words);
    const ParsedAsmOptions parsed = parseAsmOptions(static_cast<int>(words.size()), argv.data());
    if (!parsed.ok()) {
        fuzz::check(parsed.error.find('\n') == std::string::npos, "the message is one line",
                    parsed.error);
        return 0;
    }
    if (parsed.options.help) return 0;
    const AssemblyResult result = assemble("prog.asm", kProgram, parsed.options);
    for (const Message& message : result.messages)
        static_cast<void>(messageLine(message, parsed.options.otherMessages));
    static_cast<void>(s19Text(result, "prog"));
    static_cast<void>(symbolFileText(result));
    return 0;
}
