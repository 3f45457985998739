// The command map's handler names bound to the main window's commands. Each entry names its
// member function, so a misspelt or missing command does not compile; a test checks that every
// entry of the command map finds its command here.
#include <algorithm>
#include <array>
#include <utility>

#include "shell/main_form.h"

namespace tarnwick {

namespace {

using Binding = std::pair<std::string_view, TMainForm::Handler>;

// clang-format off
const std::array kBindings{
    Binding{"FileNewClick", &TMainForm::FileNewClick},
    Binding{"FileOpenClick", &TMainForm::FileOpenClick},
    Binding{"Save1Click", &TMainForm::Save1Click},
    Binding{"SaveAsClick", &TMainForm::SaveAsClick},
    Binding{"FileSaveAllClick", &TMainForm::FileSaveAllClick},
    Binding{"Close1Click", &TMainForm::Close1Click},
    Binding{"Close2Click", &TMainForm::Close2Click},
    Binding{"FilePrintClick", &TMainForm::FilePrintClick},
    Binding{"Exit1Click", &TMainForm::Exit1Click},
    Binding{"Undo1Click", &TMainForm::Undo1Click},
    Binding{"Redo1Click", &TMainForm::Redo1Click},
    Binding{"Cut1Click", &TMainForm::Cut1Click},
    Binding{"Copy1Click", &TMainForm::Copy1Click},
    Binding{"Paste1Click", &TMainForm::Paste1Click},
    Binding{"Delete1Click", &TMainForm::Delete1Click},
    Binding{"Select1Click", &TMainForm::Select1Click},
    Binding{"Find1Click", &TMainForm::Find1Click},
    Binding{"Replace1Click", &TMainForm::Replace1Click},
    Binding{"SearchAgain1Click", &TMainForm::SearchAgain1Click},
    Binding{"GotoLineNumber1Click", &TMainForm::GotoLineNumber1Click},
    Binding{"SearchNextErrorClick", &TMainForm::SearchNextErrorClick},
    Binding{"ViewRAMClick", &TMainForm::ViewRAMClick},
    Binding{"ViewROMClick", &TMainForm::ViewROMClick},
    Binding{"ViewStackIXIYClick", &TMainForm::ViewStackIXIYClick},
    Binding{"ViewASCIIClick", &TMainForm::ViewASCIIClick},
    Binding{"ProjectNewClick", &TMainForm::ProjectNewClick},
    Binding{"ProjectOpenClick", &TMainForm::ProjectOpenClick},
    Binding{"ProjectCloseClick", &TMainForm::ProjectCloseClick},
    Binding{"ProjectAddClick", &TMainForm::ProjectAddClick},
    Binding{"ProjectRemoveClick", &TMainForm::ProjectRemoveClick},
    Binding{"ProjectBuildClick", &TMainForm::ProjectBuildClick},
    Binding{"ProjectSavetoBINaryClick", &TMainForm::ProjectSavetoBINaryClick},
    Binding{"ProjectOptionsClick", &TMainForm::ProjectOptionsClick},
    Binding{"ProjectLastClick", &TMainForm::ProjectLastClick},
    Binding{"DebugStartClick", &TMainForm::DebugStartClick},
    Binding{"DebugRunClick", &TMainForm::DebugRunClick},
    Binding{"DebugStepOverClick", &TMainForm::DebugStepOverClick},
    Binding{"DebugTraceIntoClick", &TMainForm::DebugTraceIntoClick},
    Binding{"DebugStepOutClick", &TMainForm::DebugStepOutClick},
    Binding{"DebugRunToCursorClick", &TMainForm::DebugRunToCursorClick},
    Binding{"DebugRunFreeToCursorClick", &TMainForm::DebugRunFreeToCursorClick},
    Binding{"DebugPCtoCursorClick", &TMainForm::DebugPCtoCursorClick},
    Binding{"DebugShowExecutionPointClick", &TMainForm::DebugShowExecutionPointClick},
    Binding{"DebugProgramPauseClick", &TMainForm::DebugProgramPauseClick},
    Binding{"DebugProgramResetClick", &TMainForm::DebugProgramResetClick},
    Binding{"DebugBranchOppositeClick", &TMainForm::DebugBranchOppositeClick},
    Binding{"DebugRuntoCycleClick", &TMainForm::DebugRuntoCycleClick},
    Binding{"DebugRCycleClick", &TMainForm::DebugRCycleClick},
    Binding{"DebugRTimeClick", &TMainForm::DebugRTimeClick},
    Binding{"DebugRCTClick", &TMainForm::DebugRCTClick},
    Binding{"DebugTToggleBreakpointClick", &TMainForm::DebugTToggleBreakpointClick},
    Binding{"DebugTMBClick", &TMainForm::DebugTMBClick},
    Binding{"DebugTDelAllBreakpointsClick", &TMainForm::DebugTDelAllBreakpointsClick},
    Binding{"DebugTAddWatchClick", &TMainForm::DebugTAddWatchClick},
    Binding{"DebugTEditWatchClick", &TMainForm::DebugTEditWatchClick},
    Binding{"DebugTDelAllWatchesClick", &TMainForm::DebugTDelAllWatchesClick},
    Binding{"DebugTToggleCounterClick", &TMainForm::DebugTToggleCounterClick},
    Binding{"DebugTMRClick", &TMainForm::DebugTMRClick},
    Binding{"DebugTDelAllCountersClick", &TMainForm::DebugTDelAllCountersClick},
    Binding{"CfgCPUClick", &TMainForm::CfgCPUClick},
    Binding{"CfgEnvironmentClick", &TMainForm::CfgEnvironmentClick},
    Binding{"CfgASMCClick", &TMainForm::CfgASMCClick},
    Binding{"WindowProjectClick", &TMainForm::WindowProjectClick},
    Binding{"WindowRAMClick", &TMainForm::WindowRAMClick},
    Binding{"WindowROMClick", &TMainForm::WindowROMClick},
    Binding{"WindowStackIXIYClick", &TMainForm::WindowStackIXIYClick},
    Binding{"WindowSubRTIClick", &TMainForm::WindowSubRTIClick},
    Binding{"WindowSubInterruptsClick", &TMainForm::WindowSubInterruptsClick},
    Binding{"WindowSubSCIClick", &TMainForm::WindowSubSCIClick},
    Binding{"WindowSubADCClick", &TMainForm::WindowSubADCClick},
    Binding{"SubRTIClick", &TMainForm::SubRTIClick},
    Binding{"SubInterruptsClick", &TMainForm::SubInterruptsClick},
    Binding{"SubSCIClick", &TMainForm::SubSCIClick},
    Binding{"SubADCClick", &TMainForm::SubADCClick},
    Binding{"BenchNonIOClick", &TMainForm::BenchNonIOClick},
    Binding{"HelpContentsClick", &TMainForm::HelpContentsClick},
    Binding{"About1Click", &TMainForm::About1Click},
};
// clang-format on

}  // namespace

TMainForm::Handler TMainForm::handlerFor(std::string_view name) {
    const auto found = std::find_if(kBindings.begin(), kBindings.end(),
                                    [&](const Binding& binding) { return binding.first == name; });
    return found == kBindings.end() ? nullptr : found->second;
}

}  // namespace tarnwick
