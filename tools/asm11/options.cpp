#include "asm11/options.h"

#include <algorithm>
#include <cctype>
#include <string_view>

#include "asm11/extra_mnemonics.h"

namespace tarnwick::asm11 {
namespace {

struct Switch {
    std::string_view name;
    bool AsmOptions::*flag;
    bool hasEffect;
    std::string_view help;
};

constexpr Switch kSwitches[] = {
    {"WRN", &AsmOptions::warnings, true, "report warnings (default +)"},
    {"SP", &AsmOptions::spaces, true,
     "operands may contain blanks; only ';' starts a comment (default -)"},
    {"SH", &AsmOptions::s0Header, true, "write an S0 header record (default -)"},
    {"O", &AsmOptions::overlapCheck, true,
     "report code written twice to one address or outside #MEMORY (default +)"},
    {"P", &AsmOptions::pass1Stop, true, "stop after pass 1 when it found errors (default +)"},
    {"C", &AsmOptions::caseSensitive, true, "case-sensitive labels (default -)"},
    {"L", &AsmOptions::listing, true,
     "listing file .lst: line, address, bytes, source; symbols at the end (default -)"},
    {"M", &AsmOptions::map, true, "map file .map: address, line and file of code (default -)"},
    {"X", &AsmOptions::extraMnemonics, true, "extra mnemonics, listed below (default +)"},
    {"REL", &AsmOptions::relHint, true,
     "warn where a JMP/JSR could be a BRA/BSR; #OPTRELON/OFF (default -)"},
    {"RTS", &AsmOptions::rtsHint, true,
     "warn at an RTS right after a JSR/BSR; #OPTRTSON/OFF (default -)"},
    {"LS", &AsmOptions::symbolFile, true, "write the symbol file .sym (default +)"},
    {"LSE", &AsmOptions::symbolFormatE, true, "symbol file format (the only one written)"},
    {"S", &AsmOptions::s19File, true, "write the S19 file .s19 (default +)"},
    {"E", &AsmOptions::errorFile, true,
     "name.err beside each source with messages, holding them (default -)"},
    {"T", &AsmOptions::otherMessages, true,
     "messages as file:line: error: text (or warning:) (default -)"},
    {"EXP", &AsmOptions::exportFile, true,
     "file.exp: the EXP symbols as SETs and the #MEXPORT macros, to #INCLUDE (default -)"},
};

std::string upper(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return result;
}

// Splits "-I" directories at ":".
void addIncludeDirs(std::string_view list, std::vector<std::string>& dirs) {
    while (!list.empty()) {
        const std::size_t colon = list.find(':');
        const std::string_view dir = list.substr(0, colon);
        if (!dir.empty()) dirs.emplace_back(dir);
        if (colon == std::string_view::npos) break;
        list.remove_prefix(colon + 1);
    }
}

}  // namespace

ParsedAsmOptions parseAsmOptions(int argc, const char* const* argv) {
    ParsedAsmOptions parsed;
    AsmOptions& options = parsed.options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h" || arg == "-?") {
            options.help = true;
            continue;
        }
        if (arg == "--version") {
            options.version = true;
            continue;
        }
        if (arg.empty() || arg[0] != '-') {
            if (!options.sourcePath.empty()) {
                parsed.error =
                    "more than one source file: " + options.sourcePath + " and " + std::string(arg);
                return parsed;
            }
            options.sourcePath = arg;
            continue;
        }
        if (arg.size() < 2) {
            parsed.error = "unknown option - (see --help)";
            return parsed;
        }
        if (arg[1] == 'I' || arg[1] == 'i') {
            // -IDIR or -I DIR
            if (arg.size() > 2) {
                addIncludeDirs(arg.substr(2), options.includeDirs);
            } else if (i + 1 < argc) {
                addIncludeDirs(argv[++i], options.includeDirs);
            } else {
                parsed.error = std::string(arg) + " needs a directory (see --help)";
                return parsed;
            }
            continue;
        }
        if ((arg[1] == 'D' || arg[1] == 'd') && arg.size() > 2) {
            const std::string_view definition = arg.substr(2);
            const std::size_t split = definition.find_first_of(":=");
            options.defines.emplace_back(definition.substr(0, split),
                                         split == std::string_view::npos
                                             ? std::string_view()
                                             : definition.substr(split + 1));
            continue;
        }
        std::string_view name = arg.substr(1);
        bool on = true;
        if (name.back() == '+' || name.back() == '-') {
            on = name.back() == '+';
            name.remove_suffix(1);
        }
        const std::string key = upper(name);
        const auto found = std::find_if(std::begin(kSwitches), std::end(kSwitches),
                                        [&](const Switch& s) { return s.name == key; });
        if (found == std::end(kSwitches)) {
            parsed.error = "unknown option " + std::string(arg) + " (see --help)";
            return parsed;
        }
        options.*(found->flag) = on;
    }
    if (!options.help && !options.version && options.sourcePath.empty())
        parsed.error = "no source file (see --help)";
    return parsed;
}

std::string usageText() {
    std::string text =
        "Usage: asm11 [options] file.asm\n"
        "Assembles 68HC11 source into file.s19 and file.sym beside it. Messages go to standard\n"
        "output, one per line: ERR*, WRN or HNT (a hint, which counts as neither), the file,\n"
        "the line in brackets, the text (with -T+ file:line: error: text, or warning: or\n"
        "note:). -L+ and -M+ add file.lst and file.map.\n"
        "Exit status: 0 clean, 2 errors, 3 warnings only, 1 bad command line.\n"
        "\n"
        "Options, each -NAME+ (on) or -NAME- (off):\n";
    for (const Switch& s : kSwitches) {
        std::string line = "  -" + std::string(s.name);
        line.resize(9, ' ');
        text += line + std::string(s.help);
        if (!s.hasEffect) text += "; accepted, no effect yet";
        text += '\n';
    }
    text +=
        "  -Idir or -I dir  include directories, separated by ':', searched after the\n"
        "         source's own folder\n"
        "  -Dname[:value]  defines name (upper case) as value (0 without one) before line 1\n"
        "  --help this text\n"
        "  --version  the program's name and version\n"
        "\n"
        "Lines: a label in column 1 (a ':' after it is allowed, and makes an indented word a\n"
        "label too), the operation, the operand, a comment after a blank or ';'. Lines starting\n"
        "with * or ; are comments. Directives start with # (or $) in any column.\n"
        "Names: letters, digits, _ . @ $ after a letter, _ . or ?. ?name is local to its file,\n"
        "name@@ to its PROC, name$$$ to one macro call; the symbol file shows them with their\n"
        "scope after a colon (Loop@@:3, ?count:f2, Next$$$:m7).\n"
        "Expressions go strictly left to right; { } group. One that mixes + or - with * or /\n"
        "and whose value the usual precedence would change gets a hint, with the { } that make\n"
        "its order explicit. Operators + - * / \\ (remainder)\n"
        "& | ^ << >> and < > (shifts); unary - + ~ (swaps the bytes of the low word),\n"
        "[ ] (low and high byte of the low word), [[ ]] (low and high word). Numbers: $hex,\n"
        "0xhex, %binary, @octal, decimal (signed 32-bit; others up to $FFFFFFFF), 'c' or up to\n"
        "four characters in ' \" or `, * (this line's address), :internal symbols.\n"
        "Internal symbols: :PC :PPC :PROC :MAXPROC :TEMP :TEMP1 :TEMP2 :CYCLES (E cycles since\n"
        "the last read; reading resets) :OCYCLES :CRC :S19CRC (16-bit sums of address times\n"
        "byte over the bytes written, :CRC leaving $FF out) :ANRTS (the last RTS) :LINENO :OFFSET\n"
        ":ROM :RAM ... (segment counters) :YEAR :MONTH :DATE :HOUR :MIN :SEC :DOW :CPU (6811)\n"
        ":AB (2) :ERRORS :WARNINGS :SP :SP1 :SPX :: (top of stack) :SPCHECK :SPFREE :PSP\n"
        ":SPMAX :SPLIMIT ::name (its size); in macros :LOOP :MLOOP :MINDEX :INDEX :N :NN\n"
        ":LABEL :TEXT :MLINENO :MEXIT :MACRONEST :TOTALMACROCALLS and :0 to :999 (lengths).\n"
        "Any operation may end in :count (1-32767) to repeat it: LSRA:4.\n"
        "!name assembles the instruction even where a macro of that name would be called.\n"
        "\n"
        "Pseudo-operations: ORG [s19address,]address (\"ORG ,\" drops the S19 offset),\n"
        "EQU (=), SET, EXP (exported EQU) and DEF (EQU when undefined), each value[,size];\n"
        "NEXT, NEXP, SETN symbol[,step]; ALIGN n; FCB (DB) values and strings, FDB (DW, FAR)\n"
        "and LONG (32-bit) values, blanks allowed after the commas and a '#' before a value;\n"
        "FCC, FCS (FCC and a zero byte), {expr[(format)]} inside their strings; RMB (DS);\n"
        "BSZ and ZMB (zero bytes); FILL value,count; END [start] (other words after it are a\n"
        "comment); TITLE text (the listing's heading); OPT and PAGE (no effect);\n"
        "name PROC and ENDP (procedures, nested with ENDP).\n"
        "\n"
        "Macros: name MACRO ... ENDM (;; comments stay out of the body), REMACRO redefines.\n"
        "Called @name p1,p2 (or %name, which restarts its counters; @@name from a macro returns\n"
        "to it where @name chains; @name,c takes c as this call's separator; by name alone after\n"
        "#MACRO or #MCF). Placeholders ~0~ to ~999~, ~00~, ~label~, ~macro~, ~self~, ~text~,\n"
        "~#text~, ~procname~, ~filename~, ~basename~, ~path~, ~mfilename~, ~#~, ~#n~, ~n,~,\n"
        "~,n~, ~@~, ~@@~, ~n.start.length~, \\, (the separator) and {expr}; commas an empty\n"
        "parameter leaves at the end of the operand go. Commands MEXIT [value], MSTOP,\n"
        "MERROR text, MTOP [limit], MDO/MLOOP [limit], MSET n,text, MDEF, MSWAP, MDEL, MREQ\n"
        "n[:text], MTRIM, MSTR; MSUSPEND lets the lines after the call in until MRESUME (MSTOP\n"
        "[#ALL#] outside a macro forgets suspended ones). MSET # is not supported. Messages\n"
        "from an expansion name the call's line and the macro's own line. A call may loop\n"
        "(MTOP, MLOOP, chaining) 65536 times; 1000 errors end the assembly.\n"
        "\n"
        "Directives: #INCLUDE file; #USES (#USING) file: once per assembly; #EXIT [name]\n"
        "leaves an included file; #HOMEDIR [dir]. Files are found beside the including file,\n"
        "then in the source's folder and the -I folders, in any letter case, '\\' read as '/'.\n"
        "#IF expr [= <> < > <= >= expr] (unsigned), #IFDEF/#IFNDEF [name], #IFZ/#IFNZ,\n"
        "#IFEXISTS/#IFNEXISTS file, #IFMAIN, #IFINCLUDED, #IFPARM/#IFNOPARM (#IFNB/#IFB)\n"
        "text[=text], #IFSTR/#IFNOSTR, #IFNUM/#IFNONUM, #IFMDEF/#IFNOMDEF, #IFSPAUTO, #IFTOS,\n"
        "#ELSE [IFxxx ...] chains, #ENDIF: a condition sees only names defined on earlier lines,\n"
        "and is false where it uses one defined later, so both passes agree.\n"
        "#MESSAGE/#HINT/#WARNING/#ERROR text with {expr}, #FATAL text (ends the assembly);\n"
        "#SPACESON/OFF; #EXTRAON/OFF; #CASEON/OFF; #LISTON/OFF (#LIST/#NOLIST), #MLISTON/OFF,\n"
        "#MAPON/OFF; #WARN/#NOWARN; #TABSIZE n; #PAGE (#EJECT); #S19FLUSH; #OPTRELON/OFF and\n"
        "#OPTRTSON/OFF; #MEMORY start[,end] or #OFF#: with -O+ code outside every range is\n"
        "an error; #VARIABLE is checked and has no further effect; #TEMP[1|2] [expr];\n"
        "#CYCLES [expr]; #SIZE name[,size]; #EXPORT names; #UNDEF names; #PROC/#ENDP; #PPC;\n"
        "#CRC expr; #SP/#SP1/#SPAUTO [offset][,limit]/#SPADD/#SPCHECK/#PSP (PSHx, PULx, DES,\n"
        "INS, PSHD, PULD, PUSH and PULL move :SP under #SPAUTO); #MACRO/#@MACRO/#MCF/#MCF2 [@@];\n"
        "#MLIMIT n; #PARMS [c|SPACE]; #DROP; #RENAME and #REMACRO old,new; #MEXPORT names.\n"
        "#HIDEMACROS, #SHOWMACROS, #TRACEON/OFF, #S1, #S2, #MAXLABEL, #JUMP, #CALL and #NOMMU\n"
        "are accepted and change nothing. #X is refused: it would change indexed offsets.\n"
        "Segments #ROM (the first), #RAM, #DATA, #VECTORS, #EEPROM, #XRAM, #XROM, #SEG0-#SEG9:\n"
        "each has its own location counter, from 0; a switch goes on where that segment left\n"
        "off. #PUSH saves the segment and the switches; #PULL brings them back.\n"
        "\n"
        "Extra mnemonics (-X+ or #EXTRAON) and the instructions they stand for:\n";
    text += extraMnemonicsHelp();
    text +=
        "XGAB uses one byte of stack. After COMD, NEGD, XGAB and XGXY the condition codes are\n"
        "those of the last instruction of the expansion.\n";
    return text;
}

}  // namespace tarnwick::asm11
