#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::asm11 {

struct Symbol {
    std::string name;  // as first written
    std::int32_t value = 0;
    bool known = false;
    bool redefinable = false;   // made by SET
    std::size_t definedAt = 0;  // sequence number of the defining line in pass 1
    std::int32_t size = 0;      // ::name: given by EQU's second operand, RMB or #SIZE
    bool undefined = false;     // dropped by #UNDEF until defined again
};

// Labels, EQUs and SETs in the order first defined. Case sensitivity can change between
// lines: without it a name finds the first symbol spelled the same in upper case.
class SymbolTable {
  public:
    explicit SymbolTable(bool caseSensitive) : caseSensitive_(caseSensitive) {}

    void setCaseSensitive(bool on) { caseSensitive_ = on; }
    Symbol* find(std::string_view name);
    Symbol& add(std::string_view name);
    const std::vector<Symbol>& inOrder() const { return symbols_; }

  private:
    // Open addressing by a hash alike for every case of a name, without a node or a folded copy
    // of the name per symbol. A slot holds the index of the first symbol spelled so, plus one
    // (0: empty); a case-sensitive lookup walks on through the symbols spelled alike.
    static constexpr std::uint32_t kNoSymbol = 0xFFFFFFFF;
    struct Entry {
        std::uint64_t hash;       // foldedHash of the name
        std::uint32_t nextAlike;  // the next symbol spelled alike in another case, or kNoSymbol
    };

    static std::uint64_t foldedHash(std::string_view name);
    // The slot of the first symbol spelled as `name` in any case, or the empty slot for it.
    std::size_t slotOf(std::string_view name, std::uint64_t hash) const;
    void grow();

    bool caseSensitive_;
    std::vector<Symbol> symbols_;
    std::vector<Entry> entries_;        // per symbol
    std::vector<std::uint32_t> slots_;  // a power of two of them, at most half used
    std::size_t used_ = 0;
};

}  // namespace tarnwick::asm11
