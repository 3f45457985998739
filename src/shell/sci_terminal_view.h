#pragma once

#include <QByteArray>
#include <QPlainTextEdit>
#include <cstdint>
#include <optional>

#include "debugger/sci_terminal.h"

class QKeyEvent;

namespace tarnwick {

// The bytes a key sends down a terminal's line: Enter CR, Backspace BS, Tab HT, Delete DEL,
// Ctrl with a letter its control code, a character of Latin-1 its byte. Nothing for the keys
// the program keeps for itself (Esc pauses a run, F9 runs, Alt opens the menus).
std::optional<QByteArray> terminalKeyBytes(const QKeyEvent& key);

// Text pasted into a terminal as the bytes it sends: Latin-1, a line break as CR; characters
// outside Latin-1 are dropped.
QByteArray terminalPasteBytes(const QString& text);

// The screen of an SCI terminal: white on black, fixed pitch, with a block cursor where the
// program's next character goes. The keys it receives are sent, not edited into the text.
class SciTerminalView : public QPlainTextEdit {
    Q_OBJECT

  public:
    explicit SciTerminalView(QWidget* parent = nullptr);

    // Draws what changed since the last call; follows the output when the view was scrolled
    // to its end.
    void showOutput(SciTerminal& terminal);

    QSize sizeHint() const override;

  signals:
    void typed(const QByteArray& bytes);
    void clearRequested();

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    // The view's size for so many columns and lines of text.
    QSize screenSize(int columns, int lines) const;

    std::uint64_t shownFirst_ = 0;  // the terminal's number of the first block
    std::size_t cursorColumn_ = 0;
};

}  // namespace tarnwick
