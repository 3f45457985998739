#pragma once

#include <span>

#include "core/machine.h"
#include "debugger/command_map.h"
#include "debugger/debug_context.h"
#include "debugger/sci_terminal.h"
#include "project/desktop.h"
#include "project/project.h"
#include "shell/session_window.h"

namespace tarnwick {

// What the session windows show and whom they tell about their changes.
struct SessionWindowModels {
    Machine& machine;
    const MemoryRangeLists& blocks;  // the memory map's lists, kept in place by a new map
    DebugDisplay& display;
    const Project& project;
    SciTerminal& terminal;
};

// One window of a debug session: the menu entries that open it and list it, its place in the
// project's desktop, the refreshes it follows (the peripheral windows follow one together),
// and how it is made. A new window is one entry of the table.
struct SessionWindowKind {
    ToolWindow tool;
    DesktopWindow desktop;
    DebugView view;
    SessionWindow* (*create)(const SessionWindowModels& models);
};

// Every session window, in the order of the desktop.
std::span<const SessionWindowKind> sessionWindowKinds();

}  // namespace tarnwick
