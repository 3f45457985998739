#include "debugger/editor_fields.h"

#include <algorithm>
#include <cctype>

#include "base/number_text.h"

namespace tarnwick {

namespace {

std::size_t hexDigits(FieldWidth width) {
    return width == FieldWidth::Byte ? 2 : 4;
}

std::uint32_t maximum(FieldWidth width) {
    return width == FieldWidth::Byte ? 0xFF : 0xFFFF;
}

// The value's hex digits without leading zeros ("A", "1000").
std::string shortHexText(std::uint32_t value) {
    int digits = 1;
    while (value >> (4 * digits) != 0) ++digits;
    return hexText(value, digits);
}

}  // namespace

bool isHexKey(char key) {
    return std::isxdigit(static_cast<unsigned char>(key)) || key == kBackspaceKey;
}

bool isDecimalKey(char key) {
    return std::isdigit(static_cast<unsigned char>(key)) || key == kBackspaceKey;
}

HexField::HexField(FieldWidth width, std::uint16_t value)
    : width_(width), text_(hexText(value, static_cast<int>(hexDigits(width)))) {}

void HexField::edit(std::string_view text) {
    text_.clear();
    for (const char key : text) {
        if (key == kBackspaceKey || !isHexKey(key)) continue;
        if (text_.size() == hexDigits(width_)) break;
        text_ += static_cast<char>(std::toupper(static_cast<unsigned char>(key)));
    }
    if (text_.empty()) text_ = "0";
}

std::uint16_t HexField::value() const {
    return static_cast<std::uint16_t>(std::stoul(text_, nullptr, 16));
}

HexDecimalPair::HexDecimalPair(FieldWidth width, std::uint16_t value)
    : width_(width), hex_(width, value), decimal_(std::to_string(value)) {}

void HexDecimalPair::editHex(std::string_view text) {
    hex_.edit(text);
    decimal_ = std::to_string(hex_.value());
}

void HexDecimalPair::editDecimal(std::string_view text) {
    decimal_.clear();
    std::uint32_t value = 0;
    for (const char key : text) {
        if (key == kBackspaceKey || !isDecimalKey(key)) continue;
        decimal_ += key;
        // Stops growing just past the maximum, so that any number of digits is safe.
        value = std::min(value * 10 + static_cast<std::uint32_t>(key - '0'), maximum(width_) + 1);
    }
    if (value > maximum(width_)) {
        value = maximum(width_);
        decimal_ = std::to_string(value);
    }
    if (decimal_.empty()) decimal_ = "0";
    hex_.edit(shortHexText(value));
}

std::string binaryForm(std::uint8_t byte) {
    std::string text = "0000-0000";
    for (int bit = 7; bit >= 0; --bit) {
        const std::size_t place = bit >= 4 ? 7 - bit : 8 - bit;
        if (byte & (1 << bit)) text[place] = '1';
    }
    return text;
}

std::string printableCharacter(std::uint8_t byte) {
    return byte < 0x20 ? "." : std::string(1, static_cast<char>(byte));
}

std::string characterForm(std::uint8_t byte) {
    return "'" + printableCharacter(byte) + "'";
}

}  // namespace tarnwick
