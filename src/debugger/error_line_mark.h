#pragma once

#include <filesystem>
#include <optional>

#include "debugger/source_editor.h"

namespace tarnwick {

// The one line that shows the style "Error Line" after a jump to a build message. The shell
// calls restore() on a key press or mouse click in the text, a click on the message panel,
// a page change and when the editor window loses the focus.
class ErrorLineMark {
  public:
    explicit ErrorLineMark(SourceEditor& editor) : editor_(editor) {}

    // Marks the caret line of the active page, remembering its style; a line marked before
    // gets its style back first, and status panel 5 is left to the caller.
    void mark();
    // Gives the marked line its style back, forgets the mark and clears status panel 5;
    // nothing without a mark.
    void restore();

    bool isMarked() const { return marked_.has_value(); }

  private:
    void restoreStyle();

    struct MarkedLine {
        std::filesystem::path file;
        int line = 0;
        LineStyle previousStyle = LineStyle::Whitespace;
    };

    SourceEditor& editor_;
    std::optional<MarkedLine> marked_;
};

}  // namespace tarnwick
