#include "asm11/symbol_table.h"

#include <cstring>

#include "asm11/source_line.h"

namespace tarnwick::asm11 {

namespace {

bool sameFolded(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    // Nearly always written alike: one memcmp then, not a loop over the characters.
    if (a == b) return true;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i] && upperChar(a[i]) != upperChar(b[i])) return false;
    return true;
}

}  // namespace

// Alike for names spelled alike in any case: ASCII is folded by clearing the bit that tells a
// lower-case letter, cheaper than upperChar; sameFolded then tells apart the few other
// characters that this folds together. Eight ASCII characters at a time, FNV-1a style, then a
// final mix, since the slot is taken from the low bits.
std::uint64_t SymbolTable::foldedHash(std::string_view name) {
    constexpr std::uint64_t kPrime = 0x100000001B3;
    constexpr std::uint64_t kHighBits = 0x8080808080808080;
    constexpr std::uint64_t kFold = 0xDFDFDFDFDFDFDFDF;
    std::uint64_t hash = 0xCBF29CE484222325;
    std::size_t i = 0;
    for (std::uint64_t word = 0; i + 8 <= name.size(); i += 8) {
        std::memcpy(&word, name.data() + i, 8);
        if (word & kHighBits) break;
        hash = (hash ^ (word & kFold)) * kPrime;
    }
    for (; i < name.size(); ++i) {
        const auto code = static_cast<std::uint8_t>(name[i]);
        const auto folded =
            code < 0x80 ? code & 0xDF : static_cast<std::uint8_t>(upperChar(name[i]));
        hash = (hash ^ folded) * kPrime;
    }
    // MurmurHash3's finalizer: every bit of the words reaches the low bits.
    hash = (hash ^ (hash >> 33)) * 0xFF51AFD7ED558CCD;
    return hash ^ (hash >> 33);
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
