#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

// The main window's menus, in menu-bar order.
enum class Menu : std::uint8_t {
    File,
    Edit,
    Search,
    View,
    Project,
    Debug,
    DebugTools,
    SubSystems,
    Configure,
    Window,
    Benchmark,
    Help,
};

struct MenuTitle {
    Menu menu;
    std::string_view caption;  // "&" marks the access key
};
std::span<const MenuTitle> menuTitles();

// The tool windows that are opened from the View or SubSystems menu and then listed in the
// Window menu while they are open.
enum class ToolWindow : std::uint8_t {
    None,
    Ram,
    Rom,
    Stack,
    RtiTimer,
    Interrupts,
    Sci,
    AdcPortE,
    SciTerminal,
};
using ToolWindows = unsigned;  // a set of ToolWindow bits
constexpr ToolWindows toolWindowBit(ToolWindow window) {
    return window == ToolWindow::None ? 0u : 1u << static_cast<unsigned>(window);
}

// When an entry can be used. Entries of the Debug Tools and SubSystems menus are run
// controls as a whole; the menus' own states say the same.
enum class Availability : std::uint8_t {
    Always,
    WithoutProject,  // Project "&New..." and "&Open...", the benchmark
    OutsideSession,  // with or without a project, but not while debugging
    ProjectIdle,     // a project is open and no session runs
    StartStop,       // a project is open, also during a session, but not during a long command
    RunControl,      // a session runs and no long command is in progress
    Session,         // a session runs, also during a long command
    LastProject,     // no project is open and a last project is recorded
    Hidden,          // reachable by its handler only
    WindowEntry,     // the Window menu entry of an open tool window
};

// One menu entry, or a separator (no handler). Captions mark the access key with "&" and show
// a single "&" as "&&".
struct CommandEntry {
    Menu menu;
    std::string_view caption;
    std::string_view shortcut;
    std::string_view handler;
    Availability availability = Availability::Always;
    // The window the entry opens (View, SubSystems) or brings forward (Window menu).
    ToolWindow window = ToolWindow::None;
    std::string_view toolHint;  // the hint of the tool button sharing the handler; empty: none

    bool isSeparator() const { return handler.empty(); }
};

// Every menu entry and separator, menu by menu in menu order.
std::span<const CommandEntry> commandMap();
// The entry with the handler; nullptr when there is none.
const CommandEntry* findCommand(std::string_view handler);

// The tool bar, left to right: handlers of the menu entries the buttons share, an empty name
// between two groups.
std::span<const std::string_view> toolBar();

enum class ProgramState : std::uint8_t {
    NoProject,
    ProjectOpen,
    DebugSession,
    // A long run command (run, step out, the run-to commands) is under way in a session.
    RunInProgress,
};

// What the menus depend on.
struct ShellState {
    ProgramState program = ProgramState::NoProject;
    std::string lastProject;  // the recorded last project's path; empty when none
    ToolWindows openWindows = 0;
};

struct CommandState {
    bool enabled = true;
    bool visible = true;
    std::string caption;
};

bool menuEnabled(Menu menu, const ShellState& state);

// The entry's state; its caption may differ from the table's (Debug "Start" reads "Stop" in a
// session, the last-project entry shows the path). A tool button is enabled with its entry.
CommandState commandState(const CommandEntry& entry, const ShellState& state);

// The states of the whole map, index by index. A separator shows only between two visible
// entries of its menu, so a menu never shows a separator at an edge or two in a row.
std::vector<CommandState> commandStates(const ShellState& state);

}  // namespace tarnwick
