#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "core/interrupts.h"
#include "core/machine.h"
#include "debugger/breakpoint_list.h"
#include "debugger/debug_context.h"
#include "project/project.h"
#include "project/source_map.h"
#include "project/temp_directory.h"
#include "support/fake_debug_display.h"
#include "support/fake_host.h"
#include "support/fake_source_editor.h"

namespace tarnwick::testing {

// A debug session in miniature: a project directory with main.asm open in the editor, a small
// count-down loop in RAM whose addresses carry main.asm's lines, and the code-line markers
// the session would set. lib/util.asm, in a subdirectory, holds one more code line.
class DebuggerTest : public ::testing::Test {
  protected:
    // 0-based editor lines of main.asm and the addresses of those that generate code.
    static constexpr int kCommentLine = 0;
    static constexpr int kStartLine = 2;  // 8000 LDAA #5
    static constexpr int kLoopLine = 3;   // 8002 DECA, reached five times
    static constexpr int kBranchLine = 4;
    static constexpr int kDoneLine = 5;  // 8005 BRA to itself
    static constexpr std::uint16_t kStart = 0x8000;
    static constexpr std::uint16_t kLoop = 0x8002;
    static constexpr std::uint16_t kDone = 0x8005;
    static constexpr std::uint16_t kUtil = 0x8010;

    TempDirectory directory;
    FakeHost host;
    std::unique_ptr<Machine> machine = std::make_unique<Machine>(host);
    Project project;
    SourceMap sourceMap;
    FakeSourceEditor editor;
    FakeDebugDisplay display;
    DebugContext context{*machine, project, sourceMap, editor, host, display};
    std::filesystem::path mainFile = directory / "main.asm";
    std::filesystem::path utilFile = directory.path() / "lib" / "util.asm";

    DebuggerTest() {
        setMemoryKind(machine->memory, 0x0000, 0xFFFF, MemoryKind::Ram);
        setMemoryKind(machine->memory, 0x1000, 0x103F, MemoryKind::Io);
        project.setPath(directory / "demo.pro");
        sourceMap.modules[0] = "main.asm";
        sourceMap.modules[1] = "lib/util.asm";

        load(kStart, {0x86, 0x05, 0x4A, 0x26, 0xFD, 0x20, 0xFE, 0x39});
        load(kUtil, {0x39});
        load(0xFFFE, {0x80, 0x00});
        giveLine(0x8000, 0, kStartLine);
        giveLine(0x8002, 0, kLoopLine);
        giveLine(0x8003, 0, kBranchLine);
        giveLine(0x8005, 0, kDoneLine);
        giveLine(kUtil, 1, 1);

        editor.addPage(utilFile, {"; helpers", "util    RTS"});
        editor.addPage(mainFile, {"; count down from five", "        ORG  $8000", "start   LDAA #5",
                                  "loop    DECA", "        BNE  loop", "done    BRA  done"});
        markCodeLines();
        machineReset(*machine);
    }

    void load(std::uint16_t address, std::initializer_list<std::uint8_t> bytes) {
        for (const std::uint8_t byte : bytes) machine->poke(address++, byte);
    }

    // The address starts the 0-based editor line of the module.
    void giveLine(std::uint16_t address, std::uint8_t module, int editorLine) {
        machine->memory[address].module = module;
        machine->memory[address].line = static_cast<std::uint16_t>(editorLine + 1);
    }

    // What the session does at start: every line that generated code gets the marker.
    void markCodeLines() {
        for (std::uint32_t address = 0; address < kAddressSpaceSize; ++address) {
            const AddressRecord& record = machine->memory[address];
            if (record.line == 0) continue;
            const std::filesystem::path file = record.module == 0 ? mainFile : utilFile;
            addMarkers(editor, file, record.line - 1, kCodeLineMarker);
        }
    }

    // Puts the caret of the file's page on the line and makes the page active.
    void caretAt(const std::filesystem::path& file, int line) {
        editor.open(file);
        editor.moveCaret(line);
    }

    // A run that should end by itself is stopped after many batches instead of hanging the
    // test when it does not; the test then sees the wrong PC.
    template <typename Run>
    void runBounded(Run&& run) {
        int batches = 0;
        host.onProcessEvents = [&] {
            if (++batches > 1000) machine->requestStop();
        };
        run();
        host.onProcessEvents = nullptr;
    }

    // Rows as "file|line|address|count", one text each.
    static std::vector<std::string> rowTexts(const std::vector<SourceLineRow>& rows) {
        std::vector<std::string> texts;
        for (const SourceLineRow& row : rows)
            texts.push_back(row.file + "|" + std::to_string(row.line) + "|" + row.address + "|" +
                            row.count);
        return texts;
    }

    std::vector<std::string> messageTexts() const {
        std::vector<std::string> texts;
        for (const auto& message : host.messages) texts.push_back(message.text);
        return texts;
    }
};

}  // namespace tarnwick::testing
