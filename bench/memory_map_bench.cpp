// Measures what a 140 KB memory-map value in a project file costs: reading the project file
// (which parses the ranges and applies the map, as opening the project does) and applying
// the map again (as every debug start does). Each figure is the median of several runs, in
// milliseconds.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "project/ini_file.h"
#include "project/project.h"

namespace {

using namespace tarnwick;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kValueBytes = 140 * 1024;

std::string repeated(std::string_view unit) {
    std::string text;
    while (text.size() + unit.size() <= kValueBytes) text += unit;
    return text;
}

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main() {
    struct Case {
        const char* name;
        std::string value;
    };
    const Case cases[] = {
        {"full-range pairs \"0000 FFFF \"", repeated("0000 FFFF ")},
        {"short pairs \"0 0 \"", repeated("0 0 ")},
        {"dashed \"0000-0001,\"", repeated("0000-0001,")},
        {"one run of digits", std::string(kValueBytes, '1')},
    };
    const fs::path file = fs::temp_directory_path() / "tarnwick_memory_map_bench.pro";
    auto memory = std::make_unique<AddressSpace>();
    for (const Case& c : cases) {
        std::ofstream(file) << "[PROJECT]\nFormat=ASM11\n[CPU]\nRMem=" << c.value
                            << "\nRWMem=" << c.value << "\nIOMem=" << c.value << '\n';
        std::vector<double> opens;
        std::vector<double> applies;
        for (int run = 0; run < 3; ++run) {
            Project project;
            Clock::time_point start = Clock::now();
            readProjectFile(readIniFile(file), project, *memory);
            opens.push_back(millisecondsSince(start));
            start = Clock::now();
            project.cpu.applyMemoryMap(*memory);
            applies.push_back(millisecondsSince(start));
        }
        std::printf("%s, three %zu-byte values: open %.2f ms, apply at debug start %.2f ms\n",
                    c.name, c.value.size(), median(opens), median(applies));
    }
    fs::remove(file);
    return 0;
}
