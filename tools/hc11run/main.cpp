// hc11run: runs a 68HC11 program on the simulator from the command line, for test scripts.

#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>

#include "base/file_text.h"
#include "base/number_text.h"
#include "core/interrupts.h"
#include "core/machine.h"
#include "hc11run/option_values.h"
#include "hc11run/program_run.h"
#include "hc11run/run_options.h"
#include "hc11run/run_report.h"
#include "hc11run/run_symbols.h"
#include "hc11run/terminal_session.h"
#include "hc11run/tool_host.h"
#include "project/cpu_configuration.h"
#include "project/ini_file.h"
#include "project/project.h"
#include "project/s19_loader.h"
#include "project/source_map.h"

namespace tarnwick {
namespace {

struct LoadError {
    std::string text;
};

// Stores a raw binary; true when it covers the high byte of the reset vector.
bool storeBinary(Machine& machine, const BinaryImage& image) {
    const std::optional<std::string> read = readFileText(image.path);
    if (!read) throw LoadError{"Cannot open the file " + image.path};
    const std::string& bytes = *read;
    const std::uint16_t address = image.address.value;
    if (address + bytes.size() > kAddressSpaceSize)
        throw LoadError{image.path + " (" + std::to_string(bytes.size()) +
                        " bytes) runs past FFFF when stored at " + hexText(address, 4)};
    for (std::size_t i = 0; i < bytes.size(); ++i)
        machine.poke(static_cast<std::uint16_t>(address + i), static_cast<std::uint8_t>(bytes[i]));
    return address <= kResetVector && address + bytes.size() > kResetVector;
}

// Takes the CPU configuration and the S19 image from the project file.
RunOptions withProject(RunOptions options, AddressSpace& memory) {
    const std::string& path = options.projectPath;
    if (!std::filesystem::exists(path)) throw LoadError{"cannot find the project file " + path};
    Project project;
    project.setPath(path);
    try {
        readProjectFile(readIniFile(path), project, memory);
    } catch (const FileError& error) {
        throw LoadError{error.what()};
    }
    const DebugImage image = debugImage(project);
    if (!image.ok()) throw LoadError{path + ": " + image.error};
    const auto hz = crystalHz(project.cpu.crystal);
    if (!hz) throw LoadError{path + ": unknown crystal XTAL=" + project.cpu.crystal};

    options.s19Path = image.s19.string();
    options.chip = project.cpu.cpuType;
    options.romRanges = project.cpu.romRanges;
    options.readWriteRanges = project.cpu.readWriteRanges;
    options.thirdRanges = project.cpu.thirdRanges;
    options.crystal = project.cpu.crystal;
    options.crystalHz = *hz;
    options.randomMemory = project.cpu.randomMemory;
    return options;
}

// Applies the memory map, fills memory and stores the program; true when a reset vector
// was given.
bool loadProgram(Machine& machine, const RunOptions& options) {
    CpuConfiguration configuration;
    configuration.cpuType = options.chip;
    configuration.crystal = options.crystal;
    configuration.romRanges = options.romRanges;
    configuration.readWriteRanges = options.readWriteRanges;
    configuration.thirdRanges = options.thirdRanges;
    configuration.randomMemory = options.randomMemory;

    bool resetVectorKnown = false;
    if (!options.s19Path.empty()) {
        SourceMap sourceMap;
        const S19LoadResult result =
            loadS19Image(machine, configuration, sourceMap, options.s19Path);
        if (!result.ok()) throw LoadError{result.message};
        resetVectorKnown = result.resetVectorKnown;
    } else {
        configuration.applyMemoryMap(machine.memory);
        machine.fillMemory(options.randomMemory);
    }
    for (const BinaryImage& image : options.binaries)
        resetVectorKnown = storeBinary(machine, image) || resetVectorKnown;
    return resetVectorKnown;
}

void setStartState(Machine& machine, const RunOptions& options) {
    if (options.startPc) {
        machine.peripherals.resetRegisters();
        machine.pc = options.startPc->value;
    } else {
        machine.performProgramReset();
    }
    const RegisterValues& set = options.registers;
    if (set.d) machine.setD(set.d->value);
    if (set.a) machine.a = *set.a;
    if (set.b) machine.b = *set.b;
    if (set.ix) machine.ix = set.ix->value;
    if (set.iy) machine.iy = set.iy->value;
    if (set.sp) machine.sp = set.sp->value;
    if (set.pc) machine.pc = set.pc->value;
    if (set.ccr) {
        machine.flags.x = true;  // loadByte may only clear X
        machine.flags.loadByte(*set.ccr);
    }

    AnalogDigital& adc = machine.peripherals.adc;
    if (options.portE)
        for (std::uint8_t bit = 0; bit < 8; ++bit)
            adc.setPortEBit(bit, (*options.portE >> bit) & 1);
    for (const AnalogInput& input : options.analogInputs)
        adc.channelInputs[input.channel] = input.value;
}

void writeDump(const Machine& machine, const std::string& path) {
    std::string image(kAddressSpaceSize, '\0');
    for (std::size_t address = 0; address < image.size(); ++address)
        image[address] = static_cast<char>(machine.peek(static_cast<std::uint16_t>(address)));
    if (!writeFileReplacing(path, image)) throw LoadError{"cannot write " + path};
}

// Every address option gets its address, from the symbol file where it names a label.
void resolveLabels(RunOptions& options) {
    const auto symbolFile = symbolFileOf(options);
    try {
        const std::optional<RunSymbols> symbols =
            symbolFile ? std::optional<RunSymbols>(*symbolFile) : std::nullopt;
        resolveAddresses(options, symbols ? &*symbols : nullptr);
    } catch (const UsageError& error) {
        throw LoadError{error.text};
    }
}

int runTool(RunOptions options) {
    ToolHost host(options.continueOnInvalid, options.seed);
    auto machine = std::make_unique<Machine>(host);
    host.watch(*machine);
    if (!options.projectPath.empty()) options = withProject(std::move(options), machine->memory);
    resolveLabels(options);
    if (!loadProgram(*machine, options) && !options.startPc)
        throw LoadError{"no reset vector; give --pc"};

    // Each byte as it is sent, so that a prompt without a line end shows at once and an
    // interrupted run keeps what was printed.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    setStartState(*machine, options);

    const EndSignals endSignals;
    ProgramRun run(*machine, host, options);
    const RunEnd end = host.invalidAccessStopped ? RunEnd::InvalidAccess : run.run();
    const RunReport report = makeReport(*machine, host, run, end, options);
    if (options.jsonSummary)
        std::fputs(jsonSummary(report).c_str(), stdout);
    else
        std::fputs(textSummary(report).c_str(), stderr);
    if (!options.dumpPath.empty()) writeDump(*machine, options.dumpPath);
    return report.status;
}

}  // namespace
}  // namespace tarnwick

int main(int argc, char** argv) {
    using namespace tarnwick;
    const ParsedRunOptions parsed = parseRunOptions(argc, argv);
    if (!parsed.ok()) {
        std::fprintf(stderr, "hc11run: %s (see hc11run --help)\n", parsed.error.c_str());
        return kUsageOrLoadError;
    }
    if (parsed.options.help) {
        std::fputs(usageText().c_str(), stdout);
        return 0;
    }
    if (parsed.options.version) {
        std::puts("hc11run " TARNWICK_VERSION);
        return 0;
    }
    try {
        return runTool(parsed.options);
    } catch (const LoadError& error) {
        std::fprintf(stderr, "hc11run: %s\n", error.text.c_str());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "hc11run: %s\n", error.what());
    }
    return kUsageOrLoadError;
}
