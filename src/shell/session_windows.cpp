#include "shell/session_windows.h"

#include <array>

#include "shell/adc_window.h"
#include "shell/ram_view_window.h"
#include "shell/rom_view_window.h"
#include "shell/rti_timer_window.h"
#include "shell/sci_terminal_window.h"
#include "shell/sci_window.h"
#include "shell/stack_view_window.h"
#include "shell/xirq_window.h"

namespace tarnwick {

namespace {

using M = const SessionWindowModels&;

// clang-format off
constexpr std::array kSessionWindows{
    SessionWindowKind{ToolWindow::Ram, DesktopWindow::Ram, kRamView,
        [](M m) -> SessionWindow* { return new TRAMForm(m.machine, m.blocks, m.display, m.project); }},
    SessionWindowKind{ToolWindow::Rom, DesktopWindow::Rom, kRomView,
        [](M m) -> SessionWindow* { return new TROMForm(m.machine, m.blocks, m.project); }},
    SessionWindowKind{ToolWindow::Stack, DesktopWindow::Stack, kStackView,
        [](M m) -> SessionWindow* { return new TStackForm(m.machine, m.display); }},
    SessionWindowKind{ToolWindow::Interrupts, DesktopWindow::Interrupts, kPeripheralWindows,
        [](M m) -> SessionWindow* { return new TIntrForm(m.machine); }},
    SessionWindowKind{ToolWindow::RtiTimer, DesktopWindow::SubRti, kPeripheralWindows,
        [](M m) -> SessionWindow* { return new TSubRTIForm(m.machine); }},
    SessionWindowKind{ToolWindow::Sci, DesktopWindow::SubSci, kPeripheralWindows,
        [](M m) -> SessionWindow* { return new TSubSCIForm(m.machine); }},
    SessionWindowKind{ToolWindow::AdcPortE, DesktopWindow::SubAdc, kPeripheralWindows,
        [](M m) -> SessionWindow* { return new TSubADCForm(m.machine); }},
    SessionWindowKind{ToolWindow::SciTerminal, DesktopWindow::SubSciTerminal, kPeripheralWindows,
        [](M m) -> SessionWindow* { return new TSubSCITermForm(m.machine, m.terminal); }},
};
// clang-format on

}  // namespace

std::span<const SessionWindowKind> sessionWindowKinds() {
    return kSessionWindows;
}

}  // namespace tarnwick
