// Measures the simulator's speed on four fixed workloads, each in the plain run loop and in
// the checking run loop (one breakpoint, never reached):
//   dex          LDX #$FFFF / DEX / BNE / BRA
//   mixed        a CPU-bound loop of mixed instructions with the RTI and timer-overflow
//                interrupts enabled
//   peripherals  the DEX loop with the SCI transmitter enabled and the A/D converter scanning
//   sci          a data logger: it prints through the SCI at 9600 baud while it computes,
//                takes the RTI and timer-overflow interrupts, starts an A/D sequence in every
//                RTI and keeps the results
//   sci-busy-adc the same printing and computing with the A/D converter busy all the time
//
// Without arguments it prints simulated instructions per host second for every workload
// and loop, each the median of three runs, and simulated against host time at an 8 MHz
// crystal. For counting host instructions under callgrind (bench/simulator_callgrind.sh):
//   --count WORKLOAD plain|checking STEPS   runs STEPS steps (whole batches) after a reset
//   --image WORKLOAD FILE                   writes 2000-FFFF of the workload, the part that
//                                           holds its code, for hc11run --bin FILE@2000
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <string_view>

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

// RAM everywhere but the register block, as hc11run --ram "0000 0FFF 1040 FFFF" sets it.
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

void loadDexLoop(Bench& bench) {
    bench.load(0x8000, {
                           0xCE, 0xFF, 0xFF,  // LOOP LDX #$FFFF
                           0x09,              // DOWN DEX
                           0x26, 0xFD,        // BNE DOWN
                           0x20, 0xF8,        // BRA LOOP
                       });
    bench.setWord(0xFFFE, 0x8000);
}

// The handlers of the RTI and the timer overflow clear their flag.
void loadTimerHandlers(Bench& bench) {
    bench.load(0x9000, {0x86, 0x40, 0xB7, 0x10, 0x25, 0x3B});  // clear RTIF, RTI
    bench.load(0x9100, {0x86, 0x80, 0xB7, 0x10, 0x25, 0x3B});  // clear TOF, RTI
    bench.setWord(0xFFF0, 0x9000);
    bench.setWord(0xFFDE, 0x9100);
}

void loadMixed(Bench& bench) {
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
    loadTimerHandlers(bench);
    bench.setWord(0xFFFE, 0x8000);
}

void loadPeripherals(Bench& bench) {
    loadDexLoop(bench);
    bench.load(0x7100, {
                           0x86, 0x08,        // LDAA #$08
                           0xB7, 0x10, 0x2D,  // STAA SCCR2: TE
                           0x86, 0x30,        // LDAA #$30
                           0xB7, 0x10, 0x30,  // STAA ADCTL: SCAN, MULT
                           0x7E, 0x80, 0x00,  // JMP $8000
                       });
    bench.setWord(0xFFFE, 0x7100);
}

// A data logger: the RTI handler starts an A/D sequence on AN0-AN3 every period, the main
// loop computes, keeps the results of each new sequence and prints a message through the SCI
// at 9600 baud, a byte whenever the transmitter has room.
void loadSci(Bench& bench) {
    bench.load(0x8000, {
                           0x8E, 0x01, 0xFF,        // LDS #$01FF
                           0xCE, 0x10, 0x00,        // LDX #$1000
                           0x86, 0x30,              // LDAA #$30
                           0xA7, 0x2B,              // STAA BAUD,X: 9600 baud
                           0x86, 0x08,              // LDAA #$08
                           0xA7, 0x2D,              // STAA SCCR2,X: TE
                           0x86, 0xC0,              // LDAA #$C0
                           0xA7, 0x24,              // STAA TMSK2,X: RTII and TOI
                           0x0E,                    // CLI
                           0x18, 0xCE, 0x91, 0x06,  // LDY #MSG
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
                           0xBD, 0x80, 0x65,        // JSR SUB
                           0xCE, 0x10, 0x00,        // LDX #$1000
                           0x7D, 0x00, 0x44,        // TST SAMPLED: a sequence started?
                           0x27, 0x0F,              // BEQ SEND
                           0x1F, 0x30, 0x80, 0x0B,  // BRCLR ADCTL,X,#$80,SEND: not done yet
                           0xEC, 0x31,              // LDD ADR1,X
                           0xDD, 0x40,              // STD $40
                           0xEC, 0x33,              // LDD ADR3,X
                           0xDD, 0x42,              // STD $42
                           0x7F, 0x00, 0x44,        // CLR SAMPLED
                           0x1F, 0x2E, 0x80, 0x10,  // SEND BRCLR SCSR,X,#$80,NEXT: no room
                           0x18, 0xA6, 0x00,        // LDAA 0,Y
                           0x26, 0x07,              // BNE PUT
                           0x18, 0xCE, 0x91, 0x06,  // LDY #MSG: the message again
                           0x18, 0xA6, 0x00,        // LDAA 0,Y
                           0xA7, 0x2F,              // PUT STAA SCDR,X
                           0x18, 0x08,              // INY
                           0x7A, 0x00, 0x20,        // NEXT DEC $0020
                           0x26, 0xB4,              // BNE LOOP
                           0x20, 0xB2,              // BRA LOOP
                           0x36,                    // SUB PSHA
                           0xDE, 0x30,              // LDX $30
                           0x08,                    // INX
                           0xDF, 0x30,              // STX $30
                           0x32,                    // PULA
                           0x39,                    // RTS
                       });
    bench.load(0x9000, {
                           0x86, 0x40,        // LDAA #$40
                           0xB7, 0x10, 0x25,  // STAA TFLG2: clear RTIF
                           0x86, 0x10,        // LDAA #$10
                           0xB7, 0x10, 0x30,  // STAA ADCTL: MULT, AN0-AN3
                           0x7C, 0x00, 0x44,  // INC SAMPLED
                           0x3B,              // RTI
                       });
    bench.load(0x9100, {0x86, 0x80, 0xB7, 0x10, 0x25, 0x3B});  // clear TOF, RTI
    bench.setWord(0xFFF0, 0x9000);
    bench.setWord(0xFFDE, 0x9100);
    const std::string_view message = "Tarnwick 68HC11 bench\r\n";
    std::uint16_t address = 0x9106;  // MSG, zero-terminated
    for (const char c : message) bench.machine->poke(address++, static_cast<std::uint8_t>(c));
    bench.machine->poke(address, 0x00);
    bench.setWord(0xFFFE, 0x8000);
}

// The same printing, computing and timer interrupts with the A/D converter busy all the
// time: the main loop starts the next sequence as soon as one is done, so that a conversion
// ends every 32 cycles for most of each pass.
void loadSciBusyAdc(Bench& bench) {
    bench.load(0x8000, {
                           0x8E, 0x01, 0xFF,        // LDS #$01FF
                           0xCE, 0x10, 0x00,        // LDX #$1000
                           0x86, 0x30,              // LDAA #$30
                           0xA7, 0x2B,              // STAA BAUD,X: 9600 baud
                           0x86, 0x08,              // LDAA #$08
                           0xA7, 0x2D,              // STAA SCCR2,X: TE
                           0x86, 0x10,              // LDAA #$10
                           0xA7, 0x30,              // STAA ADCTL,X: MULT, AN0-AN3
                           0x86, 0xC0,              // LDAA #$C0
                           0xA7, 0x24,              // STAA TMSK2,X: RTII and TOI
                           0x0E,                    // CLI
                           0x18, 0xCE, 0x91, 0x06,  // LDY #MSG
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
                           0xBD, 0x80, 0x61,        // JSR SUB
                           0xCE, 0x10, 0x00,        // LDX #$1000
                           0x1F, 0x30, 0x80, 0x08,  // BRCLR ADCTL,X,#$80,SEND: no CCF yet
                           0xEC, 0x31,              // LDD ADR1,X
                           0xDD, 0x40,              // STD $40
                           0x86, 0x10,              // LDAA #$10
                           0xA7, 0x30,              // STAA ADCTL,X: the next sequence
                           0x1F, 0x2E, 0x80, 0x10,  // SEND BRCLR SCSR,X,#$80,NEXT: no TDRE
                           0x18, 0xA6, 0x00,        // LDAA 0,Y
                           0x26, 0x07,              // BNE PUT
                           0x18, 0xCE, 0x91, 0x06,  // LDY #MSG: the message again
                           0x18, 0xA6, 0x00,        // LDAA 0,Y
                           0xA7, 0x2F,              // PUT STAA SCDR,X
                           0x18, 0x08,              // INY
                           0x7A, 0x00, 0x20,        // NEXT DEC $0020
                           0x26, 0xBC,              // BNE LOOP
                           0x20, 0xBA,              // BRA LOOP
                           0x36,                    // SUB PSHA
                           0xDE, 0x30,              // LDX $30
                           0x08,                    // INX
                           0xDF, 0x30,              // STX $30
                           0x32,                    // PULA
                           0x39,                    // RTS
                       });
    loadTimerHandlers(bench);
    const std::string_view message = "Tarnwick 68HC11 bench\r\n";
    std::uint16_t address = 0x9106;  // MSG, zero-terminated
    for (const char c : message) bench.machine->poke(address++, static_cast<std::uint8_t>(c));
    bench.machine->poke(address, 0x00);
    bench.setWord(0xFFFE, 0x8000);
}

struct Workload {
    const char* name;
    void (*load)(Bench&);
};

constexpr std::array<Workload, 5> kWorkloads{{
    {"dex", loadDexLoop},
    {"mixed", loadMixed},
    {"peripherals", loadPeripherals},
    {"sci", loadSci},
    {"sci-busy-adc", loadSciBusyAdc},
}};

const Workload* findWorkload(std::string_view name) {
    for (const Workload& workload : kWorkloads)
        if (name == workload.name) return &workload;
    return nullptr;
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

// Runs whole batches of the loop's size, at least one, from a reset.
Measurement measureRun(const Workload& workload, bool checking, std::uint64_t steps) {
    Bench bench;
    workload.load(bench);
    machineReset(*bench.machine);
    if (checking) setUnreachedBreakpoint(*bench.machine);
    bench.host.pumpsLeft = std::max<std::uint64_t>(steps / (checking ? 1000 : 100), 1);
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

void measureWallClock() {
    constexpr std::uint64_t kSteps = 20'000'000;
    constexpr double kEClockAt8MHz = 2'000'000.0;
    for (const Workload& workload : kWorkloads) {
        // Plain and checking runs alternate, so that a change in the machine's load between
        // runs touches both sides of each ratio alike.
        std::array<Measurement, 3> plainRuns{};
        std::array<Measurement, 3> checkingRuns{};
        std::array<double, 3> ratios{};
        for (std::size_t i = 0; i < 3; ++i) {
            plainRuns[i] = measureRun(workload, false, kSteps);
            checkingRuns[i] = measureRun(workload, true, kSteps);
            ratios[i] =
                secondsPerInstruction(checkingRuns[i]) / secondsPerInstruction(plainRuns[i]);
        }
        std::sort(ratios.begin(), ratios.end());
        const Measurement plain = median(plainRuns);
        const Measurement checking = median(checkingRuns);
        std::printf(
            "%-13s plain %6.1f, checking %6.1f million instructions/s; checking/plain %.3f; "
            "simulated/host time at 8 MHz %.1f\n",
            workload.name, plain.instructions / plain.seconds / 1e6,
            checking.instructions / checking.seconds / 1e6, ratios[1],
            plain.cycles / kEClockAt8MHz / plain.seconds);
    }
}

bool writeImage(const Workload& workload, const char* path) {
    Bench bench;
    workload.load(bench);
    std::FILE* file = std::fopen(path, "wb");
    if (!file) return false;
    bool written = true;
    for (std::uint32_t address = 0x2000; address < kAddressSpaceSize && written; ++address)
        written = std::fputc(bench.machine->peek(static_cast<std::uint16_t>(address)), file) != EOF;
    return std::fclose(file) == 0 && written;
}

int usage() {
    std::fputs(
        "usage: simulator_bench [--count WORKLOAD plain|checking STEPS | --image WORKLOAD FILE]\n"
        "workloads: dex, mixed, peripherals, sci, sci-busy-adc\n",
        stderr);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 1) {
        measureWallClock();
        return 0;
    }
    const Workload* workload = argc >= 3 ? findWorkload(argv[2]) : nullptr;
    if (!workload) return usage();
    if (argc == 5 && std::strcmp(argv[1], "--count") == 0) {
        const bool checking = std::strcmp(argv[3], "checking") == 0;
        if (!checking && std::strcmp(argv[3], "plain") != 0) return usage();
        const std::uint64_t steps = std::strtoull(argv[4], nullptr, 10);
        const Measurement m = measureRun(*workload, checking, steps);
        std::printf("%s %s: %llu instructions, %llu E cycles\n", workload->name, argv[3],
                    static_cast<unsigned long long>(m.instructions),
                    static_cast<unsigned long long>(m.cycles));
        return 0;
    }
    if (argc == 4 && std::strcmp(argv[1], "--image") == 0) {
        if (writeImage(*workload, argv[3])) return 0;
        std::fprintf(stderr, "simulator_bench: cannot write %s\n", argv[3]);
        return 1;
    }
    return usage();
}
