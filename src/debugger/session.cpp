// Debug start and stop for the three project formats, and how an address is shown as a
// marked source line.
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "base/file_text.h"
#include "base/number_text.h"
#include "core/interrupts.h"
#include "core/run_loops.h"
#include "debugger/debugger.h"
#include "disasm/disassembler.h"
#include "project/debug_file.h"
#include "project/file_names.h"
#include "project/s19_loader.h"
#include "project/symbol_file.h"

namespace tarnwick {

namespace {

constexpr std::string_view kNoFileMessage = "No file loaded to the project";
constexpr std::string_view kMissingAsmSymMessage =
    "The ASM/SYM file cannot be found, Project|Build";
constexpr std::string_view kDebugModeSuffix = " [Debug Mode]";
constexpr std::uint16_t kVectorTable = 0xFFC0;
constexpr std::uint8_t kRtsOpcode = 0x39;
constexpr std::uint8_t kRtiOpcode = 0x3B;

// The first project file with its last four characters (the extension) replaced.
std::filesystem::path withExtension(const Project& project, std::string_view extension) {
    std::string name = firstFilePath(project).string();
    name.resize(name.size() >= 4 ? name.size() - 4 : 0);
    return name + std::string(extension);
}

bool fileExists(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(findIgnoringCase(path), error);
}

}  // namespace

Debugger::Debugger(DebugContext& context)
    : breakpoints(context),
      counters(context),
      watches(context),
      context_(context),
      machine_(context.machine),
      editor_(context.editor) {
    machine_.programReset = [this] { resetProgram(); };
    machine_.peripherals.onSciFrameTransmitted = [this](std::uint8_t byte) { terminal.feed(byte); };
    machine_.peripherals.onUnsimulatedWrite = [this](const UnsimulatedRegister& entry,
                                                     std::uint16_t address) {
        noteUnsimulatedWrite(entry, address);
    };
}

void Debugger::startOrStop() {
    if (commandInProgress_) return;
    if (inSession_)
        stop();
    else
        start();
}

// Each session tells of every unsimulated peripheral the program writes to once.
void Debugger::start() {
    terminal.clear();
    notes_.clear();
    machine_.peripherals.forgetUnsimulatedWrites();
    switch (context_.project.format) {
        case ProjectFormat::Asm11:
            if (startAssembly()) enterSession();
            break;
        case ProjectFormat::S19:
            if (startS19()) enterSession();
            break;
        case ProjectFormat::Icc11:
            if (startC()) enterSession();
            break;
        case ProjectFormat::None:
            context_.host.showError(kNoFormatText);
            break;
    }
}

// Loads the image and checks the reset vector; false after an error report.
bool Debugger::loadImage(const std::filesystem::path& s19) {
    const S19LoadResult loaded = loadS19Image(machine_, context_.project.cpu, context_.sourceMap,
                                              findIgnoringCase(s19), fileText_);
    if (!loaded.ok()) {
        context_.host.showError(loaded.message);
        return false;
    }
    if (!loaded.resetVectorKnown) {
        context_.host.showError("Reset Vector is invalid");
        return false;
    }
    const MemoryKind target = machine_.memory[machine_.peek16(0xFFFE)].kind();
    if (target == MemoryKind::Undefined || target == MemoryKind::Io) {
        context_.host.showError("Reset Vector points to invalid memory, Configure|CPU");
        return false;
    }
    return true;
}

bool Debugger::startAssembly() {
    const Project& project = context_.project;
    if (project.files.empty()) {
        context_.host.showError(kNoFileMessage);
        return false;
    }
    const std::filesystem::path source = firstFilePath(project);
    const std::filesystem::path symbols = withExtension(project, ".sym");
    if (!fileExists(source) || !fileExists(symbols)) {
        context_.host.showError(kMissingAsmSymMessage);
        return false;
    }
    if (!loadImage(withExtension(project, ".s19"))) return false;
    const SourceReadResult read = readSymbolFile(machine_, context_.sourceMap, project.directory,
                                                 symbols.string(), watchNames_, fileText_);
    if (!read.ok()) {
        context_.host.showError(read.error);
        return false;
    }
    if (!openAndMarkModules()) return false;
    machineReset(machine_);
    setRegistersBlack();
    updateCycleAndTime();
    return showStartingPoint();
}

bool Debugger::startS19() {
    const Project& project = context_.project;
    if (project.files.empty()) {
        context_.host.showError(kNoFileMessage);
        return false;
    }
    const std::filesystem::path listing = withExtension(project, ".asm");
    const std::filesystem::path symbols = withExtension(project, ".sym");
    if (!fileExists(listing) || !fileExists(symbols)) {
        context_.host.showError(kMissingAsmSymMessage);
        return false;
    }
    if (!loadImage(firstFilePath(project))) return false;
    const SourceReadResult read = readSymbolFile(machine_, context_.sourceMap, project.directory,
                                                 symbols.string(), watchNames_, fileText_);
    if (!read.ok()) {
        context_.host.showError(read.error);
        return false;
    }
    const std::filesystem::path listingFile = findIgnoringCase(listing);
    if (!openSource(listingFile)) return false;
    markCodeLines(0);
    machineReset(machine_);
    setRegistersBlack();
    updateCycleAndTime();
    return showStartingPoint();
}

bool Debugger::startC() {
    const Project& project = context_.project;
    if (project.files.size() != 1) {
        context_.host.showError("No *.dbg file / more than 1 debug file loaded to the project");
        return false;
    }
    const std::filesystem::path debugFile = firstFilePath(project);
    if (debugFile.extension() != ".dbg") {
        context_.host.showError("The project input file MUST be a *.dbg file");
        return false;
    }
    const std::filesystem::path image = withExtension(project, ".s19");
    for (const std::filesystem::path& needed : {debugFile, image}) {
        if (!fileExists(needed)) {
            context_.host.showError("The file " + needed.string() + " cannot be found");
            return false;
        }
    }
    if (!loadImage(image)) return false;
    const DebugFileResult read = readDebugFile(machine_, context_.sourceMap, project.directory,
                                               debugFile.string(), cScopes_, fileText_);
    if (!read.ok()) {
        context_.host.showError(read.error);
        return false;
    }
    if (!read.hasMainFunction) {
        context_.host.showError("No Main Function");
        return false;
    }
    editor_.closeAll();
    if (!openAndMarkModules()) return false;
    machineReset(machine_);
    setRegistersBlack();
    updateCycleAndTime();
    takeRegisterSnapshot();
    runStartUpCode();
    refreshRegisters();
    updateCycleAndTime();
    if (!showStartingPoint()) return false;
    context_.display.refresh(kRamView | kStackView | kBreakpointList | kWatchList | kCounterList |
                             kPeripheralWindows);
    return true;
}

// A start that fails here leaves the sources open with their marks, but writable again: no
// session will stop to unlock them.
bool Debugger::showStartingPoint() {
    if (showExecutionPoint(machine_.pc)) return true;
    unlockModules();
    return false;
}

void Debugger::unlockModules() {
    const std::size_t count = context_.sourceMap.moduleCount();
    for (std::size_t module = 0; module < count; ++module)
        editor_.setReadOnly(moduleFile(module), false);
}

void Debugger::enterSession() {
    inSession_ = true;
    savedCaption_ = context_.display.mainCaption();
    context_.display.setMainCaption(savedCaption_ + std::string(kDebugModeSuffix));
    showAnalysis();
    if (context_.project.format != ProjectFormat::Icc11) resetCycleAndTime();
    context_.display.refresh(kControls);
    editor_.hideMessagePanel();
    restoreWatches();  // S19 projects have none
    context_.display.restoreDesktop();
    showExecutionPoint(machine_.pc);
    editor_.bringToFront();
}

void Debugger::stop() {
    context_.display.saveDesktop();
    setRegistersBlack();
    clearExecutionPointMarker();
    unmarkModules();
    if (context_.project.format == ProjectFormat::S19) {
        if (const auto active = editor_.activeFile()) editor_.setReadOnly(*active, false);
    }
    inSession_ = false;
    context_.display.setMainCaption(savedCaption_);
    context_.display.refresh(kControls);
    saveWatches();
    clearLists();
    context_.display.closeSessionWindows();
    for (const int panel : {kCyclePanel, kTimePanel, kStatusPanel})
        editor_.setStatusText(panel, "");
    // Typing edits at once: the page of the last execution point has the focus.
    if (lastExecutionPoint_.line > 0 && editor_.open(lastExecutionPoint_.file))
        editor_.moveCaret(lastExecutionPoint_.line - 1);
    editor_.bringToFront();
}

std::filesystem::path Debugger::moduleFile(std::size_t module) const {
    return findIgnoringCase(
        resolveName(context_.project.directory, context_.sourceMap.modules[module]));
}

bool Debugger::showExecutionPoint(std::uint16_t address) {
    if (machine_.memory[address].line == 0) {
        if (context_.project.format != ProjectFormat::Icc11) {
            context_.host.showError("No line info at $" + hexText(address, 4) + ", Debug|Stop");
            return false;
        }
        if (!writeTemporaryDisassembly(address)) return false;
    }
    const AddressRecord& record = machine_.memory[address];
    const std::filesystem::path file = moduleFile(record.module);
    if (!openSource(file)) return false;
    lastExecutionPoint_ = {file, record.line};
    const int line = record.line - 1;
    addMarkers(editor_, file, line, kExecutionPointMarker);
    editor_.setLineStyle(file, line, LineStyle::ExecutionPoint);
    editor_.moveCaret(line);
    return true;
}

void Debugger::clearExecutionPointMarker() {
    const LASTEXEPOINT& last = lastExecutionPoint_;
    if (last.line == 0 || !editor_.isOpen(last.file)) return;
    const int line = last.line - 1;
    removeMarkers(editor_, last.file, line, kExecutionPointMarker);
    editor_.setLineStyle(last.file, line, styleForMarkers(editor_.markers(last.file, line)));
}

// Code of a C program without line info (library or start-up code) is disassembled into a
// file of its own that then stands for its source, up to the next line that has a source,
// the return that ends the routine or the vector table.
bool Debugger::writeTemporaryDisassembly(std::uint16_t address) {
    SourceMap& map = context_.sourceMap;
    const std::size_t module = map.moduleCount();
    if (module >= map.modules.size() || address >= kVectorTable) {
        context_.host.showError("No line info at $" + hexText(address, 4) + ", Debug|Stop");
        return false;
    }
    const std::string name = "_tnwk" + std::to_string(map.temporaryDisassemblyCounter) + ".asm";
    map.temporaryDisassemblyCounter = (map.temporaryDisassemblyCounter + 1) & 0xFF;
    const std::filesystem::path path = std::filesystem::path(context_.project.directory) / name;
    // The addresses get their lines only once the file that shows them is there.
    std::string text = headerLine(currentLocalTime());
    std::vector<std::pair<std::uint16_t, std::uint16_t>> lines;
    std::uint16_t at = address;
    int line = 2;
    bool lastWritten = false;
    while (!lastWritten && machine_.memory[at].line == 0 && at < kVectorTable) {
        const std::uint8_t opcode = machine_.peek(at);
        lastWritten = opcode == kRtsOpcode || opcode == kRtiOpcode;
        const DisassembledLine disassembled = disassembleInstruction(machine_, at);
        lines.emplace_back(at, static_cast<std::uint16_t>(line));
        line += disassembled.endsBlock ? 2 : 1;
        text += disassembled.text + "\r\n";
        at = static_cast<std::uint16_t>(at + disassembled.length);
    }
    if (!writeFileReplacing(path, text)) {
        context_.host.showError("Cannot write the disassembly file " + path.string());
        return false;
    }
    map.modules[module] = name;
    for (const auto& [lineAddress, lineNumber] : lines) {
        machine_.memory[lineAddress].module = static_cast<std::uint8_t>(module);
        machine_.memory[lineAddress].line = lineNumber;
    }
    if (!openSource(path)) return false;
    markCodeLines(module);
    return true;
}

bool Debugger::openSource(const std::filesystem::path& file) {
    if (editor_.open(file)) return true;
    context_.host.showError("Cannot open the source file " + file.string());
    return false;
}

// A module that cannot be opened ends the start: the program could not be followed through
// it. The modules opened before it are left writable, since no session will unlock them.
bool Debugger::openAndMarkModules() {
    const bool editorWasActive = editor_.activeFile().has_value();
    const std::size_t count = context_.sourceMap.moduleCount();
    for (std::size_t module = 0; module < count; ++module) {
        if (!openSource(moduleFile(module))) {
            unlockModules();
            return false;
        }
        markCodeLines(module);
    }
    if (!editorWasActive) editor_.maximize();
    return true;
}

void Debugger::markCodeLines(std::size_t module) {
    const std::filesystem::path file = moduleFile(module);
    for (const AddressRecord& record : machine_.memory)
        if (record.line != 0 && record.module == module)
            addMarkers(editor_, file, record.line - 1, kCodeLineMarker);
    editor_.setReadOnly(file, true);
}

void Debugger::unmarkModules() {
    const std::size_t count = context_.sourceMap.moduleCount();
    for (std::size_t module = 0; module < count; ++module) {
        const std::filesystem::path file = moduleFile(module);
        if (!editor_.open(file)) continue;
        editor_.setReadOnly(file, false);
        for (const AddressRecord& record : machine_.memory) {
            if (record.line == 0 || record.module != module) continue;
            const int line = record.line - 1;
            removeMarkers(editor_, file, line,
                          kCodeLineMarker | kBreakpointMarker | kCounterMarker);
            editor_.setLineStyle(file, line, styleForMarkers(editor_.markers(file, line)));
        }
    }
}

}  // namespace tarnwick
