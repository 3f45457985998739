#include "asm11/symbol_table.h"

#include <cctype>

namespace tarnwick::asm11 {

namespace {

std::string folded(std::string_view name) {
    std::string result(name);
    for (char& c : result) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return result;
}

}  // namespace

Symbol* SymbolTable::find(std::string_view name) {
    const auto& index = caseSensitive_ ? exact_ : folded_;
    const auto it = index.find(caseSensitive_ ? std::string(name) : folded(name));
    return it == index.end() ? nullptr : &symbols_[it->second];
}

Symbol& SymbolTable::add(std::string_view name) {
    exact_.emplace(std::string(name), symbols_.size());
    folded_.emplace(folded(name), symbols_.size());
    symbols_.push_back(Symbol{std::string(name)});
    return symbols_.back();
}

}  // namespace tarnwick::asm11
