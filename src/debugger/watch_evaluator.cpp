#include "debugger/watch_evaluator.h"

#include <algorithm>

#include "base/number_text.h"

namespace tarnwick {
namespace {

std::string byteText(std::uint8_t byte, WatchDisplay display) {
    switch (display) {
        case WatchDisplay::Hex:
            return hexText(byte, 2);
        case WatchDisplay::Binary:
            return watchBinaryForm(byte);
        case WatchDisplay::Decimal:
            return std::to_string(byte);
        case WatchDisplay::Character:
            return "'" + watchCharacter(byte) + "'";
    }
    return {};
}

// Words have no character display: the key tables never pair them.
std::string wordText(std::uint16_t word, WatchDisplay display) {
    switch (display) {
        case WatchDisplay::Hex:
            return hexText(word, 4);
        case WatchDisplay::Binary:
            return watchBinaryForm(static_cast<std::uint8_t>(word >> 8)) + "-" +
                   watchBinaryForm(static_cast<std::uint8_t>(word));
        case WatchDisplay::Decimal:
            return std::to_string(word);
        case WatchDisplay::Character:
            break;
    }
    return {};
}

}  // namespace

std::string watchBinaryForm(std::uint8_t byte) {
    std::string text = "0000-0000";
    for (int bit = 7, position = 0; bit >= 0; --bit, ++position) {
        if (position == 4) ++position;
        if (byte & (1 << bit)) text[static_cast<std::size_t>(position)] = '1';
    }
    return text;
}

std::string watchCharacter(std::uint8_t byte) {
    static constexpr char kControlEscapes[] = "abtnvfr";  // bytes 7 to 13
    if (byte >= 7 && byte <= 13) return {'\\', kControlEscapes[byte - 7]};
    if (byte < 32) return ".";
    const char character = static_cast<char>(byte);
    if (character == '"' || character == '\'' || character == '?' || character == '\\')
        return {'\\', character};
    return {character};
}

std::string evaluateWatch(const Machine& machine, std::uint16_t address, const WatchFormat& format,
                          unsigned length) {
    const std::uint16_t start = format.throughPointer ? machine.peek16(address) : address;

    if (format.element == WatchElement::String) {
        std::string text = "\"";
        for (unsigned i = 0; i < length; ++i)
            text += watchCharacter(machine.peek(static_cast<std::uint16_t>(start + i)));
        return text + "\"";
    }

    const bool words = format.element == WatchElement::Word;
    if (format.display == WatchDisplay::Binary)
        length = std::min(length, words ? kMaxBinaryWords : kMaxBinaryBytes);
    std::string text;
    for (unsigned i = 0; i < length; ++i) {
        if (i > 0) text += ',';
        text += std::to_string(i) + ":";
        text += words
                    ? wordText(machine.peek16(static_cast<std::uint16_t>(start + 2 * i)),
                               format.display)
                    : byteText(machine.peek(static_cast<std::uint16_t>(start + i)), format.display);
    }
    return text;
}

}  // namespace tarnwick
