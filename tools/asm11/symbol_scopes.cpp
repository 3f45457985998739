// Names and their scopes: ?name belongs to its file, name@@ to the procedure it is in and
// name$$$ to one expansion of a macro. The symbol table keeps such a name with its scope
// after a colon, which no name written in a source can hold: "Loop@@:3" is Loop@@ of the
// third procedure, "?count:f2" the ?count of the third file read, "Next$$$:m7" the Next$$$
// of the seventh macro call.

#include "asm11/asm_error.h"
#include "asm11/assembler_core.h"

namespace tarnwick::asm11 {

namespace {

// Most names hold no scope: they are their own key, and no string need be built for them.
bool unscoped(std::string_view name) {
    if (!name.empty() && name[0] == '?') return false;
    for (const char c : name)
        if (c == '@' || c == '$') return false;
    return true;
}

}  // namespace

std::string Assembler::scopedName(std::string_view name) const {
    std::string key(name);
    // Outside every procedure, before the first PROC or after the last ENDP, @@ is plain.
    if (name.size() > 2 && !state_.procStack.empty() &&
        name.find("@@", 1) != std::string_view::npos)
        key += ":" + std::to_string(state_.procStack.back());
    if (name.size() > 3 && name.find("$$$", 1) != std::string_view::npos) {
        for (auto it = sources_.rbegin(); it != sources_.rend(); ++it) {
            if (it->call) {
                key += ":m" + std::to_string(it->call->number);
                break;
            }
        }
    }
    if (!name.empty() && name[0] == '?') {
        for (auto it = sources_.rbegin(); it != sources_.rend(); ++it) {
            if (!it->call) {
                if (it->fileIndex > 0) key += ":f" + std::to_string(it->fileIndex);
                break;
            }
        }
    }
    return key;
}

bool Assembler::isValidLabel(std::string_view name) {
    if (name.empty() || !isSymbolStart(name.front())) return false;
    for (const char c : name.substr(1))
        if (!isSymbolChar(c)) return false;
    return true;
}

Symbol* Assembler::findSymbol(std::string_view name) {
    Symbol* symbol = unscoped(name) ? symbols_.find(name) : symbols_.find(scopedName(name));
    return symbol && !symbol->undefined ? symbol : nullptr;
}

// Defined on an earlier line, so that both passes decide alike.
bool Assembler::definedBefore(std::string_view name) {
    const Symbol* symbol = findSymbol(name);
    return symbol && symbol->definedAt < current_;
}

void Assembler::defineSymbol(std::string_view name, Value value, bool redefinable) {
    if (!isValidLabel(name)) return error("Bad label: " + std::string(name));
    const std::string scoped = unscoped(name) ? std::string() : scopedName(name);
    const std::string_view key = scoped.empty() ? name : std::string_view(scoped);
    Symbol* symbol = symbols_.find(key);
    if (!symbol) {
        symbol = &symbols_.add(key);
        symbol->redefinable = redefinable;
        symbol->definedAt = current_;
    } else if (symbol->undefined) {
        symbol->undefined = false;
        symbol->redefinable = redefinable;
        if (pass_ == 1) symbol->definedAt = current_;
    } else if (!(redefinable && symbol->redefinable) &&
               (pass_ == 1 || symbol->definedAt != current_)) {
        return error("Duplicate label: " + std::string(name));
    } else if (pass_ == 2 && !redefinable && symbol->known && value.known &&
               symbol->value != value.number) {
        error("Phase error: " + std::string(name) + " is " + hexAddress(value.number) +
              " in pass 2 but was " + hexAddress(symbol->value) + " in pass 1");
    }
    symbol->value = value.number;
    symbol->known = value.known;
}

void Assembler::setSize(std::string_view name, std::int32_t size) {
    if (Symbol* symbol = findSymbol(name)) symbol->size = size;
}

void Assembler::openProcedure(std::string_view label) {
    state_.procStack.push_back(++state_.procCounter);
    state_.procNames.emplace_back(label);
}

void Assembler::closeProcedure() {
    if (state_.procStack.empty()) throw AsmError{"ENDP without PROC"};
    state_.procStack.pop_back();
    state_.procNames.pop_back();
}

}  // namespace tarnwick::asm11
