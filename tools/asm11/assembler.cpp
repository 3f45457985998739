#include "asm11/assembler.h"

#include <array>
#include <cctype>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <unordered_map>
#include <utility>

#include "asm11/asm_error.h"
#include "asm11/conditions.h"
#include "asm11/expression.h"
#include "asm11/extra_mnemonics.h"
#include "asm11/instruction_encoder.h"
#include "asm11/source_files.h"
#include "asm11/source_line.h"
#include "asm11/symbol_table.h"
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

namespace {

constexpr std::int32_t kAddressLimit = 0x10000;
constexpr std::uint8_t kSwiOpcode = 0x3F;
constexpr std::size_t kBranchSize = 2;
constexpr std::uint8_t kJmpExtended = 0x7E;
constexpr std::uint8_t kJsrExtended = 0xBD;
constexpr std::uint8_t kJsrDirect = 0x9D;

std::string upper(std::string_view text) {
    std::string result(text);
    for (char& c : result) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return result;
}

std::string hexAddress(std::int32_t value) {
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

// Items of a comma-separated list, commas inside constants left alone.
std::vector<std::string_view> splitList(std::string_view text) {
    std::vector<std::string_view> items;
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

class Assembler {
  public:
    Assembler(std::string_view fileName, std::string_view text, const AsmOptions& options)
        : options_(options), symbols_(options.caseSensitive) {
        main_.name = fileName;
        main_.text = text;
        main_.lines = splitSourceLines(main_.text);
        searchDirs_.push_back(std::filesystem::path(fileName).parent_path().string());
        searchDirs_.insert(searchDirs_.end(), options.includeDirs.begin(),
                           options.includeDirs.end());
    }

    AssemblyResult run() {
        for (pass_ = 1; pass_ <= 2; ++pass_) {
            result_ = AssemblyResult{};
            moduleIndex_.clear();
            conditions_.clear();
            location_ = 0;
            sequence_ = 0;
            ended_ = false;
            switches_ = {.spaces = options_.spaces,
                         .extra = options_.extraMnemonics,
                         .caseSensitive = options_.caseSensitive,
                         .list = true,
                         .map = true,
                         .relHint = options_.relHint,
                         .rtsHint = options_.rtsHint,
                         .tabSize = kDefaultTabSize};
            symbols_.setCaseSensitive(switches_.caseSensitive);
            segmentLocations_.fill(0);
            segment_ = 0;
            pushed_.clear();
            afterCall_ = false;
            if (pass_ == 1) memoryRanges_.clear();
            processFile(main_, 0);
            for (const ConditionStack::Block& block : conditions_.openBlocks()) {
                file_ = block.file;
                line_ = block.line;
                if (pass_ == 2 && options_.listing) listed_ = listingEntryOf(file_, line_);
                error("#IF without #ENDIF");
                listed_.reset();
            }
            if (pass_ == 1 && result_.errors > 0 && options_.pass1Stop) {
                result_.stoppedAfterPass1 = true;
                return std::move(result_);
            }
        }
        std::erase_if(result_.modules, [](const ModuleLines& m) { return m.lines.empty(); });
        for (const Symbol& symbol : symbols_.inOrder())
            if (symbol.known)
                result_.symbols.push_back(
                    {symbol.name, static_cast<std::uint16_t>(symbol.value & 0xFFFF)});
        return std::move(result_);
    }

  private:
    // What pass 1 learnt about a line, for pass 2 to keep every size unchanged.
    struct LineRecord {
        std::int32_t locationAfter = 0;
        bool direct = false;
    };

    enum class LabelRule { AtLocation, AfterStatement, Value };

    struct PseudoOp {
        void (Assembler::*handler)(std::string_view label, std::string_view rest);
        LabelRule labelRule;
    };

    static constexpr int kMaxIncludeDepth = 16;
    static constexpr int kDefaultTabSize = 8;
    static constexpr int kMaxTabSize = 32;
    static constexpr std::array<std::string_view, 14> kSegments = {
        "ROM",  "RAM",  "DATA", "VECTORS", "SEG0", "SEG1", "SEG2",
        "SEG3", "SEG4", "SEG5", "SEG6",    "SEG7", "SEG8", "SEG9"};

    // What the directives switch on and off, all saved by #PUSH and restored by #PULL.
    struct Switches {
        bool spaces;         // #SPACESON
        bool extra;          // #EXTRAON
        bool caseSensitive;  // #CASEON
        bool list;           // #LISTON
        bool map;            // #MAPON
        bool relHint;        // #OPTRELON
        bool rtsHint;        // #OPTRTSON
        int tabSize;         // #TABSIZE
    };

    struct PushedSettings {
        Switches switches;
        std::size_t segment;
    };

    const AsmOptions& options_;
    SourceFile main_;
    std::map<std::string, std::unique_ptr<SourceFile>> includes_;  // by path, both passes
    std::vector<std::string> searchDirs_;  // after the including file's own directory
    SymbolTable symbols_;
    std::vector<LineRecord> records_;
    AssemblyResult result_;
    ConditionStack conditions_;
    int pass_ = 1;
    std::string file_;  // the file being assembled, as messages name it
    int depth_ = 0;     // 0 in the main file
    int line_ = 0;
    std::size_t sequence_ = 0;
    std::size_t current_ = 0;  // sequence number of the line being assembled
    std::int32_t location_ = 0;
    std::int32_t lineStart_ = 0;
    bool ended_ = false;
    Switches switches_{};
    std::array<std::int32_t, kSegments.size()> segmentLocations_{};
    std::size_t segment_ = 0;  // index into kSegments; location_ is its counter
    std::vector<PushedSettings> pushed_;
    bool afterCall_ = false;  // the last instruction was a JSR or BSR
    // The listing's entry for the line being assembled, with -L+ in pass 2; a line that is
    // not to be listed has one too until it ends, for the messages it may bring.
    std::optional<std::size_t> listed_;
    std::vector<std::pair<std::int32_t, std::int32_t>> memoryRanges_;  // first, last address
    std::unordered_map<std::string, std::size_t> moduleIndex_;

    void report(Message::Kind kind, std::string text) {
        if (kind == Message::Kind::Warning) {
            if (!options_.warnings) return;
            ++result_.warnings;
        } else if (kind == Message::Kind::Error) {
            ++result_.errors;
        }
        result_.messages.push_back({kind, file_, line_, std::move(text)});
        if (listed_ && kind != Message::Kind::Note)
            result_.listing[*listed_].messages.push_back(result_.messages.back());
    }

    void error(std::string text) { report(Message::Kind::Error, std::move(text)); }

    void processFile(const SourceFile& file, int depth) {
        const std::string outerFile = std::exchange(file_, file.name);
        const int outerDepth = std::exchange(depth_, depth);
        const int outerLine = line_;
        const std::optional<std::size_t> outerListed = listed_;
        if (pass_ == 2 && moduleIndex_.emplace(file_, result_.modules.size()).second)
            result_.modules.push_back({file_, {}});
        for (std::size_t i = 0; i < file.lines.size() && !ended_; ++i)
            processLine(static_cast<int>(i + 1), file.lines[i]);
        file_ = outerFile;
        depth_ = outerDepth;
        line_ = outerLine;
        listed_ = outerListed;
    }

    // The listing's last entry for a line assembled earlier; one is added at the end when the
    // line was not listed.
    std::size_t listingEntryOf(const std::string& file, int line) {
        for (std::size_t i = result_.listing.size(); i-- > 0;)
            if (result_.listing[i].line == line && result_.listing[i].file == file) return i;
        const auto include = includes_.find(file);
        const SourceFile& source = include == includes_.end() ? main_ : *include->second;
        const auto index = static_cast<std::size_t>(line - 1);
        const std::string text = index < source.lines.size()
                                     ? expandTabs(source.lines[index], switches_.tabSize)
                                     : std::string();
        result_.listing.push_back({file, line, location_, {}, text, {}});
        return result_.listing.size() - 1;
    }

    void processLine(int number, std::string_view text) {
        line_ = number;
        const std::size_t sequence = sequence_++;
        current_ = sequence;
        if (pass_ == 1) records_.emplace_back();
        lineStart_ = location_;
        const bool listingWasOn = switches_.list;
        listed_.reset();
        if (pass_ == 2 && options_.listing) {
            listed_ = result_.listing.size();
            result_.listing.push_back(
                {file_, number, location_, {}, expandTabs(text, switches_.tabSize), {}});
        }
        try {
            if (!text.empty() && (text[0] == '#' || text[0] == '$'))
                directive(text);
            else if (!conditions_.skipping())
                statement(text);
        } catch (const AsmError& e) {
            error(e.text);
            if (pass_ == 2 && sequence < records_.size())
                location_ = records_[sequence].locationAfter;
        }
        if (pass_ == 1) records_[sequence].locationAfter = location_;
        if (listed_) dropUnlistedLine(*listed_, listingWasOn);
        listed_.reset();
    }

    // A line stays in the listing while the listing is on, when it turned the listing on
    // (#LISTON) and when it brought an error or a warning.
    void dropUnlistedLine(std::size_t index, bool listingWasOn) {
        const ListedLine& line = result_.listing[index];
        if (listingWasOn || switches_.list || !line.messages.empty()) return;
        result_.listing.erase(result_.listing.begin() + static_cast<std::ptrdiff_t>(index));
    }

    // "#NAME argument" (or "$NAME") in column 1. Conditionals are followed inside skipped
    // blocks too, to keep their nesting.
    void directive(std::string_view text) {
        const bool skipping = conditions_.skipping();
        if (!skipping) checkCharacters(text);
        std::size_t end = 1;
        while (end < text.size() && !isBlank(text[end]) && text[end] != ';') ++end;
        const std::string name = upper(text.substr(1, end - 1));
        std::string_view argument = text.substr(end);
        argument = trim(argument.substr(0, argument.find(';')));
        if (name == "ELSE") return conditions_.otherwise();
        if (name == "ENDIF") return conditions_.close();
        if (isConditional(name)) {
            if (skipping) return conditions_.open(false, file_, line_);
            bool value = false;
            try {
                value = condition(name, argument);
            } catch (const AsmError&) {
                conditions_.open(false, file_, line_);
                throw;
            }
            return conditions_.open(value, file_, line_);
        }
        if (skipping) return;
        const std::string message(argument);
        if (name == "INCLUDE") return include(argument);
        if (name == "MESSAGE") return report(Message::Kind::Note, message);
        if (name == "WARNING") return report(Message::Kind::Warning, message);
        if (name == "ERROR") return error(message.empty() ? "#ERROR" : message);
        if (name == "FATAL") {
            ended_ = true;
            return error(message.empty() ? "#FATAL" : message);
        }
        if (name == "SPACESON" || name == "SPACESOFF") {
            switches_.spaces = name == "SPACESON";
            return;
        }
        if (name == "CASEON" || name == "CASEOFF") {
            switches_.caseSensitive = name == "CASEON";
            symbols_.setCaseSensitive(switches_.caseSensitive);
            return;
        }
        for (std::size_t i = 0; i < kSegments.size(); ++i)
            if (name == kSegments[i]) return switchSegment(i);
        if (name == "PUSH") {
            pushed_.push_back({switches_, segment_});
            return;
        }
        if (name == "PULL") {
            if (pushed_.empty()) throw AsmError{"#PULL without #PUSH"};
            const PushedSettings pushed = pushed_.back();
            pushed_.pop_back();
            switches_ = pushed.switches;
            symbols_.setCaseSensitive(switches_.caseSensitive);
            return switchSegment(pushed.segment);
        }
        if (name == "EXTRAON" || name == "EXTRAOFF") {
            switches_.extra = name == "EXTRAON";
            return;
        }
        if (name == "LISTON" || name == "LISTOFF") {
            switches_.list = name == "LISTON";
            return;
        }
        if (name == "MAPON" || name == "MAPOFF") {
            switches_.map = name == "MAPON";
            return;
        }
        if (name == "TABSIZE") {
            const std::int32_t size = evaluateNow(argument, "#TABSIZE");
            if (size < 1 || size > kMaxTabSize)
                throw AsmError{"#TABSIZE must be 1 to " + std::to_string(kMaxTabSize)};
            switches_.tabSize = size;
            return;
        }
        if (name == "OPTRELON" || name == "OPTRELOFF") {
            switches_.relHint = name == "OPTRELON";
            return;
        }
        if (name == "OPTRTSON" || name == "OPTRTSOFF") {
            switches_.rtsHint = name == "OPTRTSON";
            return;
        }
        if (name == "PAGE") {
            if (listed_) result_.listing[*listed_].newPage = true;
            return;
        }
        if (name == "MEMORY") return memory(argument);
        if (name == "S19FLUSH") {
            if (pass_ == 2) result_.recordStarts.insert(location_);
            return;
        }
        throw AsmError{"Unknown directive: #" + name};
    }

    static bool isConditional(const std::string& name) {
        static const std::set<std::string_view> names = {"IF",        "IFDEF",  "IFNDEF",
                                                         "IFZ",       "IFNZ",   "IFEXISTS",
                                                         "IFNEXISTS", "IFMAIN", "IFINCLUDED"};
        return names.count(name) > 0;
    }

    bool condition(const std::string& name, std::string_view argument) {
        if (name == "IFMAIN") return depth_ == 0;
        if (name == "IFINCLUDED") return depth_ > 0;
        if (argument.empty()) throw AsmError{"#" + name + " needs an operand"};
        if (name == "IFDEF" || name == "IFNDEF") {
            const std::string_view symbolName = argument.substr(0, argument.find_first_of(" \t"));
            // Defined on an earlier line, so that both passes decide alike.
            const Symbol* symbol = symbols_.find(symbolName);
            const bool defined = symbol && symbol->definedAt < current_;
            return defined == (name == "IFDEF");
        }
        if (name == "IFEXISTS" || name == "IFNEXISTS") {
            const bool exists = findInclude(fileArgument(argument), file_, searchDirs_).has_value();
            return exists == (name == "IFEXISTS");
        }
        if (name == "IFZ") return evaluateNow(argument, "#IFZ") == 0;
        if (name == "IFNZ") return evaluateNow(argument, "#IFNZ") != 0;
        if (const std::optional<Comparison> comparison = splitComparison(argument))
            return compare(evaluateNow(comparison->left, "#IF"), comparison->op,
                           evaluateNow(comparison->right, "#IF"));
        return evaluateNow(argument, "#IF") != 0;
    }

    // A file name, in quotes or up to the first blank.
    static std::string_view fileArgument(std::string_view argument) {
        if (argument.front() == '"' || argument.front() == '\'') {
            const std::size_t close = argument.find(argument.front(), 1);
            if (close == std::string_view::npos) throw AsmError{"Unterminated string"};
            return argument.substr(1, close - 1);
        }
        return argument.substr(0, argument.find_first_of(" \t"));
    }

    void include(std::string_view argument) {
        if (argument.empty()) throw AsmError{"#INCLUDE needs a file name"};
        const std::string_view name = fileArgument(argument);
        const std::optional<std::string> path = findInclude(name, file_, searchDirs_);
        if (!path) throw AsmError{"Cannot find include file: " + std::string(name)};
        if (depth_ >= kMaxIncludeDepth)
            throw AsmError{"Includes nested deeper than " + std::to_string(kMaxIncludeDepth) +
                           " levels"};
        std::unique_ptr<SourceFile>& file = includes_[*path];
        if (!file) {
            std::optional<std::string> text = readSource(*path);
            if (!text) throw AsmError{"Cannot read include file: " + *path};
            file = std::make_unique<SourceFile>();
            file->name = *path;
            file->text = std::move(*text);
            file->lines = splitSourceLines(file->text);
        }
        processFile(*file, depth_ + 1);
    }

    static void checkCharacters(std::string_view text) {
        for (const char c : text) {
            const auto code = static_cast<unsigned char>(c);
            if ((code < 0x20 && !isBlank(c)) || code == 0x7F)
                throw AsmError{"Invalid character $" + hexText(code, 2) + " in source line"};
        }
    }

    void statement(std::string_view text) {
        checkCharacters(text);
        const SourceLine line = splitLine(text);
        const std::string mnemonic = upper(line.mnemonic);
        if (mnemonic.empty()) {
            if (!line.label.empty()) defineSymbol(line.label, Value{location_, true}, false);
            return;
        }
        if (const PseudoOp* op = pseudoOp(mnemonic)) {
            if (op->labelRule == LabelRule::AtLocation && !line.label.empty())
                defineSymbol(line.label, Value{location_, true}, false);
            (this->*(op->handler))(line.label, line.rest);
            if (op->labelRule == LabelRule::AfterStatement && !line.label.empty())
                defineSymbol(line.label, Value{location_, true}, false);
            return;
        }
        if (!line.label.empty()) defineSymbol(line.label, Value{location_, true}, false);
        const Forms* forms = instructionForms(mnemonic);
        if (!forms && switches_.extra) {
            if (const ExtraMnemonic* expansion = extraMnemonic(mnemonic))
                return extraStatement(mnemonic, *expansion, line.rest);
        }
        if (!forms) throw AsmError{"Unknown instruction: " + std::string(line.mnemonic)};
        const std::vector<std::uint8_t> bytes = encodeOperand(*forms, line.rest);
        const bool followsCall = afterCall_;
        emit(bytes);
        if (pass_ == 2) hints(mnemonic, bytes, followsCall && line.label.empty());
        afterCall_ = mnemonic == "JSR" || mnemonic == "BSR";
    }

    // -REL: a JMP or JSR whose target a BRA or BSR here would reach. -RTS: an RTS right
    // after a call, where the call could jump instead (not when a label makes the RTS a
    // target of its own).
    void hints(const std::string& mnemonic, const std::vector<std::uint8_t>& bytes,
               bool followsCall) {
        if (switches_.rtsHint && mnemonic == "RTS" && followsCall)
            report(Message::Kind::Warning, "RTS after a call: the call could be a JMP or BRA");
        if (!switches_.relHint || (mnemonic != "JMP" && mnemonic != "JSR")) return;
        std::int32_t target = -1;
        if (bytes.size() == 3 && (bytes[0] == kJmpExtended || bytes[0] == kJsrExtended))
            target = bytes[1] << 8 | bytes[2];
        else if (bytes.size() == 2 && bytes[0] == kJsrDirect)
            target = bytes[1];
        const std::int32_t offset = target - (lineStart_ + static_cast<std::int32_t>(kBranchSize));
        if (target >= 0 && offset >= -128 && offset <= 127)
            report(Message::Kind::Warning, mnemonic + " to " + hexAddress(target) + " could be " +
                                               (mnemonic == "JMP" ? "BRA" : "BSR"));
    }

    // The line's own operand: pass 2 repeats pass 1's choice between direct and extended.
    std::vector<std::uint8_t> encodeOperand(const Forms& forms, std::string_view rest) {
        std::optional<bool> direct;
        if (pass_ == 2 && current_ < records_.size()) direct = records_[current_].direct;
        const Encoding encoding =
            encodeInstruction({forms, rest, switches_.spaces, expressionContext(), direct});
        if (pass_ == 1) records_[current_].direct = encoding.direct;
        return encoding.bytes;
    }

    // An operand of an expansion, "*" being the step's own address.
    std::vector<std::uint8_t> encodeFixed(std::string_view mnemonic, std::string_view operand,
                                          std::int32_t address) {
        ExpressionContext context = expressionContext();
        context.location = address;
        return encodeInstruction({*instructionForms(mnemonic), operand, false, context, {}}).bytes;
    }

    void extraStatement(const std::string& mnemonic, const ExtraMnemonic& expansion,
                        std::string_view rest) {
        if (expansion.kind == ExtraKind::Undefined)
            throw AsmError{"Extra mnemonic " + mnemonic + " has no defined expansion"};
        bool takesOperand = expansion.kind != ExtraKind::Steps;
        for (const ExtraStep& step : expansion.steps) takesOperand |= step.operand == "@";
        if (takesOperand && operand(rest).empty())
            throw AsmError{"Missing operand for " + mnemonic};
        std::vector<std::uint8_t> bytes;
        const auto append = [&bytes](const std::vector<std::uint8_t>& more) {
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
                const std::vector<std::uint8_t> jump =
                    encodeOperand(*instructionForms("JMP"), rest);
                const std::string skip = "*+" + std::to_string(kBranchSize + jump.size());
                append(encodeFixed(expansion.steps[0].mnemonic, skip, lineStart_));
                append(jump);
                break;
            }
            case ExtraKind::Steps:
                for (const ExtraStep& step : expansion.steps) {
                    if (step.operand == "@")
                        append(encodeOperand(*instructionForms(step.mnemonic), rest));
                    else
                        append(encodeFixed(step.mnemonic, step.operand,
                                           lineStart_ + static_cast<std::int32_t>(bytes.size())));
                }
                break;
        }
        emit(bytes);
    }

    // "#MEMORY start,end" (or a blank between): pass 1 collects every range so that pass 2
    // checks code against all of them, wherever they were declared.
    void memory(std::string_view argument) {
        std::vector<std::string_view> items = splitList(argument);
        if (items.size() == 1) {
            const std::size_t blank = argument.find_first_of(" \t");
            if (blank != std::string_view::npos)
                items = {trim(argument.substr(0, blank)), trim(argument.substr(blank))};
        }
        if (items.size() != 2 || items[0].empty() || items[1].empty())
            throw AsmError{"#MEMORY needs a start and an end address"};
        const std::int32_t start = evaluateNow(items[0], "#MEMORY");
        const std::int32_t end = evaluateNow(items[1], "#MEMORY");
        if (start < 0 || end >= kAddressLimit || start > end)
            throw AsmError{"Bad #MEMORY range: " + hexAddress(start) + " to " + hexAddress(end)};
        if (pass_ == 1) memoryRanges_.emplace_back(start, end);
    }

    bool inMemoryRanges(std::int32_t address) const {
        for (const auto& [start, end] : memoryRanges_)
            if (address >= start && address <= end) return true;
        return memoryRanges_.empty();
    }

    void switchSegment(std::size_t segment) {
        segmentLocations_[segment_] = location_;
        segment_ = segment;
        location_ = segmentLocations_[segment];
    }

    ExpressionContext expressionContext() {
        return {[this](std::string_view name) -> Value {
                    const Symbol* symbol = symbols_.find(name);
                    if (symbol && symbol->known) return {symbol->value, true};
                    if (pass_ == 1) return {0, false};
                    throw AsmError{"Undefined symbol: " + std::string(name)};
                },
                lineStart_};
    }

    Value evaluate(std::string_view text) {
        if (text.empty()) throw AsmError{"Missing operand"};
        return evaluateExpression(text, expressionContext());
    }

    // A value that must be known in pass 1 because it moves the location counter.
    std::int32_t evaluateNow(std::string_view text, std::string_view what) {
        const Value value = evaluate(text);
        if (!value.known)
            throw AsmError{std::string(what) + " needs a value defined before this line"};
        return value.number;
    }

    void defineSymbol(std::string_view name, Value value, bool redefinable) {
        if (!isSymbolStart(name.front())) return error("Bad label: " + std::string(name));
        for (const char c : name)
            if (!isSymbolChar(c)) return error("Bad label: " + std::string(name));
        Symbol* symbol = symbols_.find(name);
        if (!symbol) {
            symbol = &symbols_.add(name);
            symbol->redefinable = redefinable;
            symbol->definedAt = current_;
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

    void emit(const std::vector<std::uint8_t>& bytes) {
        afterCall_ = false;
        if (location_ + static_cast<std::int32_t>(bytes.size()) > kAddressLimit)
            throw AsmError{"Code runs past $FFFF"};
        if (pass_ == 2 && !bytes.empty()) {
            bool overlap = false;
            for (std::size_t i = 0; i < bytes.size(); ++i) {
                const std::size_t address = static_cast<std::size_t>(location_) + i;
                overlap = overlap || result_.image.used[address];
                result_.image.bytes[address] = bytes[i];
                result_.image.used[address] = true;
            }
            result_.byteCount += bytes.size();
            recordLine();
            if (listed_) {
                std::vector<std::uint8_t>& listedBytes = result_.listing[*listed_].bytes;
                listedBytes.insert(listedBytes.end(), bytes.begin(), bytes.end());
            }
            if (options_.map && switches_.map)
                result_.map.push_back({static_cast<std::uint16_t>(location_), file_, line_});
            if (overlap && options_.overlapCheck)
                error("Code overlaps earlier code at " + hexAddress(location_));
            for (std::int32_t i = 0; options_.overlapCheck && i < std::ssize(bytes); ++i) {
                if (!inMemoryRanges(location_ + i)) {
                    error("Code at " + hexAddress(location_ + i) +
                          " is outside the #MEMORY ranges");
                    break;
                }
            }
        }
        location_ += static_cast<std::int32_t>(bytes.size());
    }

    void recordLine() {
        result_.modules[moduleIndex_.at(file_)].lines.emplace_back(
            static_cast<std::uint16_t>(location_), line_);
    }

    void reserve(std::int32_t count) {
        if (count < 0) throw AsmError{"Negative count: " + std::to_string(count)};
        if (location_ + count > kAddressLimit) throw AsmError{"Code runs past $FFFF"};
        location_ += count;
    }

    std::string_view operand(std::string_view rest) const {
        return operandField(rest, switches_.spaces);
    }

    static const PseudoOp* pseudoOp(const std::string& name) {
        static const std::unordered_map<std::string, PseudoOp> ops = {
            {"ORG", {&Assembler::org, LabelRule::AfterStatement}},
            {"EQU", {&Assembler::equ, LabelRule::Value}},
            {"=", {&Assembler::equ, LabelRule::Value}},
            {"SET", {&Assembler::set, LabelRule::Value}},
            {"FCB", {&Assembler::fcb, LabelRule::AtLocation}},
            {"DB", {&Assembler::fcb, LabelRule::AtLocation}},
            {"FDB", {&Assembler::fdb, LabelRule::AtLocation}},
            {"DW", {&Assembler::fdb, LabelRule::AtLocation}},
            {"FCC", {&Assembler::fcc, LabelRule::AtLocation}},
            {"FCS", {&Assembler::fcs, LabelRule::AtLocation}},
            {"RMB", {&Assembler::rmb, LabelRule::AtLocation}},
            {"DS", {&Assembler::rmb, LabelRule::AtLocation}},
            {"BSZ", {&Assembler::bsz, LabelRule::AtLocation}},
            {"ZMB", {&Assembler::bsz, LabelRule::AtLocation}},
            {"FILL", {&Assembler::fill, LabelRule::AtLocation}},
            {"END", {&Assembler::end, LabelRule::AtLocation}},
            {"OPT", {&Assembler::ignore, LabelRule::AtLocation}},
            {"PAGE", {&Assembler::ignore, LabelRule::AtLocation}},
        };
        const auto it = ops.find(name);
        return it == ops.end() ? nullptr : &it->second;
    }

    void org(std::string_view, std::string_view rest) {
        const std::int32_t address = evaluateNow(operand(rest), "ORG");
        if (address < 0 || address > 0xFFFF)
            throw AsmError{"Address out of range: " + std::to_string(address)};
        location_ = address;
    }

    void equ(std::string_view label, std::string_view rest) {
        if (label.empty()) throw AsmError{"EQU needs a label"};
        defineSymbol(label, evaluate(operand(rest)), false);
    }

    void set(std::string_view label, std::string_view rest) {
        if (label.empty()) throw AsmError{"SET needs a label"};
        defineSymbol(label, evaluate(operand(rest)), true);
    }

    std::uint8_t byteValue(std::string_view text) {
        if (text.empty()) throw AsmError{"Missing value in list"};
        const Value value = evaluate(text);
        if (value.known && (value.number < -0x80 || value.number > 0xFF))
            throw AsmError{"8-bit value out of range: " + std::to_string(value.number)};
        return static_cast<std::uint8_t>(value.number);
    }

    void fcb(std::string_view, std::string_view rest) {
        std::vector<std::uint8_t> bytes;
        for (const std::string_view item : splitList(operand(rest)))
            bytes.push_back(byteValue(item));
        emit(bytes);
    }

    std::uint16_t wordValue(std::string_view text) {
        if (text.empty()) throw AsmError{"Missing value in list"};
        const Value value = evaluate(text);
        if (value.known && (value.number < -0x8000 || value.number > 0xFFFF))
            throw AsmError{"16-bit value out of range: " + std::to_string(value.number)};
        return static_cast<std::uint16_t>(value.number);
    }

    void fdb(std::string_view, std::string_view rest) {
        std::vector<std::uint8_t> bytes;
        for (const std::string_view item : splitList(operand(rest))) {
            const std::uint16_t word = wordValue(item);
            bytes.push_back(static_cast<std::uint8_t>(word >> 8));
            bytes.push_back(static_cast<std::uint8_t>(word));
        }
        emit(bytes);
    }

    // FCC text: a string in any delimiter, then optionally more strings or byte values after
    // commas ("text",13,10).
    std::vector<std::uint8_t> stringBytes(std::string_view rest) {
        std::vector<std::uint8_t> bytes;
        std::size_t i = 0;
        for (bool first = true;; first = false) {
            if (i >= rest.size() || isBlank(rest[i])) throw AsmError{"Missing string"};
            const char c = rest[i];
            const bool delimiter = first ? !(std::isalnum(static_cast<unsigned char>(c)) ||
                                             c == '$' || c == '%' || c == '@' || c == '_')
                                         : c == '"' || c == '\'' || c == '/';
            if (delimiter) {
                // A doubled delimiter stands for itself: 'It''s'.
                for (++i;; i += 2) {
                    const std::size_t close = rest.find(c, i);
                    if (close == std::string_view::npos) throw AsmError{"Unterminated string"};
                    bytes.insert(bytes.end(), rest.begin() + i, rest.begin() + close + 1);
                    i = close;
                    if (i + 1 >= rest.size() || rest[i + 1] != c) break;
                }
                bytes.pop_back();  // the closing delimiter
                ++i;
            } else {
                std::size_t end = i;
                while (end < rest.size() && rest[end] != ',' && rest[end] != ';' &&
                       (switches_.spaces || !isBlank(rest[end])))
                    end = skipConstant(rest, end);
                bytes.push_back(byteValue(trim(rest.substr(i, end - i))));
                i = end;
            }
            if (i >= rest.size() || rest[i] != ',') return bytes;
            ++i;
        }
    }

    void fcc(std::string_view, std::string_view rest) { emit(stringBytes(rest)); }

    void fcs(std::string_view, std::string_view rest) {
        std::vector<std::uint8_t> bytes = stringBytes(rest);
        bytes.push_back(0);
        emit(bytes);
    }

    void rmb(std::string_view, std::string_view rest) {
        reserve(evaluateNow(operand(rest), "RMB"));
    }

    void bsz(std::string_view, std::string_view rest) {
        const std::int32_t count = evaluateNow(operand(rest), "BSZ");
        if (count < 0) throw AsmError{"Negative count: " + std::to_string(count)};
        if (location_ + count > kAddressLimit) throw AsmError{"Code runs past $FFFF"};
        emit(std::vector<std::uint8_t>(static_cast<std::size_t>(count), 0));
    }

    void fill(std::string_view, std::string_view rest) {
        const std::vector<std::string_view> items = splitList(operand(rest));
        if (items.size() != 2) throw AsmError{"FILL needs value,count"};
        const std::uint8_t value = byteValue(items[0]);
        const std::int32_t count = evaluateNow(items[1], "FILL");
        if (count < 0) throw AsmError{"Negative count: " + std::to_string(count)};
        if (location_ + count > kAddressLimit) throw AsmError{"Code runs past $FFFF"};
        emit(std::vector<std::uint8_t>(static_cast<std::size_t>(count), value));
    }

    void end(std::string_view, std::string_view rest) {
        ended_ = true;
        const std::string_view text = operand(rest);
        if (text.empty()) return;
        const Value start = evaluate(text);
        if (start.known && (start.number < 0 || start.number > 0xFFFF))
            throw AsmError{"Address out of range: " + std::to_string(start.number)};
        result_.startAddress = static_cast<std::uint16_t>(start.number);
    }

    void ignore(std::string_view, std::string_view) {}
};

}  // namespace

AssemblyResult assemble(std::string_view fileName, std::string_view text,
                        const AsmOptions& options) {
    return Assembler(fileName, text, options).run();
}

}  // namespace tarnwick::asm11
