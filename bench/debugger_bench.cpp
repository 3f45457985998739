// Measures what holding F7 down costs in the debugger: the debug start of an assembly project
// with a 32 KB image and 10,000 source lines, and one Trace Into with its common refresh and
// the RAM and stack views rebuilt. The editor is the in-memory one of the tests, so the
// figures are the debugger's own share; each is the median of several runs, in milliseconds.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
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

constexpr int kSourceLines = 10'000;

// Straight-line code of 3.2 bytes a line on average, so that 10,000 lines fill 32 KB.
void writeProject(const fs::path& directory) {
    const char* kLines[] = {"        LDX     #$1234", "        STX     $0200",
                            "        LDD     #$0102", "        ADDD    $0202",
                            "        LDY     #$0300"};
    std::ofstream source(directory / "big.asm");
    source << "        ORG     $8000\nSTART   LDS     #$03FF\n";
    for (int line = 2; line < kSourceLines - 3; ++line) source << kLines[line % 5] << '\n';
    source << "HALT    BRA     HALT\n        ORG     $FFFE\n        FDB     START\n";
    std::ofstream(directory / "big.pro")
        << "[PROJECT]\nFormat=ASM11\n[CPU]\nType=M68HC11E1\nXTAL=8 MHz\nRMem=8000 FFFF\n"
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

}  // namespace

int main() {
    const fs::path directory = fs::temp_directory_path() / "tarnwick_debugger_bench";
    fs::remove_all(directory);
    fs::create_directories(directory);
    writeProject(directory);
    const std::string assemble =
        "cd '" + directory.string() + "' && '" ASM11_PATH "' big.asm >/dev/null";
    if (std::system(assemble.c_str()) != 0) {
        std::fprintf(stderr, "asm11 failed on the generated source\n");
        return 1;
    }

    std::vector<double> starts;
    std::vector<double> traces;
    std::size_t imageBytes = 0;
    for (int run = 0; run < 5; ++run) {
        Session session(directory / "big.pro");
        const Clock::time_point start = Clock::now();
        session.debugger.startOrStop();
        starts.push_back(millisecondsSince(start));
        if (!session.debugger.inSession()) {
            std::fprintf(stderr, "the debug start failed\n");
            return 1;
        }
        imageBytes = static_cast<std::size_t>(
            std::count_if(session.machine.memory.begin() + 0x8000, session.machine.memory.end() - 2,
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
    }
    fs::remove_all(directory);

    std::printf("debug start, %d source lines, %zu code lines: %.2f ms\n", kSourceLines, imageBytes,
                median(starts));
    std::printf("trace into with its refresh and the RAM and stack views: %.3f ms\n",
                median(traces));
    return 0;
}
