#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

// The twelve marker bits every editor line carries, each drawn as a gutter image.
using MarkerBits = std::uint16_t;
inline constexpr MarkerBits kCodeLineMarker = 1 << 0;
inline constexpr MarkerBits kBreakpointMarker = 1 << 1;
inline constexpr MarkerBits kCounterMarker = 1 << 2;
inline constexpr MarkerBits kExecutionPointMarker = 1 << 3;
inline constexpr int kBookmarkSlots = 8;
// Bookmark k (1-8) is bit k + 3.
constexpr MarkerBits bookmarkMarker(int k) {
    return static_cast<MarkerBits>(1 << (k + 3));
}
inline constexpr MarkerBits kAnyBookmarkMarker = 0x0FF0;

// The line styles the debugger gives lines, by the names of the editor's style list.
enum class LineStyle { Whitespace, BreakPoint, Counter, Bookmark, ExecutionPoint, ErrorLine };
inline constexpr std::array<std::string_view, 6> kLineStyleNames{
    "Whitespace", "BreakPoint", "Counter", "Bookmark", "Execution point", "Error Line"};
constexpr std::string_view lineStyleName(LineStyle style) {
    return kLineStyleNames[static_cast<std::size_t>(style)];
}

// The style a line's markers call for when nothing stronger decides: breakpoint, then
// counter, then any bookmark, then plain. The execution point is not part of it: the line
// that carries it keeps the style the session gave it.
constexpr LineStyle styleForMarkers(MarkerBits markers) {
    if (markers & kBreakpointMarker) return LineStyle::BreakPoint;
    if (markers & kCounterMarker) return LineStyle::Counter;
    if (markers & kAnyBookmarkMarker) return LineStyle::Bookmark;
    return LineStyle::Whitespace;
}

// The status bar has six panels; the debugger writes these three.
inline constexpr int kCyclePanel = 3;
inline constexpr int kTimePanel = 4;
inline constexpr int kStatusPanel = 5;

// The multi-file source editor as the debugger drives it: one window with a page per open
// file. Files are named by absolute paths; line numbers are 0-based. Line operations on a
// file that is not open do nothing (reads give 0 or empty text). The shell implements it
// with the editor component, tests with a fake that records what was done.
class SourceEditor {
  public:
    virtual ~SourceEditor() = default;

    // Whether the editor window exists (it does once a file was opened or created).
    virtual bool windowExists() const = 0;
    // Brings the file's page forward, opening the file when it has no page, and shows the
    // window. False when the file cannot be opened.
    virtual bool open(const std::filesystem::path& file) = 0;
    virtual bool isOpen(const std::filesystem::path& file) const = 0;
    // Whether the file's page has changes that are not saved; false for a file not open.
    virtual bool isModified(const std::filesystem::path& file) const = 0;
    virtual std::optional<std::filesystem::path> activeFile() const = 0;
    // The open files, in page order.
    virtual std::vector<std::filesystem::path> openFiles() const = 0;
    virtual void closeAll() = 0;
    virtual void bringToFront() = 0;
    virtual void maximize() = 0;
    virtual void setReadOnly(const std::filesystem::path& file, bool readOnly) = 0;

    virtual int lineCount(const std::filesystem::path& file) const = 0;
    virtual std::string lineText(const std::filesystem::path& file, int line) const = 0;
    virtual MarkerBits markers(const std::filesystem::path& file, int line) const = 0;
    virtual void setMarkers(const std::filesystem::path& file, int line, MarkerBits markers) = 0;
    virtual LineStyle lineStyle(const std::filesystem::path& file, int line) const = 0;
    virtual void setLineStyle(const std::filesystem::path& file, int line, LineStyle style) = 0;

    // The caret of the active page; -1 without one.
    virtual int caretLine() const = 0;
    // Moves the caret of the active page to the line and scrolls it into view.
    virtual void moveCaret(int line) = 0;
    // Moves the caret of the active page to the line and scrolls by half a window so that
    // the line stands near the middle of the view.
    virtual void centreLine(int line) = 0;

    // Status panels 0-5; nothing happens without a window.
    virtual void setStatusText(int panel, std::string_view text) = 0;
    virtual void showMessagePanel(const std::vector<std::string>& lines) = 0;
    virtual void hideMessagePanel() = 0;
    // Selects a line of the message panel.
    virtual void selectMessage(std::size_t line) = 0;
};

// Marker changes on one line, so that callers need not read and write the bits themselves.
inline void addMarkers(SourceEditor& editor, const std::filesystem::path& file, int line,
                       MarkerBits bits) {
    editor.setMarkers(file, line, editor.markers(file, line) | bits);
}
inline void removeMarkers(SourceEditor& editor, const std::filesystem::path& file, int line,
                          MarkerBits bits) {
    editor.setMarkers(file, line, editor.markers(file, line) & ~bits);
}
// Restyles the line by its markers unless it carries the execution point.
inline void restyleLine(SourceEditor& editor, const std::filesystem::path& file, int line) {
    const MarkerBits bits = editor.markers(file, line);
    if (!(bits & kExecutionPointMarker)) editor.setLineStyle(file, line, styleForMarkers(bits));
}

}  // namespace tarnwick
