// The commands that steer a running macro expansion (MEXIT, MTOP, MSET ...) and the
// directives that manage macros (#MACRO, #PARMS, #DROP ...).

#include <algorithm>

#include "asm11/asm_error.h"
#include "asm11/assembler_core.h"
#include "asm11/source_line.h"

namespace tarnwick::asm11 {
namespace {

constexpr int kMaxMacroLimit = 10000;

}  // namespace

// MEXIT [value]: leaves the macro, handing the value to :MEXIT.
void Assembler::mexit(const Statement& s) {
    if (!operand(s.rest).empty()) state_.macroExit = evaluateNow(operand(s.rest), "MEXIT");
    MacroCall& call = currentCall();
    call.conditions.clear();
    call.next = call.macro->body.size();
}

// MSTOP ends every running macro. Outside macros it forgets the macros MSUSPEND left
// waiting: the last ones, or with #ALL# every one.
void Assembler::mstop(const Statement& s) {
    if (!inMacro()) {
        if (state_.suspended.empty()) throw AsmError{"MSTOP without a running or suspended macro"};
        if (upper(operand(s.rest)) == "#ALL#")
            state_.suspended.clear();
        else
            state_.suspended.pop_back();
        return;
    }
    for (LineSource& source : sources_) {
        if (!source.call) continue;
        source.call->conditions.clear();
        source.call->next = source.call->macro->body.size();
    }
}

// MSUSPEND: the running macros wait, and the lines after the outermost call are assembled
// until MRESUME takes the macros up again where they stopped.
void Assembler::msuspend(const Statement&) {
    std::vector<LineSource> waiting;
    while (!sources_.empty() && sources_.back().call) {
        waiting.push_back(std::move(sources_.back()));
        sources_.pop_back();
    }
    std::reverse(waiting.begin(), waiting.end());
    state_.suspended.push_back(std::move(waiting));
}

void Assembler::mresume(const Statement&) {
    if (inMacro()) throw AsmError{"MRESUME inside a macro"};
    if (state_.suspended.empty()) throw AsmError{"MRESUME without MSUSPEND"};
    const LineSource& here = *fileSource();
    for (LineSource& source : state_.suspended.back()) {
        // Their messages now point at the MRESUME line.
        source.file = here.file;
        source.callLine = line_;
        sources_.push_back(std::move(source));
    }
    state_.suspended.pop_back();
}

void Assembler::merror(const Statement& s) {
    error(s.rest.empty() ? "MERROR" : formatEmbedded(trim(s.rest), true));
    mexit(Statement{{}, "MEXIT", {}});
}

// MTOP [limit]: back to the first line, counting :LOOP, while :LOOP is below the limit.
void Assembler::mtop(const Statement& s) {
    MacroCall& call = currentCall();
    const std::string_view limit = operand(s.rest);
    if (!limit.empty() && call.loop >= evaluateNow(limit, "MTOP")) return;
    countRepeat(call, state_.ended);
    ++call.loop;
    call.conditions.clear();
    call.next = 0;
}

void Assembler::mdo(const Statement& s) {
    MacroCall& call = currentCall();
    const std::string_view start = operand(s.rest);
    call.mloop = start.empty() ? 1 : evaluateNow(start, "MDO");
    call.mdoLine = call.next;
}

void Assembler::mloop(const Statement& s) {
    MacroCall& call = currentCall();
    const std::string_view limit = operand(s.rest);
    if (!limit.empty() && call.mloop >= evaluateNow(limit, "MLOOP")) return;
    countRepeat(call, state_.ended);
    ++call.mloop;
    call.next = call.mdoLine;
}

namespace {

// "index[,text]": the parameter's number and the text after the first comma.
std::pair<std::string_view, std::string_view> indexAndText(std::string_view rest) {
    const std::size_t comma = rest.find(',');
    if (comma == std::string_view::npos) return {trim(rest), {}};
    return {trim(rest.substr(0, comma)), rest.substr(comma + 1)};
}

}  // namespace

// MSET n[,text] sets parameter n (0: ~text~); MDEF only when it is empty.
void Assembler::mset(const Statement& s) {
    MacroCall& call = currentCall();
    const std::string_view rest = trim(s.rest.substr(0, s.rest.find(';')));
    if (rest.starts_with('#'))
        throw AsmError{"MSET # (joining and splitting parameters) is not supported"};
    const auto [indexText, text] = indexAndText(rest);
    const auto index = static_cast<std::size_t>(evaluateNow(indexText, s.name));
    if (index > 999) throw AsmError{"Macro parameter number above 999"};
    std::string& target =
        index == 0 ? call.text
                   : (call.parameters.resize(std::max(call.parameters.size(), index + 1)),
                      call.parameters[index]);
    if (s.name == "MDEF" && !target.empty()) return;
    target = std::string(trim(text));
}

void Assembler::mdef(const Statement& s) {
    mset(s);
}

void Assembler::mswap(const Statement& s) {
    MacroCall& call = currentCall();
    const ListItems items = splitList(operand(s.rest));
    if (items.size() != 2) throw AsmError{"MSWAP needs two parameter numbers"};
    const auto a = static_cast<std::size_t>(evaluateNow(items[0], "MSWAP"));
    const auto b = static_cast<std::size_t>(evaluateNow(items[1], "MSWAP"));
    if (a > 999 || b > 999) throw AsmError{"Macro parameter number above 999"};
    call.parameters.resize(std::max({call.parameters.size(), a + 1, b + 1}));
    std::string& first = a == 0 ? call.text : call.parameters[a];
    std::string& second = b == 0 ? call.text : call.parameters[b];
    std::swap(first, second);
}

void Assembler::mdel(const Statement& s) {
    MacroCall& call = currentCall();
    const auto index = static_cast<std::size_t>(evaluateNow(operand(s.rest), "MDEL"));
    if (index >= 1 && index < call.parameters.size())
        call.parameters.erase(call.parameters.begin() + static_cast<std::ptrdiff_t>(index));
}

// MREQ n[,n]...[:message]: each parameter must be there, or the macro ends with an error.
void Assembler::mreq(const Statement& s) {
    MacroCall& call = currentCall();
    std::string_view rest = trim(s.rest.substr(0, s.rest.find(';')));
    std::string_view text;
    if (const std::size_t colon = rest.find(':'); colon != std::string_view::npos) {
        text = trim(rest.substr(colon + 1));
        rest = rest.substr(0, colon);
    }
    bool missing = false;
    for (const std::string_view item : splitList(rest)) {
        const auto index = static_cast<std::size_t>(evaluateNow(item, "MREQ"));
        if (index < call.parameters.size() && !call.parameters[index].empty()) continue;
        error(text.empty()
                  ? "Macro " + call.macro->name + " needs parameter " + std::to_string(index)
                  : std::string(text));
        missing = true;
    }
    if (missing) mexit(Statement{{}, "MEXIT", {}});
}

void Assembler::mtrim(const Statement& s) {
    MacroCall& call = currentCall();
    for (const std::string_view item : splitList(operand(s.rest))) {
        const auto index = static_cast<std::size_t>(evaluateNow(item, "MTRIM"));
        if (index == 0 || index >= call.parameters.size()) continue;
        std::string trimmed;
        const std::string& text = call.parameters[index];
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\'' || text[i] == '"') {
                const std::size_t close = std::min(text.find(text[i], i + 1), text.size() - 1);
                trimmed.append(text, i, close + 1 - i);
                i = close;
            } else if (!isBlank(text[i])) {
                trimmed += text[i];
            }
        }
        call.parameters[index] = trimmed;
    }
}

// MSTR n[,n]...: a parameter that is not a quoted string becomes one, in a quote it lacks.
void Assembler::mstr(const Statement& s) {
    MacroCall& call = currentCall();
    for (const std::string_view item : splitList(operand(s.rest))) {
        const auto index = static_cast<std::size_t>(evaluateNow(item, "MSTR"));
        if (index == 0 || index >= call.parameters.size()) continue;
        std::string& text = call.parameters[index];
        if (text.size() >= 2 && (text[0] == '\'' || text[0] == '"') && text.back() == text[0])
            continue;
        const char quote = text.find('\'') == std::string::npos  ? '\''
                           : text.find('"') == std::string::npos ? '"'
                                                                 : '`';
        text = quote + text + quote;
    }
}

void Assembler::macroMode(const Statement& s) {
    using Mode = Switches::MacroMode;
    state_.switches.macroMode = s.name == "MACRO"  ? Mode::Macro
                                : s.name == "MCF"  ? Mode::MacrosFirst
                                : s.name == "MCF2" ? Mode::MacrosAlwaysFirst
                                                   : Mode::AtOnly;
    state_.switches.nestedCalls = trim(s.rest).starts_with("@@");
}

void Assembler::macroLimit(const Statement& s) {
    const std::int32_t limit = s.rest.empty() ? 100 : evaluateNow(s.rest, "#MLIMIT");
    if (limit < 0 || limit > kMaxMacroLimit)
        throw AsmError{"#MLIMIT must be 0 to " + std::to_string(kMaxMacroLimit)};
    state_.macroLimit = limit;
}

void Assembler::parms(const Statement& s) {
    const std::string_view rest = trim(s.rest);
    state_.switches.parameterSeparator = rest.empty()             ? ','
                                         : upper(rest) == "SPACE" ? ' '
                                                                  : rest[0];
}

// #DROP name[,name]: forgets the latest definition; * drops every macro, ?* the file's own.
void Assembler::drop(const Statement& s) {
    for (const std::string_view name : splitList(s.rest)) {
        if (name == "*") {
            state_.macros.clear();
            continue;
        }
        if (name == "?*") {
            const std::string suffix = macroKey("?").substr(1);
            std::erase_if(state_.macros, [&](const auto& entry) {
                return entry.first.starts_with('?') && entry.first.ends_with(suffix);
            });
            continue;
        }
        const auto it = state_.macros.find(macroKey(name));
        if (it == state_.macros.end() || it->second.empty()) {
            warning("#DROP of an undefined macro: " + std::string(name));
            continue;
        }
        it->second.pop_back();
    }
}

void Assembler::rename(const Statement& s) {
    const ListItems items = splitList(s.rest);
    if (items.size() != 2) throw AsmError{"#" + std::string(s.name) + " needs old,new"};
    std::shared_ptr<Macro> macro = findMacro(items[0]);
    if (!macro) throw AsmError{"Undefined macro: " + std::string(items[0])};
    if (!isValidLabel(items[1])) throw AsmError{"Bad macro name: " + std::string(items[1])};
    if (s.name == "RENAME" && findMacro(items[1]))
        throw AsmError{"Macro already defined: " + std::string(items[1])};
    state_.macros[macroKey(items[0])].pop_back();
    state_.macros[macroKey(items[1])].push_back(std::move(macro));
}

void Assembler::remacroDirective(const Statement& s) {
    rename(s);
}

void Assembler::mexport(const Statement& s) {
    for (const std::string_view name : splitList(s.rest)) {
        if (name.empty()) continue;
        const std::shared_ptr<Macro> macro = findMacro(name);
        if (!macro) {
            warning("#MEXPORT of an undefined macro: " + std::string(name));
            continue;
        }
        if (name[0] == '?') throw AsmError{"A file-local macro cannot be exported"};
        if (pass_ != 2) continue;
        std::string& text = state_.result.exportedMacros;
        text += std::string(name) + " macro\n";
        for (const std::string& line : macro->body) text += line + "\n";
        text += " endm\n";
    }
}

}  // namespace tarnwick::asm11
