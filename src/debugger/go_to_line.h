#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "debugger/source_editor.h"

namespace tarnwick {

// What a decimal input field keeps of its text as the user types or pastes: the digits, at
// most maxLength of them.
std::string decimalFieldText(std::string_view text, std::size_t maxLength);

// The Go To Line Number dialog (`TGoToLineDlg`); it opens only while a page is active.
namespace go_to_line {

inline constexpr std::size_t kMaxLength = 5;

// `ELine` as the dialog shows: the caret line, 1-based.
std::string initialText(const SourceEditor& editor);
// `ELine` after a change: digits only, at most five.
std::string fieldText(std::string_view text);
// OK: an empty field means line 2. Moves the caret of the active page to the line (kept
// inside the page) and shows the page.
void goToLine(SourceEditor& editor, std::string_view text);

}  // namespace go_to_line

}  // namespace tarnwick
