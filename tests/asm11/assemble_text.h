#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "asm11/assembler.h"

namespace tarnwick::asm11 {

// A source and the bytes it must store from `address` on.
struct BytesCase {
    const char* what;
    const char* source;
    std::uint16_t address;
    std::vector<std::uint8_t> bytes;
};

// Assembles `source` with the default options (or `options`) under the name "t.asm".
inline AssemblyResult assembleText(std::string_view source, const AsmOptions& options = {}) {
    return assemble("t.asm", source, options);
}

// The bytes stored from `address` on, up to the first unused address.
inline std::vector<std::uint8_t> bytesAt(const AssemblyResult& result, std::uint16_t address) {
    std::vector<std::uint8_t> bytes;
    for (std::size_t a = address; a < 0x10000 && result.image.used[a]; ++a)
        bytes.push_back(result.image.bytes[a]);
    return bytes;
}

inline std::string allMessages(const AssemblyResult& result) {
    std::string text;
    for (const Message& message : result.messages) text += messageLine(message) + "\n";
    return text;
}

}  // namespace tarnwick::asm11
