#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/host.h"
#include "debugger/error_line_mark.h"
#include "debugger/source_editor.h"
#include "project/project.h"
#include "project/settings.h"

namespace tarnwick {

inline constexpr std::string_view kNoItemSelectedText = "No item selected, please select one";
inline constexpr std::string_view kFileNotFoundText = "The file cannot be found";
inline constexpr std::string_view kNoMoreMessagesText =
    "No warning/error message, Searching will start again";

// The captions of the three counters below the Messages list.
inline constexpr std::string_view kErrorsCaption = "Errors=";
inline constexpr std::string_view kWarningsCaption = "Warnings=";
inline constexpr std::string_view kHintsCaption = "Hints=";

enum class MessageKind { Error, Warning, Plain };

// One line of the assembler's error file: "ERR* prog.asm [12] Undefined symbol". The first
// word is the kind ("ERR*", "WRN", anything else a plain line), then the file name, then the
// line number between two delimiter characters, then the text.
struct BuildMessage {
    MessageKind kind = MessageKind::Plain;
    std::string file;  // as written; empty when the line names no place in a source
    int line = 0;      // 1-based
    std::string text;

    bool hasPlace() const { return !file.empty(); }
};

// Reads the kind from the first word and the place when the line has one. The line number is
// the first word after the file name that is digits between two other characters, so a file
// name with blanks is kept whole.
BuildMessage parseBuildMessage(std::string_view line);

// Whether F12 stops at a message of this kind.
bool isJumpTarget(MessageKind kind, JumpTargets targets);

// What the project window does after the build messages were loaded.
struct MessagesShown {
    bool showMessagesPage = false;  // show the Messages page and restore the window
    bool bringProjectWindowToFront = false;
    bool focusMessageList = false;
    bool focusEditor = false;  // an editor window is open: bring it forward with the focus
};

// The Messages page of the project window: the lines of the last build, their counts, the
// selected line (shared with the editor window's message panel) and the navigation from a
// message to its source line.
class BuildMessages {
  public:
    BuildMessages(SourceEditor& editor, ErrorLineMark& errorLine, Host& host);

    // Empties the list and the counts (a new build, or the project was closed).
    void clear();

    // Replaces the list with the lines of the error file, counts errors and warnings and goes
    // to the first message the preference names. An unreadable file is reported as an error
    // and leaves the list empty.
    MessagesShown load(const std::filesystem::path& errorFile,
                       const std::filesystem::path& projectDirectory, JumpTargets targets);

    // Opens the message's source in the editor, moves the caret to its line in the middle of
    // the view, marks the line as the error line, shows the text in status panel 5 and gives
    // the editor the focus. False
    // when the line names no place or its file cannot be opened (which is reported).
    bool goToMessage(std::string_view line, const std::filesystem::path& projectDirectory);

    // Double-click or Enter on a line of the Messages list or the editor's message panel.
    void openLine(std::optional<std::size_t> index, const std::filesystem::path& projectDirectory);

    // F12: the next message after the last one gone to; wraps around after telling so. Only
    // assembly projects have messages to go to.
    void goToNext(ProjectFormat format, JumpTargets targets,
                  const std::filesystem::path& projectDirectory);

    const std::vector<std::string>& lines() const { return lines_; }
    std::optional<std::size_t> selected() const { return selected_; }
    void select(std::optional<std::size_t> index) { selected_ = index; }
    int errorCount() const { return errors_; }
    int warningCount() const { return warnings_; }
    // Hints are never counted.
    int hintCount() const { return 0; }
    std::size_t nextSearchIndex() const { return nextSearch_; }

  private:
    // The line selected in the Messages list and in the editor's message panel alike.
    void selectInBoth(std::size_t index);

    SourceEditor& editor_;
    ErrorLineMark& errorLine_;
    Host& host_;
    std::vector<std::string> lines_;
    std::optional<std::size_t> selected_;
    std::size_t nextSearch_ = 0;
    int errors_ = 0;
    int warnings_ = 0;
};

// Double-click or Enter on the Files page: opens the selected project file (a name without
// directory lies in the project directory). `entry` is nullopt when no line is selected.
bool openProjectFile(SourceEditor& editor, Host& host,
                     const std::filesystem::path& projectDirectory,
                     std::optional<std::string_view> entry);

}  // namespace tarnwick
