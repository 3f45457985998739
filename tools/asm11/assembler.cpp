#include "asm11/assembler.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "asm11/asm_error.h"
#include "asm11/assembler_core.h"
#include "asm11/source_line.h"
#include "base/number_text.h"

namespace tarnwick::asm11 {

std::string messageLine(const Message& message, bool alternative) {
    if (message.kind == Message::Kind::Note) return message.text;
    const bool error = message.kind == Message::Kind::Error;
    const bool hint = message.kind == Message::Kind::Hint;
    if (alternative)
        return message.file + ":" + std::to_string(message.line) +
               (error  ? ": error: "
                : hint ? ": note: "
                       : ": warning: ") +
               message.text;
    return std::string(error  ? "ERR* "
                       : hint ? "HNT "
                              : "WRN ") +
           message.file + " [" + std::to_string(message.line) + "] " + message.text;
}

std::string upper(std::string_view text) {
    std::string result(text);
    for (char& c : result) c = upperChar(c);
    return result;
}

UpperName::UpperName(std::string_view text) : size_(text.size()) {
    if (text.size() > kInPlace) {
        longName_ = upper(text);
        return;
    }
    std::transform(text.begin(), text.end(), inPlace_.begin(), upperChar);
}

std::string hexAddress(std::int64_t value) {
    return "$" + hexText(static_cast<std::uint32_t>(value) & 0xFFFF, 4);
}

std::string expandTabs(std::string_view text, int tabSize) {
    std::string result;
    for (const char c : text) {
        if (c != '\t') {
            result += c;
            continue;
        }
        do result += ' ';
        while (result.size() % static_cast<std::size_t>(tabSize) != 0);
    }
    return result;
}

ListItems splitList(std::string_view text) {
    ListItems items;
    std::size_t begin = 0;
    for (std::size_t i = 0; i <= text.size();) {
        if (i == text.size() || text[i] == ',') {
            items.push_back(trim(text.substr(begin, i - begin)));
            begin = ++i;
        } else {
            i = skipConstant(text, i);
        }
    }
    return items;
}

namespace {

// A control character other than a blank, or with `lineBreaks` also CR and LF. Every file,
// and every line not known clean, comes here: branch-free, which the compiler vectorizes.
bool holdsControlCharacter(std::string_view text, bool lineBreaks) {
    std::uint8_t bad = 0;
    for (const char c : text) {
        const auto code = static_cast<std::uint8_t>(c);
        const bool lineBreak = lineBreaks & ((code == '\n') | (code == '\r'));
        bad |=
            static_cast<std::uint8_t>((code < 0x20) & (code != '\t') & (code != '\f') & !lineBreak);
        bad |= static_cast<std::uint8_t>(code == 0x7F);
    }
    return bad != 0;
}

}  // namespace

void checkCharacters(std::string_view text) {
    if (!holdsControlCharacter(text, false)) return;
    for (const char c : text) {
        const auto code = static_cast<unsigned char>(c);
        if ((code < 0x20 && !isBlank(c)) || code == 0x7F)
            throw AsmError{"Invalid character $" + hexText(code, 2) + " in source line"};
    }
}

std::string_view fileArgument(std::string_view argument) {
    if (argument.front() == '"' || argument.front() == '\'') {
        const std::size_t close = argument.find(argument.front(), 1);
        if (close == std::string_view::npos) throw AsmError{"Unterminated string"};
        return argument.substr(1, close - 1);
    }
    return argument.substr(0, argument.find_first_of(" \t"));
}

namespace {

constexpr std::int32_t kMaxRepeat = 32767;

// The text a file's lines cover: the lines and the line ends between them.
std::string_view linesText(const SourceFile& file) {
    if (file.lines.empty()) return {};
    const char* begin = file.lines.front().data();
    const char* end = file.lines.back().data() + file.lines.back().size();
    return {begin, static_cast<std::size_t>(end - begin)};
}

}  // namespace

Assembler::Assembler(std::string_view fileName, std::string_view text, const AsmOptions& options)
    : options_(options), symbols_(options.caseSensitive) {
    main_.name = fileName;
    main_.text = text;
    main_.lines = splitSourceLines(main_.text);
    fileIndexes_[main_.name] = 0;
    searchDirs_.push_back(std::filesystem::path(fileName).parent_path().string());
    searchDirs_.insert(searchDirs_.end(), options.includeDirs.begin(), options.includeDirs.end());
}

AssemblyResult Assembler::run() {
    for (pass_ = 1; pass_ <= 2; ++pass_) {
        startPass();
        assembleLines();
        finishPass();
        if (pass_ == 1 && state_.result.errors > 0 && options_.pass1Stop) {
            state_.result.stoppedAfterPass1 = true;
            return std::move(state_.result);
        }
    }
    AssemblyResult& result = state_.result;
    std::erase_if(result.modules, [](const ModuleLines& m) { return m.lines.empty(); });
    for (const Symbol& symbol : symbols_.inOrder())
        if (symbol.known)
            result.symbols.push_back(
                {symbol.name, static_cast<std::uint16_t>(symbol.value & 0xFFFF)});
    return std::move(result);
}

void Assembler::startPass() {
    state_ = PassState{};
    state_.switches = {.spaces = options_.spaces,
                       .extra = options_.extraMnemonics,
                       .caseSensitive = options_.caseSensitive,
                       .list = true,
                       .map = true,
                       .relHint = options_.relHint,
                       .rtsHint = options_.rtsHint,
                       .warnings = true,
                       .macroList = true,
                       .tabSize = kDefaultTabSize,
                       .parameterSeparator = ',',
                       .macroMode = Switches::MacroMode::AtOnly,
                       .nestedCalls = false,
                       .spOffset = 0,
                       .stackMode = Switches::StackMode::Plain,
                       .spZeroBased = false,
                       .spCheck = 0,
                       .savedSp = 0,
                       .savedPc = 0};
    symbols_.setCaseSensitive(options_.caseSensitive);
    if (pass_ == 1) {
        memoryRanges_.clear();
        // Sequence number 0 stands for the command line, so that -D names count as defined
        // before the first line.
        records_.assign(1, LineRecord{});
    }
    state_.sequence = 1;
    current_ = 0;
    state_.result.readFiles.push_back(main_.name);
    sources_.clear();
    file_ = main_.name;
    lineFile_ = nullptr;
    line_ = 0;
    for (const auto& [name, value] : options_.defines) {
        const bool caseSensitive = std::exchange(state_.switches.caseSensitive, false);
        symbols_.setCaseSensitive(false);
        try {
            defineSymbol(upper(name), evaluate(value.empty() ? "0" : value), pass_ == 2);
        } catch (const AsmError& e) {
            error("-D" + name + ": " + e.text);
        }
        state_.switches.caseSensitive = caseSensitive;
        symbols_.setCaseSensitive(caseSensitive);
    }
    pushFile(main_, 0);
}

void Assembler::finishPass() {
    for (const ConditionStack::Block& block : state_.conditions.openBlocks()) {
        file_ = block.file;
        line_ = block.line;
        macroLine_ = 0;
        if (options_.listing) listed_ = listingEntryOf(file_, line_);
        error("#IF without #ENDIF");
        listed_.reset();
    }
    for (const std::vector<LineSource>& waiting : state_.suspended) {
        line_ = waiting.front().callLine;
        file_ = waiting.front().file->name;
        macroLine_ = 0;
        error("MSUSPEND without MRESUME in macro " + waiting.back().call->macro->name);
    }
    if (state_.recording) {
        file_ = state_.recording->file;
        line_ = state_.recording->line;
        macroLine_ = 0;
        error("MACRO " + state_.recording->name + " without ENDM");
    }
}

void Assembler::pushFile(const SourceFile& file, int depth) {
    const auto [index, added] =
        fileIndexes_.emplace(file.name, static_cast<int>(fileIndexes_.size()));
    static_cast<void>(added);
    LineSource source;
    source.file = &file;
    source.depth = depth;
    source.fileIndex = index->second;
    const auto [known, first] = checkedFiles_.try_emplace(&file, false);
    if (first) known->second = !holdsControlCharacter(linesText(file), true);
    source.checked = known->second;
    if (pass_ == 2) {
        const auto [module, newModule] =
            state_.moduleIndex.emplace(file.name, state_.result.modules.size());
        if (newModule) state_.result.modules.push_back({file.name, {}});
        source.module = module->second;
    }
    sources_.push_back(std::move(source));
}

// Names the file of the next line: compared by address, not by name, on every line.
void Assembler::enterFile(const LineSource& source) {
    module_ = source.module;
    if (lineFile_ == source.file) return;
    lineFile_ = source.file;
    file_ = source.file->name;
}

void Assembler::assembleLines() {
    while (!sources_.empty() && !state_.ended) {
        LineSource& top = sources_.back();
        if (top.call) {
            if (top.call->next >= top.call->macro->body.size()) {
                endMacro();
                continue;
            }
            enterFile(top);
            line_ = top.callLine;
            if (++state_.expandedLines > kMaxExpandedLines) {
                macroLine_ = 0;
                error("Macro expansions exceed " + std::to_string(kMaxExpandedLines) +
                      " lines: a macro that never ends?");
                state_.ended = true;
                break;
            }
            std::string line;
            try {
                line = nextExpansionLine(top);
            } catch (const AsmError& e) {
                // A placeholder that cannot be expanded costs the line, not the assembly.
                error(e.text);
                continue;
            }
            lineChecked_ = false;
            processLine(line);
            continue;
        }
        if (top.next >= top.file->lines.size()) {
            sources_.pop_back();
            continue;
        }
        enterFile(top);
        line_ = static_cast<int>(++top.next);
        macroLine_ = 0;
        lineChecked_ = top.checked;
        processLine(top.file->lines[top.next - 1]);
    }
}

LineSource* Assembler::fileSource() {
    for (auto it = sources_.rbegin(); it != sources_.rend(); ++it)
        if (!it->call) return &*it;
    return nullptr;
}

bool Assembler::inMacro() const {
    return !sources_.empty() && sources_.back().call != nullptr;
}

ConditionStack& Assembler::conditions() {
    return inMacro() ? sources_.back().call->conditions : state_.conditions;
}

void Assembler::report(Message::Kind kind, std::string text) {
    if (kind == Message::Kind::Warning) {
        if (!options_.warnings || !state_.switches.warnings) return;
        ++state_.result.warnings;
    } else if (kind == Message::Kind::Error) {
        if (state_.result.errors >= kMaxErrors) return;
        if (++state_.result.errors == kMaxErrors) {
            // Past this many the messages only repeat themselves, slowly.
            state_.ended = true;
            text += "; too many errors, the assembly stops here";
        }
    }
    if (macroLine_ > 0 && kind != Message::Kind::Note && inMacro()) {
        const Macro& macro = *sources_.back().call->macro;
        text += " (in macro " + macro.name + " at " + macro.file + " line " +
                std::to_string(macro.line + macroLine_) + ")";
    }
    state_.result.messages.push_back({kind, file_, line_, std::move(text)});
    if (listed_ && kind != Message::Kind::Note)
        state_.result.listing[*listed_].messages.push_back(state_.result.messages.back());
}

std::size_t Assembler::listingEntryOf(const std::string& file, int line) {
    std::vector<ListedLine>& listing = state_.result.listing;
    for (std::size_t i = listing.size(); i-- > 0;)
        if (listing[i].line == line && listing[i].file == file && listing[i].macroLine == 0)
            return i;
    const auto include = includes_.find(file);
    const SourceFile& source = include == includes_.end() ? main_ : *include->second;
    const auto index = static_cast<std::size_t>(line - 1);
    const std::string text = index < source.lines.size()
                                 ? expandTabs(source.lines[index], state_.switches.tabSize)
                                 : std::string();
    listing.push_back({file, line, state_.location, {}, text, {}});
    return listing.size() - 1;
}

void Assembler::showInListing(std::int32_t value) {
    if (listed_) state_.result.listing[*listed_].shownValue = value;
}

void Assembler::processLine(std::string_view text) {
    const std::size_t sequence = state_.sequence++;
    current_ = sequence;
    if (pass_ == 1) records_.emplace_back();
    lineStart_ = state_.location;
    const bool listingWasOn =
        state_.switches.list && (macroLine_ == 0 || state_.switches.macroList);
    listed_.reset();
    // Both passes list: pass 1's listing is the one written when the assembly stops after it.
    if (options_.listing) {
        listed_ = state_.result.listing.size();
        state_.result.listing.push_back({file_,
                                         line_,
                                         state_.location,
                                         {},
                                         expandTabs(text, state_.switches.tabSize),
                                         {},
                                         false,
                                         macroLine_});
    }
    try {
        dispatch(text);
    } catch (const AsmError& e) {
        error(e.text);
        if (pass_ == 2 && sequence < records_.size())
            state_.location = records_[sequence].locationAfter;
    }
    if (pass_ == 1 && sequence < records_.size())
        records_[sequence].locationAfter = state_.location;
    if (listed_) dropUnlistedLine(*listed_, listingWasOn);
    listed_.reset();
}

void Assembler::dropUnlistedLine(std::size_t index, bool listingWasOn) {
    std::vector<ListedLine>& listing = state_.result.listing;
    const bool listOn = state_.switches.list && (macroLine_ == 0 || state_.switches.macroList);
    if (listingWasOn || listOn || !listing[index].messages.empty()) return;
    listing.erase(listing.begin() + static_cast<std::ptrdiff_t>(index));
}

void Assembler::dispatch(std::string_view text) {
    if (state_.recording) return recordLine(text);
    std::size_t first = 0;
    while (first < text.size() && isBlank(text[first])) ++first;
    if (first + 1 < text.size() && (text[first] == '#' || text[first] == '$')) {
        const char next = text[first + 1];
        if (std::isalpha(static_cast<unsigned char>(next)) || next == '!' || next == '@')
            return directive(text.substr(first));
    }
    if (!conditions().skipping()) statement(text);
}

namespace {

// A line's fields once the forms ASM11 adds are taken apart: an indented label ending in
// ':' and a macro call starting in column 1.
SourceLine fieldsOf(std::string_view text) {
    const auto operationAndRest = [](std::string_view from, SourceLine& line) {
        std::size_t end = 0;
        while (end < from.size() && !isBlank(from[end]) && from[end] != ';') ++end;
        line.mnemonic = from.substr(0, end);
        while (end < from.size() && isBlank(from[end])) ++end;
        line.rest = from.substr(end);
    };
    SourceLine line;
    if (!text.empty() && (text[0] == '@' || text[0] == '%')) {
        operationAndRest(text, line);
        return line;
    }
    line = splitLine(text);
    const std::string_view word = line.mnemonic;
    if (line.label.empty() && word.size() > 1 && word.back() == ':' &&
        word.find(':') == word.size() - 1 && isSymbolStart(word[0])) {
        line.label = word.substr(0, word.size() - 1);
        if (!line.rest.empty() && line.rest[0] == ';') {
            line.mnemonic = {};
            line.rest = {};
        } else {
            operationAndRest(line.rest, line);
        }
    }
    return line;
}

}  // namespace

void Assembler::statement(std::string_view text) {
    if (!lineChecked_) checkCharacters(text);
    const SourceLine line = fieldsOf(text);
    std::string_view operation = line.mnemonic;
    if (operation.empty()) {
        if (!line.label.empty()) defineSymbol(line.label, Value{state_.location, true}, false);
        return;
    }
    if (operation[0] == '@' || operation[0] == '%') {
        std::string_view rest = line.rest;
        // "@name,;" asks for ';' as the call's separator: that ';' starts no comment.
        if (operation.back() == ',' && rest.starts_with(';') &&
            rest.data() == operation.data() + operation.size()) {
            operation = std::string_view(operation.data(), operation.size() + 1);
            rest.remove_prefix(1);
            while (!rest.empty() && isBlank(rest.front())) rest.remove_prefix(1);
        }
        Statement call{line.label, operation, rest};
        macroCall(call, true);
        return;
    }
    bool forceReal = false;
    if (operation[0] == '!' && operation.size() > 1) {
        forceReal = true;
        operation.remove_prefix(1);
    }
    std::int32_t repeat = 1;
    if (const std::size_t colon = operation.find(':'); colon != std::string_view::npos) {
        const std::string_view count = operation.substr(colon + 1);
        operation = operation.substr(0, colon);
        const Value value = evaluate(count);
        if (!value.known) throw AsmError{"Repeater value needs a value defined before this line"};
        if (value.number < 1 || value.number > kMaxRepeat)
            throw AsmError{"Repeater value out of range (1-32767): " +
                           std::to_string(value.number)};
        repeat = value.number;
    }
    const UpperName name(operation);
    const Statement s{line.label, name.view(), line.rest};
    const Switches::MacroMode mode = state_.switches.macroMode;
    const bool macrosFirst =
        !forceReal && (mode == Switches::MacroMode::MacrosAlwaysFirst ||
                       (mode == Switches::MacroMode::MacrosFirst && !inMacro()));
    if (macrosFirst && repeat == 1 && macroCall(s, false)) return;
    const Mnemonic mnemonic = findMnemonic(s.name);
    const Operation* op = mnemonic.operation;
    if (op && (op->flags & kMacroOnly) && !inMacro())
        throw AsmError{std::string(s.name) + " outside a macro"};
    if (!op && !forceReal && mode != Switches::MacroMode::AtOnly && !mnemonic.forms &&
        !(state_.switches.extra && extraMnemonic(s.name)) && repeat == 1 && macroCall(s, false))
        return;
    for (std::int32_t i = 0; i < repeat; ++i) {
        const bool withLabel = i == 0;
        // Only a repeat needs a Statement without the label: no copy of the name otherwise.
        if (op)
            runStatement(s, op, withLabel);
        else if (withLabel)
            instruction(s, mnemonic.forms, forceReal);
        else
            instruction(Statement{{}, s.name, s.rest}, mnemonic.forms, forceReal);
        lineStart_ = state_.location;
    }
}

void Assembler::runStatement(const Statement& s, const Operation* op, bool withLabel) {
    const bool label = withLabel && !s.label.empty();
    // A directive written after a label ("Done #ENDP") still gives the label its address.
    const bool atLocation =
        op->labelRule == LabelRule::AtLocation || op->labelRule == LabelRule::None;
    if (atLocation && label) defineSymbol(s.label, Value{state_.location, true}, false);
    if (!withLabel && op->labelRule == LabelRule::Value)
        throw AsmError{std::string(s.name) + " repeated: only its first time has the label"};
    (this->*(op->handler))(s);
    if (op->labelRule == LabelRule::AfterStatement && label)
        defineSymbol(s.label, Value{state_.location, true}, false);
}

std::string_view Assembler::operand(std::string_view rest) const {
    return operandField(rest, state_.switches.spaces);
}

AssemblyResult assemble(std::string_view fileName, std::string_view text,
                        const AsmOptions& options) {
    return Assembler(fileName, text, options).run();
}

}  // namespace tarnwick::asm11
