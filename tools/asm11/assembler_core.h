#pragma once

// The assembler's working state and the members its parts share. The parts live in files of
// their own: the passes and the line loop (assembler.cpp), instructions and the code they
// emit (instructions.cpp), expressions (expressions.cpp), the registry of directives and
// pseudo-operations (operations.cpp), the # directives (directives.cpp), the
// pseudo-operations (pseudo_ops.cpp), macros (macros.cpp, macro_commands.cpp), the conditional
// directives (condition_directives.cpp), names and their scopes (symbol_scopes.cpp) and the
// internal symbols such as :PC (internal_symbols.cpp).

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "asm11/assembler.h"
#include "asm11/conditions.h"
#include "asm11/expression.h"
#include "asm11/extra_mnemonics.h"
#include "asm11/instruction_encoder.h"
#include "asm11/source_files.h"
#include "asm11/symbol_table.h"

namespace tarnwick::asm11 {

constexpr std::int64_t kAddressLimit = 0x10000;

std::string upper(std::string_view text);
std::string hexAddress(std::int64_t value);
void checkCharacters(std::string_view text);
// A file name, in quotes or up to the first blank.
std::string_view fileArgument(std::string_view argument);
std::string expandTabs(std::string_view text, int tabSize);
// The items of a list, in place for the few a line nearly always holds: a std::vector per
// EQU, FCB and FDB cost more than splitting them.
class ListItems {
  public:
    void push_back(std::string_view item) {
        if (size_ < kInPlace) {
            inPlace_[size_] = item;
        } else {
            if (size_ == kInPlace) spilled_.assign(inPlace_.begin(), inPlace_.end());
            spilled_.push_back(item);
        }
        ++size_;
    }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    std::string_view* begin() { return size_ > kInPlace ? spilled_.data() : inPlace_.data(); }
    std::string_view* end() { return begin() + size_; }
    const std::string_view* begin() const {
        return size_ > kInPlace ? spilled_.data() : inPlace_.data();
    }
    const std::string_view* end() const { return begin() + size_; }
    std::string_view operator[](std::size_t i) const { return begin()[i]; }

  private:
    static constexpr std::size_t kInPlace = 8;
    std::array<std::string_view, kInPlace> inPlace_;
    std::vector<std::string_view> spilled_;  // every item, once there are more
    std::size_t size_ = 0;
};

// Items of a comma-separated list, commas inside constants left alone.
ListItems splitList(std::string_view text);

// One statement as the handlers see it: the label (column 1 or ending in ':'), the
// operation's name in upper case and the rest of the line after it, comment included.
struct Statement {
    std::string_view label;
    std::string_view name;
    std::string_view rest;
};

// A statement's name in upper case, in place for the short names nearly every line holds:
// a std::string per statement cost more than finding what the name stands for.
class UpperName {
  public:
    explicit UpperName(std::string_view text);
    std::string_view view() const {
        return longName_.empty() ? std::string_view(inPlace_.data(), size_) : longName_;
    }

  private:
    static constexpr std::size_t kInPlace = 16;
    std::array<char, kInPlace> inPlace_;
    std::size_t size_ = 0;
    std::string longName_;  // a name too long for inPlace_
};

// A recorded macro: its body as written, without the ;; comments.
struct Macro {
    std::string name;  // as defined
    std::vector<std::string> body;
    std::string file;  // where it was defined
    int line = 0;
    int invocations = 0;  // :MINDEX
    int userIndex = 0;    // :INDEX
};

// One running expansion of a macro.
struct MacroCall {
    std::shared_ptr<Macro> macro;
    std::vector<std::string> parameters;  // [0] is the name as called
    std::string label;                    // ~label~
    std::string text;                     // ~text~
    std::string caller;                   // ~00~
    char separator = ',';
    std::size_t next = 0;  // the body line to expand next
    int loop = 1;          // :LOOP
    int mloop = 1;         // :MLOOP
    std::size_t mdoLine = 0;
    int number = 0;   // the assembly's macro call count when it started, for $$$ names
    int repeats = 0;  // MTOP, MLOOP and chained calls since the call from a file line
    int32_t temp = 0;
    ConditionStack conditions;  // conditionals are local to one expansion
};

// Counts one more turn of a macro loop (MTOP, MLOOP, a chain to itself), ending the
// assembly when it has run away.
void countRepeat(MacroCall& call, bool& ended);

// Where lines come from: a file, or an expansion of a macro called from a file line.
struct LineSource {
    const SourceFile* file = nullptr;  // the file, or for an expansion the calling file
    std::size_t next = 0;              // a file's next line (0-based)
    int depth = 0;                     // include depth: 0 in the main file
    int fileIndex = 0;                 // scope of the file's ?locals
    int callLine = 0;                  // for an expansion, the calling line
    bool checked = false;              // a file without control characters: its lines need no check
    std::size_t module = 0;            // the file's entry in the result's modules, in pass 2
    std::unique_ptr<MacroCall> call;   // set for an expansion
};

// The #PUSH-able switches.
struct Switches {
    bool spaces;              // #SPACESON
    bool extra;               // #EXTRAON
    bool caseSensitive;       // #CASEON
    bool list;                // #LISTON
    bool map;                 // #MAPON
    bool relHint;             // #OPTRELON
    bool rtsHint;             // #OPTRTSON
    bool warnings;            // #WARN
    bool macroList;           // #MLISTON
    int tabSize;              // #TABSIZE
    char parameterSeparator;  // #PARMS
    enum class MacroMode { AtOnly, Macro, MacrosFirst, MacrosAlwaysFirst } macroMode;
    bool nestedCalls;       // the @@ sub-mode: every call from a macro returns
    std::int32_t spOffset;  // :SP
    enum class StackMode { Plain, OneBased, Auto } stackMode;
    bool spZeroBased;      // #SP1
    std::int32_t spCheck;  // :SPCHECK
    std::int32_t savedSp;  // #PSP
    std::int32_t savedPc;  // #PPC
};

constexpr std::array<std::string_view, 17> kSegments = {
    "ROM",  "RAM",  "DATA", "VECTORS", "EEPROM", "XRAM", "XROM", "SEG0", "SEG1",
    "SEG2", "SEG3", "SEG4", "SEG5",    "SEG6",   "SEG7", "SEG8", "SEG9"};

// Everything one pass builds up; each pass starts from a fresh one.
struct PassState {
    AssemblyResult result;
    std::unordered_map<std::string, std::size_t> moduleIndex;
    ConditionStack conditions;  // of the files' lines
    std::int32_t location = 0;
    std::int32_t s19Offset = 0;  // ORG's first operand: where the S19 puts the code
    std::size_t sequence = 0;
    bool ended = false;
    Switches switches{};
    std::array<std::int32_t, kSegments.size()> segmentLocations{};
    std::size_t segment = 0;  // index into kSegments; location is its counter
    struct Pushed {
        Switches switches;
        std::size_t segment;
    };
    std::vector<Pushed> pushed;
    bool afterCall = false;     // the last instruction was a JSR or BSR
    std::int32_t lastRts = -1;  // :ANRTS
    // Procedures: the counter every PROC advances and the scopes PROC opened.
    int procCounter = 0;
    std::vector<int> procStack;
    std::vector<std::string> procNames;  // ~procname~ per open scope
    std::set<std::string> usedFiles;     // paths included so far, for #USES
    std::vector<std::string> homeDirs;   // #HOMEDIR
    int includedFiles = 0;
    std::size_t includedLines = 0;
    std::size_t expandedLines = 0;
    std::array<std::int32_t, 3> temps{};  // :TEMP, :TEMP1, :TEMP2
    std::int64_t cycles = 0;              // :CYCLES
    std::int64_t oldCycles = 0;           // :OCYCLES
    std::uint16_t crc = 0;                // :CRC
    std::uint16_t s19Crc = 0;             // :S19CRC
    std::int32_t macroExit = 0;           // :MEXIT
    int macroCalls = 0;                   // :TOTALMACROCALLS
    int macroLimit = 100;                 // #MLIMIT
    std::int32_t spMax = 0;               // :SPMAX
    std::int32_t spLimit = -1;            // :SPLIMIT
    std::unordered_map<std::string, std::vector<std::shared_ptr<Macro>>> macros;  // by key
    std::vector<std::vector<LineSource>> suspended;  // by MSUSPEND, innermost last
    std::optional<Macro> recording;                  // the macro whose body the lines are
    std::string recordingKey;
};

// The expressions' names come back to it as a SymbolSource.
class Assembler : private SymbolSource {
  public:
    Assembler(std::string_view fileName, std::string_view text, const AsmOptions& options);
    AssemblyResult run();

  private:
    // What pass 1 learnt about a line, for pass 2 to keep every size unchanged.
    struct LineRecord {
        std::int32_t locationAfter = 0;
        bool direct = false;
    };

    enum class LabelRule { None, AtLocation, AfterStatement, Value };
    enum Flags : unsigned {
        kRunsWhileSkipping = 1,  // conditionals keep their nesting in skipped blocks
        kMacroOnly = 2,          // only inside a macro expansion
    };
    using Handler = void (Assembler::*)(const Statement&);
    struct Operation {
        Handler handler;
        LabelRule labelRule;
        unsigned flags;
    };
    // One registry: "#NAME" for the directives, "NAME" for the pseudo-operations.
    static const std::unordered_map<std::string, Operation>& operations();
    // What a statement's name stands for, found with one lookup: an operation, an
    // instruction's forms, or neither.
    struct Mnemonic {
        const Operation* operation = nullptr;
        const Forms* forms = nullptr;
    };
    static Mnemonic findMnemonic(std::string_view name);
    static const Operation* findOperation(std::string_view name);

    static constexpr int kMaxErrors = 1000;
    static constexpr int kMaxIncludeDepth = 16;
    static constexpr int kMaxIncludedFiles = 1000;
    static constexpr std::size_t kMaxIncludedLines = 4'000'000;
    static constexpr std::size_t kMaxExpandedLines = 2'000'000;
    static constexpr int kDefaultTabSize = 8;
    static constexpr int kMaxTabSize = 32;

    const AsmOptions& options_;
    SourceFile main_;
    std::map<std::string, std::unique_ptr<SourceFile>> includes_;  // by path, both passes
    std::map<std::string, int> fileIndexes_;                       // for ?locals
    // Per file, whether it holds no control character, found once for both passes.
    std::map<const SourceFile*, bool> checkedFiles_;
    std::vector<std::string> searchDirs_;  // after the including file's own directory
    SymbolTable symbols_;
    std::vector<LineRecord> records_;
    int pass_ = 1;
    PassState state_;
    std::vector<LineSource> sources_;
    std::string file_;  // the file of the line being assembled, as messages name it
    const SourceFile* lineFile_ = nullptr;  // the file file_ names, while lines run
    std::size_t module_ = 0;                // the module of the line being assembled
    int line_ = 0;                          // its line; for an expansion, the calling line
    int macroLine_ = 0;                     // the expansion's body line, 0 outside macros
    std::size_t current_ = 0;               // sequence number of the line being assembled
    std::int32_t lineStart_ = 0;
    bool backwardOnly_ = false;  // conditions see only symbols defined on earlier lines
    bool lineChecked_ = false;   // the line's file holds no control character
    ExpressionContext context_{this};
    std::string orderHint_;  // what the last expression evaluated noted about its order
    // The listing's entry for the line being assembled, with -L+ in pass 2; a line that is
    // not to be listed has one too until it ends, for the messages it may bring.
    std::optional<std::size_t> listed_;
    std::vector<std::pair<std::int32_t, std::int32_t>> memoryRanges_;    // first, last address
    std::unordered_map<const ExtraStep*, InstructionBytes> fixedSteps_;  // see fixedStep

    // assembler.cpp and instructions.cpp: passes, lines, statements, code.
    void startPass();
    void finishPass();
    void assembleLines();
    void pushFile(const SourceFile& file, int depth);
    void enterFile(const LineSource& source);
    void processLine(std::string_view text);
    void dispatch(std::string_view text);
    void statement(std::string_view text);
    void runStatement(const Statement& statement, const Operation* operation, bool label);
    void instruction(const Statement& statement, const Forms* forms, bool forceReal);
    void report(Message::Kind kind, std::string text);
    void error(std::string text) { report(Message::Kind::Error, std::move(text)); }
    void warning(std::string text) { report(Message::Kind::Warning, std::move(text)); }
    std::size_t listingEntryOf(const std::string& file, int line);
    void dropUnlistedLine(std::size_t index, bool listingWasOn);
    void showInListing(std::int32_t value);
    void hints(std::string_view mnemonic, std::span<const std::uint8_t> bytes, bool followsCall);
    InstructionBytes encodeOperand(const Forms& forms, std::string_view rest,
                                   std::optional<std::int32_t> address = {});
    const InstructionBytes& fixedStep(const ExtraStep& step);
    InstructionBytes encodeFixed(std::string_view mnemonic, std::string_view operand,
                                 std::int32_t address);
    void extraStatement(std::string_view mnemonic, const ExtraMnemonic& expansion,
                        std::string_view rest);
    void emit(std::span<const std::uint8_t> bytes);
    void countCycles(std::span<const std::uint8_t> bytes);
    void trackStack(std::string_view mnemonic);
    void recordLine();
    void reserve(std::int64_t count);
    bool inMemoryRanges(std::int32_t address) const;
    void switchSegment(std::size_t segment);
    std::string_view operand(std::string_view rest) const;
    ConditionStack& conditions();
    bool inMacro() const;
    LineSource* fileSource();

    // symbol_scopes.cpp: names as the symbol table keeps them.
    std::string scopedName(std::string_view name) const;
    static bool isValidLabel(std::string_view name);
    Symbol* findSymbol(std::string_view name);
    bool definedBefore(std::string_view name);
    void defineSymbol(std::string_view name, Value value, bool redefinable);
    void setSize(std::string_view name, std::int32_t size);
    void openProcedure(std::string_view label);
    void closeProcedure();

    // expressions.cpp
    Value symbolValue(std::string_view name) override;
    Value internalValue(std::string_view name) override { return internalSymbol(name); }
    const ExpressionContext& expressionContext();
    Value evaluate(std::string_view text);
    void reportOrderHint();
    std::int32_t evaluateNow(std::string_view text, std::string_view what);
    std::int64_t evaluateCount(std::string_view text, std::string_view what);
    std::string formatEmbedded(std::string_view text, bool inDirective);

    // internal_symbols.cpp
    Value internalSymbol(std::string_view name);

    // directives.cpp
    void directive(std::string_view text);
    void include(const Statement& s);
    void uses(const Statement& s);
    void includeFile(std::string_view argument, bool once);
    void exitFile(const Statement& s);
    void homeDir(const Statement& s);
    void message(const Statement& s);
    void hint(const Statement& s);
    void warningDirective(const Statement& s);
    void errorDirective(const Statement& s);
    void fatal(const Statement& s);
    void switchDirective(const Statement& s);
    void segmentDirective(const Statement& s);
    void push(const Statement& s);
    void pull(const Statement& s);
    void tabSize(const Statement& s);
    void page(const Statement& s);
    void memory(const Statement& s);
    void variable(const Statement& s);
    void s19Flush(const Statement& s);
    void temp(const Statement& s);
    void cyclesDirective(const Statement& s);
    void sizeDirective(const Statement& s);
    void exportDirective(const Statement& s);
    void undefine(const Statement& s);
    void procDirective(const Statement& s);
    void endpDirective(const Statement& s);
    void ppc(const Statement& s);
    void crc(const Statement& s);
    void stackDirective(const Statement& s);
    void ignoreDirective(const Statement& s);

    // condition_directives.cpp
    void conditional(const Statement& s);
    void elseDirective(const Statement& s);
    void endif(const Statement& s);
    bool condition(std::string_view name, std::string_view argument);
    bool conditionValue(std::string_view text, std::int32_t& value);

    // pseudo_ops.cpp
    void org(const Statement& s);
    void equ(const Statement& s);
    void set(const Statement& s);
    void exp(const Statement& s);
    void def(const Statement& s);
    void next(const Statement& s);
    void align(const Statement& s);
    void fcb(const Statement& s);
    void fdb(const Statement& s);
    void longWords(const Statement& s);
    void fcc(const Statement& s);
    void fcs(const Statement& s);
    void rmb(const Statement& s);
    void bsz(const Statement& s);
    void fill(const Statement& s);
    void end(const Statement& s);
    void proc(const Statement& s);
    void endp(const Statement& s);
    void ignore(const Statement& s);
    void title(const Statement& s);
    void defineValue(const Statement& s, bool redefinable, bool exported);
    std::uint8_t byteValue(std::string_view text);
    std::uint16_t wordValue(std::string_view text);
    std::vector<std::uint8_t> stringBytes(std::string_view rest);
    ListItems listItems(std::string_view rest) const;
    void exportSymbol(std::string_view name, bool warnUndefined);

    // macros.cpp and macro_commands.cpp
    void recordLine(std::string_view text);
    void macroDefinition(const Statement& s);
    void remacro(const Statement& s);
    void endm(const Statement& s);
    bool macroCall(const Statement& s, bool forced);
    void callMacro(std::shared_ptr<Macro> macro, const Statement& s, std::string_view calledName,
                   char separator, bool nested, bool resetCounters);
    std::shared_ptr<Macro> findMacro(std::string_view name);
    std::string macroKey(std::string_view name) const;
    std::string nextExpansionLine(LineSource& source);
    std::string expandPlaceholders(MacroCall& call, std::string_view line);
    void endMacro();
    MacroCall& currentCall();
    void mexit(const Statement& s);
    void mstop(const Statement& s);
    void msuspend(const Statement& s);
    void mresume(const Statement& s);
    void merror(const Statement& s);
    void mtop(const Statement& s);
    void mdo(const Statement& s);
    void mloop(const Statement& s);
    void mset(const Statement& s);
    void mdef(const Statement& s);
    void mswap(const Statement& s);
    void mdel(const Statement& s);
    void mreq(const Statement& s);
    void mtrim(const Statement& s);
    void mstr(const Statement& s);
    void macroMode(const Statement& s);
    void macroLimit(const Statement& s);
    void parms(const Statement& s);
    void drop(const Statement& s);
    void rename(const Statement& s);
    void remacroDirective(const Statement& s);
    void mexport(const Statement& s);
    std::size_t parameterIndex(std::string_view text);
};

}  // namespace tarnwick::asm11
