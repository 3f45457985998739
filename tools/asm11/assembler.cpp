#include "asm11/assembler.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "asm11/asm_error.h"
#include "asm11/assembler_core.h"
#include "asm11/source_line.h"
#include "core/instruction_set.h"
#include "core/number_text.h"

namespace tarnwick::asm11 {

std::string messageLine(const Message& message, bool alternative) {
    if (message.kind == Message::Kind::Note) return message.text;
    if (alternative)
        return message.file + ":" + std::to_string(message.line) +
               (message.kind == Message::Kind::Error ? ": error: " : ": warning: ") + message.text;
    return std::string(message.kind == Message::Kind::Error ? "ERR* " : "WRN ") + message.file +
           " [" + std::to_string(message.line) + "] " + message.text;
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

constexpr std::uint8_t kSwiOpcode = 0x3F;
constexpr std::size_t kBranchSize = 2;
constexpr std::uint8_t kJmpExtended = 0x7E;
constexpr std::uint8_t kJsrExtended = 0xBD;
constexpr std::uint8_t kJsrDirect = 0x9D;
constexpr std::int32_t kMaxRepeat = 32767;

// The part of an extra mnemonic's operand a step takes: "@" all of it, "@<" what stands
// before its last comma and "@>" what follows it (CBEQA #5,LOOP compares with #5 and
// branches to LOOP).
std::string_view operandPart(std::string_view text, std::string_view part) {
    if (part == "@") return text;
    std::size_t comma = std::string_view::npos;
    for (std::size_t i = 0; i < text.size(); i = skipConstant(text, i))
        if (text[i] == ',') comma = i;
    if (comma == std::string_view::npos) throw AsmError{"Missing ,target in " + std::string(text)};
    return part == "@<" ? text.substr(0, comma) : text.substr(comma + 1);
}

// The E cycles of one encoded instruction, found by its prefix and opcode.
int cyclesOf(std::span<const std::uint8_t> bytes) {
    // Indexed by Page itself, whose values start at 1.
    constexpr std::size_t kPages = static_cast<std::size_t>(Page::PrefixCD) + 1;
    static const std::array<std::array<std::uint8_t, 256>, kPages> table = [] {
        std::array<std::array<std::uint8_t, 256>, kPages> built{};
        for (const InstructionForm& form : kInstructionSet)
            built[static_cast<std::size_t>(form.page)][form.opcode] = form.cycles;
        return built;
    }();
    if (bytes.empty()) return 0;
    Page page = Page::Base;
    std::size_t at = 0;
    if (bytes.size() > 1 && bytes[0] == kPrefix18) page = Page::Prefix18, at = 1;
    if (bytes.size() > 1 && bytes[0] == kPrefix1A) page = Page::Prefix1A, at = 1;
    if (bytes.size() > 1 && bytes[0] == kPrefixCD) page = Page::PrefixCD, at = 1;
    return table[static_cast<std::size_t>(page)][bytes[at]];
}

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
        if (pass_ == 2 && options_.listing) listed_ = listingEntryOf(file_, line_);
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

void Assembler::processLine(std::string_view text) {
    const std::size_t sequence = state_.sequence++;
    current_ = sequence;
    if (pass_ == 1) records_.emplace_back();
    lineStart_ = state_.location;
    const bool listingWasOn =
        state_.switches.list && (macroLine_ == 0 || state_.switches.macroList);
    listed_.reset();
    if (pass_ == 2 && options_.listing) {
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

void Assembler::instruction(const Statement& s, const Forms* forms, bool forceReal) {
    if (!s.label.empty()) defineSymbol(s.label, Value{state_.location, true}, false);
    if (!forms && !forceReal && state_.switches.extra) {
        if (const ExtraMnemonic* expansion = extraMnemonic(s.name))
            return extraStatement(s.name, *expansion, s.rest);
    }
    if (!forms) throw AsmError{"Unknown instruction: " + std::string(s.name)};
    const InstructionBytes bytes = encodeOperand(*forms, s.rest);
    const bool followsCall = state_.afterCall;
    emit(bytes);
    countCycles(bytes);
    trackStack(s.name);
    if (pass_ == 2) hints(s.name, bytes, followsCall && s.label.empty());
    state_.afterCall = s.name == "JSR" || s.name == "BSR";
    if (s.name == "RTS") state_.lastRts = lineStart_;
}

void Assembler::countCycles(std::span<const std::uint8_t> bytes) {
    state_.cycles += cyclesOf(bytes);
}

// #SPAUTO follows the stack through the pushes and pulls.
void Assembler::trackStack(std::string_view mnemonic) {
    if (state_.switches.stackMode != Switches::StackMode::Auto) return;
    static const std::unordered_map<std::string, int> changes = {
        {"PSHA", 1},  {"PSHB", 1},  {"PSHX", 2},  {"PSHY", 2},  {"DES", 1},
        {"PULA", -1}, {"PULB", -1}, {"PULX", -2}, {"PULY", -2}, {"INS", -1},
        {"PSHD", 2},  {"PULD", -2}, {"PUSH", 6},  {"PULL", -6}};
    const auto it = changes.find(std::string(mnemonic));
    if (it == changes.end()) return;
    state_.switches.spOffset += it->second;
    state_.spMax = std::max(state_.spMax, state_.switches.spOffset - state_.switches.spCheck);
    if (state_.spLimit >= 0 && state_.switches.spOffset - state_.switches.spCheck > state_.spLimit)
        warning("Stack depth " +
                std::to_string(state_.switches.spOffset - state_.switches.spCheck) +
                " exceeds the #SPAUTO limit " + std::to_string(state_.spLimit));
}

// -REL: a JMP or JSR whose target a BRA or BSR here would reach. -RTS: an RTS right after a
// call, where the call could jump instead (not when a label makes the RTS a target of its own).
void Assembler::hints(std::string_view mnemonic, std::span<const std::uint8_t> bytes,
                      bool followsCall) {
    if (state_.switches.rtsHint && mnemonic == "RTS" && followsCall)
        warning("RTS after a call: the call could be a JMP or BRA");
    if (!state_.switches.relHint || (mnemonic != "JMP" && mnemonic != "JSR")) return;
    std::int32_t target = -1;
    if (bytes.size() == 3 && (bytes[0] == kJmpExtended || bytes[0] == kJsrExtended))
        target = bytes[1] << 8 | bytes[2];
    else if (bytes.size() == 2 && bytes[0] == kJsrDirect)
        target = bytes[1];
    const std::int32_t offset = target - (lineStart_ + static_cast<std::int32_t>(kBranchSize));
    if (target >= 0 && offset >= -128 && offset <= 127)
        warning(std::string(mnemonic) + " to " + hexAddress(target) + " could be " +
                (mnemonic == "JMP" ? "BRA" : "BSR"));
}

// The line's own operand: pass 2 repeats pass 1's choice between direct and extended.
InstructionBytes Assembler::encodeOperand(const Forms& forms, std::string_view rest,
                                          std::optional<std::int32_t> address) {
    std::optional<bool> direct;
    if (pass_ == 2 && current_ < records_.size()) direct = records_[current_].direct;
    Encoding encoding = encodeInstruction(
        {forms, rest, state_.switches.spaces, expressionContext(), direct, address});
    if (pass_ == 1 && current_ < records_.size()) records_[current_].direct = encoding.direct;
    return encoding.bytes;
}

// An operand of an expansion, "*" being the step's own address.
InstructionBytes Assembler::encodeFixed(std::string_view mnemonic, std::string_view operand,
                                        std::int32_t address) {
    ExpressionContext context = expressionContext();
    context.location = address;
    return encodeInstruction({*instructionForms(mnemonic), operand, false, context, {}}).bytes;
}

// A step of an extra mnemonic that does not take the line's operand: the table gives it
// none or a constant ("CLRA", "LDX #0"), so it encodes alike everywhere and is encoded once.
const InstructionBytes& Assembler::fixedStep(const ExtraStep& step) {
    if (const auto known = fixedSteps_.find(&step); known != fixedSteps_.end())
        return known->second;
    return fixedSteps_.emplace(&step, encodeFixed(step.mnemonic, step.operand, lineStart_))
        .first->second;
}

void Assembler::extraStatement(std::string_view mnemonic, const ExtraMnemonic& expansion,
                               std::string_view rest) {
    if (expansion.kind == ExtraKind::Undefined)
        throw AsmError{"Extra mnemonic " + std::string(mnemonic) + " has no defined expansion"};
    bool takesOperand = expansion.kind != ExtraKind::Steps;
    for (const ExtraStep& step : expansion.steps) takesOperand |= step.operand.starts_with('@');
    if (takesOperand && operand(rest).empty())
        throw AsmError{"Missing operand for " + std::string(mnemonic)};
    std::vector<std::uint8_t> bytes;
    const auto append = [this, &bytes](const InstructionBytes& more) {
        countCycles(more);
        bytes.insert(bytes.end(), more.begin(), more.end());
    };
    switch (expansion.kind) {
        case ExtraKind::Undefined:
            break;
        case ExtraKind::SwiByte:
            bytes = {kSwiOpcode, byteValue(operand(rest))};
            break;
        case ExtraKind::SwiWord: {
            const std::uint16_t word = wordValue(operand(rest));
            bytes = {kSwiOpcode, static_cast<std::uint8_t>(word >> 8),
                     static_cast<std::uint8_t>(word)};
            break;
        }
        case ExtraKind::OverJump: {
            // The JMP's size decides the skip: 2 bytes indexed, 3 extended.
            const InstructionBytes jump = encodeOperand(*instructionForms("JMP"), rest);
            const std::string skip = "*+" + std::to_string(kBranchSize + jump.size());
            append(encodeFixed(expansion.steps[0].mnemonic, skip, lineStart_));
            append(jump);
            break;
        }
        case ExtraKind::Steps:
            for (const ExtraStep& step : expansion.steps) {
                const std::int32_t address = lineStart_ + static_cast<std::int32_t>(bytes.size());
                if (step.operand.starts_with('@'))
                    append(encodeOperand(*instructionForms(step.mnemonic),
                                         operandPart(operand(rest), step.operand), address));
                else
                    append(fixedStep(step));
            }
            break;
    }
    emit(bytes);
    trackStack(mnemonic);
}

void Assembler::emit(std::span<const std::uint8_t> bytes) {
    state_.afterCall = false;
    const std::int64_t location = state_.location;
    const std::int64_t where = location + state_.s19Offset;
    const auto size = static_cast<std::int64_t>(bytes.size());
    if (location + size > kAddressLimit) throw AsmError{"Code runs past $FFFF"};
    if (where < 0 || where + size > kAddressLimit)
        throw AsmError{"ORG offset puts code outside $0000-$FFFF"};
    if (pass_ == 2 && !bytes.empty()) {
        AssemblyResult& result = state_.result;
        bool overlap = false;
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            const auto address = static_cast<std::size_t>(where) + i;
            overlap = overlap || result.image.used[address];
            result.image.bytes[address] = bytes[i];
            result.image.used[address] = 1;
            if (bytes[i] != 0) {
                const auto sum = static_cast<std::uint16_t>(address * bytes[i]);
                state_.s19Crc = static_cast<std::uint16_t>(state_.s19Crc + sum);
                if (bytes[i] != 0xFF) state_.crc = static_cast<std::uint16_t>(state_.crc + sum);
            }
        }
        result.byteCount += bytes.size();
        recordLine();
        if (listed_) {
            std::vector<std::uint8_t>& listedBytes = result.listing[*listed_].bytes;
            listedBytes.insert(listedBytes.end(), bytes.begin(), bytes.end());
        }
        if (options_.map && state_.switches.map)
            result.map.push_back({static_cast<std::uint16_t>(where), file_, line_});
        if (overlap && options_.overlapCheck)
            error("Code overlaps earlier code at " + hexAddress(where));
        for (std::int64_t i = 0; options_.overlapCheck && i < size; ++i) {
            if (!inMemoryRanges(static_cast<std::int32_t>(where + i))) {
                error("Code at " + hexAddress(where + i) + " is outside the #MEMORY ranges");
                break;
            }
        }
    }
    state_.location += static_cast<std::int32_t>(size);
}

void Assembler::recordLine() {
    state_.result.modules[module_].lines.emplace_back(static_cast<std::uint16_t>(state_.location),
                                                      line_);
}

void Assembler::reserve(std::int64_t count) {
    if (count < 0) throw AsmError{"Negative count: " + std::to_string(count)};
    if (state_.location + count > kAddressLimit) throw AsmError{"Code runs past $FFFF"};
    state_.location += static_cast<std::int32_t>(count);
}

bool Assembler::inMemoryRanges(std::int32_t address) const {
    for (const auto& [start, end] : memoryRanges_)
        if (address >= start && address <= end) return true;
    return memoryRanges_.empty();
}

void Assembler::switchSegment(std::size_t segment) {
    state_.segmentLocations[state_.segment] = state_.location;
    state_.segment = segment;
    state_.location = state_.segmentLocations[segment];
}

std::string_view Assembler::operand(std::string_view rest) const {
    return operandField(rest, state_.switches.spaces);
}

Value Assembler::symbolValue(std::string_view name) {
    const Symbol* symbol = findSymbol(name);
    if (backwardOnly_) {
        if (symbol && symbol->known && symbol->definedAt < current_) return {symbol->value, true};
        return {0, false};
    }
    if (symbol && symbol->known) return {symbol->value, true};
    if (pass_ == 1) return {0, false};
    throw AsmError{"Undefined symbol: " + std::string(name)};
}

const ExpressionContext& Assembler::expressionContext() {
    context_.location = lineStart_;
    return context_;
}

Value Assembler::evaluate(std::string_view text) {
    if (text.empty()) throw AsmError{"Missing operand"};
    return evaluateExpression(text, expressionContext());
}

// A value that must be known in pass 1 because it moves the location counter.
std::int32_t Assembler::evaluateNow(std::string_view text, std::string_view what) {
    const Value value = evaluate(text);
    if (!value.known) throw AsmError{std::string(what) + " needs a value defined before this line"};
    return value.number;
}

// A count or address that moves the location counter: 32-bit values are taken as they are
// written, so $FFFFFFFF is never -1 bytes.
std::int64_t Assembler::evaluateCount(std::string_view text, std::string_view what) {
    return static_cast<std::int64_t>(evaluateNow(text, what));
}

// "{expr}" in a text becomes the expression's value, with an optional format after it in
// parentheses: (D) decimal, (H) hex, (S) signed 16-bit, (X) both, (1)-(9) decimal places,
// (Fn) and (Zn) filled to n digits with blanks or zeros. In a directive's text an
// expression that cannot be evaluated shows as ???; elsewhere it is an error.
std::string Assembler::formatEmbedded(std::string_view text, bool inDirective) {
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t open = text.find('{', i);
        if (open == std::string_view::npos) break;
        std::size_t close = open + 1;
        for (int depth = 1; close < text.size(); ++close) {
            if (text[close] == '{') ++depth;
            if (text[close] == '}' && --depth == 0) break;
        }
        if (close >= text.size()) break;
        out.append(text.substr(i, open - i));
        std::string_view inner = text.substr(open + 1, close - open - 1);
        std::string format = "D";
        if (!inner.empty() && inner.back() == ')') {
            const std::size_t paren = inner.rfind('(');
            if (paren != std::string_view::npos && paren + 2 <= inner.size() - 1 &&
                inner.size() - paren <= 5) {
                format = upper(inner.substr(paren + 1, inner.size() - paren - 2));
                inner = inner.substr(0, paren);
            }
        }
        std::string value;
        try {
            const Value v = evaluate(inner);
            if (!v.known) throw AsmError{"Undefined symbol in {" + std::string(inner) + "}"};
            const std::int32_t n = v.number;
            const auto u = static_cast<std::uint32_t>(n);
            if (format == "H") {
                value = "$" + hexText(u, u > 0xFFFF ? 8 : u > 0xFF ? 4 : 2);
            } else if (format == "S") {
                value = std::to_string(u <= 0xFFFF ? static_cast<std::int16_t>(u) : n);
            } else if (format == "X") {
                value = std::to_string(n) + " [$" + hexText(u, u > 0xFFFF ? 8 : 4) + "]";
            } else if (format.size() == 1 && format[0] >= '1' && format[0] <= '9') {
                std::string digits = std::to_string(n < 0 ? -static_cast<std::int64_t>(n) : n);
                const auto places = static_cast<std::size_t>(format[0] - '0');
                if (digits.size() <= places) digits.insert(0, places + 1 - digits.size(), '0');
                value = (n < 0 ? "-" : "") + digits.substr(0, digits.size() - places) + "." +
                        digits.substr(digits.size() - places);
            } else if (!format.empty() && (format[0] == 'F' || format[0] == 'Z')) {
                std::size_t width = 2;
                if (format.size() > 1) width = format[1] == '0' ? 10 : format[1] - '0';
                value = std::to_string(n);
                if (value.size() < width)
                    value.insert(0, width - value.size(), format[0] == 'F' ? ' ' : '0');
            } else {
                value = std::to_string(n);
            }
        } catch (const AsmError&) {
            if (!inDirective) throw;
            value = "???";
        }
        out += value;
        i = close + 1;
    }
    out.append(text.substr(std::min(i, text.size())));
    return out;
}

AssemblyResult assemble(std::string_view fileName, std::string_view text,
                        const AsmOptions& options) {
    return Assembler(fileName, text, options).run();
}

}  // namespace tarnwick::asm11
