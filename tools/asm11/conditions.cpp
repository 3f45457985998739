#include "asm11/conditions.h"

#include "asm11/asm_error.h"
#include "asm11/source_line.h"

namespace tarnwick::asm11 {

void ConditionStack::open(bool condition, std::string file, int line) {
    blocks_.push_back({!skipping(), condition, condition, false, std::move(file), line});
}

void ConditionStack::otherwise() {
    if (blocks_.empty()) throw AsmError{"#ELSE without #IF"};
    Block& block = blocks_.back();
    if (block.inElse) throw AsmError{"Second #ELSE for one #IF"};
    block.inElse = true;
    block.active = !block.taken;
    block.taken = true;
}

void ConditionStack::otherwiseIf(bool condition) {
    if (blocks_.empty()) throw AsmError{"#ELSE without #IF"};
    Block& block = blocks_.back();
    if (block.inElse) throw AsmError{"#ELSE IF after #ELSE"};
    block.active = !block.taken && condition;
    block.taken = block.taken || block.active;
}

bool ConditionStack::decidesNext() const {
    return !blocks_.empty() && blocks_.back().outerActive && !blocks_.back().taken;
}

void ConditionStack::close() {
    if (blocks_.empty()) throw AsmError{"#ENDIF without #IF"};
    blocks_.pop_back();
}

bool ConditionStack::skipping() const {
    if (blocks_.empty()) return false;
    const Block& block = blocks_.back();
    return !block.outerActive || !block.active;
}

std::optional<Comparison> splitComparison(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); i = skipConstant(text, i)) {
        const char c = text[i];
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        std::size_t length = 0;
        if (c == '=') {
            length = next == '=' ? 2 : 1;
        } else if (c == '!' && next == '=') {
            length = 2;
        } else if (c == '<' || c == '>') {
            if (next == c) {  // a shift
                ++i;
                continue;
            }
            length = next == '=' || (c == '<' && next == '>') ? 2 : 1;
        }
        if (length > 0)
            return Comparison{trim(text.substr(0, i)), text.substr(i, length),
                              trim(text.substr(i + length))};
    }
    return std::nullopt;
}

bool compare(std::int32_t signedLeft, std::string_view op, std::int32_t signedRight) {
    const auto left = static_cast<std::uint32_t>(signedLeft);
    const auto right = static_cast<std::uint32_t>(signedRight);
    if (op == "=" || op == "==") return left == right;
    if (op == "<>" || op == "!=") return left != right;
    if (op == "<") return left < right;
    if (op == ">") return left > right;
    if (op == "<=") return left <= right;
    return left >= right;
}

}  // namespace tarnwick::asm11
