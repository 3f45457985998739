// Measures what holding F7 down costs in the debugger: the debug start of an assembly project
// with a 32 KB image and 10,000 source lines, and one Trace Into with its common refresh and
// the RAM and stack views rebuilt. The starts are those of one session, stopped and started
// again, as the user does it. The editor is the in-memory one of the tests, so the figures are
// the debugger's own share; each is the median of several runs, in milliseconds.
//
// With --starts LINES N it only starts and stops one session N times on a project of LINES
// source lines, for counting host instructions per line under callgrind (collected in
// 'tarnwick::Debugger::start()' only): bench/debugger_callgrind.sh.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "debugger/debugger.h"
#include "debugger/memory_views.h"
#include "project/ini_file.h"
#include "support/fake_debug_display.h"
#include "support/fake_host.h"
#include "support/fake_source_editor.h"

namespace {

using namespace tarnwick;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Straight-line code of 3.2 bytes a line on average, so that 10,000 lines fill 32 KB; up to
// 17,000 lines fit from 2000 on.
void writeProject(const fs::path& directory, int sourceLines) {
    const char* kLines[] = {"        LDX     #$1234", "        STX     $0200",
                            "        LDD     #$0102", "        ADDD    $0202",
                            "        LDY     #$0300"};
    std::ofstream source(directory / "big.asm");
    source << "        ORG     $2000\nSTART   LDS     #$03FF\n";
    for (int line = 2; line < sourceLines - 3; ++line) source << kLines[line % 5] << '\n';
    source << "HALT    BRA     HALT\n        ORG     $FFFE\n        FDB     START\n";
    std::ofstream(directory / "big.pro")
        << "[PROJECT]\nFormat=ASM11\n[CPU]\nType=M68HC11E1\nXTAL=8 MHz\nRMem=2000 FFFF\n"
           "RWMem=0000 03FF\nIOMem=1000 103F\n[FILES]\nCount=1\nFile0=big.asm\n";
}

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Session {
    testing::FakeHost host;
    Machine machine{host};
    Project project;
    SourceMap sourceMap;
    testing::FakeSourceEditor editor;
    testing::FakeDebugDisplay display;
    DebugContext context{machine, project, sourceMap, editor, host, display};
    Debugger debugger{context};

    explicit Session(const fs::path& projectFile) {
        project.setPath(projectFile);
        readProjectFile(readIniFile(projectFile), project, machine.memory);
    }
};

// Writes the project into a fresh directory and assembles it; false after a message.
bool prepareProject(const fs::path& directory, int sourceLines) {
    fs::remove_all(directory);
    fs::create_directories(directory);
    writeProject(directory, sourceLines);
    const std::string assemble =
        "cd '" + directory.string() + "' && '" ASM11_PATH "' big.asm >/dev/null";
    if (std::system(assemble.c_str()) == 0) return true;
    std::fprintf(stderr, "asm11 failed on the generated source\n");
    return false;
}

bool startSession(Session& session) {
    session.debugger.startOrStop();
    if (session.debugger.inSession()) return true;
    std::fprintf(stderr, "the debug start failed\n");
    return false;
}

int measureWallClock(const fs::path& directory) {
    constexpr int kSourceLines = 10'000;
    if (!prepareProject(directory, kSourceLines)) return 1;
    Session session(directory / "big.pro");
    std::vector<double> starts;
    std::vector<double> traces;
    std::size_t imageBytes = 0;
    for (int run = 0; run < 5; ++run) {
        const Clock::time_point start = Clock::now();
        if (!startSession(session)) return 1;
        starts.push_back(millisecondsSince(start));
        imageBytes = static_cast<std::size_t>(
            std::count_if(session.machine.memory.begin(), session.machine.memory.end() - 2,
                          [](const AddressRecord& record) { return record.line != 0; }));

        RamView ram;
        ram.show(session.machine, session.project.cpu.rangeLists);
        for (int step = 0; step < 20; ++step) {
            const Clock::time_point trace = Clock::now();
            session.debugger.traceInto();
            ram.rebuild(session.machine, session.project.cpu.rangeLists);
            const auto stack = stackView(session.machine);
            traces.push_back(millisecondsSince(trace));
            if (stack.empty()) return 1;
        }
        session.debugger.startOrStop();
    }
    std::printf("debug start, %d source lines, %zu code lines: %.2f ms\n", kSourceLines, imageBytes,
                median(starts));
    std::printf("trace into with its refresh and the RAM and stack views: %.3f ms\n",
                median(traces));
    return 0;
}

long minorPageFaults() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

// The page faults of the starts after the first tell whether memory goes back to the system
// and is mapped again at every start.
int countStarts(const fs::path& directory, int sourceLines, int starts) {
    if (!prepareProject(directory, sourceLines)) return 1;
    Session session(directory / "big.pro");
    long faultsAfterFirst = 0;
    for (int run = 0; run < starts; ++run) {
        if (run == 1) faultsAfterFirst = minorPageFaults();
        if (!startSession(session)) return 1;
        session.debugger.startOrStop();
    }
    std::printf("%d debug starts and stops of %d source lines", starts, sourceLines);
    if (starts > 1)
        std::printf(", %.1f minor page faults each after the first",
                    static_cast<double>(minorPageFaults() - faultsAfterFirst) / (starts - 1));
    std::printf("\n");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const fs::path directory = fs::temp_directory_path() / "tarnwick_debugger_bench";
    int status = 1;
    if (argc == 1) {
        status = measureWallClock(directory);
    } else if (argc == 4 && std::strcmp(argv[1], "--starts") == 0) {
        const int lines = std::atoi(argv[2]);
        const int starts = std::atoi(argv[3]);
        if (lines < 10 || lines > 17'000 || starts < 1) {
            std::fprintf(stderr, "--starts: LINES from 10 to 17000, N at least 1\n");
            return 1;
        }
        status = countStarts(directory, lines, starts);
    } else {
        std::fprintf(stderr, "usage: debugger_bench [--starts LINES N]\n");
        return 1;
    }
    fs::remove_all(directory);
    return status;
}
