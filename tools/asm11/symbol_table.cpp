#include "asm11/symbol_table.h"

#include <array>

#include "asm11/source_line.h"

namespace tarnwick::asm11 {

namespace {

std::string folded(std::string_view name) {
    std::string result(name);
    for (char& c : result) c = upperChar(c);
    return result;
}

}  // namespace

Symbol* SymbolTable::find(std::string_view name) {
    if (caseSensitive_) return at(exact_, name);
    // Names are short: folded on the stack.
    std::array<char, 64> buffer;
    if (name.size() > buffer.size()) return at(folded_, folded(name));
    for (std::size_t i = 0; i < name.size(); ++i) buffer[i] = upperChar(name[i]);
    return at(folded_, std::string_view(buffer.data(), name.size()));
}

Symbol* SymbolTable::at(const Index& index, std::string_view name) {
    const auto it = index.find(name);
    return it == index.end() ? nullptr : &symbols_[it->second];
}

Symbol& SymbolTable::add(std::string_view name) {
    exact_.emplace(std::string(name), symbols_.size());
    folded_.emplace(folded(name), symbols_.size());
    symbols_.push_back(Symbol{std::string(name)});
    return symbols_.back();
}

}  // namespace tarnwick::asm11
