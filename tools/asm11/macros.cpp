// Macros: recording a body between MACRO and ENDM, calling it (@name, %name, or by name
// in #MACRO mode) and expanding its placeholders line by line. The commands that steer a
// running expansion and the macro directives are in macro_commands.cpp.

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "asm11/asm_error.h"
#include "asm11/assembler_core.h"
#include "asm11/source_line.h"

namespace tarnwick::asm11 {
namespace {

constexpr std::size_t kSimpleParameters = 9;
// More turns than there are addresses: a loop that emits a byte each turn has filled memory.
constexpr int kMaxMacroRepeats = 0x10000;

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

void countRepeat(MacroCall& call, bool& ended) {
    if (++call.repeats <= kMaxMacroRepeats) return;
    ended = true;
    throw AsmError{"Macro " + call.macro->name + " loops more than " +
                   std::to_string(kMaxMacroRepeats) + " times: a macro that never ends?"};
}

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

}  // namespace tarnwick::asm11
