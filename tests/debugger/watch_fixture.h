#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/machine.h"
#include "debugger/debug_context.h"
#include "debugger/watch_list.h"
#include "project/project.h"
#include "project/source_map.h"
#include "project/temp_directory.h"
#include "support/fake_debug_display.h"
#include "support/fake_host.h"
#include "support/fake_source_editor.h"

namespace tarnwick::testing {

// A watch list over a fresh machine, with a project file "demo.pro" in a temporary directory.
class WatchTest : public ::testing::Test {
  protected:
    explicit WatchTest(ProjectFormat format) {
        project.setPath(directory / "demo.pro");
        project.format = format;
    }

    void store(std::uint16_t address, const std::vector<std::uint8_t>& bytes) {
        for (const std::uint8_t byte : bytes) machine->poke(address++, byte);
    }

    std::vector<std::string> messages(FakeHost::Message::Kind kind) const {
        std::vector<std::string> texts;
        for (const auto& message : host.messages)
            if (message.kind == kind) texts.push_back(message.text);
        return texts;
    }
    std::vector<std::string> errors() const { return messages(FakeHost::Message::Error); }

    std::vector<std::array<std::string, 5>> rowTexts() const {
        std::vector<std::array<std::string, 5>> texts;
        for (const WatchRow& row : watches.rows()) texts.push_back(watchRowTexts(row));
        return texts;
    }

    // Section WATCH of the project file as it now reads.
    std::vector<std::string> savedEntries() const { return readWatches(readIniFile(project.path)); }

    TempDirectory directory;
    FakeHost host;
    std::unique_ptr<Machine> machine = std::make_unique<Machine>(host);
    Project project;
    SourceMap sourceMap;
    FakeSourceEditor editor;
    FakeDebugDisplay display;
    DebugContext context{*machine, project, sourceMap, editor, host, display};
    WatchList watches{context};
};

}  // namespace tarnwick::testing
