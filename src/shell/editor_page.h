#pragma once

#include <Qsci/qsciscintilla.h>

#include <QColor>
#include <QFont>
#include <QString>
#include <filesystem>
#include <vector>

#include "debugger/source_editor.h"
#include "shell/text_styles.h"

namespace tarnwick {

// File names between the toolkit's strings and the standard library's paths.
QString toQString(const std::filesystem::path& file);
std::filesystem::path toPath(const QString& name);

// How the pages look and behave apart from their colours: the editor options of the
// environment options.
struct EditorPageOptions {
    QFont font = editorFont();
    int tabWidth = 10;
    // Columns of tab stops that the tab width alone does not give, in ascending order; beyond
    // the last one the tab width takes over.
    std::vector<int> tabStops;
    int blockIndent = 2;  // the indentation step of Tab and Shift+Tab over a selection
    bool autoIndent = true;
    bool backspaceUnindents = true;
    bool smartTab = false;  // Tab in a line's indentation indents by the block indent
    bool cursorBeyondEof = false;
    bool overwriteBlocks = true;  // typing replaces the selection instead of ending it
    bool doubleClickLine = false;
    bool rightMarginVisible = true;
    int rightMargin = 80;
    QColor rightMarginColor{0xC0, 0xC0, 0xC0};
    Qt::PenStyle rightMarginStyle = Qt::SolidLine;
    bool groupUndo = true;          // keys typed in a row are undone together
    bool findTextAtCursor = false;  // Find starts on the word at the caret
    bool forceCutAndCopy = false;   // Cut and Copy without a selection take the caret's line
    // Held for the environment options; the page has no use for it.
    bool persistentBlocks = false;
};

// One page of the editor window: the text of one file (or of a new, unnamed one) with the
// twelve marker bits per line in the gutter and one line style per line.
//
// Line styles are drawn with a background marker per style (the line's background) and a
// text-colour indicator over the line's text (its foreground); the marker also records the
// style, so it moves with the line as the text is edited.
class EditorPage : public QsciScintilla {
    Q_OBJECT

  public:
    explicit EditorPage(QWidget* parent = nullptr);

    // Empty for a page that was never saved.
    const std::filesystem::path& file() const { return file_; }
    // The tab caption: the file's name, or "Noname".
    QString title() const;

    // Reads the file into the page. Text that is not valid UTF-8 is read as code page 1252 and
    // saved back the same way, byte for byte where it was not edited; a character that code
    // page lacks makes saving fail. On failure the page is unchanged and `error` says why.
    bool load(const std::filesystem::path& file, QString& error);
    // Writes the page to the file, which it then names; on failure the file on disk and the
    // page are unchanged and `error` says why.
    bool saveTo(const std::filesystem::path& file, QString& error);
    // The bytes saving would write; none when the text holds a character that the file's 8-bit
    // code page lacks.
    std::optional<QByteArray> fileBytes() const;

    // The lines of the text; a line end at the very end starts no further line.
    int textLineCount() const;
    // A line's text without its line end.
    QString lineTextAt(int line) const;

    MarkerBits markerBits(int line) const;
    void setMarkerBits(int line, MarkerBits bits);
    LineStyle lineStyleAt(int line) const;
    void setLineStyleAt(int line, LineStyle style);

    // Colours the tokens by the style list and the text area, the space beyond the lines'
    // ends and the line numbers by the scheme.
    void applyAppearance(const std::vector<TextStyle>& styles, const SchemeColors& colors);
    void setLineNumbersShown(bool shown);
    const EditorPageOptions& options() const { return options_; }
    void applyOptions(const EditorPageOptions& options);

    // A right click at the point of the text area: the caret goes there, unless the point is
    // on the selection, which the pop-up's Cut and Copy then take.
    void placeCaretAt(QPoint point);

    // Cut and Copy of the Edit menu: the selection, or with "force cut and copy" and nothing
    // selected the caret's whole line.
    void cutSelection();
    void copySelection();

  signals:
    // A click in the gutter beside the line.
    void gutterClicked(int line);
    // The Insert key switched between inserting and overwriting.
    void overwriteModeToggled();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    double spaceWidth();
    void applyTabStops();
    void chooseLexer();
    void selectLineOnDoubleClick(int line);
    void defineLineStyleMarks(const std::vector<TextStyle>& styles);

    std::filesystem::path file_;
    bool eightBit_ = false;  // the file was not UTF-8: it is read and saved in code page 1252
    bool byteOrderMark_ = false;
    bool lineNumbersShown_ = false;
    EditorPageOptions options_;
    std::vector<TextStyle> styles_ = defaultTextStyles();
    SchemeColors colors_ = schemeColors("Default");
};

}  // namespace tarnwick
