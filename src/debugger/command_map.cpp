#include "debugger/command_map.h"

#include <algorithm>
#include <array>

namespace tarnwick {
namespace {

using A = Availability;
using W = ToolWindow;

constexpr std::array kMenuTitles{
    MenuTitle{Menu::File, "&File"},
    MenuTitle{Menu::Edit, "&Edit"},
    MenuTitle{Menu::Search, "&Search"},
    MenuTitle{Menu::View, "&View"},
    MenuTitle{Menu::Project, "&Project"},
    MenuTitle{Menu::Debug, "&Debug"},
    MenuTitle{Menu::DebugTools, "Debug &Tools"},
    MenuTitle{Menu::SubSystems, "S&ubSystems"},
    MenuTitle{Menu::Configure, "&Configure"},
    MenuTitle{Menu::Window, "&Window"},
    MenuTitle{Menu::Benchmark, "&Benchmark"},
    MenuTitle{Menu::Help, "&Help"},
};

constexpr CommandEntry item(Menu menu, std::string_view caption, std::string_view shortcut,
                            std::string_view handler, Availability availability = A::Always,
                            ToolWindow window = W::None) {
    return {menu, caption, shortcut, handler, availability, window, ""};
}

// An entry that shares its handler with a tool button.
constexpr CommandEntry button(Menu menu, std::string_view caption, std::string_view shortcut,
                              std::string_view handler, std::string_view hint,
                              Availability availability = A::Always) {
    return {menu, caption, shortcut, handler, availability, W::None, hint};
}

constexpr CommandEntry separator(Menu menu) {
    return item(menu, "", "", "");
}

// clang-format off
constexpr std::array kCommandMap{
    button(Menu::File, "&New...", "", "FileNewClick", "New File"),
    button(Menu::File, "&Open...", "", "FileOpenClick", "Open File"),
    button(Menu::File, "&Save", "Ctrl+S", "Save1Click", "Save File"),
    item(Menu::File, "Save &As...", "", "SaveAsClick"),
    button(Menu::File, "Sa&ve All", "", "FileSaveAllClick", "Save All"),
    item(Menu::File, "&Close", "", "Close1Click"),
    item(Menu::File, "C&lose All", "", "Close2Click"),
    separator(Menu::File),
    item(Menu::File, "&Print...", "", "FilePrintClick"),
    separator(Menu::File),
    item(Menu::File, "E&xit", "", "Exit1Click"),

    button(Menu::Edit, "&Undo", "Ctrl+Z", "Undo1Click", "Undo"),
    button(Menu::Edit, "&Redo", "Ctrl+Shift+Z", "Redo1Click", "Redo"),
    separator(Menu::Edit),
    button(Menu::Edit, "Cu&t", "Ctrl+X", "Cut1Click", "Cut"),
    button(Menu::Edit, "&Copy", "Ctrl+C", "Copy1Click", "Copy"),
    button(Menu::Edit, "&Paste", "Ctrl+V", "Paste1Click", "Paste"),
    item(Menu::Edit, "&Delete", "Ctrl+Del", "Delete1Click"),
    separator(Menu::Edit),
    item(Menu::Edit, "Se&lect All", "Ctrl+A", "Select1Click"),

    button(Menu::Search, "&Find...", "Ctrl+F", "Find1Click", "Find"),
    button(Menu::Search, "&Replace...", "Ctrl+R", "Replace1Click", "Replace"),
    item(Menu::Search, "&Search Again", "F3", "SearchAgain1Click"),
    separator(Menu::Search),
    item(Menu::Search, "&Go to Line Number...", "Alt+G", "GotoLineNumber1Click"),
    item(Menu::Search, "Go to Next Warning/&Error", "F12", "SearchNextErrorClick", A::OutsideSession),

    item(Menu::View, "R&AM", "", "ViewRAMClick", A::Session, W::Ram),
    item(Menu::View, "R&OM", "", "ViewROMClick", A::Session, W::Rom),
    item(Menu::View, "&Stack, IX, IY", "", "ViewStackIXIYClick", A::Session, W::Stack),
    separator(Menu::View),
    item(Menu::View, "&ASCII Chart", "", "ViewASCIIClick"),

    item(Menu::Project, "&New...", "", "ProjectNewClick", A::WithoutProject),
    button(Menu::Project, "&Open...", "Ctrl+F11", "ProjectOpenClick", "Open Project", A::WithoutProject),
    item(Menu::Project, "&Close", "", "ProjectCloseClick", A::ProjectIdle),
    separator(Menu::Project),
    item(Menu::Project, "&Add to Project...", "Shift+F11", "ProjectAddClick", A::ProjectIdle),
    item(Menu::Project, "&Remove from Project", "", "ProjectRemoveClick", A::ProjectIdle),
    separator(Menu::Project),
    button(Menu::Project, "&Build", "Ctrl+F9", "ProjectBuildClick", "Build Project", A::ProjectIdle),
    item(Menu::Project, "&Save to BINary...", "", "ProjectSavetoBINaryClick", A::ProjectIdle),
    separator(Menu::Project),
    item(Menu::Project, "O&ptions...", "Ctrl+Shift+F11", "ProjectOptionsClick", A::ProjectIdle),
    separator(Menu::Project),
    item(Menu::Project, "", "", "ProjectLastClick", A::LastProject),

    button(Menu::Debug, "Start", "Shift+F9", "DebugStartClick", "Debug Start/Stop", A::StartStop),
    separator(Menu::Debug),
    button(Menu::Debug, "&Run", "F9", "DebugRunClick", "Run", A::RunControl),
    button(Menu::Debug, "&Step Over", "F8", "DebugStepOverClick", "Step Over", A::RunControl),
    button(Menu::Debug, "&Trace Into", "F7", "DebugTraceIntoClick", "Trace Into", A::RunControl),
    item(Menu::Debug, "Step &Out", "F6", "DebugStepOutClick", A::RunControl),
    item(Menu::Debug, "Run to &Cursor", "F4", "DebugRunToCursorClick", A::RunControl),
    item(Menu::Debug, "Run Freely to C&ursor", "", "DebugRunFreeToCursorClick", A::RunControl),
    item(Menu::Debug, "S&kip to Cursor", "F10", "DebugPCtoCursorClick", A::RunControl),
    item(Menu::Debug, "Run Freely to C&ycle...", "", "DebugRuntoCycleClick", A::RunControl),
    item(Menu::Debug, "S&how Execution Point", "", "DebugShowExecutionPointClick", A::RunControl),
    separator(Menu::Debug),
    button(Menu::Debug, "Pro&gram Pause", "Esc", "DebugProgramPauseClick", "Program Pause", A::Session),
    button(Menu::Debug, "Program R&eset", "Ctrl+F2", "DebugProgramResetClick", "Program Reset", A::RunControl),
    item(Menu::Debug, "&Branch Opposite", "F11", "DebugBranchOppositeClick", A::RunControl),
    separator(Menu::Debug),
    item(Menu::Debug, "Reset Cycle", "", "DebugRCycleClick", A::RunControl),
    item(Menu::Debug, "Reset Time", "", "DebugRTimeClick", A::RunControl),
    item(Menu::Debug, "Reset Cycle && Time", "", "DebugRCTClick", A::RunControl),

    item(Menu::DebugTools, "Toggle Brea&kpoint", "F5", "DebugTToggleBreakpointClick", A::RunControl),
    item(Menu::DebugTools, "Modify Breakpoint...", "", "DebugTMBClick", A::RunControl),
    item(Menu::DebugTools, "Delete All Breakpoints", "", "DebugTDelAllBreakpointsClick", A::RunControl),
    separator(Menu::DebugTools),
    item(Menu::DebugTools, "Add &Watch...", "Ctrl+F5", "DebugTAddWatchClick", A::RunControl),
    item(Menu::DebugTools, "Edit Watch...", "", "DebugTEditWatchClick", A::Hidden),
    item(Menu::DebugTools, "Delete All Watches", "", "DebugTDelAllWatchesClick", A::RunControl),
    separator(Menu::DebugTools),
    item(Menu::DebugTools, "Toggle Counter", "", "DebugTToggleCounterClick", A::RunControl),
    item(Menu::DebugTools, "Delete All Counters", "", "DebugTDelAllCountersClick", A::RunControl),
    separator(Menu::DebugTools),
    item(Menu::DebugTools, "Modify Register...", "", "DebugTMRClick", A::RunControl),

    item(Menu::SubSystems, "&RTI && Timer", "", "SubRTIClick", A::RunControl, W::RtiTimer),
    item(Menu::SubSystems, "&Interrupts", "", "SubInterruptsClick", A::RunControl, W::Interrupts),
    item(Menu::SubSystems, "&SCI", "", "SubSCIClick", A::RunControl, W::Sci),
    item(Menu::SubSystems, "SCI &Terminal", "", "SubSCITermClick", A::RunControl, W::SciTerminal),
    item(Menu::SubSystems, "&ADC/PORTE", "", "SubADCClick", A::RunControl, W::AdcPortE),

    item(Menu::Configure, "&CPU...", "", "CfgCPUClick", A::ProjectIdle),
    item(Menu::Configure, "Environment &Options...", "", "CfgEnvironmentClick"),
    item(Menu::Configure, "&Assembler...", "", "CfgASMCClick"),

    item(Menu::Window, "&Project", "", "WindowProjectClick"),
    separator(Menu::Window),
    item(Menu::Window, "R&AM", "", "WindowRAMClick", A::WindowEntry, W::Ram),
    item(Menu::Window, "R&OM", "", "WindowROMClick", A::WindowEntry, W::Rom),
    item(Menu::Window, "&Stack, IX, IY", "", "WindowStackIXIYClick", A::WindowEntry, W::Stack),
    item(Menu::Window, "SubSystem - RTI && Timer", "", "WindowSubRTIClick", A::WindowEntry, W::RtiTimer),
    item(Menu::Window, "SubSystem - Interrupts", "", "WindowSubInterruptsClick", A::WindowEntry, W::Interrupts),
    item(Menu::Window, "SubSystem - SCI", "", "WindowSubSCIClick", A::WindowEntry, W::Sci),
    item(Menu::Window, "SubSystem - SCI Terminal", "", "WindowSubSCITermClick", A::WindowEntry, W::SciTerminal),
    item(Menu::Window, "SubSystem - ADC/PORTE", "", "WindowSubADCClick", A::WindowEntry, W::AdcPortE),

    item(Menu::Benchmark, "&Non I/O Instructions", "", "BenchNonIOClick", A::WithoutProject),

    item(Menu::Help, "&Contents", "F1", "HelpContentsClick"),
    separator(Menu::Help),
    item(Menu::Help, "&About...", "", "About1Click"),
};

constexpr std::array<std::string_view, 25> kToolBar{
    "FileNewClick", "FileOpenClick", "Save1Click", "FileSaveAllClick", "",
    "Undo1Click", "Redo1Click", "",
    "Cut1Click", "Copy1Click", "Paste1Click", "",
    "Find1Click", "Replace1Click", "",
    "ProjectOpenClick", "ProjectBuildClick", "",
    "DebugStartClick", "",
    "DebugTraceIntoClick", "DebugStepOverClick", "DebugRunClick", "DebugProgramPauseClick",
    "DebugProgramResetClick",
};
// clang-format on

bool inSession(ProgramState program) {
    return program == ProgramState::DebugSession || program == ProgramState::RunInProgress;
}

bool available(Availability availability, ProgramState program) {
    switch (availability) {
        case A::Always:
        case A::LastProject:
        case A::Hidden:
        case A::WindowEntry:
            return true;
        case A::WithoutProject:
            return program == ProgramState::NoProject;
        case A::OutsideSession:
            return !inSession(program);
        case A::ProjectIdle:
            return program == ProgramState::ProjectOpen;
        case A::StartStop:
            return program == ProgramState::ProjectOpen || program == ProgramState::DebugSession;
        case A::RunControl:
            return program == ProgramState::DebugSession;
        case A::Session:
            return inSession(program);
    }
    return false;
}

bool visible(const CommandEntry& entry, const ShellState& state) {
    switch (entry.availability) {
        case A::Hidden:
            return false;
        case A::WindowEntry:
            return (state.openWindows & toolWindowBit(entry.window)) != 0;
        case A::LastProject:
            return state.program == ProgramState::NoProject && !state.lastProject.empty();
        default:
            return true;
    }
}

// A path shown as a caption keeps its "&" characters instead of turning them into access keys.
std::string escapeAmpersands(std::string_view text) {
    std::string caption;
    for (const char c : text) {
        caption += c;
        if (c == '&') caption += '&';
    }
    return caption;
}

}  // namespace

std::span<const MenuTitle> menuTitles() {
    return kMenuTitles;
}

std::span<const CommandEntry> commandMap() {
    return kCommandMap;
}

const CommandEntry* findCommand(std::string_view handler) {
    if (handler.empty()) return nullptr;
    const auto found = std::find_if(kCommandMap.begin(), kCommandMap.end(),
                                    [&](const CommandEntry& e) { return e.handler == handler; });
    return found == kCommandMap.end() ? nullptr : &*found;
}

std::span<const std::string_view> toolBar() {
    return kToolBar;
}

bool menuEnabled(Menu menu, const ShellState& state) {
    switch (menu) {
        case Menu::Project:
            return !inSession(state.program);
        case Menu::Debug:
            return state.program != ProgramState::NoProject;
        case Menu::DebugTools:
        case Menu::SubSystems:
            return state.program == ProgramState::DebugSession;
        case Menu::Benchmark:
            return state.program == ProgramState::NoProject;
        default:
            return true;
    }
}

CommandState commandState(const CommandEntry& entry, const ShellState& state) {
    CommandState result;
    result.visible = visible(entry, state);
    result.enabled = menuEnabled(entry.menu, state) && available(entry.availability, state.program);
    // An opening entry waits while its window is open; the Window entry brings it forward.
    if (entry.availability != A::WindowEntry && (state.openWindows & toolWindowBit(entry.window)))
        result.enabled = false;
    if (entry.handler == "DebugStartClick")
        result.caption = inSession(state.program) ? "Stop" : "Start";
    else if (entry.availability == A::LastProject)
        result.caption = escapeAmpersands(state.lastProject);
    else
        result.caption = std::string(entry.caption);
    return result;
}

std::vector<CommandState> commandStates(const ShellState& state) {
    std::vector<CommandState> states;
    states.reserve(kCommandMap.size());
    for (const CommandEntry& entry : kCommandMap) states.push_back(commandState(entry, state));
    for (std::size_t i = 0; i < kCommandMap.size(); ++i) {
        if (!kCommandMap[i].isSeparator()) continue;
        const Menu menu = kCommandMap[i].menu;
        bool visibleBefore = false;
        for (std::size_t j = i; j-- > 0 && kCommandMap[j].menu == menu;) {
            if (kCommandMap[j].isSeparator()) {
                if (states[j].visible) break;  // the entries before it are accounted for
                continue;
            }
            if (states[j].visible) {
                visibleBefore = true;
                break;
            }
        }
        bool visibleAfter = false;
        for (std::size_t j = i + 1;
             j < kCommandMap.size() && kCommandMap[j].menu == menu && !kCommandMap[j].isSeparator();
             ++j)
            if (states[j].visible) visibleAfter = true;
        states[i].visible = visibleBefore && visibleAfter;
    }
    return states;
}

}  // namespace tarnwick
