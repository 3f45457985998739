#include "asm11/symbol_table.h"

#include <cctype>

namespace tarnwick::asm11 {

std::string SymbolTable::key(std::string_view name) const {
    std::string result(name);
    if (!caseSensitive_)
        for (char& c : result) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return result;
}

Symbol* SymbolTable::find(std::string_view name) {
    const auto it = index_.find(key(name));
    return it == index_.end() ? nullptr : &symbols_[it->second];
}

Symbol& SymbolTable::add(std::string_view name) {
    index_.emplace(key(name), symbols_.size());
    symbols_.push_back(Symbol{std::string(name)});
    return symbols_.back();
}

}  // namespace tarnwick::asm11
