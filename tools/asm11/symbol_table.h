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
    bool caseSensitive_;
    std::vector<Symbol> symbols_;
    std::unordered_map<std::string, std::size_t> exact_;
    std::unordered_map<std::string, std::size_t> folded_;
};

}  // namespace tarnwick::asm11
