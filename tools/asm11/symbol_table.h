#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
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
    // Looked up by string_view, without a std::string for every name an expression holds;
    // FNV-1a, inline, for names of a few characters.
    struct NameHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view name) const {
            std::uint64_t hash = 0xCBF29CE484222325;
            for (const char c : name) hash = (hash ^ static_cast<std::uint8_t>(c)) * 0x100000001B3;
            return static_cast<std::size_t>(hash);
        }
    };
    using Index = std::unordered_map<std::string, std::size_t, NameHash, std::equal_to<>>;

    Symbol* at(const Index& index, std::string_view name);

    bool caseSensitive_;
    std::vector<Symbol> symbols_;
    Index exact_;
    Index folded_;
};

}  // namespace tarnwick::asm11
