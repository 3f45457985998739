#include "asm11/symbol_table.h"

#include "asm11/source_line.h"

namespace tarnwick::asm11 {

namespace {

bool sameFolded(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i] && upperChar(a[i]) != upperChar(b[i])) return false;
    return true;
}

}  // namespace

// FNV-1a, as NameHash, alike for names spelled alike in any case: ASCII is folded by clearing
// the bit that tells a lower-case letter, cheaper than upperChar; sameFolded then tells apart
// the few other characters that this folds together.
std::uint64_t SymbolTable::foldedHash(std::string_view name) {
    std::uint64_t hash = 0xCBF29CE484222325;
    for (const char c : name) {
        const auto code = static_cast<std::uint8_t>(c);
        const auto folded = code < 0x80 ? code & 0xDF : static_cast<std::uint8_t>(upperChar(c));
        hash = (hash ^ folded) * 0x100000001B3;
    }
    return hash;
}

std::size_t SymbolTable::slotOf(std::string_view name, std::uint64_t hash) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        const std::uint32_t held = slots_[slot];
        if (held == 0) return slot;
        const std::size_t first = held - 1;
        if (entries_[first].hash == hash && sameFolded(symbols_[first].name, name)) return slot;
    }
}

Symbol* SymbolTable::find(std::string_view name) {
    if (slots_.empty()) return nullptr;
    const std::uint32_t held = slots_[slotOf(name, foldedHash(name))];
    if (held == 0) return nullptr;
    std::uint32_t i = held - 1;
    if (caseSensitive_)
        while (i != kNoSymbol && symbols_[i].name != name) i = entries_[i].nextAlike;
    return i == kNoSymbol ? nullptr : &symbols_[i];
}

Symbol& SymbolTable::add(std::string_view name) {
    if (2 * (used_ + 1) > slots_.size()) grow();
    const auto added = static_cast<std::uint32_t>(symbols_.size());
    const std::uint64_t hash = foldedHash(name);
    std::uint32_t& held = slots_[slotOf(name, hash)];
    if (held == 0) {
        held = added + 1;
        ++used_;
    } else {
        std::uint32_t last = held - 1;
        while (entries_[last].nextAlike != kNoSymbol) last = entries_[last].nextAlike;
        entries_[last].nextAlike = added;
    }
    entries_.push_back({hash, kNoSymbol});
    symbols_.push_back(Symbol{std::string(name)});
    return symbols_.back();
}

void SymbolTable::grow() {
    std::vector<std::uint32_t> old = std::move(slots_);
    slots_.assign(old.empty() ? 64 : 2 * old.size(), 0);
    const std::size_t mask = slots_.size() - 1;
    for (const std::uint32_t held : old) {
        if (held == 0) continue;
        std::size_t slot = entries_[held - 1].hash & mask;
        while (slots_[slot] != 0) slot = (slot + 1) & mask;
        slots_[slot] = held;
    }
}

}  // namespace tarnwick::asm11
