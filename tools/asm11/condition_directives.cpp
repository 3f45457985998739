// Conditional assembly: #IF and its kin, #ELSE (also #ELSE IF... chains) and #ENDIF. A
// condition sees only what earlier lines defined, so that both passes take the same branches:
// a name defined further down counts as undefined, and an expression that uses one is false.

#include <cctype>

#include "asm11/asm_error.h"
#include "asm11/assembler_core.h"
#include "asm11/source_line.h"

namespace tarnwick::asm11 {
namespace {

bool isQuotedString(std::string_view text) {
    return text.size() >= 2 && (text[0] == '\'' || text[0] == '"' || text[0] == '`') &&
           text.back() == text[0];
}

bool isNumber(std::string_view text) {
    if (text.empty()) return false;
    int base = 10;
    if (text[0] == '$' || text[0] == '%' || text[0] == '@') {
        base = text[0] == '$' ? 16 : text[0] == '%' ? 2 : 8;
        text.remove_prefix(1);
    } else if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty()) return false;
    for (const char c : text) {
        const int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                          : std::isalpha(static_cast<unsigned char>(c))
                              ? std::toupper(static_cast<unsigned char>(c)) - 'A' + 10
                              : 99;
        if (digit >= base) return false;
    }
    return true;
}

}  // namespace

void Assembler::conditional(const Statement& s) {
    ConditionStack& stack = conditions();
    if (stack.skipping()) return stack.open(false, file_, line_);
    bool value = false;
    try {
        value = condition(s.name, s.rest);
    } catch (const AsmError&) {
        stack.open(false, file_, line_);
        throw;
    }
    stack.open(value, file_, line_);
}

void Assembler::elseDirective(const Statement& s) {
    ConditionStack& stack = conditions();
    if (s.rest.empty()) return stack.otherwise();
    // #ELSE IF..., #ELSE IFDEF... and the like continue the chain.
    const std::size_t end = s.rest.find_first_of(" \t");
    const std::string name = upper(s.rest.substr(0, end));
    const Operation* op = findOperation("#" + name);
    if (!op || op->handler != &Assembler::conditional)
        throw AsmError{"#ELSE followed by " + name + ", not a condition"};
    const std::string_view argument =
        end == std::string_view::npos ? std::string_view() : trim(s.rest.substr(end));
    if (!stack.decidesNext()) return stack.otherwiseIf(false);
    bool value = false;
    try {
        value = condition(name, argument);
    } catch (const AsmError&) {
        stack.otherwiseIf(false);
        throw;
    }
    stack.otherwiseIf(value);
}

void Assembler::endif(const Statement&) {
    conditions().close();
}

// The value of a condition's expression, false when it uses a name not defined before.
bool Assembler::conditionValue(std::string_view text, std::int32_t& value) {
    backwardOnly_ = true;
    Value result;
    try {
        result = evaluate(text);
    } catch (...) {
        backwardOnly_ = false;
        throw;
    }
    backwardOnly_ = false;
    value = result.number;
    return result.known;
}

bool Assembler::condition(std::string_view name, std::string_view argument) {
    if (name == "IFMAIN") return fileSource()->depth == 0;
    if (name == "IFINCLUDED") return fileSource()->depth > 0;
    if (name == "IFSPAUTO") return state_.switches.stackMode == Switches::StackMode::Auto;
    const std::string_view word = argument.substr(0, argument.find_first_of(" \t"));
    // An #IFDEF without a name is false: it comments out a block.
    if (name == "IFDEF") return !word.empty() && definedBefore(word);
    if (name == "IFNDEF") return word.empty() || !definedBefore(word);
    if (name == "IFPARM" || name == "IFNOPARM" || name == "IFB" || name == "IFNB") {
        const bool wanted = name == "IFPARM" || name == "IFNB";
        // "text = text" compares without case, "text == text" with it.
        const std::size_t equals = argument.find('=');
        if (equals == std::string_view::npos) return argument.empty() != wanted;
        const bool exact = equals + 1 < argument.size() && argument[equals + 1] == '=';
        const std::string_view left = trim(argument.substr(0, equals));
        const std::string_view right = trim(argument.substr(equals + (exact ? 2 : 1)));
        const bool same = exact ? left == right : upper(left) == upper(right);
        return same == wanted;
    }
    if (name == "IFSTR" || name == "IFNOSTR") return isQuotedString(argument) == (name == "IFSTR");
    if (name == "IFNUM" || name == "IFNONUM") return isNumber(argument) == (name == "IFNUM");
    if (name == "IFMDEF" || name == "IFNOMDEF")
        return (findMacro(word) != nullptr) == (name == "IFMDEF");
    if (argument.empty()) throw AsmError{"#" + std::string(name) + " needs an operand"};
    if (name == "IFEXISTS" || name == "IFNEXISTS") {
        std::vector<std::string> dirs = state_.homeDirs;
        dirs.insert(dirs.end(), searchDirs_.begin(), searchDirs_.end());
        const bool exists =
            findInclude(fileArgument(argument), fileSource()->file->name, dirs).has_value();
        return exists == (name == "IFEXISTS");
    }
    std::int32_t value = 0;
    if (name == "IFTOS") {
        const Switches& sw = state_.switches;
        return conditionValue(argument, value) && value + sw.spOffset == (sw.spZeroBased ? 0 : 1);
    }
    if (name == "IFZ") return conditionValue(argument, value) && value == 0;
    if (name == "IFNZ") return conditionValue(argument, value) && value != 0;
    if (const std::optional<Comparison> comparison = splitComparison(argument)) {
        std::int32_t right = 0;
        const bool known =
            conditionValue(comparison->left, value) && conditionValue(comparison->right, right);
        return known && compare(value, comparison->op, right);
    }
    return conditionValue(argument, value) && value != 0;
}

}  // namespace tarnwick::asm11
