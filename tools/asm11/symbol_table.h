#pragma once

#include <cstddef>
#include <cstdint>
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
};

// Labels, EQUs and SETs in the order first defined. Without case sensitivity names are
// compared in upper case.
class SymbolTable {
  public:
    explicit SymbolTable(bool caseSensitive) : caseSensitive_(caseSensitive) {}

    Symbol* find(std::string_view name);
    Symbol& add(std::string_view name);
    const std::vector<Symbol>& inOrder() const { return symbols_; }

  private:
    std::string key(std::string_view name) const;

    bool caseSensitive_;
    std::vector<Symbol> symbols_;
    std::unordered_map<std::string, std::size_t> index_;
};

}  // namespace tarnwick::asm11
