// Measures the simulator's speed on a fixed CPU-bound workload of mixed instructions with the
// RTI and timer-overflow interrupts enabled: simulated instructions and E cycles per host
// second in the plain run loop and in the checking run loop (one breakpoint, never reached),
// and simulated time against host time at an 8 MHz crystal. Each figure is the median of
// three runs.
//
// With --dex-loop N it only runs N steps of LDX #$FFFF / DEX / BNE / BRA after a reset, for
// counting host instructions per simulated instruction under callgrind; --dex-loop-checking N
// does the same with one breakpoint that is never reached, and --dex-loop-peripherals N with
// the SCI transmitter enabled and the A/D converter scanning.
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <memory>

#include "core/interrupts.h"
#include "core/machine.h"
#include "core/run_loops.h"

namespace {

using namespace tarnwick;

class BenchHost : public Host {
  public:
    std::uint64_t pumpsLeft = 0;
    Machine* machine = nullptr;

    bool warnYesNo(std::string_view text) override {
        std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
        return true;
    }
    void showWarning(std::string_view text) override { warnYesNo(text); }
    void showError(std::string_view text) override { warnYesNo(text); }
    void showInformation(std::string_view) override {}
    // The run loops pump once per batch: ending the run here bounds it to whole batches.
    void processEvents() override {
        if (pumpsLeft == 0 || --pumpsLeft == 0) machine->requests.stop = true;
    }
    void setRefreshTimerActive(bool) override {}
    std::uint32_t timeSeed() override { return 1; }
    std::string thousandsSeparator() override { return ","; }
    std::string decimalSeparator() override { return "."; }
};

struct Bench {
    BenchHost host;
    std::unique_ptr<Machine> machine = std::make_unique<Machine>(host);

    Bench() {
        host.machine = machine.get();
        setMemoryKind(machine->memory, 0x0000, 0xFFFF, MemoryKind::Ram);
        setMemoryKind(machine->memory, 0x1000, 0x103F, MemoryKind::Io);
    }

    void load(std::uint16_t address, std::initializer_list<std::uint8_t> bytes) {
        for (std::uint8_t byte : bytes) machine->poke(address++, byte);
    }
    void setWord(std::uint16_t address, std::uint16_t word) {
        load(address, {static_cast<std::uint8_t>(word >> 8), static_cast<std::uint8_t>(word)});
    }
};

void loadMixedWorkload(Bench& bench) {
    bench.load(0x8000, {
                           0x8E, 0x01, 0xFF,        // LDS #$01FF
                           0x86, 0xC0,              // LDAA #$C0
                           0xB7, 0x10, 0x24,        // STAA TMSK2: RTII and TOI
                           0x0E,                    // CLI
                           0xCE, 0x01, 0x00,        // LOOP LDX #$0100
                           0xA6, 0x00,              // LDAA 0,X
                           0x8B, 0x03,              // ADDA #3
                           0xA7, 0x00,              // STAA 0,X
                           0xEC, 0x02,              // LDD 2,X
                           0xC3, 0x12, 0x34,        // ADDD #$1234
                           0xED, 0x02,              // STD 2,X
                           0x86, 0x25,              // LDAA #$25
                           0xC6, 0x07,              // LDAB #7
                           0x3D,                    // MUL
                           0xCE, 0x00, 0x07,        // LDX #7
                           0x02,                    // IDIV
                           0xBD, 0x80, 0x40,        // JSR SUB
                           0x18, 0xCE, 0x01, 0x10,  // LDY #$0110
                           0x18, 0xE6, 0x00,        // LDAB 0,Y
                           0x5C,                    // INCB
                           0x18, 0xE7, 0x00,        // STAB 0,Y
                           0xC1, 0x80,              // CMPB #$80
                           0x26, 0x03,              // BNE SKIP
                           0x18, 0x6F, 0x00,        // CLR 0,Y
                           0x7A, 0x00, 0x20,        // SKIP DEC $0020
                           0x26, 0xCD,              // BNE LOOP
                           0x20, 0xCB,              // BRA LOOP
                       });
    bench.load(0x8040, {
                           0x36,        // SUB PSHA
                           0xDE, 0x30,  // LDX $30
                           0x08,        // INX
                           0xDF, 0x30,  // STX $30
                           0x32,        // PULA
                           0x39,        // RTS
                       });
    bench.load(0x9000, {0x86, 0x40, 0xB7, 0x10, 0x25, 0x3B});  // clear RTIF, RTI
    bench.load(0x9100, {0x86, 0x80, 0xB7, 0x10, 0x25, 0x3B});  // clear TOF, RTI
    bench.setWord(0xFFF0, 0x9000);
    bench.setWord(0xFFDE, 0x9100);
    bench.setWord(0xFFFE, 0x8000);
}

struct Measurement {
    double seconds;
    std::uint64_t instructions;
    std::uint64_t cycles;
};

std::uint64_t executedInstructions(const Machine& machine) {
    std::uint64_t total = 0;
    for (const AddressRecord& record : machine.memory) total += record.executionCount;
    return total;
}

// Never reached, but it makes every run take the checking variant.
void setUnreachedBreakpoint(Machine& machine) {
    machine.memory[0x7000].flags |= kBreakpointFlag;
    machine.memory[0x7000].hitCount = 1;
    machine.activeStopCount = 1;
}

Measurement measureRun(bool withBreakpoint, std::uint64_t steps) {
    Bench bench;
    loadMixedWorkload(bench);
    machineReset(*bench.machine);
    if (withBreakpoint) setUnreachedBreakpoint(*bench.machine);
    bench.host.pumpsLeft = steps / (withBreakpoint ? 1000 : 100);
    const auto start = std::chrono::steady_clock::now();
    run(*bench.machine);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    return {elapsed.count(), executedInstructions(*bench.machine), bench.machine->cycleCounter};
}

double secondsPerInstruction(const Measurement& m) {
    return m.seconds / static_cast<double>(m.instructions);
}

// The middle one of three, by host time per simulated instruction.
Measurement median(std::array<Measurement, 3> runs) {
    std::sort(runs.begin(), runs.end(), [](const Measurement& x, const Measurement& y) {
        return secondsPerInstruction(x) < secondsPerInstruction(y);
    });
    return runs[1];
}

void runDexLoop(std::uint64_t steps, bool withBreakpoint, bool withPeripherals) {
    Bench bench;
    if (withPeripherals) {
        bench.load(0x7100, {
                               0x86, 0x08,        // LDAA #$08
                               0xB7, 0x10, 0x2D,  // STAA SCCR2: TE
                               0x86, 0x30,        // LDAA #$30
                               0xB7, 0x10, 0x30,  // STAA ADCTL: SCAN, MULT
                               0x7E, 0x80, 0x00,  // JMP $8000
                           });
    }
    bench.load(0x8000, {0xCE, 0xFF, 0xFF, 0x09, 0x26, 0xFD, 0x20, 0xF8});
    bench.setWord(0xFFFE, withPeripherals ? 0x7100 : 0x8000);
    machineReset(*bench.machine);
    if (withBreakpoint) setUnreachedBreakpoint(*bench.machine);
    bench.host.pumpsLeft = std::max<std::uint64_t>(steps / (withBreakpoint ? 1000 : 100), 1);
    run(*bench.machine);
    std::printf("dex loop: %llu instructions\n",
                static_cast<unsigned long long>(executedInstructions(*bench.machine)));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && (std::strcmp(argv[1], "--dex-loop") == 0 ||
                      std::strcmp(argv[1], "--dex-loop-checking") == 0 ||
                      std::strcmp(argv[1], "--dex-loop-peripherals") == 0)) {
        runDexLoop(std::strtoull(argv[2], nullptr, 10),
                   std::strcmp(argv[1], "--dex-loop-checking") == 0,
                   std::strcmp(argv[1], "--dex-loop-peripherals") == 0);
        return 0;
    }
    if (argc != 1) {
        std::fprintf(stderr,
                     "usage: simulator_bench [--dex-loop STEPS | --dex-loop-checking STEPS | "
                     "--dex-loop-peripherals STEPS]\n");
        return 1;
    }
    constexpr std::uint64_t kSteps = 50'000'000;
    constexpr double kEClockAt8MHz = 2'000'000.0;
    // Plain and checking runs alternate, so that a change in the machine's load between runs
    // touches both sides of each ratio alike.
    std::array<Measurement, 3> plainRuns{};
    std::array<Measurement, 3> checkingRuns{};
    std::array<double, 3> ratios{};
    for (std::size_t i = 0; i < 3; ++i) {
        plainRuns[i] = measureRun(false, kSteps);
        checkingRuns[i] = measureRun(true, kSteps);
        ratios[i] = secondsPerInstruction(checkingRuns[i]) / secondsPerInstruction(plainRuns[i]);
    }
    std::sort(ratios.begin(), ratios.end());
    const Measurement plain = median(plainRuns);
    const Measurement checking = median(checkingRuns);
    std::printf("plain run loop:    %.1f million instructions/s, %.1f million E cycles/s\n",
                plain.instructions / plain.seconds / 1e6, plain.cycles / plain.seconds / 1e6);
    std::printf("checking run loop: %.1f million instructions/s, %.1f million E cycles/s\n",
                checking.instructions / checking.seconds / 1e6,
                checking.cycles / checking.seconds / 1e6);
    std::printf("checking/plain host time per instruction: %.3f\n", ratios[1]);
    std::printf("simulated/host time at 8 MHz (plain): %.1f\n",
                plain.cycles / kEClockAt8MHz / plain.seconds);
    return 0;
}
