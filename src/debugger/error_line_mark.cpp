#include "debugger/error_line_mark.h"

namespace tarnwick {

void ErrorLineMark::mark() {
    const auto file = editor_.activeFile();
    if (!file) return;
    // The status text may already tell of the new mark, so only the style goes back.
    restoreStyle();
    const int line = editor_.caretLine();
    marked_ = MarkedLine{*file, line, editor_.lineStyle(*file, line)};
    editor_.setLineStyle(*file, line, LineStyle::ErrorLine);
}

void ErrorLineMark::restore() {
    if (!marked_) return;
    restoreStyle();
    editor_.setStatusText(kStatusPanel, "");
}

void ErrorLineMark::restoreStyle() {
    if (!marked_) return;
    editor_.setLineStyle(marked_->file, marked_->line, marked_->previousStyle);
    marked_.reset();
}

}  // namespace tarnwick
