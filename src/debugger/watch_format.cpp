#include "debugger/watch_format.h"

#include <algorithm>

namespace tarnwick {
namespace {

struct TypeCodeClass {
    std::string_view code;
    std::string_view typeClass;
};
constexpr std::array<TypeCodeClass, 14> kTypeCodes{{
    {"C", "Char"},
    {"c", "Char"},
    {"pC", "PtrB"},
    {"pc", "PtrB"},
    {"S", "Short"},
    {"s", "Short"},
    {"I", "Short"},
    {"i", "Short"},
    {"pS", "PtrW"},
    {"ps", "PtrW"},
    {"pI", "PtrW"},
    {"pi", "PtrW"},
    {"L", "Long"},
    {"l", "Long"},
}};

// How a type class reads its elements; Long has no reading.
struct TypeClassReading {
    std::string_view typeClass;
    std::optional<WatchFormat> base;
    bool showsCharacters;  // bytes can be shown as characters, words cannot
};
constexpr std::array<TypeClassReading, 5> kTypeClasses{{
    {"Char", WatchFormat{WatchElement::Byte, WatchDisplay::Hex, false}, true},
    {"PtrB", WatchFormat{WatchElement::Byte, WatchDisplay::Hex, true}, true},
    {"Short", WatchFormat{WatchElement::Word, WatchDisplay::Hex, false}, false},
    {"PtrW", WatchFormat{WatchElement::Word, WatchDisplay::Hex, true}, false},
    {"Long", std::nullopt, false},
}};

// The display of a suffix; none for "String", which the C watches cannot show.
std::optional<WatchDisplay> suffixDisplay(std::string_view suffix) {
    if (suffix == "Bin") return WatchDisplay::Binary;
    if (suffix == "Char") return WatchDisplay::Character;
    if (suffix == "Dec") return WatchDisplay::Decimal;
    if (suffix == "Hex") return WatchDisplay::Hex;
    return std::nullopt;
}

}  // namespace

std::optional<WatchFormat> assemblyWatchFormat(std::string_view key) {
    const auto found = std::ranges::find(kAssemblyWatchFormats, key, &AssemblyWatchFormat::key);
    if (found == kAssemblyWatchFormats.end()) return std::nullopt;
    return found->format;
}

std::optional<std::string_view> cTypeClass(std::string_view typeCode) {
    const auto found = std::ranges::find(kTypeCodes, typeCode, &TypeCodeClass::code);
    if (found == kTypeCodes.end()) return std::nullopt;
    return found->typeClass;
}

std::string cWatchKey(bool local, std::string_view typeClass, std::string_view suffix) {
    return (local ? "L" : "G") + std::string(typeClass) + std::string(suffix);
}

std::optional<CWatchKey> parseCWatchKey(std::string_view key) {
    if (key.empty() || (key[0] != 'G' && key[0] != 'L')) return std::nullopt;
    const std::string_view rest = key.substr(1);
    for (const TypeClassReading& reading : kTypeClasses) {
        if (!rest.starts_with(reading.typeClass)) continue;
        const std::string_view suffix = rest.substr(reading.typeClass.size());
        if (std::ranges::find(kCWatchFormats, suffix, &CWatchDisplayChoice::suffix) ==
            kCWatchFormats.end())
            continue;
        CWatchKey parsed{key[0] == 'L', std::nullopt};
        const auto display = suffixDisplay(suffix);
        const bool shown = reading.base && display &&
                           (*display != WatchDisplay::Character || reading.showsCharacters);
        if (shown) {
            parsed.format = *reading.base;
            parsed.format->display = *display;
        }
        return parsed;
    }
    return std::nullopt;
}

}  // namespace tarnwick
