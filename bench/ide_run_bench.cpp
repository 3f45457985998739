// Measures the IDE with its real windows: a free run against the same run in hc11run (the
// main window runs the program with F9 while its event pump lets the window system in every
// 10 ms, and a timer pauses it after two seconds), and the debug start and one Trace Into of
// a 10,000-line project in the QScintilla editor.
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "shell/main_form.h"
#include "shell/qt_settings_store.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kSource =
    "        ORG     $E000\n"
    "START   LDS     #$00FF\n"
    "LOOP    LDX     #$0100\n"
    "INNER   LDAA    $10\n"
    "        ADDA    #3\n"
    "        STAA    $10\n"
    "        DEX\n"
    "        BNE     INNER\n"
    "        BRA     LOOP\n"
    "        ORG     $FFFE\n"
    "        FDB     START\n";

double hc11runCyclesPerSecond(const fs::path& directory) {
    constexpr long kCycles = 400'000'000;
    const std::string command = "cd '" + directory.string() +
                                "' && '" HC11RUN_PATH "' loop.pro --cycles " +
                                std::to_string(kCycles) + " >/dev/null";
    const auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0) return 0;
    const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
    return kCycles / seconds.count();
}

// 10,000 lines of straight code, 32 KB, ending in a loop on itself.
void writeBigProject(const fs::path& directory) {
    std::ofstream source(directory / "big.asm");
    source << "        ORG     $8000\nSTART   LDS     #$03FF\n";
    const char* lines[] = {"        LDX     #$1234", "        STX     $0200",
                           "        LDD     #$0102", "        ADDD    $0202",
                           "        LDY     #$0300"};
    for (int line = 2; line < 9997; ++line) source << lines[line % 5] << '\n';
    source << "HALT    BRA     HALT\n        ORG     $FFFE\n        FDB     START\n";
    std::ofstream(directory / "big.pro")
        << "[PROJECT]\nFormat=ASM11\n[CPU]\nType=M68HC11E1\nXTAL=8 MHz\nRMem=8000 FFFF\n"
           "RWMem=0000 03FF\nIOMem=1000 103F\n[FILES]\nCount=1\nFile0=big.asm\n";
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const fs::path directory = fs::temp_directory_path() / "tarnwick_ide_run_bench";
    fs::remove_all(directory);
    fs::create_directories(directory);
    std::ofstream(directory / "loop.asm") << kSource;
    std::ofstream(directory / "loop.pro")
        << "[PROJECT]\nFormat=ASM11\n[CPU]\nType=M68HC11E1\nXTAL=8 MHz\nRMem=E000 FFFF\n"
           "RWMem=0000 00FF\nIOMem=1000 103F\n[FILES]\nCount=1\nFile0=loop.asm\n";
    const std::string assemble =
        "cd '" + directory.string() + "' && '" ASM11_PATH "' loop.asm >/dev/null";
    if (std::system(assemble.c_str()) != 0) return 1;

    const QString settings = QString::fromStdString((directory / "settings.ini").string());
    tarnwick::TMainForm form(
        tarnwick::MainFormSetup{std::make_unique<tarnwick::QtSettingsStore>(settings), {}, {}});
    form.openProject(directory / "loop.pro");
    form.DebugStartClick();
    if (!form.debugger().inSession()) return 1;

    int timerTicks = 0;
    QTimer ticker;  // stands for the windows' own timers, which must stay alive during a run
    QObject::connect(&ticker, &QTimer::timeout, [&timerTicks] { ++timerTicks; });
    ticker.start(100);
    QTimer::singleShot(2000, &form, [&form] { form.DebugProgramPauseClick(); });
    const std::uint32_t cyclesBefore = form.machine().cycleCounter;
    QElapsedTimer clock;
    clock.start();
    form.DebugRunClick();
    const double seconds = clock.elapsed() / 1000.0;
    const double cycles = form.machine().cycleCounter - cyclesBefore;
    form.DebugStartClick();

    std::printf(
        "IDE run (F9, paused after 2 s): %.1f million E cycles/s, %d timer ticks of 100 ms\n",
        cycles / seconds / 1e6, timerTicks);
    std::printf("hc11run, same program: %.1f million E cycles/s\n",
                hc11runCyclesPerSecond(directory) / 1e6);

    writeBigProject(directory);
    const std::string assembleBig =
        "cd '" + directory.string() + "' && '" ASM11_PATH "' big.asm >/dev/null";
    if (std::system(assembleBig.c_str()) != 0) return 1;
    form.openProject(directory / "big.pro");
    clock.restart();
    form.DebugStartClick();
    const qint64 startMs = clock.elapsed();
    clock.restart();
    form.DebugTraceIntoClick();
    const qint64 traceMs = clock.elapsed();
    std::printf(
        "IDE debug start of 10,000 lines / 32 KB: %lld ms; Trace Into with its refresh: "
        "%lld ms\n",
        static_cast<long long>(startMs), static_cast<long long>(traceMs));
    form.DebugStartClick();
    fs::remove_all(directory);
    return 0;
}
