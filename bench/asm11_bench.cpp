// Measures how long asm11 takes to assemble a generated 20,000-line source: both passes and
// the S19 and symbol file texts, without the disk. The source mixes what programs hold:
// labels, loops with backward branches, forward branches and calls, expressions over EQUs
// defined further down, conditional blocks, segments, data and comments. Prints each of five
// runs and their median in milliseconds.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "asm11/assembler.h"
#include "asm11/output_files.h"

namespace {

using namespace tarnwick::asm11;

constexpr int kLines = 20000;
constexpr int kRuns = 5;

// One routine of 27 lines; "{n}" stands for its number, which names its labels, and
// "{next}" for the routine it calls.
constexpr std::string_view kRoutine = R"(; routine {n}: sums its table into VAR{n}
#RAM
VAR{n}	RMB	2
#ROM
SUB{n}	LDX	#TABLE{n}	; defined below
	LDAA	#{n}*3&$FF
LOOP{n}	LDAB	0,X
	ADDB	#{n}\7+1
	STAB	VAR{n}
	INX
	CPX	#TABLE{n}+4
	BNE	LOOP{n}
	LDD	VAR{n}
	ADDD	#CONST{n}*2-1
	STD	VAR{n}
	BEQ	DONE{n}
	JSR	SUB{next}
DONE{n}	RTS
#IFDEF FAST
	NOP
#ELSE
	CLRD
#ENDIF
CONST{n}	EQU	$100+{n}
TABLE{n}	FCB	1,2,3,{n}&$FF
	FDB	SUB{n},DONE{n}
	FCC	"R{n}"
)";

std::string routine(int n, int next) {
    std::string text(kRoutine);
    for (const auto& [token, value] :
         {std::pair<std::string_view, int>{"{n}", n}, {"{next}", next}})
        for (std::size_t at = text.find(token); at != std::string::npos; at = text.find(token, at))
            text.replace(at, token.size(), std::to_string(value));
    return text;
}

std::string generatedSource() {
    constexpr int kRoutineLines = 27;
    const std::string header = "; generated for the asm11 benchmark\n#ROM\n ORG $1000\n";
    const std::string trailer = "#VECTORS\n ORG $FFFE\n FDB SUB0\n";
    constexpr int kHeaderLines = 3;
    constexpr int kTrailerLines = 3;
    const int routines = (kLines - kHeaderLines - kTrailerLines) / kRoutineLines;
    std::string source = header;
    for (int n = 0; n < routines; ++n) source += routine(n, (n + 1) % routines);
    for (int lines = kHeaderLines + routines * kRoutineLines; lines < kLines - kTrailerLines;
         ++lines)
        source += "; padding\n";
    return source + trailer;
}

}  // namespace

int main() {
    const std::string source = generatedSource();
    const auto lineCount = std::count(source.begin(), source.end(), '\n');
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run) {
        const auto start = std::chrono::steady_clock::now();
        const AssemblyResult result = assemble("bench.asm", source, AsmOptions{});
        const std::size_t outputSize = s19Text(result, "").size() + symbolFileText(result).size();
        const std::chrono::duration<double, std::milli> elapsed =
            std::chrono::steady_clock::now() - start;
        if (result.errors > 0) {
            std::fprintf(stderr, "asm11_bench: the generated source has %d errors, the first: %s\n",
                         result.errors, messageLine(result.messages.front()).c_str());
            return 1;
        }
        times.push_back(elapsed.count());
        std::printf("run %d: %.1f ms (%zu bytes of code, %zu characters of S19 and symbols)\n",
                    run + 1, elapsed.count(), result.byteCount, outputSize);
    }
    std::sort(times.begin(), times.end());
    std::printf("asm11: %ld lines assembled in %.1f ms (median of %d)\n",
                static_cast<long>(lineCount), times[kRuns / 2], kRuns);
    return 0;
}
