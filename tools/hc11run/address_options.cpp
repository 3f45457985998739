#include "hc11run/address_options.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <string>

#include "hc11run/option_values.h"
#include "hc11run/register_fields.h"

namespace tarnwick {
namespace {

// Letters, digits, "_" and "." as assembler labels have them, not starting with a digit.
bool mayBeLabel(std::string_view text) {
    const auto labelCharacter = [](unsigned char c) {
        return std::isalnum(c) || c == '_' || c == '.';
    };
    return !text.empty() && !std::isdigit(static_cast<unsigned char>(text[0])) &&
           std::ranges::all_of(text, labelCharacter);
}

}  // namespace

AddressArgument addressArgument(std::string_view option, std::string_view text) {
    const auto value = parseHex(text, 0xFFFF);
    if (!value && (hasHexPrefix(text) || !mayBeLabel(text)))
        throw UsageError{std::string(option) +
                         ": not a hex address (0000-FFFF) or a label: " + std::string(text)};
    return {std::string(text), static_cast<std::uint16_t>(value.value_or(0))};
}

PrintRequest printRequest(std::string_view text) {
    PrintRequest request;
    const std::size_t colon = text.find(':');
    request.address = addressArgument("--print", text.substr(0, colon));
    if (colon == std::string_view::npos) return request;

    std::string_view length = text.substr(colon + 1);
    if (length.ends_with('w') || length.ends_with('b')) {
        request.words = length.ends_with('w');
        length.remove_suffix(1);
    }
    if (!length.empty()) {
        const char* end = length.data() + length.size();
        const auto [stop, error] = std::from_chars(length.data(), end, request.count);
        if (error != std::errc() || stop != end || request.count == 0 || request.count > 0x10000)
            throw UsageError{"--print: expected ADDR[:LEN][b|w] with LEN from 1 to 65536, got " +
                             std::string(text)};
    }
    return request;
}

Expectation expectation(std::string_view text) {
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos || equals == 0 || equals + 1 == text.size())
        throw UsageError{"--expect: expected TARGET=VALUE, got " + std::string(text)};
    std::string_view target = text.substr(0, equals);
    const std::string_view valueText = text.substr(equals + 1);

    Expectation expected;
    expected.value = addressArgument("--expect", valueText);
    if (const RegisterField* field = findRegisterField(target)) {
        expected.target = std::string(field->name);
        expected.word = field->word;
    } else {
        std::optional<bool> width;
        if (target.ends_with(":w") || target.ends_with(":b")) {
            width = target.ends_with(":w");
            target.remove_suffix(2);
        }
        expected.address = addressArgument("--expect", target);
        // A label's value or more than two digits compare a word.
        const bool wideValue =
            !parseHex(valueText, 0xFFFF) || withoutHexPrefix(valueText).size() > 2;
        expected.word = width.value_or(wideValue);
    }
    if (!expected.word && parseHex(valueText, 0xFFFF) && expected.value.value > 0xFF)
        throw UsageError{"--expect: " + std::string(target) +
                         " holds a byte, so the value must be 00-FF, got " +
                         std::string(valueText)};
    return expected;
}

double seconds(std::string_view option, std::string_view text) {
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end || !std::isfinite(value) || value <= 0)
        throw UsageError{std::string(option) +
                         ": expected a number of seconds above 0, such as 5 or 0.5, got " +
                         std::string(text)};
    return value;
}

}  // namespace tarnwick
