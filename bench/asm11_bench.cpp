// Measures asm11 on a generated 50,000-line source: both passes and the S19 and symbol file
// texts, without the disk. The plain program mixes what programs hold: labels, loops with
// backward branches, forward branches and calls, expressions over EQUs defined further down,
// conditional blocks, segments, data and comments. The structured one is the same program
// written with procedures, their local labels and a macro.
//
// With no arguments, prints each of five runs of each program and their median in
// milliseconds. With --once plain|structured, assembles that program once and prints its line
// count, for bench/asm11_callgrind.sh to divide the host instructions of assembleOnce by.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "asm11/assembler.h"
#include "asm11/output_files.h"

namespace {

using namespace tarnwick::asm11;

constexpr int kLines = 50000;
constexpr int kRuns = 5;

// One routine of each program, 39 lines and the same code of about 46 bytes, so that 50,000
// lines fit into the 60 KB above $1000; "{n}" stands for its number, which names its labels,
// and "{next}" for the routine it calls.
constexpr std::string_view kPlainRoutine =
    R"(; ----------------------------------------------------------------
; SUB{n}: adds the bytes of TABLE{n} to VAR{n}, then calls the next
; routine unless the sum has reached LIMIT{n}
; in: nothing    out: VAR{n}    uses: A, B, X
; ----------------------------------------------------------------
#RAM
VAR{n}	RMB	2		; running sum
#ROM
MASK{n}	EQU	{n}&7*16
LIMIT{n}	EQU	MASK{n}*2+{n}/16
SIZE{n}	EQU	4

SUB{n}	LDX	#TABLE{n}	; defined below
; sum the table
LOOP{n}	LDAA	0,X
	LDAB	VAR{n}+1
	ADDB	#{n}*3&$FF
	STAB	VAR{n}+1
	INX
	CPX	#TABLE{n}+SIZE{n}
	BNE	LOOP{n}
; scale the sum
	LDD	VAR{n}
	ADDD	#CONST{n}*2-1
	STD	VAR{n}
	CPD	#LIMIT{n}
	BHS	DONE{n}		; forward
	JSR	SUB{next}
DONE{n}	RTS

#IFDEF FAST
	NOP
#ELSE
	CLRD
#ENDIF
CONST{n}	EQU	{n}\7+$100	; used above
TABLE{n}	FCB	1,2,3,{n}&$FF
	FDB	DONE{n}

)";

constexpr std::string_view kStructuredRoutine =
    R"(; ----------------------------------------------------------------
; Sub{n}: adds the bytes of its table to Var{n}, then calls the next
; routine unless the sum has reached Limit{n}
; in: nothing    out: Var{n}    uses: A, B, X
; a procedure: its labels ending in @@ are its own
; ----------------------------------------------------------------
#RAM
Var{n}	rmb	2		; running sum
#ROM
Mask{n}	equ	{n}&7*16
Limit{n}	equ	Mask{n}*2+{n}/16
Size{n}	equ	4

Sub{n}	proc
	ldx	#Table@@	; defined below
; sum the table
Loop@@	ldaa	,x
	@AddTo	Var{n}+1,#{n}*3&$FF
	inx
	cpx	#Table@@+Size{n}
	bne	Loop@@
; scale the sum
	ldd	Var{n}
	addd	#Const{n}*2-1
	std	Var{n}
	cpd	#Limit{n}
	bhs	Done@@		; forward
	jsr	Sub{next}
Done@@	rts

#IFDEF FAST
	nop
#ELSE
	clrd
#ENDIF
Const{n}	equ	{n}\7+$100	; used above
Table@@	fcb	1,2,3,{n}&$FF
	fdb	Done@@

)";

constexpr std::string_view kPlainHeader = "; generated for the asm11 benchmark\n#ROM\n ORG $1000\n";

constexpr std::string_view kStructuredHeader = R"(; generated for the asm11 benchmark
AddTo	macro	Var,Amount
	ldab	~1~
	addb	~2~
	stab	~1~
	endm
#ROM
	org	$1000
)";

constexpr std::string_view kTrailer = "#VECTORS\n ORG $FFFE\n FDB {first}\n";

enum class Variant { Plain, Structured };

const char* variantName(Variant variant) {
    return variant == Variant::Plain ? "plain" : "structured";
}

std::string substituted(std::string_view pattern,
                        std::initializer_list<std::pair<std::string_view, std::string>> values) {
    std::string text(pattern);
    for (const auto& [token, value] : values)
        for (std::size_t at = text.find(token); at != std::string::npos;
             at = text.find(token, at + value.size()))
            text.replace(at, token.size(), value);
    return text;
}

long lineCount(std::string_view text) {
    return static_cast<long>(std::count(text.begin(), text.end(), '\n'));
}

// Whole routines, then comment lines up to kLines, the trailer last.
std::string generatedSource(Variant variant) {
    const bool plain = variant == Variant::Plain;
    const std::string_view routine = plain ? kPlainRoutine : kStructuredRoutine;
    const std::string header(plain ? kPlainHeader : kStructuredHeader);
    const std::string trailer = substituted(kTrailer, {{"{first}", plain ? "SUB0" : "Sub0"}});
    const long body = kLines - lineCount(header) - lineCount(trailer);
    const long routines = body / lineCount(routine);
    std::string source = header;
    for (long n = 0; n < routines; ++n)
        source += substituted(
            routine, {{"{n}", std::to_string(n)}, {"{next}", std::to_string((n + 1) % routines)}});
    for (long line = routines * lineCount(routine); line < body; ++line) source += "; padding\n";
    return source + trailer;
}

// What is measured: both passes and the texts of the two files the IDE's build writes.
struct Assembled {
    AssemblyResult result;
    std::size_t outputSize = 0;
};

// Kept out of line: the callgrind script counts this function alone.
[[gnu::noinline]] Assembled assembleOnce(const std::string& source) {
    Assembled assembled{assemble("bench.asm", source, AsmOptions{}), 0};
    assembled.outputSize =
        s19Text(assembled.result, "").size() + symbolFileText(assembled.result).size();
    return assembled;
}

void reportErrors(Variant variant, const AssemblyResult& result) {
    std::printf("asm11 %s: %d errors, the first: %s\n", variantName(variant), result.errors,
                messageLine(result.messages.front()).c_str());
}

// Five timed runs; false when the program does not assemble.
bool timeRuns(Variant variant) {
    const std::string source = generatedSource(variant);
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run) {
        const auto start = std::chrono::steady_clock::now();
        const Assembled assembled = assembleOnce(source);
        const std::chrono::duration<double, std::milli> elapsed =
            std::chrono::steady_clock::now() - start;
        if (assembled.result.errors > 0) {
            reportErrors(variant, assembled.result);
            return false;
        }
        times.push_back(elapsed.count());
        std::printf("%s run %d: %.1f ms (%zu bytes of code, %zu characters of S19 and symbols)\n",
                    variantName(variant), run + 1, elapsed.count(), assembled.result.byteCount,
                    assembled.outputSize);
    }
    std::sort(times.begin(), times.end());
    std::printf("asm11 %s: %ld lines assembled in %.1f ms (median of %d)\n", variantName(variant),
                lineCount(source), times[kRuns / 2], kRuns);
    return true;
}

int usage() {
    std::fprintf(stderr, "usage: asm11_bench [--once plain|structured]\n");
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 1) {
        const bool plain = timeRuns(Variant::Plain);
        // The structured program needs language the assembler may not have yet: its errors are
        // reported, and only the plain program's fail the benchmark.
        timeRuns(Variant::Structured);
        return plain ? 0 : 1;
    }
    if (argc != 3 || std::string_view(argv[1]) != "--once") return usage();
    const std::string_view name = argv[2];
    if (name != "plain" && name != "structured") return usage();
    const Variant variant = name == "plain" ? Variant::Plain : Variant::Structured;
    const std::string source = generatedSource(variant);
    const Assembled assembled = assembleOnce(source);
    std::printf("asm11 %s: %ld lines, %d errors, %zu bytes of code\n", name.data(),
                lineCount(source), assembled.result.errors, assembled.result.byteCount);
    if (assembled.result.errors > 0) reportErrors(variant, assembled.result);
    return assembled.result.errors > 0 ? 1 : 0;
}
