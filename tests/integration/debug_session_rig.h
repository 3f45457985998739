#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/machine.h"
#include "debugger/debugger.h"
#include "integration/tool_run.h"
#include "project/ini_file.h"
#include "project/project.h"
#include "project/temp_directory.h"
#include "support/fake_debug_display.h"
#include "support/fake_host.h"
#include "support/fake_source_editor.h"

namespace tarnwick::testing {

// One debugger over fakes of the editor, the windows and the message boxes, with a project
// in a directory of its own.
struct DebugSessionRig {
    TempDirectory directory;
    FakeHost host;
    Machine machine{host};
    Project project;
    SourceMap sourceMap;
    FakeSourceEditor editor;
    FakeDebugDisplay display;
    DebugContext context{machine, project, sourceMap, editor, host, display};
    Debugger debugger{context};

    std::filesystem::path path(const std::string& name) const { return directory / name; }

    void openProject(const std::string& projectFile) {
        project.setPath(path(projectFile));
        readProjectFile(readIniFile(project.path), project, machine.memory);
        display.caption = "Tarnwick - " + projectFile;
    }

    // Copies an example's sources and project file into the directory and assembles them
    // with asm11.
    void buildExample(const std::string& name) {
        const char* source = std::getenv("TARNWICK_SOURCE_DIR");
        const std::filesystem::path example =
            std::filesystem::path(source ? source : ".") / "examples" / name;
        for (const char* extension : {".asm", ".pro"})
            std::filesystem::copy_file(example / (name + extension), path(name + extension));
        const ToolRun build = runTool(directory.path(), ASM11_PATH, name + ".asm");
        ASSERT_EQ(build.status, 0) << build.output << build.errors;
        openProject(name + ".pro");
    }

    std::string errors() const {
        std::string text;
        for (const FakeHost::Message& message : host.messages)
            if (message.kind == FakeHost::Message::Error) text += message.text + "\n";
        return text;
    }

    // The 1-based line of the execution point, when the page carries it exactly once.
    int executionLine(const std::filesystem::path& file) const {
        const std::vector<int> lines = editor.linesWith(file, kExecutionPointMarker);
        return lines.size() == 1 ? lines.front() + 1 : 0;
    }

    // Puts the caret of the file's page on a 1-based line.
    void caretTo(const std::filesystem::path& file, int line) {
        editor.open(file);
        editor.moveCaret(line - 1);
    }
};

}  // namespace tarnwick::testing
