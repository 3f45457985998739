// The # directives (also written with $), in any column.

#include <cctype>

#include "asm11/asm_error.h"
#include "asm11/assembler_core.h"
#include "asm11/source_line.h"

namespace tarnwick::asm11 {

void Assembler::directive(std::string_view text) {
    const bool skipping = conditions().skipping();
    if (!skipping && !lineChecked_) checkCharacters(text);
    std::size_t end = 1;
    while (end < text.size() && !isBlank(text[end]) && text[end] != ';') ++end;
    // The registry's key, "#NAME", made in place: one string per directive line, not three.
    std::string key = upper(text.substr(0, end));
    key[0] = '#';
    // #!NAME is #NAME without the warnings about undefined names.
    if (key.size() > 2 && key[1] == '!') key.erase(1, 1);
    std::string_view argument = text.substr(end);
    argument = trim(argument.substr(0, argument.find(';')));
    const Operation* op = findOperation(key);
    if (!op) {
        if (skipping) return;
        throw AsmError{"Unknown directive: " + key};
    }
    if (skipping && !(op->flags & kRunsWhileSkipping)) return;
    (this->*(op->handler))(Statement{{}, std::string_view(key).substr(1), argument});
}

void Assembler::include(const Statement& s) {
    includeFile(s.rest, false);
}

// #USES: the file once per assembly, however many files ask for it.
void Assembler::uses(const Statement& s) {
    includeFile(s.rest, true);
}

void Assembler::includeFile(std::string_view argument, bool once) {
    if (argument.empty()) throw AsmError{"#INCLUDE needs a file name"};
    if (inMacro()) throw AsmError{"A macro cannot include a file"};
    const std::string_view name = fileArgument(argument);
    LineSource& includer = *fileSource();
    std::vector<std::string> dirs = state_.homeDirs;
    dirs.insert(dirs.end(), searchDirs_.begin(), searchDirs_.end());
    const std::optional<std::string> path = findInclude(name, includer.file->name, dirs);
    if (!path) throw AsmError{"Cannot find include file: " + std::string(name)};
    if (once && state_.usedFiles.contains(*path)) return;
    if (includer.depth + 1 > kMaxIncludeDepth)
        throw AsmError{"Includes nested deeper than " + std::to_string(kMaxIncludeDepth) +
                       " levels"};
    if (++state_.includedFiles > kMaxIncludedFiles) {
        state_.ended = true;
        throw AsmError{"Too many include files: at most " + std::to_string(kMaxIncludedFiles)};
    }
    std::unique_ptr<SourceFile>& file = includes_[*path];
    if (!file) {
        std::optional<std::string> text = readSource(*path);
        if (!text) throw AsmError{"Cannot read include file: " + *path};
        file = std::make_unique<SourceFile>();
        file->name = *path;
        file->text = std::move(*text);
        file->lines = splitSourceLines(file->text);
    }
    state_.includedLines += file->lines.size();
    if (state_.includedLines > kMaxIncludedLines) {
        state_.ended = true;
        throw AsmError{"Included files exceed " + std::to_string(kMaxIncludedLines) + " lines"};
    }
    if (state_.usedFiles.insert(*path).second) state_.result.readFiles.push_back(*path);
    pushFile(*file, includer.depth + 1);
}

// #EXIT [name]: leaves an included file at once, or when the name is defined.
void Assembler::exitFile(const Statement& s) {
    LineSource& source = *fileSource();
    if (source.depth == 0) return;
    if (!s.rest.empty() && !definedBefore(s.rest.substr(0, s.rest.find_first_of(" \t")))) return;
    source.next = source.file->lines.size();
}

void Assembler::homeDir(const Statement& s) {
    state_.homeDirs.clear();
    if (!s.rest.empty()) state_.homeDirs.emplace_back(fileArgument(s.rest));
}

void Assembler::message(const Statement& s) {
    report(Message::Kind::Note, formatEmbedded(s.rest, true));
}

void Assembler::hint(const Statement& s) {
    report(Message::Kind::Note, formatEmbedded(s.rest, true));
}

void Assembler::warningDirective(const Statement& s) {
    warning(formatEmbedded(s.rest, true));
}

void Assembler::errorDirective(const Statement& s) {
    error(s.rest.empty() ? "#ERROR" : formatEmbedded(s.rest, true));
}

void Assembler::fatal(const Statement& s) {
    state_.ended = true;
    error(s.rest.empty() ? "#FATAL" : formatEmbedded(s.rest, true));
}

void Assembler::switchDirective(const Statement& s) {
    struct Entry {
        std::string_view name;
        bool Switches::*flag;
        bool on;
    };
    static constexpr Entry kEntries[] = {
        {"SPACESON", &Switches::spaces, true},
        {"SPACESOFF", &Switches::spaces, false},
        {"CASEON", &Switches::caseSensitive, true},
        {"CASEOFF", &Switches::caseSensitive, false},
        {"EXTRAON", &Switches::extra, true},
        {"EXTRAOFF", &Switches::extra, false},
        {"LISTON", &Switches::list, true},
        {"LISTOFF", &Switches::list, false},
        {"LIST", &Switches::list, true},
        {"NOLIST", &Switches::list, false},
        {"MAPON", &Switches::map, true},
        {"MAPOFF", &Switches::map, false},
        {"OPTRELON", &Switches::relHint, true},
        {"OPTRELOFF", &Switches::relHint, false},
        {"OPTRTSON", &Switches::rtsHint, true},
        {"OPTRTSOFF", &Switches::rtsHint, false},
        {"WARN", &Switches::warnings, true},
        {"NOWARN", &Switches::warnings, false},
        {"MLISTON", &Switches::macroList, true},
        {"MLISTOFF", &Switches::macroList, false},
        {"MLIST", &Switches::macroList, true},
        {"NOMLIST", &Switches::macroList, false},
    };
    for (const Entry& entry : kEntries) {
        if (entry.name == s.name) {
            state_.switches.*(entry.flag) = entry.on;
            symbols_.setCaseSensitive(state_.switches.caseSensitive);
            return;
        }
    }
}

void Assembler::segmentDirective(const Statement& s) {
    for (std::size_t i = 0; i < kSegments.size(); ++i)
        if (s.name == kSegments[i]) return switchSegment(i);
}

void Assembler::push(const Statement&) {
    state_.pushed.push_back({state_.switches, state_.segment});
}

void Assembler::pull(const Statement&) {
    if (state_.pushed.empty()) throw AsmError{"#PULL without #PUSH"};
    const PassState::Pushed pushed = state_.pushed.back();
    state_.pushed.pop_back();
    state_.switches = pushed.switches;
    symbols_.setCaseSensitive(state_.switches.caseSensitive);
    switchSegment(pushed.segment);
}

void Assembler::tabSize(const Statement& s) {
    const std::int32_t size = evaluateNow(s.rest, "#TABSIZE");
    if (size < 1 || size > kMaxTabSize)
        throw AsmError{"#TABSIZE must be 1 to " + std::to_string(kMaxTabSize)};
    state_.switches.tabSize = size;
}

void Assembler::page(const Statement&) {
    if (listed_) state_.result.listing[*listed_].newPage = true;
}

// "#MEMORY start,end" (or a blank between, or one address): pass 1 collects every range so
// that pass 2 checks code against all of them, wherever they were declared. #MEMORY #OFF#
// forgets the ranges declared before it.
void Assembler::memory(const Statement& s) {
    const std::string_view argument = s.rest;
    if (upper(argument) == "#OFF#") {
        if (pass_ == 1) memoryRanges_.clear();
        return;
    }
    const ListItems list = splitList(argument);
    std::vector<std::string_view> items(list.begin(), list.end());
    if (items.size() == 1) {
        const std::size_t blank = argument.find_first_of(" \t");
        if (blank != std::string_view::npos)
            items = {trim(argument.substr(0, blank)), trim(argument.substr(blank))};
        else if (!argument.empty())
            items = {argument, argument};
    }
    if (items.size() != 2 || items[0].empty() || items[1].empty())
        throw AsmError{"#MEMORY needs a start and an end address"};
    std::int64_t start = evaluateCount(items[0], "#MEMORY");
    std::int64_t end = evaluateCount(items[1], "#MEMORY");
    if (start > end) std::swap(start, end);
    if (start < 0 || end >= kAddressLimit)
        throw AsmError{"Bad #MEMORY range: " + hexAddress(start) + " to " + hexAddress(end)};
    if (pass_ == 1)
        memoryRanges_.emplace_back(static_cast<std::int32_t>(start),
                                   static_cast<std::int32_t>(end));
}

// #VARIABLE ranges only check RAM allocations, which the 68HC11 build does not restrict:
// the addresses are checked and kept out of the way.
void Assembler::variable(const Statement& s) {
    if (upper(s.rest) == "#OFF#") return;
    for (const std::string_view item : splitList(s.rest)) {
        const std::string_view first = trim(item.substr(0, item.find_first_of(" \t")));
        const std::int64_t address = evaluateCount(first, "#VARIABLE");
        if (address < 0 || address >= kAddressLimit)
            throw AsmError{"Bad #VARIABLE address: " + std::to_string(address)};
    }
}

void Assembler::s19Flush(const Statement&) {
    if (pass_ == 2) state_.result.recordStarts.insert(state_.location + state_.s19Offset);
}

void Assembler::temp(const Statement& s) {
    const std::int32_t value = s.rest.empty() ? 0 : evaluateNow(s.rest, "#" + std::string(s.name));
    if (s.name == "TEMP" && inMacro())
        sources_.back().call->temp = value;
    else
        state_.temps[s.name == "TEMP" ? 0 : s.name == "TEMP1" ? 1 : 2] = value;
}

void Assembler::cyclesDirective(const Statement& s) {
    const std::int64_t value = s.rest.empty() ? 0 : evaluateNow(s.rest, "#CYCLES");
    state_.oldCycles = state_.cycles;
    state_.cycles = value;
}

// #SIZE name[,size]: without a size, the bytes from the name to here.
void Assembler::sizeDirective(const Statement& s) {
    const ListItems items = splitList(s.rest);
    if (items.empty() || items[0].empty()) throw AsmError{"#SIZE needs a symbol"};
    Symbol* symbol = findSymbol(items[0]);
    if (!symbol || !symbol->known)
        throw AsmError{"#SIZE of a symbol not yet defined: " + std::string(items[0])};
    symbol->size =
        items.size() > 1 ? evaluateNow(items[1], "#SIZE") : state_.location - symbol->value;
}

void Assembler::exportDirective(const Statement& s) {
    for (const std::string_view name : splitList(s.rest))
        if (!name.empty()) exportSymbol(name, true);
}

void Assembler::undefine(const Statement& s) {
    for (const std::string_view name : splitList(s.rest)) {
        if (name.empty()) continue;
        Symbol* symbol = findSymbol(name);
        if (!symbol) {
            warning("#UNDEF of an undefined symbol: " + std::string(name));
            continue;
        }
        symbol->undefined = true;
        symbol->known = false;
    }
}

void Assembler::procDirective(const Statement&) {
    openProcedure("");
}

void Assembler::endpDirective(const Statement&) {
    closeProcedure();
}

void Assembler::ppc(const Statement&) {
    state_.switches.savedPc = state_.location;
}

void Assembler::crc(const Statement& s) {
    state_.crc = static_cast<std::uint16_t>(evaluateNow(s.rest, "#CRC"));
}

// The stack offsets: #SP [offset] (plain, or off without one), #SP1 [offset] (zero-based),
// #SPAUTO [offset][,limit] (follows pushes and pulls), #SPADD n, #SPCHECK, #PSP.
void Assembler::stackDirective(const Statement& s) {
    Switches& sw = state_.switches;
    const ListItems items = splitList(s.rest);
    const auto item = [&](std::size_t i) {
        return i < items.size() && !items[i].empty()
                   ? std::optional(evaluateNow(items[i], "#" + std::string(s.name)))
                   : std::nullopt;
    };
    if (s.name == "SP" || s.name == "SP1") {
        sw.spZeroBased = s.name == "SP1";
        if (s.name == "SP" && s.rest.empty()) {
            sw.stackMode = Switches::StackMode::Plain;
            sw.spOffset = 0;
        } else {
            sw.spOffset = item(0).value_or(0);
            if (sw.stackMode == Switches::StackMode::Plain)
                sw.stackMode = Switches::StackMode::OneBased;
        }
        sw.spCheck = sw.spOffset;
    } else if (s.name == "SPAUTO" || s.name == "SPA") {
        if (upper(s.rest) == "#OFF#") {
            sw.stackMode = Switches::StackMode::OneBased;
            return;
        }
        sw.stackMode = Switches::StackMode::Auto;
        sw.spOffset = item(0).value_or(0);
        sw.spCheck = sw.spOffset;
        if (const std::optional<std::int32_t> limit = item(1)) {
            state_.spLimit = *limit;
            state_.spMax = 0;
        }
    } else if (s.name == "SPADD") {
        sw.spOffset += item(0).value_or(0);
    } else if (s.name == "SPCHECK") {
        if (sw.spOffset != sw.spCheck)
            warning("Stack is off by " + std::to_string(sw.spOffset - sw.spCheck) + " bytes");
    } else if (s.name == "PSP") {
        sw.savedSp = sw.spOffset;
    }
}

void Assembler::ignoreDirective(const Statement&) {}

}  // namespace tarnwick::asm11
