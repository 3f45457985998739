#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "project/ini_file.h"

namespace tarnwick {

inline constexpr std::string_view kFormsSection = "FORMS";

enum class WindowState { Normal = 0, Minimized = 1, Maximized = 2 };

// Where a window stood. Windows of fixed size store no height and width.
struct WindowPlacement {
    int left = 0;
    int top = 0;
    std::optional<int> height;
    std::optional<int> width;
    WindowState state = WindowState::Normal;
    bool operator==(const WindowPlacement&) const = default;
};

// The windows of the desktop table, in the order they are saved and restored.
enum class DesktopWindow {
    Project,
    Ram,
    Rom,
    Stack,
    Interrupts,
    SubRti,
    SubSci,
    SubAdc,
    SubSciTerminal,
    Editor,
};
inline constexpr std::size_t kDesktopWindowCount = 10;

struct DesktopWindowKey {
    std::string_view key;
    bool sized;  // "left top height width state" rather than "left top state"
};
inline constexpr std::array<DesktopWindowKey, kDesktopWindowCount> kDesktopWindowKeys{{
    {"ProForm", true},
    {"RAMForm", true},
    {"ROMForm", true},
    {"StackForm", true},
    {"IntrForm", false},
    {"SubRTIForm", false},
    {"SubSCIForm", false},
    {"SubADCForm", false},
    {"SubSCITermForm", true},
    {"EditorForm", true},
}};

inline constexpr std::string_view kProjectTabKey = "ProFormTab";
inline constexpr std::array<std::string_view, 5> kProjectTabs{
    "TabFiles", "TabMessages", "TabBreakpoint", "TabWatches", "TabCounter"};

// A window's entry is present only when it was open at the save; the editor's only when an
// editor window was active.
struct Desktop {
    std::array<std::optional<WindowPlacement>, kDesktopWindowCount> windows;
    std::optional<std::string> projectTab;

    std::optional<WindowPlacement>& operator[](DesktopWindow w) {
        return windows[static_cast<std::size_t>(w)];
    }
    const std::optional<WindowPlacement>& operator[](DesktopWindow w) const {
        return windows[static_cast<std::size_t>(w)];
    }
    bool operator==(const Desktop&) const = default;
};

// What a restore gets: the entries up to the first malformed one, which ends the restore
// with `error` (the file, the key and the cause); the windows before it are restored.
struct DesktopReadResult {
    Desktop desktop;
    std::string error;
    bool ok() const { return error.empty(); }
};

DesktopReadResult readDesktop(const IniDocument& document, const std::filesystem::path& file);
DesktopReadResult readDesktop(const std::filesystem::path& projectFile);

// With autosave off erases section FORMS; with it on, rewrites the section in place with
// the present entries in table order.
void writeDesktop(IniDocument& document, const Desktop& desktop, bool autosave);
void saveDesktop(const std::filesystem::path& projectFile, const Desktop& desktop, bool autosave);

}  // namespace tarnwick
