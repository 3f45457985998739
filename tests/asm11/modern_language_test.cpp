// The modern language: free-column directives, procedures and their @@ names, ?locals,
// macros and their commands, repeaters, the newer pseudo-operations, internal symbols and
// conditions that see only earlier lines.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "asm11/assemble_text.h"
#include "asm11/output_files.h"

namespace tarnwick::asm11 {
namespace {

struct AfterOrgCase {
    const char* what;
    const char* source;  // assembled after " ORG $100"
    std::vector<std::uint8_t> bytes;
};

const AfterOrgCase kBytesCases[] = {
    // Statements.
    {"directives in any column, indented labels with a colon, @ calls in column 1",
     "m MACRO\n FCB ~1~\n ENDM\n    #ifdef NOPE\n NOP\n    #endif\n  loop: INX\n"
     "@m 7\n BRA loop",
     {0x08, 0x07, 0x20, 0xFC}},
    {"repeaters repeat the statement and define its label once",
     "L LSRA:4\n FCB:3 0\n FDB L",
     {0x44, 0x44, 0x44, 0x44, 0, 0, 0, 0x01, 0x00}},

    // Procedures.
    {"each procedure has its own Loop@@; ENDP returns to the outer one's",
     "A PROC\nLoop@@ NOP\nB PROC\nLoop@@ INX\n BRA Loop@@\n ENDP\n BRA Loop@@\n ENDP\n"
     "C PROC\nLoop@@ DEX\n BRA Loop@@",
     {0x01, 0x08, 0x20, 0xFD, 0x20, 0xFA, 0x09, 0x20, 0xFD}},
    {"@@ is plain before the first PROC and after the last ENDP",
     "Loop@@ NOP\n#PROC\nLoop@@ INX\n#ENDP\n BRA Loop@@",
     {0x01, 0x08, 0x20, 0xFC}},
    {":PROC is the open procedure's number, :MAXPROC the last given",
     " FCB :PROC\nA PROC\nB PROC\n FCB :PROC\n ENDP\n FCB :PROC,:MAXPROC\n ENDP\n FCB :PROC",
     {0, 2, 1, 2, 0}},

    // ?locals.
    {"? alone is a symbol", "? EQU 5\n?x EQU 6\n FCB ?,?x", {5, 6}},

    // Macro placeholders.
    {"parameters, the name, lengths (:0 is the name's); ;; comments stay out",
     "m MACRO ;; private\n FCB ~1~,~2~,:0,:1 ;; private\n FCB ~0~\n ENDM\nm EQU 9\n@m 3,44",
     {3, 44, 1, 1, 9}},
    {"trailing commas of empty parameters go",
     "m MACRO\n LDAA ~1~,~2~\n FCB ~1~,~3~\n ENDM\n@m 5,X\n@m $10",
     {0xA6, 0x05, 0x05, 0x96, 0x10, 0x10}},
    {"~#~ and ~#n~ see an immediate first parameter",
     "m MACRO\n LDAA ~1~\n FCB ~#1~\n#IFPARM ~#~\n FCB 1\n#ENDIF\n ENDM\n@m #7\n@m $20",
     {0x86, 0x07, 0x07, 0x01, 0x96, 0x20, 0x20}},
    {"~n,~ is before the index comma, ~,n~ from it",
     "m MACRO\n LDAA ~1,~+1~,1~\n ENDM\n@m,/ 5,X\n@m,/ $30",
     {0xA6, 0x06, 0x96, 0x31}},
    {"~n.s.l~ takes part of a parameter, the start kept inside it",
     "m MACRO\n FCC '~1.2.2~~1.9~'\n ENDM\n@m abcd",
     {'b', 'c', 'd'}},
    {"~label~ is the call's label; a nested call without one keeps it",
     "in MACRO\n~label~ FCB 1\n ENDM\nout MACRO\n FCB 2\n @@in\n ENDM\nHere @out\n FDB Here",
     {2, 1, 0x01, 0x01}},
    {"~@~ passes every parameter on; \\, is the call's separator",
     "two MACRO\n FCB ~1~\n FCB ~2~\n ENDM\nfwd MACRO\n @@two ~@~\n FCB 9\\,8\n ENDM\n"
     "@fwd 1,2",
     {1, 2, 9, 8}},
    {"{expr} in a macro line is taken at expansion", "m MACRO\n FCB {~1~*2}\n ENDM\n@m 21", {42}},
    {"@name,; takes ; as the separator; #PARMS sets it for later calls",
     "two MACRO\n FCB ~1~\n FCB ~2~\n ENDM\n@two,; 1,2;3 comment\n#PARMS /\n@two 4/5\n#PARMS\n"
     "@two 6,7",
     {1, 2, 3, 4, 5, 6, 7}},
    {"Loop$$$ is new for each call",
     "m MACRO\nLoop$$$ DEX\n BNE Loop$$$\n ENDM\n@m\n@m",
     {0x09, 0x26, 0xFD, 0x09, 0x26, 0xFD}},

    // Macro flow.
    {"@@ returns to the caller, @ chains and the caller ends",
     "in MACRO\n FCB ~1~\n ENDM\nout MACRO\n @@in 1\n FCB 2\n @in 3\n FCB 4\n ENDM\n@out\n FCB 5",
     {1, 2, 3, 5}},
    {"MEXIT leaves with :MEXIT; conditionals are local to the expansion",
     "m MACRO\n#IF ~1~ > 1\n MEXIT 44\n#ENDIF\n FCB ~1~\n ENDM\n@m 1\n@m 2\n FCB :MEXIT",
     {1, 44}},
    {"MTOP with a limit counts :LOOP; MDO and MLOOP count :MLOOP",
     "t MACRO\n FCB :LOOP\n MTOP 3\n ENDM\nd MACRO\n FCB $AA\n MDO 5\n FCB :MLOOP\n MLOOP 7\n "
     "ENDM\n"
     "@t\n@d",
     {1, 2, 3, 0xAA, 5, 6, 7}},
    {"a self-chaining macro counts :LOOP",
     "m MACRO\n FCB :LOOP\n#IF :LOOP < 3\n @m\n#ENDIF\n ENDM\n@m",
     {1, 2, 3}},
    {":MINDEX counts calls of the macro, :TOTALMACROCALLS every call",
     "a MACRO\n FCB :MINDEX\n ENDM\nb MACRO\n ENDM\n@a\n@b\n@a\n FCB :TOTALMACROCALLS",
     {1, 2, 3}},
    {"MSET, MDEF, MSWAP, MSTR and MDEL change the parameters",
     "m MACRO\n MDEF 3,9\n MDEF 1,6\n MSET 2,5\n MSWAP 1,2\n FCB ~1~,~2~,~3~\n MSTR 4\n"
     " FCB ~4~,:4\n MDEL 1\n FCB ~1~\n ENDM\n@m 7,8,,ab",
     {5, 7, 9, 'a', 'b', 4, 7}},
    {":N counts the parameters, :LABEL is the label's length",
     "m MACRO\n FCB :N,:LABEL\n ENDM\nxyz @m a,b\n@m",
     {2, 3, 0, 0}},
    {"MREQ passes with its parameters there",
     "m MACRO\n MREQ 1,2:needs two\n FCB ~2~\n ENDM\n@m 1,2",
     {2}},
    {"#MACRO calls without @, instructions first; #MCF macros first; ! forces the instruction",
     "nop MACRO\n FCB $EE\n ENDM\ntwo MACRO\n FCB ~1~\n ENDM\n@nop\n NOP\n#MACRO\n NOP\n two 5\n"
     "#MCF\n NOP\n !NOP",
     {0xEE, 0x01, 0x01, 0x05, 0xEE, 0x01}},
    {"REMACRO redefines, #DROP restores, #RENAME moves",
     "m MACRO\n FCB 1\n ENDM\nm REMACRO\n FCB 2\n ENDM\n@m\n#DROP m\n@m\n#RENAME m,q\n@q\n"
     "#IFNOMDEF m\n FCB 3\n#ENDIF\n#IFMDEF q\n FCB 4\n#ENDIF",
     {2, 1, 1, 3, 4}},
    {"#IFB, #IFNB, #IFSTR, #IFNUM and #IFNOPARM test parameters",
     "t MACRO\n#IFB ~1~\n FCB 1\n#ENDIF\n#IFNB ~1~\n FCB 2\n#ENDIF\n#IFSTR ~1~\n FCB 3\n#ENDIF\n"
     "#IFNUM ~1~\n FCB 4\n#ENDIF\n#IFNOPARM ~2~\n FCB 5\n#ENDIF\n ENDM\n@t 'ab'\n@t 12,1\n@t",
     {2, 3, 5, 2, 4, 1, 5}},

    // Pseudo-operations.
    {"DEF defines only what is undefined", "A EQU 1\nA DEF 5\nB DEF 6\n FCB A,B", {1, 6}},
    {"NEXT, SETN and NEXP step a symbol; NEXT without a label only steps it",
     "S SET 10\nA NEXT S\nB NEXT S,2\n NEXT S\nC SETN S\nD NEXP S,3\n FCB A,B,C,D,S",
     {10, 11, 14, 15, 18}},
    {"NEXT steps :TEMP", "#TEMP 20\nA NEXT :TEMP,2\nB NEXT :TEMP\n FCB A,B,:TEMP", {20, 22, 23}},
    {"LONG, FAR, strings, 'A'+1, blanks after commas and FDB #label",
     " LONG $12345678\n FAR $1234\n DB 'AB','A'+1,\"x\"\n FCB 1, 2, 3\n FDB #H\nH",
     {0x12, 0x34, 0x56, 0x78, 0x12, 0x34, 'A', 'B', 'B', 'x', 1, 2, 3, 0x01, 0x0F}},
    {"END takes the words after it as a comment", " NOP\n END of the program", {0x01}},

    // Internal symbols.
    {":PC and :PPC after #PPC",
     " NOP\n#PPC\n NOP\n FDB :PC,:PPC",
     {0x01, 0x01, 0x01, 0x02, 0x01, 0x01}},
    {":CYCLES counts E cycles, reading resets it; #CYCLES keeps :OCYCLES",
     "#CYCLES\n NOP\n LDAA #1\n LDX 0,Y\n FCB :CYCLES\n FCB :CYCLES\n INX\n#CYCLES 10\n"
     " FCB :OCYCLES,:CYCLES",
     {0x01, 0x86, 0x01, 0xCD, 0xEE, 0x00, 10, 0, 0x08, 3, 10}},
    {"MSUSPEND lets the lines after the call in until MRESUME, nested too",
     "W MACRO\n FCB ~1~\n MSUSPEND\n FCB ~1~+10\n ENDM\n @W 1\n @W 2\n FCB 5\n MRESUME\n"
     " FCB 6\n MRESUME\n FCB 7",
     {1, 2, 5, 12, 6, 11, 7}},
    {":ANRTS is the last RTS", " RTS\n NOP\n FDB :ANRTS", {0x39, 0x01, 0x01, 0x00}},
    {":LINENO is the line's number", "\n\n FCB :LINENO", {4}},
    {"segments keep their own counters",
     "#RAM\n ORG $80\n#ROM\n FDB :RAM,:ROM",
     {0x00, 0x80, 0x01, 0x00}},
    {"#SPAUTO follows pushes and pulls; #SP stops it",
     "#SPAUTO\n PSHA\n PSHX\n FCB :SP,::\n PULA\n FCB :SP\n#SP\n PSHB\n FCB :SP",
     {0x36, 0x3C, 3, 0xFE, 0x32, 2, 0x37, 0}},

    // Conditions see only earlier lines.
    {"a later symbol is false for #IF and #IFDEF in both passes",
     "#IF FWD\n FCB 1\n#ELSE\n FCB 2\n#ENDIF\n#IFDEF FWD\n FCB 3\n#ENDIF\nFWD EQU 1\n#IF FWD\n"
     " FCB 4\n#ENDIF",
     {2, 4}},
    {"#IFDEF without a name is false", "#IFDEF\n FCB 1\n#ELSE\n FCB 2\n#ENDIF", {2}},
    {"#ELSE IF and #ELSE IFDEF chain",
     "A EQU 1\n#IF A = 2\n FCB 1\n#ELSE IF A = 1\n FCB 2\n#ELSE\n FCB 3\n#ENDIF\n"
     "#IFDEF NOPE\n FCB 4\n#ELSE IFDEF NOPE2\n FCB 5\n#ELSE IFNDEF NOPE3\n FCB 6\n#ENDIF",
     {2, 6}},
    {"comparisons are unsigned",
     "#IF -1 > 1\n FCB 1\n#ENDIF\n#IF $8000 > $7FFF\n FCB 2\n#ENDIF",
     {1, 2}},
};

TEST(ModernLanguageTest, SourcesGiveTheirBytes) {
    for (const AfterOrgCase& c : kBytesCases) {
        const AssemblyResult result = assembleText(std::string(" ORG $100\n") + c.source);
        EXPECT_EQ(result.errors, 0) << c.what << "\n" << allMessages(result);
        EXPECT_EQ(bytesAt(result, 0x100), c.bytes) << c.what;
    }
}

TEST(ModernLanguageTest, AlignAndSizesLandWhereExpected) {
    const AssemblyResult aligned =
        assembleText(" ORG $100\n FCB 1\n ALIGN 4\nL SET $13\nL ALIGN 8\n FCB L");
    EXPECT_EQ(bytesAt(aligned, 0x104), std::vector<std::uint8_t>{0x18});
    const AssemblyResult sized =
        assembleText(" ORG $100\nV EQU $40,3\nR RMB 5\nW RMB 2\n#SIZE R,4\n FCB ::V,::W,::R");
    EXPECT_EQ(bytesAt(sized, 0x107), (std::vector<std::uint8_t>{3, 2, 4}));
}

TEST(ModernLanguageTest, OrgWithTwoAddressesPlacesCodeAssembledForTheSecond) {
    const AssemblyResult result =
        assembleText(" ORG $2000,$C000\nC1 JMP C1\n ORG ,\nC2 JMP C2\n TITLE Modern");
    EXPECT_EQ(result.errors, 0) << allMessages(result);
    EXPECT_EQ(bytesAt(result, 0x2000), (std::vector<std::uint8_t>{0x7E, 0xC0, 0x00}));
    EXPECT_EQ(bytesAt(result, 0xC003), (std::vector<std::uint8_t>{0x7E, 0xC0, 0x03}));
    EXPECT_EQ(result.title, "Modern");
}

TEST(ModernLanguageTest, CrcsSumAddressTimesByte) {
    // $100*1 + $101*$FF + $103*2 = $0305; :CRC skips the $FF: $100 + $103*2 = $0306.
    const AssemblyResult result =
        assembleText(" ORG $100\n FCB 1,$FF,0,2\n FDB :S19CRC,:CRC\n#CRC $10\n FDB :CRC");
    EXPECT_EQ(result.errors, 0) << allMessages(result);
    EXPECT_EQ(bytesAt(result, 0x104), (std::vector<std::uint8_t>{0x03, 0x05, 0x03, 0x06, 0, 0x10}));
}

TEST(ModernLanguageTest, DefinesOnTheCommandLineHoldInBothPasses) {
    AsmOptions options;
    options.defines = {{"FOO", "3"}, {"BAR", ""}};
    const AssemblyResult result = assembleText(
        "#IFDEF FOO\n ORG $100\n#ENDIF\nFOO DEF 9\n FCB FOO,BAR\n#IFDEF BAR\n FCB 1\n#ENDIF",
        options);
    EXPECT_EQ(allMessages(result), "");
    EXPECT_EQ(bytesAt(result, 0x100), (std::vector<std::uint8_t>{3, 0, 1}));
}

TEST(ModernLanguageTest, ExpSymbolsAreExported) {
    const AssemblyResult result = assembleText("A EXP 7\nB EQU 8\nS SET 1\nC NEXP S");
    ASSERT_EQ(result.exports.size(), 2u);
    EXPECT_EQ(result.exports[0].name, "A");
    EXPECT_EQ(result.exports[0].value, 7);
    EXPECT_EQ(result.exports[1].name, "C");
    EXPECT_EQ(result.exports[1].value, 1);
}

TEST(ModernLanguageTest, SymbolFileShowsProcedureNamesWithTheirScope) {
    const AssemblyResult result =
        assembleText(" ORG $100\nLoop@@ NOP\nA PROC\nLoop@@ NOP\n ENDP\nB PROC\nLoop@@ NOP\n ENDP");
    EXPECT_EQ(result.errors, 0) << allMessages(result);
    EXPECT_NE(symbolFileText(result).find("#SYMBOL\n0100 Loop@@\n0101 A\n0101 Loop@@:1\n"
                                          "0102 B\n0102 Loop@@:2\n#END\n"),
              std::string::npos)
        << symbolFileText(result);
}

TEST(ModernLanguageTest, MacroCodeMapsToTheCallingLine) {
    const AssemblyResult result =
        assembleText("m MACRO\n NOP\n#IF 1\n INX\n#ENDIF\n ENDM\n ORG $100\n@m\n NOP\n @m");
    ASSERT_EQ(result.modules.size(), 1u);
    EXPECT_EQ(result.modules[0].lines,
              (std::vector<std::pair<std::uint16_t, int>>{
                  {0x100, 8}, {0x101, 8}, {0x102, 9}, {0x103, 10}, {0x104, 10}}));
}

struct BadCase {
    const char* source;
    const char* messages;  // every message line
};

const BadCase kBadCases[] = {
    {" NOP:0\n FCB:32768 1",
     "ERR* t.asm [1] Repeater value out of range (1-32767): 0\n"
     "ERR* t.asm [2] Repeater value out of range (1-32767): 32768\n"},
    {"A PROC\nL@@ NOP\nL@@ NOP\n ENDP\n ENDP",
     "ERR* t.asm [3] Duplicate label: L@@\n"
     "ERR* t.asm [5] ENDP without PROC\n"},
    {" FDB :ANRTS\n RTS", "ERR* t.asm [1] No RTS before :ANRTS\n"},
    {"m MACRO\n NOP\n LDAA #~1~\n ENDM\n NOP\n @m UNDEF",
     "ERR* t.asm [6] Undefined symbol: UNDEF (in macro m at t.asm line 3)\n"},
    {"m MACRO\n MREQ 1,2:needs two\n FCB 1\n ENDM\n @m 1",
     "ERR* t.asm [5] needs two (in macro m at t.asm line 2)\n"},
    {"m MACRO\n#IF 1\n ENDM\n @m", "ERR* t.asm [4] #IF without #ENDIF in macro m\n"},
    {" NOP\nm MACRO\n NOP\n", "ERR* t.asm [2] MACRO m without ENDM\n"},
    {"m MACRO\n @@m\n ENDM\n#MLIMIT 5\n @m",
     "ERR* t.asm [5] Macros nested deeper than 5 (#MLIMIT) (in macro m at t.asm line 2)\n"},
    {" MEXIT", "ERR* t.asm [1] MEXIT outside a macro\n"},
    // An empty parameter whose trailing comma is looked for inside an open string.
    {"m MACRO\n LDAA \"~1~,~2~\n ENDM\n @m 1\n NOP",
     "ERR* t.asm [4] Unterminated string (in macro m at t.asm line 2)\n"},
    {"m MACRO\n MSUSPEND\n ENDM\n @m\n NOP",
     "ERR* t.asm [4] MSUSPEND without MRESUME in macro m\n"},
    {" MRESUME\n MSTOP",
     "ERR* t.asm [1] MRESUME without MSUSPEND\n"
     "ERR* t.asm [2] MSTOP without a running or suspended macro\n"},
    // The assembler's own limits.
    {" FILL $AA,$7FFFFFFF", "ERR* t.asm [1] Code runs past $FFFF\n"},
    {" RMB $7FFFFFFF", "ERR* t.asm [1] Code runs past $FFFF\n"},
    {" BSZ $FFFFFFFF", "ERR* t.asm [1] Negative count: -1\n"},
    {" ZMB $80000000", "ERR* t.asm [1] Negative count: -2147483648\n"},
    {" ORG $100000000", "ERR* t.asm [1] Number too large: $100000000\n"},
    {" ORG $FFFFFFFF", "ERR* t.asm [1] Address out of range: -1\n"},
    {" ORG $FFFF,$100\n FCB 1,2", "ERR* t.asm [2] ORG offset puts code outside $0000-$FFFF\n"},
    {" BRA $1E002", "ERR* t.asm [1] Branch target out of range: $1E002\n"},
    {" LDAA #4294967297", "ERR* t.asm [1] Number too large: 4294967297\n"},
    {" FDB $100000005", "ERR* t.asm [1] Number too large: $100000005\n"},
    {" BLO *--2147483648", "ERR* t.asm [1] Number too large: 2147483648\n"},
};

TEST(ModernLanguageTest, BadSourcesGiveTheirMessages) {
    for (const BadCase& c : kBadCases) {
        AsmOptions options;
        options.pass1Stop = false;
        EXPECT_EQ(allMessages(assembleText(c.source, options)), c.messages) << c.source;
    }
}

// A macro that never ends must end the assembly at once with a message that says so.
TEST(ModernLanguageTest, EndlessMacrosEndQuickly) {
    const char* const sources[] = {
        "m MACRO\n @m\n ENDM\n @m",
        "m MACRO\n FCB 1\n MTOP\n ENDM\n ORG $100\n @m",
        "a MACRO\n @b\n ENDM\nb MACRO\n MDO\n MLOOP 3\n @a\n ENDM\n @a",
    };
    for (const char* source : sources) {
        const auto start = std::chrono::steady_clock::now();
        const AssemblyResult result = assembleText(source);
        const auto elapsed = std::chrono::steady_clock::now() - start;
        // A bound that tells an end from a hang, whatever the machine's load.
        EXPECT_LT(elapsed, std::chrono::seconds(30)) << source;
        EXPECT_NE(allMessages(result).find("a macro that never ends?"), std::string::npos)
            << source << "\n"
            << allMessages(result).substr(0, 500);
    }
}

}  // namespace
}  // namespace tarnwick::asm11
