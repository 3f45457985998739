#include "debugger/command_map.h"

#include <gtest/gtest.h>

#include <array>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace tarnwick {
namespace {

constexpr std::array kStates{ProgramState::NoProject, ProgramState::ProjectOpen,
                             ProgramState::DebugSession, ProgramState::RunInProgress};

ShellState at(ProgramState program, std::string lastProject = "", ToolWindows open = 0) {
    return {program, std::move(lastProject), open};
}

CommandState stateOf(std::string_view handler, const ShellState& shell) {
    const CommandEntry* entry = findCommand(handler);
    EXPECT_NE(entry, nullptr) << handler;
    return entry ? commandState(*entry, shell) : CommandState{};
}

TEST(CommandMapTest, EntriesAreEnabledInTheProgramStatesTheyBelongTo) {
    // Enabled without a project, with a project, in a session, during a long run command.
    struct Case {
        std::string_view handler;
        std::array<bool, 4> enabled;
    };
    const Case cases[] = {
        {"ProjectNewClick", {true, false, false, false}},
        {"ProjectOpenClick", {true, false, false, false}},
        {"ProjectCloseClick", {false, true, false, false}},
        {"ProjectAddClick", {false, true, false, false}},
        {"ProjectBuildClick", {false, true, false, false}},
        {"ProjectOptionsClick", {false, true, false, false}},
        {"CfgCPUClick", {false, true, false, false}},
        {"SearchNextErrorClick", {true, true, false, false}},
        {"BenchNonIOClick", {true, false, false, false}},
        {"DebugStartClick", {false, true, true, false}},
        {"DebugRunClick", {false, false, true, false}},
        {"DebugTraceIntoClick", {false, false, true, false}},
        {"DebugRCTClick", {false, false, true, false}},
        {"DebugProgramPauseClick", {false, false, true, true}},
        {"ViewRAMClick", {false, false, true, true}},
        {"ViewStackIXIYClick", {false, false, true, true}},
        {"DebugTToggleBreakpointClick", {false, false, true, false}},
        {"DebugTMRClick", {false, false, true, false}},
        {"SubSCIClick", {false, false, true, false}},
        {"SubSCITermClick", {false, false, true, false}},
        {"SubADCClick", {false, false, true, false}},
        {"ViewASCIIClick", {true, true, true, true}},
        {"CfgEnvironmentClick", {true, true, true, true}},
        {"CfgASMCClick", {true, true, true, true}},
        {"WindowProjectClick", {true, true, true, true}},
        {"Exit1Click", {true, true, true, true}},
    };
    for (const Case& c : cases)
        for (std::size_t s = 0; s < kStates.size(); ++s) {
            const CommandState state = stateOf(c.handler, at(kStates[s]));
            EXPECT_EQ(state.enabled, c.enabled[s]) << c.handler << " in state " << s;
            EXPECT_TRUE(state.visible) << c.handler << " in state " << s;
        }
}

TEST(CommandMapTest, ALongCommandDisablesExactlyTheRunControls) {
    const std::set<std::string_view> runControls{
        "DebugStartClick", "DebugRunClick", "DebugStepOverClick", "DebugTraceIntoClick",
        "DebugStepOutClick", "DebugRunToCursorClick", "DebugRunFreeToCursorClick",
        "DebugPCtoCursorClick", "DebugRuntoCycleClick", "DebugShowExecutionPointClick",
        "DebugProgramResetClick", "DebugBranchOppositeClick", "DebugRCycleClick", "DebugRTimeClick",
        "DebugRCTClick",
        // the whole Debug Tools and SubSystems menus
        "DebugTToggleBreakpointClick", "DebugTMBClick", "DebugTDelAllBreakpointsClick",
        "DebugTAddWatchClick", "DebugTEditWatchClick", "DebugTDelAllWatchesClick",
        "DebugTToggleCounterClick", "DebugTDelAllCountersClick", "DebugTMRClick", "SubRTIClick",
        "SubInterruptsClick", "SubSCIClick", "SubSCITermClick", "SubADCClick"};
    std::set<std::string_view> disabledByRun;
    for (const CommandEntry& entry : commandMap()) {
        if (entry.isSeparator()) continue;
        if (commandState(entry, at(ProgramState::DebugSession)).enabled &&
            !commandState(entry, at(ProgramState::RunInProgress)).enabled)
            disabledByRun.insert(entry.handler);
    }
    EXPECT_EQ(disabledByRun, runControls);
    EXPECT_FALSE(menuEnabled(Menu::DebugTools, at(ProgramState::RunInProgress)));
    EXPECT_FALSE(menuEnabled(Menu::SubSystems, at(ProgramState::RunInProgress)));
    EXPECT_TRUE(menuEnabled(Menu::Debug, at(ProgramState::RunInProgress)));
}

TEST(CommandMapTest, ToolWindowsPairTheirOpeningEntryWithAWindowEntry) {
    for (const CommandEntry& opener : commandMap()) {
        if (opener.window == ToolWindow::None || opener.availability == Availability::WindowEntry)
            continue;
        const ShellState shell = at(ProgramState::DebugSession, "", toolWindowBit(opener.window));
        EXPECT_FALSE(commandState(opener, shell).enabled) << opener.handler;
        int shownWindowEntries = 0;
        for (const CommandEntry& entry : commandMap()) {
            if (entry.availability != Availability::WindowEntry) continue;
            const CommandState state = commandState(entry, shell);
            if (!state.visible) continue;
            ++shownWindowEntries;
            EXPECT_EQ(entry.window, opener.window) << opener.handler << " shows " << entry.handler;
            EXPECT_TRUE(state.enabled) << entry.handler;
        }
        EXPECT_EQ(shownWindowEntries, 1) << opener.handler;
        // Closed again: the opener is back and its Window entry gone.
        const ShellState closed = at(ProgramState::DebugSession);
        EXPECT_TRUE(commandState(opener, closed).enabled) << opener.handler;
    }
}

TEST(CommandMapTest, HiddenEntriesStayHiddenInEveryState) {
    for (const ProgramState program : kStates)
        for (const std::string_view handler :
             {"DebugTEditWatchClick", "WindowRAMClick", "WindowSubADCClick"})
            EXPECT_FALSE(stateOf(handler, at(program)).visible) << handler;
}

TEST(CommandMapTest, TheLastProjectEntryShowsThePathWithoutProject) {
    ShellState shell = at(ProgramState::NoProject, "C:\\Work & Play\\demo.pro");
    CommandState last = stateOf("ProjectLastClick", shell);
    EXPECT_TRUE(last.visible);
    // The "&" in the path must not become an access key.
    EXPECT_EQ(last.caption, "C:\\Work && Play\\demo.pro");

    shell.program = ProgramState::ProjectOpen;
    EXPECT_FALSE(stateOf("ProjectLastClick", shell).visible);
    EXPECT_FALSE(stateOf("ProjectLastClick", at(ProgramState::NoProject)).visible);
}

TEST(CommandMapTest, TheStartEntryReadsStopDuringASession) {
    EXPECT_EQ(stateOf("DebugStartClick", at(ProgramState::ProjectOpen)).caption, "Start");
    EXPECT_EQ(stateOf("DebugStartClick", at(ProgramState::DebugSession)).caption, "Stop");
    EXPECT_EQ(stateOf("DebugRCTClick", at(ProgramState::DebugSession)).caption,
              "Reset Cycle && Time");
}

TEST(CommandMapTest, NoMenuShowsASeparatorAtAnEdgeOrTwoInARow) {
    const std::vector<ShellState> shells{
        at(ProgramState::NoProject),
        at(ProgramState::NoProject, "demo.pro"),
        at(ProgramState::ProjectOpen, "demo.pro"),
        at(ProgramState::DebugSession),
        at(ProgramState::DebugSession, "", toolWindowBit(ToolWindow::Sci)),
        at(ProgramState::RunInProgress)};
    const auto map = commandMap();
    for (std::size_t s = 0; s < shells.size(); ++s) {
        const std::vector<CommandState> states = commandStates(shells[s]);
        ASSERT_EQ(states.size(), map.size());
        for (const MenuTitle& title : menuTitles()) {
            std::string shown;  // "e" for an entry, "|" for a separator
            for (std::size_t i = 0; i < map.size(); ++i)
                if (map[i].menu == title.menu && states[i].visible)
                    shown += map[i].isSeparator() ? '|' : 'e';
            EXPECT_NE(shown.front(), '|') << title.caption << " in case " << s;
            EXPECT_NE(shown.back(), '|') << title.caption << " in case " << s;
            EXPECT_EQ(shown.find("||"), std::string::npos) << title.caption << " in case " << s;
        }
    }
    // The separator above the last project goes and comes with it.
    const auto countVisible = [&](const ShellState& shell) {
        const std::vector<CommandState> states = commandStates(shell);
        int count = 0;
        for (std::size_t i = 0; i < map.size(); ++i)
            count += map[i].menu == Menu::Project && map[i].isSeparator() && states[i].visible;
        return count;
    };
    EXPECT_EQ(countVisible(at(ProgramState::NoProject, "demo.pro")),
              countVisible(at(ProgramState::NoProject)) + 1);
}

TEST(CommandMapTest, HandlersAndShortcutsAreUniqueAndMenusKeepTheirOrder) {
    std::set<std::string_view> handlers;
    std::set<std::string_view> shortcuts;
    std::size_t menuIndex = 0;
    const auto titles = menuTitles();
    for (const CommandEntry& entry : commandMap()) {
        while (menuIndex < titles.size() && titles[menuIndex].menu != entry.menu) ++menuIndex;
        ASSERT_LT(menuIndex, titles.size()) << entry.handler << " is out of menu order";
        if (entry.isSeparator()) continue;
        EXPECT_TRUE(handlers.insert(entry.handler).second) << entry.handler;
        if (!entry.shortcut.empty()) {
            EXPECT_TRUE(shortcuts.insert(entry.shortcut).second) << entry.shortcut;
        }
    }
}

TEST(CommandMapTest, ToolButtonsShareEntriesThatCarryTheirHints) {
    std::vector<std::string_view> hints;
    std::set<std::string_view> buttonHandlers;
    for (const std::string_view handler : toolBar()) {
        if (handler.empty()) continue;
        const CommandEntry* entry = findCommand(handler);
        ASSERT_NE(entry, nullptr) << handler;
        hints.push_back(entry->toolHint);
        buttonHandlers.insert(handler);
    }
    const std::vector<std::string_view> expected{"New File",      "Open File",
                                                 "Save File",     "Save All",
                                                 "Undo",          "Redo",
                                                 "Cut",           "Copy",
                                                 "Paste",         "Find",
                                                 "Replace",       "Open Project",
                                                 "Build Project", "Debug Start/Stop",
                                                 "Trace Into",    "Step Over",
                                                 "Run",           "Program Pause",
                                                 "Program Reset"};
    EXPECT_EQ(hints, expected);
    for (const CommandEntry& entry : commandMap())
        EXPECT_EQ(!entry.toolHint.empty(), buttonHandlers.count(entry.handler) == 1)
            << entry.handler;
}

}  // namespace
}  // namespace tarnwick
