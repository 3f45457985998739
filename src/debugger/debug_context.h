#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/host.h"
#include "core/machine.h"
#include "debugger/source_editor.h"
#include "project/project.h"
#include "project/source_map.h"

namespace tarnwick {

// The windows around the debugger, as far as the debugger tells them what to show. The model
// keeps everything they show; a refresh asks the window to read it again.
enum DebugView : unsigned {
    kRegisterPanel = 1 << 0,
    kBreakpointList = 1 << 1,
    kWatchList = 1 << 2,
    kCounterList = 1 << 3,
    kRamView = 1 << 4,
    kRomView = 1 << 5,
    kStackView = 1 << 6,
    kPeripheralWindows = 1 << 7,
    // Menu entries, tool buttons and the main caption: the command map's states changed.
    kControls = 1 << 8,
    // Memory the watches read was written outside a run command: every row is evaluated again
    // and redrawn.
    kWatchValues = 1 << 9,
};
using DebugViews = unsigned;

class DebugDisplay {
  public:
    virtual ~DebugDisplay() = default;
    // Redraws the named views from the model (views that are not shown ignore it).
    virtual void refresh(DebugViews views) = 0;
    // Whether the RAM view, ROM view or stack view is shown.
    virtual bool isShown(DebugView view) const = 0;
    // Closes the RAM, ROM and stack views and the Interrupts, RTI & Timer, SCI and ADC
    // windows at the end of a session.
    virtual void closeSessionWindows() = 0;
    // The window layout kept in the project file, restored at a session's start and saved
    // at its stop.
    virtual void restoreDesktop() = 0;
    virtual void saveDesktop() = 0;
    // The main window's caption.
    virtual std::string mainCaption() const = 0;
    virtual void setMainCaption(std::string_view caption) = 0;
};

// What every part of the debugger works on: the one machine, the open project, its source
// map, the editor and the platform. All of it lives as long as the program.
struct DebugContext {
    Machine& machine;
    Project& project;
    SourceMap& sourceMap;
    SourceEditor& editor;
    Host& host;
    DebugDisplay& display;

    std::filesystem::path projectDirectory() const { return project.directory; }
};

}  // namespace tarnwick
