#include "debugger/watch_entries.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <map>

#include "debugger/watch_evaluator.h"
#include "project/symbol_file.h"

namespace tarnwick {
namespace {

constexpr std::string_view kWatchSection = "WATCH";
constexpr std::string_view kEntryPrefix = "Name";

std::optional<std::size_t> parseIndex(std::string_view digits) {
    std::size_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    return value;
}

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           std::ranges::equal(text.substr(0, prefix.size()), prefix, [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
           });
}

// The NameN keys of the section by index; a key spelt with leading zeros is no entry key. The
// key list is finite, so a huge Count costs nothing.
std::map<std::size_t, std::string> entriesByIndex(const IniDocument& document) {
    std::map<std::size_t, std::string> entries;
    for (const std::string& key : document.keys(kWatchSection)) {
        if (!startsWithIgnoringCase(key, kEntryPrefix)) continue;
        const std::string_view digits = std::string_view(key).substr(kEntryPrefix.size());
        const auto index = parseIndex(digits);
        if (!index || std::to_string(*index) != digits) continue;
        if (!entries.contains(*index))
            entries.emplace(*index, document.value(kWatchSection, key).value_or(""));
    }
    return entries;
}

}  // namespace

std::string watchEntryText(const WatchEntry& entry) {
    return entry.name + " " + entry.key + " " + std::to_string(entry.length);
}

std::optional<WatchEntry> parseWatchEntry(std::string_view text) {
    LineTokens tokens(text);
    WatchEntry entry{std::string(tokens.next()), std::string(tokens.next()), 1};
    const auto length = parseDecimal(tokens.next());
    if (entry.key.empty() || !length || !tokens.next().empty()) return std::nullopt;
    entry.length = std::clamp<unsigned>(*length, 1, kMaxWatchLength);
    return entry;
}

SavedWatches readSavedWatches(const IniDocument& document) {
    SavedWatches saved;
    const auto entries = entriesByIndex(document);
    const std::optional<std::string> countText = document.value(kWatchSection, "Count");
    const auto count = parseIndex(countText.value_or(""));

    if (!count && !entries.empty()) {
        saved.problem =
            countText ? "its Count \"" + *countText + "\" is not a number" : "it has no Count";
    }
    for (const auto& [index, text] : entries)
        if (!count || index < *count) saved.entries.push_back(text);
    return saved;
}

}  // namespace tarnwick
