// The registry of every directive ("#NAME") and pseudo-operation ("NAME"), with the rule
// for the label on its line and when it runs.

#include "asm11/assembler_core.h"
#include "asm11/source_line.h"

namespace tarnwick::asm11 {

const std::unordered_map<std::string, Assembler::Operation>& Assembler::operations() {
    using A = Assembler;
    constexpr LabelRule kNone = LabelRule::None;
    constexpr LabelRule kAt = LabelRule::AtLocation;
    constexpr LabelRule kValue = LabelRule::Value;
    constexpr unsigned kSkip = kRunsWhileSkipping;
    static const std::unordered_map<std::string, Operation> table = [] {
        std::unordered_map<std::string, Operation> ops = {
            // Conditional assembly: followed in skipped blocks too, to keep the nesting.
            {"#ELSE", {&A::elseDirective, kNone, kSkip}},
            {"#ENDIF", {&A::endif, kNone, kSkip}},
            // Files.
            {"#INCLUDE", {&A::include, kNone, 0}},
            {"#USES", {&A::uses, kNone, 0}},
            {"#USING", {&A::uses, kNone, 0}},
            {"#EXIT", {&A::exitFile, kNone, 0}},
            {"#HOMEDIR", {&A::homeDir, kNone, 0}},
            // Messages.
            {"#MESSAGE", {&A::message, kNone, 0}},
            {"#HINT", {&A::hint, kNone, 0}},
            {"#WARNING", {&A::warningDirective, kNone, 0}},
            {"#ERROR", {&A::errorDirective, kNone, 0}},
            {"#FATAL", {&A::fatal, kNone, 0}},
            // Settings.
            {"#PUSH", {&A::push, kNone, 0}},
            {"#PULL", {&A::pull, kNone, 0}},
            {"#TABSIZE", {&A::tabSize, kNone, 0}},
            {"#PAGE", {&A::page, kNone, 0}},
            {"#EJECT", {&A::page, kNone, 0}},
            {"#MEMORY", {&A::memory, kNone, 0}},
            {"#VARIABLE", {&A::variable, kNone, 0}},
            {"#S19FLUSH", {&A::s19Flush, kNone, 0}},
            {"#TEMP", {&A::temp, kNone, 0}},
            {"#TEMP1", {&A::temp, kNone, 0}},
            {"#TEMP2", {&A::temp, kNone, 0}},
            {"#CYCLES", {&A::cyclesDirective, kNone, 0}},
            {"#SIZE", {&A::sizeDirective, kNone, 0}},
            {"#EXPORT", {&A::exportDirective, kNone, 0}},
            {"#UNDEF", {&A::undefine, kNone, 0}},
            {"#PROC", {&A::procDirective, kNone, 0}},
            {"#ENDP", {&A::endpDirective, kNone, 0}},
            {"#PPC", {&A::ppc, kNone, 0}},
            {"#CRC", {&A::crc, kNone, 0}},
            {"#SP", {&A::stackDirective, kNone, 0}},
            {"#SP1", {&A::stackDirective, kNone, 0}},
            {"#SPAUTO", {&A::stackDirective, kNone, 0}},
            {"#SPA", {&A::stackDirective, kNone, 0}},
            {"#SPADD", {&A::stackDirective, kNone, 0}},
            {"#SPCHECK", {&A::stackDirective, kNone, 0}},
            {"#PSP", {&A::stackDirective, kNone, 0}},
            // Macros.
            {"#MACRO", {&A::macroMode, kNone, 0}},
            {"#@MACRO", {&A::macroMode, kNone, 0}},
            {"#MCF", {&A::macroMode, kNone, 0}},
            {"#MCF2", {&A::macroMode, kNone, 0}},
            {"#MLIMIT", {&A::macroLimit, kNone, 0}},
            {"#PARMS", {&A::parms, kNone, 0}},
            {"#DROP", {&A::drop, kNone, 0}},
            {"#RENAME", {&A::rename, kNone, 0}},
            {"#REMACRO", {&A::remacroDirective, kNone, 0}},
            {"#MEXPORT", {&A::mexport, kNone, 0}},
            // Pseudo-operations.
            {"ORG", {&A::org, LabelRule::AfterStatement, 0}},
            {"EQU", {&A::equ, kValue, 0}},
            {"=", {&A::equ, kValue, 0}},
            {"SET", {&A::set, kValue, 0}},
            {"EXP", {&A::exp, kValue, 0}},
            {"DEF", {&A::def, kValue, 0}},
            {"NEXT", {&A::next, kValue, 0}},
            {"NEXP", {&A::next, kValue, 0}},
            {"SETN", {&A::next, kValue, 0}},
            {"ALIGN", {&A::align, kValue, 0}},
            {"FCB", {&A::fcb, kAt, 0}},
            {"DB", {&A::fcb, kAt, 0}},
            {"FDB", {&A::fdb, kAt, 0}},
            {"DW", {&A::fdb, kAt, 0}},
            {"FAR", {&A::fdb, kAt, 0}},
            {"LONG", {&A::longWords, kAt, 0}},
            {"FCC", {&A::fcc, kAt, 0}},
            {"FCS", {&A::fcs, kAt, 0}},
            {"RMB", {&A::rmb, kAt, 0}},
            {"DS", {&A::rmb, kAt, 0}},
            {"BSZ", {&A::bsz, kAt, 0}},
            {"ZMB", {&A::bsz, kAt, 0}},
            {"FILL", {&A::fill, kAt, 0}},
            {"END", {&A::end, kAt, 0}},
            {"OPT", {&A::ignore, kAt, 0}},
            {"PAGE", {&A::ignore, kAt, 0}},
            {"TITLE", {&A::title, kNone, 0}},
            {"PROC", {&A::proc, kValue, 0}},
            {"ENDP", {&A::endp, kAt, 0}},
            {"MACRO", {&A::macroDefinition, kValue, 0}},
            {"REMACRO", {&A::remacro, kValue, 0}},
            {"ENDM", {&A::endm, kAt, 0}},  // recordLine ends a body; here it stands alone
            {"MEXIT", {&A::mexit, kAt, kMacroOnly}},
            {"MSTOP", {&A::mstop, kAt, 0}},
            {"MSUSPEND", {&A::msuspend, kAt, kMacroOnly}},
            {"MRESUME", {&A::mresume, kAt, 0}},
            {"MERROR", {&A::merror, kAt, kMacroOnly}},
            {"MTOP", {&A::mtop, kAt, kMacroOnly}},
            {"MDO", {&A::mdo, kAt, kMacroOnly}},
            {"MLOOP", {&A::mloop, kAt, kMacroOnly}},
            {"MSET", {&A::mset, kAt, kMacroOnly}},
            {"MDEF", {&A::mdef, kAt, kMacroOnly}},
            {"MSWAP", {&A::mswap, kAt, kMacroOnly}},
            {"MDEL", {&A::mdel, kAt, kMacroOnly}},
            {"MREQ", {&A::mreq, kAt, kMacroOnly}},
            {"MTRIM", {&A::mtrim, kAt, kMacroOnly}},
            {"MSTR", {&A::mstr, kAt, kMacroOnly}},
        };
        for (const char* name :
             {"IF",      "IFDEF",      "IFNDEF",  "IFZ",      "IFNZ",     "IFEXISTS", "IFNEXISTS",
              "IFMAIN",  "IFINCLUDED", "IFPARM",  "IFNOPARM", "IFB",      "IFNB",     "IFSTR",
              "IFNOSTR", "IFNUM",      "IFNONUM", "IFMDEF",   "IFNOMDEF", "IFSPAUTO", "IFTOS"})
            ops.emplace(std::string("#") + name, Operation{&A::conditional, kNone, kSkip});
        for (const char* name :
             {"SPACESON", "SPACESOFF", "CASEON",   "CASEOFF",   "EXTRAON", "EXTRAOFF",
              "LISTON",   "LISTOFF",   "LIST",     "NOLIST",    "MAPON",   "MAPOFF",
              "OPTRELON", "OPTRELOFF", "OPTRTSON", "OPTRTSOFF", "WARN",    "NOWARN",
              "MLISTON",  "MLISTOFF",  "MLIST",    "NOMLIST"})
            ops.emplace(std::string("#") + name, Operation{&A::switchDirective, kNone, 0});
        // Accepted for the sources that hold them; they change nothing on the 68HC11.
        for (const char* name : {"HIDEMACROS", "SHOWMACROS", "TRACEON", "TRACEOFF", "S1", "S2",
                                 "MAXLABEL", "JUMP", "CALL", "NOMMU"})
            ops.emplace(std::string("#") + name, Operation{&A::ignoreDirective, kNone, 0});
        for (const std::string_view segment : kSegments)
            ops.emplace("#" + std::string(segment), Operation{&A::segmentDirective, kNone, 0});
        return ops;
    }();
    return table;
}

namespace {

// Open addressing with eight times as many slots as names: a name is found with one hash and
// nearly always one comparison, where std::unordered_map took a hundred instructions.
template <typename Value>
class NameTable {
  public:
    explicit NameTable(std::size_t names) {
        std::size_t size = 8;
        while (size < 8 * names) size *= 2;
        slots_.resize(size);
    }

    Value& operator[](std::string_view name) {
        Slot& slot = slots_[indexOf(name)];
        slot.name = name;
        return slot.value;
    }

    const Value* find(std::string_view name) const {
        const Slot& slot = slots_[indexOf(name)];
        return slot.name.empty() ? nullptr : &slot.value;
    }

  private:
    struct Slot {
        std::string_view name;  // empty: free
        Value value{};
    };

    // The slot holding `name`, or the free one where it belongs.
    std::size_t indexOf(std::string_view name) const {
        const std::size_t mask = slots_.size() - 1;
        const std::size_t hash = NameHash{}(name);
        std::size_t i = hash & mask;
        while (!slots_[i].name.empty() && slots_[i].name != name) i = (i + 1) & mask;
        return i;
    }

    std::vector<Slot> slots_;
};

}  // namespace

Assembler::Mnemonic Assembler::findMnemonic(std::string_view name) {
    static const NameTable<Mnemonic> table = [] {
        const std::vector<std::string_view> instructions = instructionMnemonics();
        NameTable<Mnemonic> built(operations().size() + instructions.size());
        for (const auto& [opName, op] : operations()) built[opName].operation = &op;
        for (const std::string_view mnemonic : instructions)
            built[mnemonic].forms = instructionForms(mnemonic);
        return built;
    }();
    const Mnemonic* found = table.find(name);
    return found ? *found : Mnemonic{};
}

const Assembler::Operation* Assembler::findOperation(std::string_view name) {
    return findMnemonic(name).operation;
}

}  // namespace tarnwick::asm11
