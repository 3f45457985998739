#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tarnwick {

// The input fields of the register and memory editors. The dialogs hand every changed text to
// these models and show the text the model keeps, so the key filters, the upper case, the
// empty-field rule and the clamping behave the same in every dialog.

inline constexpr char kBackspaceKey = '\b';

// Hex fields take 0-9, a-f, A-F and Backspace; decimal fields 0-9 and Backspace.
bool isHexKey(char key);
bool isDecimalKey(char key);

// A byte field holds 2 hex digits or 3 decimal ones, a word field 4 or 5.
enum class FieldWidth { Byte, Word };

// A hex input field. Its text is never empty and never wider than the register or byte.
class HexField {
  public:
    HexField() : HexField(FieldWidth::Byte, 0) {}
    // Shows the value with all its digits (2 or 4).
    HexField(FieldWidth width, std::uint16_t value);

    // The text after the user changed it: refused characters are dropped, letters upper-cased,
    // anything past the field's length cut off, and an empty text becomes "0".
    void edit(std::string_view text);

    const std::string& text() const { return text_; }
    std::uint16_t value() const;

  private:
    FieldWidth width_;
    std::string text_;
};

// A hex field and a decimal field that show the same value; changing either rewrites the
// other.
class HexDecimalPair {
  public:
    HexDecimalPair(FieldWidth width, std::uint16_t value);

    // The decimal partner follows, without leading zeros.
    void editHex(std::string_view text);
    // Refused characters are dropped, an empty text becomes "0" and a value above the field's
    // range becomes the maximum (255 or 65535). The hex partner follows, without leading
    // zeros.
    void editDecimal(std::string_view text);

    const std::string& hexText() const { return hex_.text(); }
    const std::string& decimalText() const { return decimal_; }
    // The value OK stores: the one in the hex field.
    std::uint16_t value() const { return hex_.value(); }

  private:
    FieldWidth width_;
    HexField hex_;
    std::string decimal_;
};

// "0100-0001": the eight bits, bit 7 first, with a dash after the fourth.
std::string binaryForm(std::uint8_t byte);

// The byte as a character, "." below 32. Bytes of 7F and above stand as they are (Latin-1).
std::string printableCharacter(std::uint8_t byte);

// The printable character between single quotes: "'A'", "'.'".
std::string characterForm(std::uint8_t byte);

}  // namespace tarnwick
