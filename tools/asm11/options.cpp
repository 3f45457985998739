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
        if (arg.size() < 2 || arg[0] != '-') {
            if (!options.sourcePath.empty()) {
                parsed.error =
                    "more than one source file: " + options.sourcePath + " and " + std::string(arg);
                return parsed;
            }
            options.sourcePath = arg;
            continue;
        }
        if (arg[1] == 'I' || arg[1] == 'i') {
            addIncludeDirs(arg.substr(2), options.includeDirs);
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
    if (!options.help && options.sourcePath.empty()) parsed.error = "no source file (see --help)";
    return parsed;
}

std::string usageText() {
    std::string text =
        "Usage: asm11 [options] file.asm\n"
        "Assembles 68HC11 source into file.s19 and file.sym beside it. Messages go to standard\n"
        "output, one per line: ERR* or WRN, the file, the line in brackets, the text (with\n"
        "-T+ file:line: error: text). -L+ and -M+ add file.lst and file.map.\n"
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
        "  -Idir  include directories, separated by ':', searched after the source's own\n"
        "  --help this text\n"
        "\n"
        "Pseudo-operations: ORG, EQU (=), SET, FCB (DB), FDB (DW), FCC, FCS (FCC and a zero\n"
        "byte), RMB (DS), BSZ and ZMB (zero bytes), FILL value,count, END [start],\n"
        "OPT and PAGE (no effect).\n"
        "\n"
        "Directives, with # (or $) in column 1: #INCLUDE file; #IF expr [= <> < > <= >= expr],\n"
        "#IFDEF/#IFNDEF name (defined on an earlier line), #IFZ/#IFNZ expr, #IFEXISTS/\n"
        "#IFNEXISTS file, #IFMAIN, #IFINCLUDED, #ELSE, #ENDIF; #MESSAGE/#WARNING/#ERROR text,\n"
        "#FATAL text (ends the assembly); #SPACESON/#SPACESOFF; #EXTRAON/#EXTRAOFF;\n"
        "#CASEON/#CASEOFF (without case a name finds the first symbol spelled like it).\n"
        "#LISTON/#LISTOFF and #MAPON/#MAPOFF: lines in the listing and the map; #TABSIZE n\n"
        "(1-32, default 8): tab stops in the listing. #S19FLUSH starts a new S1 record at\n"
        "the next byte. #OPTRELON/#OPTRELOFF and #OPTRTSON/#OPTRTSOFF switch the hints of -REL\n"
        "and -RTS. #PAGE is accepted and has no effect.\n"
        "#MEMORY start,end (or start end), any number of them: with -O+ code outside every\n"
        "range is an error.\n"
        "Segments #ROM (the first), #RAM, #DATA, #VECTORS, #SEG0-#SEG9: each has its own\n"
        "location counter, from 0; a switch goes on where that segment left off.\n"
        "#PUSH saves the segment and the #SPACES, #EXTRA, #CASE, #LIST and #MAP switches;\n"
        "#PULL brings them back.\n"
        "\n"
        "Extra mnemonics (-X+ or #EXTRAON) and the instructions they stand for:\n";
    text += extraMnemonicsHelp();
    text +=
        "XGAB uses one byte of stack. After COMD, NEGD, XGAB and XGXY the condition codes are\n"
        "those of the last instruction of the expansion.\n";
    return text;
}

}  // namespace tarnwick::asm11
