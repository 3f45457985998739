#pragma once

#include <QRect>
#include <QWidget>
#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "debugger/source_editor.h"
#include "shell/editor_dialogs.h"
#include "shell/editor_page.h"
#include "shell/text_styles.h"

class QLabel;
class QFileSystemWatcher;
class QListWidget;
class QMenu;
class QStatusBar;
class QTabWidget;
class QTimer;

namespace tarnwick {

// The editor window: one tab page per open file, six status panels and the message panel of
// the build below the pages. Assembly files (.asm, .s, .inc, .lst) are coloured by the 68HC11
// highlighter, C files (.c, .h) by the C highlighter.
class TEditor : public QWidget, public SourceEditor {
    Q_OBJECT

  public:
    // Without dialogs the window uses the toolkit's message boxes and file dialogs.
    explicit TEditor(std::unique_ptr<EditorDialogs> dialogs = nullptr, QWidget* parent = nullptr);
    ~TEditor() override;

    // SourceEditor. `open` reports nothing itself: its caller tells the user.
    bool windowExists() const override;
    bool open(const std::filesystem::path& file) override;
    // Reads an open file's page anew from the disk, its changes dropped; false, after telling
    // why, when the file cannot be read.
    bool reload(const std::filesystem::path& file);
    bool isOpen(const std::filesystem::path& file) const override;
    bool isModified(const std::filesystem::path& file) const override;
    std::optional<std::filesystem::path> activeFile() const override;
    std::vector<std::filesystem::path> openFiles() const override;
    // Closes every page, offering to save changed ones; the user may cancel.
    void closeAll() override;
    void bringToFront() override;
    // Opened maximised, the window fills the work area (when one is set) rather than the
    // whole screen, so that it leaves the main window in sight.
    void maximize() override;
    void setWorkArea(std::function<QRect()> area);
    void setReadOnly(const std::filesystem::path& file, bool readOnly) override;
    int lineCount(const std::filesystem::path& file) const override;
    std::string lineText(const std::filesystem::path& file, int line) const override;
    MarkerBits markers(const std::filesystem::path& file, int line) const override;
    void setMarkers(const std::filesystem::path& file, int line, MarkerBits markers) override;
    LineStyle lineStyle(const std::filesystem::path& file, int line) const override;
    void setLineStyle(const std::filesystem::path& file, int line, LineStyle style) override;
    int caretLine() const override;
    void moveCaret(int line) override;
    void centreLine(int line) override;
    void setStatusText(int panel, std::string_view text) override;
    void showMessagePanel(const std::vector<std::string>& lines) override;
    void hideMessagePanel() override;
    void selectMessage(std::size_t line) override;

    // File menu commands. The Save and Close commands return false when a file could not be
    // written or the user cancelled.
    void FileNewClick();
    void FileOpenClick();
    bool Save1Click();
    bool SaveAsClick();
    bool FileSaveAllClick();
    // Before a build: asks for each changed page whether to save it. False when the user
    // cancels or a save fails; pages answered No stay changed and unsaved.
    bool offerToSaveAll();
    bool Close1Click();
    bool Close2Click();

    // Where Save As starts for a page that was never saved, and Open without a page: the
    // project's folder; the home folder while it is empty.
    void setNewFileDirectory(const std::filesystem::path& directory);
    // During a debug session the window refuses to close, and the pop-up menu offers the
    // debugger's entries instead of "&Close Page".
    void setDebugSessionActive(bool active);
    // Tells the pop-up menu which bookmarks (1-8) are in use, so that their entries show a
    // check.
    void setBookmarkChecks(std::function<bool(int)> inUse);
    // The pop-up menu of the active page: the component's own entries, "&Close Page" (Ctrl+F4)
    // and the program's entries, enabled by the session state. The caller owns it.
    std::unique_ptr<QMenu> createPageMenu();
    // The style list by which tokens and line styles are drawn, and the colour scheme of the
    // text area, the space beyond the lines' ends and the line numbers. At start the style
    // list is schemeTextStyles() of the scheme in the settings.
    void setTextStyles(const std::vector<TextStyle>& styles);
    void setColorScheme(const std::string& scheme);
    void setLineNumbersShown(bool shown);
    // Font, tabs, indentation, right margin and behaviour of every page, open or opened later.
    void setPageOptions(const EditorPageOptions& options);
    const EditorPageOptions& pageOptions() const { return pageOptions_; }

    EditorPage* page(const std::filesystem::path& file) const;
    EditorPage* activePage() const;
    QString statusText(int panel) const;
    QListWidget* messagePanel() const { return messages_; }

  signals:
    // A click in the gutter of an open file's page.
    void gutterClicked(const std::filesystem::path& file, int line);
    void messageClicked(int row);
    // A key press or click in the text, a click on the message panel, a page change or the
    // window losing the focus for longer than a moment: the moments that end the error-line
    // mark.
    void errorMarkEnds();
    // The program's entries of a page's pop-up menu.
    void modifyBreakpointClicked();
    void toggleCounterClicked();
    void runToCursorClicked();
    void runFreelyToCursorClicked();
    void toggleBookmarkClicked();
    // "Bookmark k" of the submenu "Goto Bookmark"; only a checked entry reports.
    void gotoBookmarkClicked(int k);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Follows the files of the open pages, so that a change by another program is noticed.
    void watchOpenFiles();
    void fileChangedOnDisk(const QString& path);
    // Asks whether to save a changed page: false when the user cancels or the save fails.
    bool offerToSave(EditorPage& page);
    bool lockedBySession(const EditorPage& page) const;
    std::filesystem::path startDirectory() const;
    EditorPage* openPage(const std::filesystem::path& file, QString& error);
    EditorPage* addPage(EditorPage* page);
    bool saveWithReport(EditorPage& page, const std::filesystem::path& file);
    bool saveAs(EditorPage& page);
    bool closePage(EditorPage& page);
    void showComponentPanels();
    void showPageNames();

    std::unique_ptr<EditorDialogs> dialogs_;
    QTabWidget* tabs_;
    QListWidget* messages_;
    QFileSystemWatcher* watcher_;
    QStatusBar* statusBar_;
    std::array<QLabel*, 6> panels_{};
    static constexpr int kFocusLossSettleMs = 250;
    QTimer* focusLoss_;
    std::vector<TextStyle> styles_ = defaultTextStyles();
    std::string scheme_ = "Default";
    bool lineNumbersShown_ = false;
    EditorPageOptions pageOptions_;
    bool debugSessionActive_ = false;
    std::filesystem::path newFileDirectory_;
    std::function<QRect()> workArea_;
    std::function<bool(int)> bookmarkInUse_ = [](int) { return false; };
};

}  // namespace tarnwick
