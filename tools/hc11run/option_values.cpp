#include "hc11run/option_values.h"

#include <cctype>
#include <charconv>

namespace tarnwick {
namespace {

template <typename Number>
std::optional<Number> parseNumber(std::string_view text, int base) {
    Number value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value, base);
    if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
    return value;
}

// Decimal, or hex after "$" or "0x".
std::optional<std::uint32_t> parseLevel(std::string_view text) {
    if (hasHexPrefix(text)) return parseHex(text, 0xFF);
    const auto value = parseNumber<std::uint32_t>(text, 10);
    if (!value || *value > 0xFF) return std::nullopt;
    return value;
}

std::optional<std::uint64_t> decimal(std::string_view text) {
    return parseNumber<std::uint64_t>(text, 10);
}

}  // namespace

bool hasHexPrefix(std::string_view text) {
    return text.starts_with('$') || text.starts_with("0x") || text.starts_with("0X");
}

std::string_view withoutHexPrefix(std::string_view text) {
    if (!hasHexPrefix(text)) return text;
    return text.substr(text.starts_with('$') ? 1 : 2);
}

std::string upperCase(std::string_view text) {
    std::string result(text);
    for (char& c : result) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return result;
}

std::optional<std::uint32_t> parseHex(std::string_view text, std::uint32_t max) {
    const auto value = parseNumber<std::uint32_t>(withoutHexPrefix(text), 16);
    if (!value || *value > max) return std::nullopt;
    return value;
}

std::optional<std::uint32_t> parseBareHex(std::string_view text) {
    return parseNumber<std::uint32_t>(text, 16);
}

std::uint64_t count(std::string_view option, std::string_view text, std::uint64_t min,
                    std::uint64_t max) {
    const auto value = decimal(text);
    if (!value || *value < min || *value > max)
        throw UsageError{std::string(option) + ": not a decimal number from " +
                         std::to_string(min) + " to " + std::to_string(max) + ": " +
                         std::string(text)};
    return *value;
}

AnalogInput analogInput(std::string_view text) {
    const std::size_t equals = text.find('=');
    const auto channel = decimal(text.substr(0, equals));
    const auto value =
        equals == std::string_view::npos ? std::nullopt : parseLevel(text.substr(equals + 1));
    if (!channel || *channel > 7 || !value)
        throw UsageError{
            "--adc: expected CHANNEL=VALUE, channel 0-7 and value 0-255 or hex such as 0x80, "
            "got " +
            std::string(text)};
    return {static_cast<std::uint8_t>(*channel), static_cast<std::uint8_t>(*value)};
}

XirqTiming xirqTiming(std::string_view text) {
    const auto bad = [text] {
        return UsageError{"--xirq: expected pulse@CYCLE or level@FROM-TO (decimal E cycles), got " +
                          std::string(text)};
    };
    XirqTiming timing;
    if (text.starts_with("pulse@")) {
        const auto cycle = decimal(text.substr(6));
        if (!cycle) throw bad();
        timing.from = *cycle;
    } else if (text.starts_with("level@")) {
        const std::string_view range = text.substr(6);
        const std::size_t dash = range.find('-');
        if (dash == std::string_view::npos) throw bad();
        const auto from = decimal(range.substr(0, dash));
        const auto to = decimal(range.substr(dash + 1));
        if (!from || !to) throw bad();
        if (*from >= *to)
            throw UsageError{"--xirq: a level must end after it starts, got " + std::string(text)};
        timing = {true, *from, *to};
    } else {
        throw bad();
    }
    return timing;
}

std::string unescaped(std::string_view option, std::string_view text) {
    const auto hexDigit = [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; };
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            bytes += text[i];
            continue;
        }
        const char escape = ++i < text.size() ? text[i] : '\0';
        if (escape == 'r') {
            bytes += '\r';
        } else if (escape == 'n') {
            bytes += '\n';
        } else if (escape == 't') {
            bytes += '\t';
        } else if (escape == '\\') {
            bytes += '\\';
        } else if (escape == 'x') {
            if (i + 1 == text.size() || !hexDigit(text[i + 1]))
                throw UsageError{std::string(option) + ": \\x needs one or two hex digits"};
            const std::size_t digits = i + 2 < text.size() && hexDigit(text[i + 2]) ? 2 : 1;
            bytes += static_cast<char>(*parseBareHex(text.substr(i + 1, digits)));
            i += digits;
        } else if (i == text.size()) {
            throw UsageError{std::string(option) + ": a \\ at the end escapes nothing"};
        } else {
            throw UsageError{std::string(option) + ": unknown escape \\" +
                             std::string(text.substr(i, 1)) +
                             " (\\r, \\n, \\t, \\\\ and \\xHH are known)"};
        }
    }
    if (bytes.empty()) throw UsageError{std::string(option) + ": the text is empty"};
    return bytes;
}

}  // namespace tarnwick
