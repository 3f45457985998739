#include "debugger/build_messages.h"

#include <algorithm>
#include <cctype>

#include "project/file_names.h"
#include "project/symbol_file.h"

namespace tarnwick {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view skipBlanks(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    return text;
}

std::string_view trimTrailingBlanks(std::string_view text) {
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

// The first word of the text and the rest after it.
std::pair<std::string_view, std::string_view> firstWord(std::string_view text) {
    text = skipBlanks(text);
    const std::size_t end = std::min(text.find_first_of(" \t"), text.size());
    return {text.substr(0, end), text.substr(end)};
}

// "[12]": digits between two delimiters that are not digits themselves.
std::optional<int> delimitedNumber(std::string_view word) {
    if (word.size() < 3) return std::nullopt;
    const auto isDigit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
    if (isDigit(word.front()) || isDigit(word.back())) return std::nullopt;
    const auto number = parseDecimal(word.substr(1, word.size() - 2));
    if (!number) return std::nullopt;
    return *number;
}

MessageKind kindOf(std::string_view word) {
    if (word == "ERR*") return MessageKind::Error;
    if (word == "WRN") return MessageKind::Warning;
    return MessageKind::Plain;
}

MessageKind lineKind(std::string_view line) {
    return kindOf(firstWord(line).first);
}

std::filesystem::path sourcePath(const std::filesystem::path& projectDirectory,
                                 std::string_view name) {
    return findIgnoringCase(resolveName(projectDirectory, name));
}

// Opens the file as the editor's active page; a new editor window opens maximised.
bool openInEditor(SourceEditor& editor, Host& host, const std::filesystem::path& file) {
    const bool hadWindow = editor.windowExists();
    if (!editor.open(file)) {
        host.showError(kFileNotFoundText);
        return false;
    }
    if (!hadWindow) editor.maximize();
    return true;
}

}  // namespace

BuildMessage parseBuildMessage(std::string_view line) {
    BuildMessage message;
    const auto [kind, afterKind] = firstWord(line);
    message.kind = kindOf(kind);
    const std::string_view rest = skipBlanks(afterKind);
    // The file name is the first word and any further words up to the line number.
    std::size_t position = std::min(rest.find_first_of(" \t"), rest.size());
    while (position < rest.size()) {
        const std::string_view candidate = skipBlanks(rest.substr(position));
        const auto [word, after] = firstWord(candidate);
        if (word.empty()) break;
        if (const auto number = delimitedNumber(word)) {
            message.file = std::string(trimTrailingBlanks(rest.substr(0, position)));
            message.line = *number;
            message.text = std::string(skipBlanks(after));
            return message;
        }
        position = rest.size() - after.size();
    }
    return message;
}

bool isJumpTarget(MessageKind kind, JumpTargets targets) {
    if (kind == MessageKind::Error) return true;
    return kind == MessageKind::Warning && targets == JumpTargets::WarningAndError;
}

BuildMessages::BuildMessages(SourceEditor& editor, ErrorLineMark& errorLine, Host& host)
    : editor_(editor), errorLine_(errorLine), host_(host) {}

void BuildMessages::clear() {
    lines_.clear();
    selected_.reset();
    nextSearch_ = 0;
    errors_ = 0;
    warnings_ = 0;
}

MessagesShown BuildMessages::load(const std::filesystem::path& errorFile,
                                  const std::filesystem::path& projectDirectory,
                                  JumpTargets targets) {
    clear();
    MessagesShown shown;
    std::string error;
    auto lines = readTextLines(errorFile, error);
    if (!lines) host_.showError(error);
    if (!lines || lines->empty()) {
        shown.focusEditor = editor_.windowExists();
        return shown;
    }
    lines_ = std::move(*lines);

    std::optional<std::size_t> first;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const MessageKind kind = lineKind(lines_[i]);
        if (kind == MessageKind::Error) ++errors_;
        if (kind == MessageKind::Warning) ++warnings_;
        if (!first && isJumpTarget(kind, targets)) first = i;
    }
    selected_ = 0;
    shown.showMessagesPage = true;

    if (first) {
        if (editor_.windowExists()) editor_.showMessagePanel(lines_);
        selectInBoth(*first);
        nextSearch_ = *first + 1;
        shown.focusEditor = goToMessage(lines_[*first], projectDirectory);
        shown.bringProjectWindowToFront = !editor_.windowExists();
    } else if (targets == JumpTargets::ErrorOnly && warnings_ > 0) {
        // Only warnings, which the preference does not jump to: show them without moving.
        if (editor_.windowExists()) {
            editor_.showMessagePanel(lines_);
            selectInBoth(0);
            editor_.bringToFront();
        } else {
            shown.bringProjectWindowToFront = true;
            shown.focusMessageList = true;
        }
    } else {
        shown.focusEditor = editor_.windowExists();
    }
    return shown;
}

void BuildMessages::selectInBoth(std::size_t index) {
    selected_ = index;
    editor_.selectMessage(index);
}

bool BuildMessages::goToMessage(std::string_view line,
                                const std::filesystem::path& projectDirectory) {
    const BuildMessage message = parseBuildMessage(line);
    if (!message.hasPlace()) return false;
    const std::filesystem::path file = sourcePath(projectDirectory, message.file);
    if (!openInEditor(editor_, host_, file)) return false;
    // Line 0 (a message about the file itself) and lines past the end stay inside the file.
    const int lastLine = std::max(editor_.lineCount(file) - 1, 0);
    editor_.centreLine(std::clamp(message.line - 1, 0, lastLine));
    errorLine_.mark();
    editor_.setStatusText(kStatusPanel, message.text);
    editor_.bringToFront();
    return true;
}

void BuildMessages::openLine(std::optional<std::size_t> index,
                             const std::filesystem::path& projectDirectory) {
    if (!index || *index >= lines_.size()) {
        host_.showInformation(kNoItemSelectedText);
        return;
    }
    selectInBoth(*index);
    if (lines_[*index].empty()) return;
    goToMessage(lines_[*index], projectDirectory);
}

void BuildMessages::goToNext(ProjectFormat format, JumpTargets targets,
                             const std::filesystem::path& projectDirectory) {
    if (lines_.empty() || !editor_.windowExists()) return;
    if (format == ProjectFormat::Asm11) {
        for (std::size_t i = nextSearch_; i < lines_.size(); ++i) {
            if (!isJumpTarget(lineKind(lines_[i]), targets)) continue;
            nextSearch_ = i + 1;
            selectInBoth(i);
            errorLine_.restore();
            goToMessage(lines_[i], projectDirectory);
            return;
        }
    }
    host_.showInformation(kNoMoreMessagesText);
    nextSearch_ = 0;
}

bool openProjectFile(SourceEditor& editor, Host& host,
                     const std::filesystem::path& projectDirectory,
                     std::optional<std::string_view> entry) {
    if (!entry) {
        host.showInformation(kNoItemSelectedText);
        return false;
    }
    if (entry->empty()) return false;
    return openInEditor(editor, host, sourcePath(projectDirectory, *entry));
}

}  // namespace tarnwick
