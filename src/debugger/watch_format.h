#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace tarnwick {

// What one element of a watch is read as.
enum class WatchElement { Byte, Word, String };
// How a byte or word element is written out (strings have their own form).
enum class WatchDisplay { Hex, Binary, Decimal, Character };

struct WatchFormat {
    WatchElement element = WatchElement::Byte;
    WatchDisplay display = WatchDisplay::Hex;
    // The elements start at the word stored at the watch address instead of at the address.
    bool throughPointer = false;
};

// A format of the assembly Add Watch dialog: its caption and the key a watch row stores.
struct AssemblyWatchFormat {
    std::string_view caption;
    std::string_view key;
    WatchFormat format;
};

// In the order of the dialog's radio group.
inline constexpr std::array<AssemblyWatchFormat, 16> kAssemblyWatchFormats{{
    {"Byte (Hex)", "ByteHex", {WatchElement::Byte, WatchDisplay::Hex, false}},
    {"Byte (Bin)", "ByteBin", {WatchElement::Byte, WatchDisplay::Binary, false}},
    {"Byte (Dec)", "ByteDec", {WatchElement::Byte, WatchDisplay::Decimal, false}},
    {"Byte (Char)", "ByteChar", {WatchElement::Byte, WatchDisplay::Character, false}},
    {"Ptr to Byte (Hex)", "PtrBHex", {WatchElement::Byte, WatchDisplay::Hex, true}},
    {"Ptr to Byte (Bin)", "PtrBBin", {WatchElement::Byte, WatchDisplay::Binary, true}},
    {"Ptr to Byte (Dec)", "PtrBDec", {WatchElement::Byte, WatchDisplay::Decimal, true}},
    {"Ptr to Byte (Char)", "PtrBChar", {WatchElement::Byte, WatchDisplay::Character, true}},
    {"Word (Hex)", "WordHex", {WatchElement::Word, WatchDisplay::Hex, false}},
    {"Word (Bin)", "WordBin", {WatchElement::Word, WatchDisplay::Binary, false}},
    {"Word (Dec)", "WordDec", {WatchElement::Word, WatchDisplay::Decimal, false}},
    {"Ptr to Word (Hex)", "PtrWHex", {WatchElement::Word, WatchDisplay::Hex, true}},
    {"Ptr to Word (Bin)", "PtrWBin", {WatchElement::Word, WatchDisplay::Binary, true}},
    {"Ptr to Word (Dec)", "PtrWDec", {WatchElement::Word, WatchDisplay::Decimal, true}},
    {"Ptr to String", "PtrStr", {WatchElement::String, WatchDisplay::Character, true}},
    {"String", "String", {WatchElement::String, WatchDisplay::Character, false}},
}};

// The format of an assembly key; none for a key the assembly watches do not have.
std::optional<WatchFormat> assemblyWatchFormat(std::string_view key);

// A format of the C Add Watch dialog and the suffix it gives the key.
struct CWatchDisplayChoice {
    std::string_view caption;
    std::string_view suffix;
};
inline constexpr std::array<CWatchDisplayChoice, 5> kCWatchFormats{{
    {"Binary", "Bin"},
    {"Character", "Char"},
    {"String", "String"},
    {"Decimal", "Dec"},
    {"HexaDecimal", "Hex"},
}};
inline constexpr std::size_t kCWatchDefaultFormat = 3;  // "Decimal"

// "Char", "PtrB", "Short", "PtrW" or "Long" for a C type code; none for other codes.
std::optional<std::string_view> cTypeClass(std::string_view typeCode);

// "G" or "L", the type class and the display suffix.
std::string cWatchKey(bool local, std::string_view typeClass, std::string_view suffix);

// A key of the C watches, taken apart.
struct CWatchKey {
    bool local = false;  // "L": the address is a frame offset from IX
    // None for the combinations that show nothing (Long, String, ShortChar, PtrWChar).
    std::optional<WatchFormat> format;
};

// None when the text is not a key that cWatchKey can build.
std::optional<CWatchKey> parseCWatchKey(std::string_view key);

}  // namespace tarnwick
