#include "debugger/go_to_line.h"

#include <algorithm>
#include <cctype>

namespace tarnwick {

std::string decimalFieldText(std::string_view text, std::size_t maxLength) {
    std::string digits;
    for (const char c : text)
        if (std::isdigit(static_cast<unsigned char>(c)) && digits.size() < maxLength) digits += c;
    return digits;
}

namespace go_to_line {

std::string initialText(const SourceEditor& editor) {
    return std::to_string(editor.caretLine() + 1);
}

std::string fieldText(std::string_view text) {
    return decimalFieldText(text, kMaxLength);
}

void goToLine(SourceEditor& editor, std::string_view text) {
    const auto file = editor.activeFile();
    if (!file) return;
    const std::string digits = fieldText(text);
    const int requested = digits.empty() ? 2 : std::stoi(digits);
    // Line 0 or a line past the end would leave the caret outside the text.
    const int lastLine = std::max(1, editor.lineCount(*file));
    editor.moveCaret(std::clamp(requested, 1, lastLine) - 1);
    editor.open(*file);
}

}  // namespace go_to_line

}  // namespace tarnwick
