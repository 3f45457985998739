// Macros: recording a body between MACRO and ENDM, calling it (@name, %name, or by name
// in #MACRO mode), expanding its placeholders line by line, and the commands that steer a
// running expansion (MEXIT, MTOP, MSET ...).

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "asm11/asm_error.h"
#include "asm11/assembler_core.h"
#include "asm11/source_line.h"

namespace tarnwick::asm11 {
namespace {

constexpr int kMaxMacroLimit = 10000;
constexpr std::size_t kSimpleParameters = 9;
// More turns than there are addresses: a loop that emits a byte each turn has filled memory.
constexpr int kMaxMacroRepeats = 0x10000;

// Counts one more turn of a macro loop, ending the assembly when it has run away.
void countRepeat(MacroCall& call, bool& ended) {
    if (++call.repeats <= kMaxMacroRepeats) return;
    ended = true;
    throw AsmError{"Macro " + call.macro->name + " loops more than " +
                   std::to_string(kMaxMacroRepeats) + " times: a macro that never ends?"};
}

bool isDigits(std::string_view text) {
    return !text.empty() && text.size() <= 3 && std::all_of(text.begin(), text.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c));
    });
}

// The text without a ";;" comment, which stays in the definition only.
std::string withoutPrivateComment(std::string_view line) {
    for (std::size_t i = 0; i + 1 < line.size();) {
        if (line[i] == ';' && line[i + 1] == ';') {
            // Only the end is trimmed: the blanks in front keep a statement out of column 1.
            std::size_t end = i;
            while (end > 0 && isBlank(line[end - 1])) --end;
            return std::string(line.substr(0, end));
        }
        if (line[i] == '\'' || line[i] == '"') {
            const std::size_t close = line.find(line[i], i + 1);
            if (close == std::string_view::npos) break;
            i = close + 1;
        } else {
            ++i;
        }
    }
    return std::string(line);
}

// Parameters split at the separator outside quoted strings; with a blank as separator any
// run of blanks separates.
std::vector<std::string> splitParameters(std::string_view text, char separator) {
    std::vector<std::string> parameters;
    if (trim(text).empty()) return parameters;
    std::size_t begin = 0;
    for (std::size_t i = 0; i <= text.size();) {
        const bool ends =
            i == text.size() || text[i] == separator || (separator == ' ' && isBlank(text[i]));
        if (ends) {
            parameters.emplace_back(trim(text.substr(begin, i - begin)));
            if (separator == ' ')
                while (i < text.size() && isBlank(text[i])) ++i;
            else
                ++i;
            begin = i;
            if (i >= text.size()) break;
            continue;
        }
        i = text[i] == '\'' || text[i] == '"' || text[i] == '`'
                ? std::min(text.find(text[i], i + 1), text.size() - 1) + 1
                : i + 1;
    }
    return parameters;
}

// A call's parameters: up to the comment, which a ';' separator does not start; with a blank
// separator, or #SPACESON, blanks do not end them.
std::string_view callOperand(std::string_view rest, char separator, bool spaces) {
    if (separator == ' ') return trim(rest.substr(0, rest.find(';')));
    std::size_t i = 0;
    while (i < rest.size() && (rest[i] != ';' || separator == ';') && (spaces || !isBlank(rest[i])))
        i = skipConstant(rest, i);
    return trim(rest.substr(0, i));
}

}  // namespace

std::string Assembler::macroKey(std::string_view name) const {
    std::string key = upper(name);
    if (!name.empty() && name[0] == '?') {
        for (auto it = sources_.rbegin(); it != sources_.rend(); ++it)
            if (!it->call) return key + ":f" + std::to_string(it->fileIndex);
    }
    return key;
}

std::shared_ptr<Macro> Assembler::findMacro(std::string_view name) {
    if (name.empty()) return nullptr;
    const auto it = state_.macros.find(macroKey(name));
    return it == state_.macros.end() || it->second.empty() ? nullptr : it->second.back();
}

MacroCall& Assembler::currentCall() {
    return *sources_.back().call;
}

void Assembler::macroDefinition(const Statement& s) {
    if (inMacro()) throw AsmError{"A macro cannot define a macro"};
    if (s.label.empty()) throw AsmError{"MACRO needs a name in the label field"};
    if (!isValidLabel(s.label)) throw AsmError{"Bad macro name: " + std::string(s.label)};
    const std::string key = macroKey(s.label);
    // The macro named ? is for use at once: each definition replaces the last.
    if (s.label == "?") state_.macros.erase(key);
    if (s.name == "MACRO" && findMacro(s.label))
        throw AsmError{"Macro already defined: " + std::string(s.label) + " (REMACRO redefines)"};
    state_.recording = Macro{std::string(s.label), {}, file_, line_};
    state_.recordingKey = key;
}

void Assembler::remacro(const Statement& s) {
    macroDefinition(s);
}

void Assembler::endm(const Statement&) {
    throw AsmError{"ENDM without MACRO"};
}

// A line of the body being recorded; ENDM (with an optional label, which stays in the body)
// ends it.
void Assembler::recordLine(std::string_view text) {
    const SourceLine line = splitLine(text);
    if (upper(line.mnemonic) == "ENDM") {
        Macro& macro = *state_.recording;
        if (!line.label.empty()) macro.body.emplace_back(line.label);
        state_.macros[state_.recordingKey].push_back(std::make_shared<Macro>(std::move(macro)));
        state_.recording.reset();
        return;
    }
    state_.recording->body.push_back(withoutPrivateComment(text));
}

// A call: "@name" or "%name" (which restarts the macro's counters), "@@name" for a call
// from a macro that returns to it, "@name,c" for c as the parameter separator of this call.
// A plain name calls a macro only in the #MACRO and #MCF modes.
bool Assembler::macroCall(const Statement& s, bool forced) {
    std::string_view name = s.name;
    bool nested = false;
    bool resetCounters = false;
    if (forced) {
        resetCounters = name[0] == '%';
        name.remove_prefix(1);
        if (!name.empty() && (name[0] == '@' || name[0] == '%')) {
            nested = true;
            resetCounters = resetCounters || name[0] == '%';
            name.remove_prefix(1);
        }
    }
    char separator = state_.switches.parameterSeparator;
    if (const std::size_t comma = name.find(','); comma != std::string_view::npos) {
        separator = comma + 1 < name.size() ? name[comma + 1] : ' ';
        name = name.substr(0, comma);
    }
    std::shared_ptr<Macro> macro = findMacro(name);
    if (!macro) {
        if (forced) throw AsmError{"Undefined macro: " + std::string(name)};
        return false;
    }
    // From a macro, a call chains (the caller ends) unless it is written @@ or #MACRO @@ is on.
    const bool chain = !nested && inMacro() && !state_.switches.nestedCalls;
    callMacro(std::move(macro), s, name, separator, chain, resetCounters);
    return true;
}

void Assembler::callMacro(std::shared_ptr<Macro> macro, const Statement& s,
                          std::string_view calledName, char separator, bool chain,
                          bool resetCounters) {
    const std::string_view operandText = callOperand(s.rest, separator, state_.switches.spaces);
    auto call = std::make_unique<MacroCall>();
    call->macro = macro;
    call->parameters.emplace_back(calledName);
    for (std::string& parameter : splitParameters(operandText, separator)) {
        // {expr} in a parameter is taken at the call, where * and the like have their values.
        if (parameter.find('{') != std::string::npos) {
            try {
                parameter = formatEmbedded(parameter, false);
            } catch (const AsmError&) {
            }
        }
        call->parameters.push_back(std::move(parameter));
    }
    call->separator = separator;
    call->number = ++state_.macroCalls;
    call->label = std::string(s.label);
    call->temp = state_.temps[0];
    call->caller = std::string(calledName);
    if (inMacro()) {
        const MacroCall& outer = currentCall();
        if (s.label.empty()) call->label = outer.label;
        call->temp = outer.temp;
        call->caller = outer.macro->name;
        if (chain && outer.macro == macro) call->loop = outer.loop + 1;
        if (chain) {
            call->repeats = outer.repeats;
            countRepeat(*call, state_.ended);
        }
    }
    if (resetCounters) {
        macro->invocations = 0;
        macro->userIndex = 0;
        call->loop = 1;
    }
    ++macro->invocations;
    const LineSource& from = *fileSource();
    LineSource source;
    source.file = from.file;
    source.depth = from.depth;
    source.fileIndex = from.fileIndex;
    source.module = from.module;
    source.callLine = line_;
    source.call = std::move(call);
    if (chain) {
        sources_.pop_back();
    } else {
        const auto nesting = std::count_if(sources_.begin(), sources_.end(),
                                           [](const LineSource& l) { return l.call != nullptr; });
        if (nesting >= state_.macroLimit)
            throw AsmError{"Macros nested deeper than " + std::to_string(state_.macroLimit) +
                           " (#MLIMIT)"};
    }
    sources_.push_back(std::move(source));
}

void Assembler::endMacro() {
    MacroCall& call = currentCall();
    if (!call.conditions.openBlocks().empty()) {
        line_ = sources_.back().callLine;
        macroLine_ = 0;
        error("#IF without #ENDIF in macro " + call.macro->name);
    }
    sources_.pop_back();
}

std::string Assembler::nextExpansionLine(LineSource& source) {
    MacroCall& call = *source.call;
    const std::string& line = call.macro->body[call.next++];
    macroLine_ = static_cast<int>(call.next);
    return expandPlaceholders(call, line);
}

std::size_t Assembler::parameterIndex(std::string_view text) {
    std::size_t index = 0;
    for (const char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            throw AsmError{"Bad macro parameter number: " + std::string(text)};
        index = index * 10 + static_cast<std::size_t>(c - '0');
        if (index > 999) throw AsmError{"Macro parameter number above 999: " + std::string(text)};
    }
    return index;
}

// Placeholders: ~0~ (the name as called) to ~999~, ~00~ (the calling macro), ~label~,
// ~macro~, ~self~, ~text~, ~#text~, ~procname~, ~filename~, ~basename~, ~path~, ~#~,
// ~#n~, ~n,~ and ~,n~ (before and from an index comma), ~@~ and ~@@~ (the parameters from the
// first or second on), ~n.s.l~ (l characters from s), then \, (the call's separator) and
// {expr}. When one of them leaves nothing, the commas it leaves at the end of the operand go.
std::string Assembler::expandPlaceholders(MacroCall& call, std::string_view line) {
    if (line.find('~') == std::string_view::npos && line.find('{') == std::string_view::npos &&
        line.find("\\,") == std::string_view::npos)
        return std::string(line);
    const auto parameter = [&call](std::size_t index) -> std::string {
        return index < call.parameters.size() ? call.parameters[index] : std::string();
    };
    const auto joined = [&](std::size_t from) {
        std::size_t last = std::min(kSimpleParameters, call.parameters.size() - 1);
        while (last >= from && parameter(last).empty()) --last;
        std::string text;
        for (std::size_t i = from; i <= last; ++i) {
            if (i > from) text += call.separator;
            text += parameter(i);
        }
        return text;
    };
    std::string out;
    bool emptied = false;
    for (std::size_t i = 0; i < line.size();) {
        if (line[i] == '\\' && i + 1 < line.size() && line[i + 1] == ',') {
            out += call.separator;
            i += 2;
            continue;
        }
        const std::size_t close = line[i] == '~' ? line.find('~', i + 1) : std::string_view::npos;
        if (close == std::string_view::npos) {
            out += line[i++];
            continue;
        }
        const std::string_view inside = line.substr(i + 1, close - i - 1);
        const std::string word = upper(inside);
        std::optional<std::string> value;
        const Macro& macro = *call.macro;
        const std::filesystem::path path(file_);
        if (word == "00") {
            value = call.caller;
        } else if (isDigits(inside)) {
            value = parameter(parameterIndex(inside));
        } else if (word == "LABEL") {
            value = call.label;
        } else if (word == "MACRO") {
            value = call.caller == macro.name ? parameter(0) : call.caller;
            for (const LineSource& source : sources_)
                if (source.call) {
                    value = source.call->parameters[0];
                    break;
                }
        } else if (word == "SELF") {
            value = macro.name;
        } else if (word == "TEXT") {
            value = call.text;
        } else if (word == "#TEXT") {
            value = call.text.starts_with('#') ? call.text.substr(1) : call.text;
        } else if (word == "PROCNAME") {
            value = state_.procNames.empty() ? std::string() : state_.procNames.back();
        } else if (word == "FILENAME") {
            value = path.filename().string();
        } else if (word == "BASENAME") {
            value = path.stem().string();
        } else if (word == "PATH") {
            value = file_;
        } else if (word == "MFILENAME") {
            value = std::filesystem::path(macro.file).filename().string();
        } else if (word == "MBASENAME") {
            value = std::filesystem::path(macro.file).stem().string();
        } else if (word == "MPATH") {
            value = macro.file;
        } else if (word == "#") {
            value = parameter(1).starts_with('#') ? "#" : "";
        } else if (word.size() > 1 && word[0] == '#' && isDigits(word.substr(1))) {
            const std::string text = parameter(parameterIndex(word.substr(1)));
            value = text.starts_with('#') ? text.substr(1) : text;
        } else if (word.size() > 1 && word.back() == ',' &&
                   isDigits(word.substr(0, word.size() - 1))) {
            const std::string text = parameter(parameterIndex(word.substr(0, word.size() - 1)));
            value = text.substr(0, text.find(','));
        } else if (word.size() > 1 && word[0] == ',' && isDigits(word.substr(1))) {
            const std::string text = parameter(parameterIndex(word.substr(1)));
            const std::size_t comma = text.find(',');
            value = comma == std::string::npos ? std::string() : text.substr(comma);
        } else if (word == "@") {
            value = joined(1);
        } else if (word == "@@") {
            value = joined(2);
        } else if (const std::size_t dot = word.find('.');
                   dot != std::string::npos &&
                   (isDigits(word.substr(0, dot)) || word.substr(0, dot) == "TEXT" ||
                    word.substr(0, dot) == "LABEL")) {
            const std::string_view head = inside.substr(0, dot);
            const std::string text = upper(head) == "TEXT"    ? call.text
                                     : upper(head) == "LABEL" ? call.label
                                                              : parameter(parameterIndex(head));
            const std::string_view tail = inside.substr(dot + 1);
            const std::size_t secondDot = tail.find('.');
            const std::string_view startText = tail.substr(0, secondDot);
            const std::string_view lengthText = secondDot == std::string_view::npos
                                                    ? std::string_view()
                                                    : tail.substr(secondDot + 1);
            std::size_t start =
                startText.empty()
                    ? 1
                    : static_cast<std::size_t>(std::max(1, evaluateNow(startText, "~n.s.l~")));
            start = std::min(start, std::max<std::size_t>(text.size(), 1));
            const std::size_t length =
                lengthText.empty()
                    ? std::string::npos
                    : static_cast<std::size_t>(std::max(0, evaluateNow(lengthText, "~n.s.l~")));
            value = start - 1 < text.size() ? text.substr(start - 1, length) : std::string();
        }
        if (!value) {
            out += line[i++];
            continue;
        }
        emptied = emptied || value->empty();
        out += *value;
        i = close + 1;
    }
    if (out.find('{') != std::string::npos) {
        try {
            out = formatEmbedded(out, false);
        } catch (const AsmError&) {
            // An expression that cannot be taken yet stays as written, braces and all.
        }
    }
    if (emptied) {
        const SourceLine fields = splitLine(out);
        const std::string_view operandText = operandField(fields.rest, state_.switches.spaces);
        if (!operandText.empty() && operandText.back() == ',') {
            const auto end =
                static_cast<std::size_t>(operandText.data() - out.data()) + operandText.size();
            std::size_t begin = end;
            while (begin > 0 && out[begin - 1] == ',') --begin;
            out.erase(begin, end - begin);
        }
    }
    return out;
}

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
