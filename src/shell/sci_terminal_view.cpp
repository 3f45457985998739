#include "shell/sci_terminal_view.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <algorithm>

namespace tarnwick {

namespace {

constexpr char kCarriageReturn = 0x0D;

QString latin1(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

bool isLatin1Character(char16_t c) {
    return (c >= 0x20 && c < 0x7F) || (c >= 0xA0 && c <= 0xFF);
}

}  // namespace

std::optional<QByteArray> terminalKeyBytes(const QKeyEvent& key) {
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
    if (modifiers & (Qt::AltModifier | Qt::MetaModifier)) return std::nullopt;
    if (modifiers & Qt::ControlModifier) {
        if (key.key() >= Qt::Key_A && key.key() <= Qt::Key_Z)
            return QByteArray(1, static_cast<char>(key.key() - Qt::Key_A + 1));
        return std::nullopt;
    }
    switch (key.key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return QByteArray(1, kCarriageReturn);
        case Qt::Key_Backspace:
            return QByteArray(1, 0x08);
        case Qt::Key_Tab:
            return QByteArray(1, 0x09);
        case Qt::Key_Delete:
            return QByteArray(1, 0x7F);
        default:
            break;
    }
    QByteArray bytes;
    for (const QChar c : key.text())
        if (isLatin1Character(c.unicode())) bytes.append(static_cast<char>(c.unicode()));
    if (bytes.isEmpty()) return std::nullopt;
    return bytes;
}

QByteArray terminalPasteBytes(const QString& text) {
    QByteArray bytes;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'\r' || c == u'\n') {
            bytes.append(kCarriageReturn);
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
        } else if (c == u'\t' || isLatin1Character(c)) {
            bytes.append(static_cast<char>(c));
        }
    }
    return bytes;
}

SciTerminalView::SciTerminalView(QWidget* parent) : QPlainTextEdit(parent) {
    setReadOnly(true);
    setUndoRedoEnabled(false);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setFocusPolicy(Qt::StrongFocus);
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    QPalette colours = palette();
    colours.setColor(QPalette::Base, Qt::black);
    colours.setColor(QPalette::Text, Qt::white);
    setPalette(colours);
    setMinimumSize(screenSize(20, 4));
}

// Starts as a terminal does, 80 columns by 24 lines.
QSize SciTerminalView::sizeHint() const {
    return screenSize(static_cast<int>(SciTerminal::kColumns), 24);
}

QSize SciTerminalView::screenSize(int columns, int lines) const {
    const QFontMetrics metrics(font());
    const int frame = 2 * frameWidth() + 2 * static_cast<int>(document()->documentMargin());
    return {
        columns * metrics.horizontalAdvance(u'0') + frame + verticalScrollBar()->sizeHint().width(),
        lines * metrics.lineSpacing() + frame};
}

void SciTerminalView::showOutput(SciTerminal& terminal) {
    if (!terminal.changed() && shownFirst_ == terminal.firstLineNumber() &&
        cursorColumn_ == terminal.cursorColumn())
        return;
    QScrollBar* scroll = verticalScrollBar();
    const bool atEnd = scroll->value() == scroll->maximum();

    // Blocks shown before are kept from the terminal's first line up to its first changed one.
    const std::uint64_t first = terminal.firstLineNumber();
    const std::uint64_t shownEnd = shownFirst_ + static_cast<std::uint64_t>(blockCount());
    const std::uint64_t keepEnd = std::min(std::max(terminal.changedFrom(), first), shownEnd);
    QTextCursor cursor(document());
    if (keepEnd <= std::max(first, shownFirst_)) {
        cursor.select(QTextCursor::Document);
        cursor.removeSelectedText();
        shownFirst_ = first;
    } else {
        if (first > shownFirst_) {
            cursor.setPosition(
                document()->findBlockByNumber(static_cast<int>(first - shownFirst_)).position(),
                QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
            shownFirst_ = first;
        }
        const QTextBlock lastKept =
            document()->findBlockByNumber(static_cast<int>(keepEnd - 1 - shownFirst_));
        cursor.setPosition(lastKept.position() + lastKept.length() - 1);
        cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    }
    QString text;
    for (std::uint64_t number = std::max(keepEnd, first); number < first + terminal.lineCount();
         ++number) {
        if (number > shownFirst_) text += QLatin1Char('\n');
        text += latin1(terminal.line(static_cast<std::size_t>(number - first)));
    }
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text);
    cursorColumn_ = terminal.cursorColumn();
    terminal.markShown();
    if (atEnd) scroll->setValue(scroll->maximum());
    viewport()->update();
}

bool SciTerminalView::event(QEvent* event) {
    // Ctrl+C and the other keys this view sends must reach it, not the menus' shortcuts;
    // Tab must not move the focus.
    if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<const QKeyEvent*>(event);
        if (const std::optional<QByteArray> bytes = terminalKeyBytes(*key)) {
            event->accept();
            if (event->type() == QEvent::KeyPress) emit typed(*bytes);
            return true;
        }
    }
    return QPlainTextEdit::event(event);
}

// The cursor: a block where the program's next character goes, hollow while the view has
// no keyboard focus.
void SciTerminalView::paintEvent(QPaintEvent* event) {
    QPlainTextEdit::paintEvent(event);
    const QTextBlock last = document()->lastBlock();
    QTextCursor end(last);
    end.movePosition(QTextCursor::EndOfBlock);
    QRect rect = cursorRect(end);
    const int charWidth = fontMetrics().horizontalAdvance(u'0');
    const int column =
        std::min(static_cast<int>(cursorColumn_), static_cast<int>(SciTerminal::kColumns) - 1);
    rect.moveLeft(rect.left() + (column - (last.length() - 1)) * charWidth);
    rect.setWidth(charWidth);
    QPainter painter(viewport());
    painter.setPen(Qt::white);
    if (hasFocus())
        painter.fillRect(rect, QColor(255, 255, 255, 160));
    else
        painter.drawRect(rect.adjusted(0, 0, -1, -1));
}

// The cursor changes with the focus.
void SciTerminalView::focusInEvent(QFocusEvent* event) {
    QPlainTextEdit::focusInEvent(event);
    viewport()->update();
}

void SciTerminalView::focusOutEvent(QFocusEvent* event) {
    QPlainTextEdit::focusOutEvent(event);
    viewport()->update();
}

void SciTerminalView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createStandardContextMenu(event->pos());
    menu->addSeparator();
    QAction* paste = menu->addAction(QStringLiteral("&Paste to the Line"));
    paste->setEnabled(!QGuiApplication::clipboard()->text().isEmpty());
    connect(paste, &QAction::triggered, this,
            [this] { emit typed(terminalPasteBytes(QGuiApplication::clipboard()->text())); });
    connect(menu->addAction(QStringLiteral("C&lear")), &QAction::triggered, this,
            &SciTerminalView::clearRequested);
    menu->exec(event->globalPos());
    delete menu;
}

}  // namespace tarnwick
