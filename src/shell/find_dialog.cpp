#include "shell/find_dialog.h"

#include <Qsci/qsciscintilla.h>

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "shell/editor_page.h"
#include "shell/editor_window.h"

namespace tarnwick {

namespace {

// What the Find and Replace dialogs start on: a selection within one line, which is what the
// user most likely looks for; else, with "find text at cursor", the word at the caret; else
// the last search's text.
QString textToFind(const QsciScintilla& page, const QString& lastText) {
    const QString selected = page.selectedText();
    if (!selected.isEmpty() && !selected.contains(u'\n') && !selected.contains(u'\r'))
        return selected;
    const auto* editorPage = qobject_cast<const EditorPage*>(&page);
    if (editorPage && editorPage->options().findTextAtCursor) {
        int line = 0;
        int index = 0;
        page.getCursorPosition(&line, &index);
        const QString word = page.wordAtLineIndex(line, index);
        if (!word.isEmpty()) return word;
    }
    return lastText;
}

// A place in the text: a line and a character index within it, both 0-based.
struct TextPosition {
    int line = 0;
    int index = 0;
};

struct Selection {
    TextPosition from;
    TextPosition to;
};

std::optional<Selection> selectionOf(const QsciScintilla& page) {
    Selection selection;
    page.getSelection(&selection.from.line, &selection.from.index, &selection.to.line,
                      &selection.to.index);
    if (selection.from.line < 0) return std::nullopt;
    return selection;
}

bool operator==(TextPosition a, TextPosition b) {
    return a.line == b.line && a.index == b.index;
}

// Where a search from the caret starts. Going forwards it starts after the selection and going
// backwards before it, so that a match just found is not found again; with `withSelection`
// the selection is searched as well.
TextPosition caretStart(const QsciScintilla& page, bool backwards, bool withSelection = false) {
    if (const auto selection = selectionOf(page))
        return backwards != withSelection ? selection->from : selection->to;
    TextPosition caret;
    page.getCursorPosition(&caret.line, &caret.index);
    return caret;
}

// The top of the text, or its end for a search backwards.
TextPosition textStart(const QsciScintilla& page, bool backwards) {
    if (!backwards) return {};
    const int lastLine = page.lines() - 1;
    return {lastLine, static_cast<int>(page.text(lastLine).size())};
}

// Selects the first match from `start` in the search's direction.
bool findFrom(QsciScintilla& page, const SearchOptions& options, TextPosition start) {
    if (options.text.isEmpty()) return false;
    return page.findFirst(options.text, false, options.matchCase, options.wholeWord, false,
                          !options.backwards, start.line, start.index);
}

// Whether the selection is exactly a match. When it is, the page's search stands on it, so
// that QsciScintilla::replace replaces it; otherwise the selection is left as it was.
bool selectionIsMatch(QsciScintilla& page, const SearchOptions& options) {
    const auto selection = selectionOf(page);
    if (!selection || options.text.isEmpty()) return false;
    SearchOptions forwards = options;
    forwards.backwards = false;
    if (findFrom(page, forwards, selection->from)) {
        const auto match = selectionOf(page);
        if (match && match->from == selection->from && match->to == selection->to) return true;
    }
    page.setSelection(selection->from.line, selection->from.index, selection->to.line,
                      selection->to.index);
    return false;
}

}  // namespace

bool TextSearch::find(QsciScintilla& page, const SearchOptions& options) {
    last_ = options;
    const TextPosition start = options.fromCaret ? caretStart(page, options.backwards)
                                                 : textStart(page, options.backwards);
    if (findFrom(page, options, start)) return true;
    reportNotFound(options);
    return false;
}

bool TextSearch::searchAgain(QsciScintilla& page) {
    if (!last_) return false;
    SearchOptions options = *last_;
    options.fromCaret = true;
    return find(page, options);
}

bool TextSearch::replace(QsciScintilla& page, const SearchOptions& options,
                         const QString& replacement) {
    if (refuseReadOnly(page)) return false;
    lastReplacement_ = replacement;
    // A selection that is no match is first moved to the next match, which the user sees
    // before it is replaced.
    if (!selectionIsMatch(page, options)) return find(page, options);
    page.replace(replacement);
    SearchOptions next = options;
    next.fromCaret = true;
    return find(page, next);
}

int TextSearch::replaceAll(QsciScintilla& page, const SearchOptions& options,
                           const QString& replacement) {
    if (refuseReadOnly(page)) return -1;
    last_ = options;
    lastReplacement_ = replacement;
    TextPosition start = options.fromCaret ? caretStart(page, options.backwards, true)
                                           : textStart(page, options.backwards);
    int count = 0;
    page.beginUndoAction();
    // Every step goes on beside the text just put in, so a replacement that contains the
    // searched text is not searched again.
    while (findFrom(page, options, start)) {
        page.replace(replacement);
        ++count;
        start = caretStart(page, options.backwards);
    }
    page.endUndoAction();
    if (count == 0) {
        reportNotFound(options);
        return 0;
    }
    host_.showInformation(
        QStringLiteral("Replaced %1 %2 of \"%3\"")
            .arg(count)
            .arg(count == 1 ? QStringLiteral("occurrence") : QStringLiteral("occurrences"))
            .arg(options.text)
            .toStdString());
    return count;
}

bool TextSearch::refuseReadOnly(const QsciScintilla& page) {
    if (!page.isReadOnly()) return false;
    host_.showInformation("The page is read-only: nothing can be replaced");
    return true;
}

void TextSearch::reportNotFound(const SearchOptions& options) {
    host_.showInformation(
        QStringLiteral("Search string \"%1\" not found").arg(options.text).toStdString());
}

SearchDialog::SearchDialog(TextSearch& search, QsciScintilla& page, const QString& caption,
                           QWidget* parent)
    : QDialog(parent),
      search_(search),
      page_(page),
      findText_(new QLineEdit),
      matchCase_(new QCheckBox(QStringLiteral("Match &case"))),
      wholeWord_(new QCheckBox(QStringLiteral("&Whole words only"))),
      backwards_(new QRadioButton(QStringLiteral("&Backward"))),
      fromCaret_(new QCheckBox(QStringLiteral("From c&aret"))),
      fields_(new QFormLayout) {
    setWindowTitle(caption);
    findText_->setObjectName(QStringLiteral("EFind"));
    matchCase_->setObjectName(QStringLiteral("CBMatchCase"));
    wholeWord_->setObjectName(QStringLiteral("CBWholeWord"));
    backwards_->setObjectName(QStringLiteral("RBBackward"));
    fromCaret_->setObjectName(QStringLiteral("CBFromCaret"));
    auto* forwards = new QRadioButton(QStringLiteral("&Forward"));
    forwards->setObjectName(QStringLiteral("RBForward"));

    const SearchOptions last = search_.lastSearch().value_or(SearchOptions{});
    findText_->setText(textToFind(page_, last.text));
    findText_->selectAll();
    matchCase_->setChecked(last.matchCase);
    wholeWord_->setChecked(last.wholeWord);
    (last.backwards ? backwards_ : forwards)->setChecked(true);
    fromCaret_->setChecked(true);

    auto* direction = new QGroupBox(QStringLiteral("Direction"));
    direction->setObjectName(QStringLiteral("RGDirection"));
    auto* directionLayout = new QVBoxLayout(direction);
    directionLayout->addWidget(forwards);
    directionLayout->addWidget(backwards_);

    auto* choices = new QVBoxLayout;
    choices->addWidget(matchCase_);
    choices->addWidget(wholeWord_);
    choices->addWidget(fromCaret_);
    choices->addStretch();
    auto* optionRow = new QHBoxLayout;
    optionRow->addLayout(choices);
    optionRow->addWidget(direction);

    fields_->addRow(QStringLiteral("&Text to find:"), findText_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields_);
    layout->addLayout(optionRow);
    findText_->setFocus();
}

SearchOptions SearchDialog::options(bool fromCaret) const {
    return {findText_->text(), matchCase_->isChecked(), wholeWord_->isChecked(),
            backwards_->isChecked(), fromCaret};
}

TFindDlg::TFindDlg(TextSearch& search, QsciScintilla& page, QWidget* parent)
    : SearchDialog(search, page, QStringLiteral("Find"), parent) {
    setObjectName(QStringLiteral("TFindDlg"));
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* find = buttons->addButton(QStringLiteral("&Find"), QDialogButtonBox::AcceptRole);
    find->setObjectName(QStringLiteral("FindBtn"));
    find->setDefault(true);
    buttons->addButton(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelBtn"));
    connect(find, &QPushButton::clicked, this, &TFindDlg::FindBtnClick);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout()->addWidget(buttons);
}

void TFindDlg::FindBtnClick() {
    if (findText_->text().isEmpty()) return;
    if (search_.find(page_, options(fromCaret_->isChecked()))) accept();
}

TReplaceDlg::TReplaceDlg(TextSearch& search, QsciScintilla& page, QWidget* parent)
    : SearchDialog(search, page, QStringLiteral("Replace"), parent), replaceText_(new QLineEdit) {
    setObjectName(QStringLiteral("TReplaceDlg"));
    replaceText_->setObjectName(QStringLiteral("EReplace"));
    replaceText_->setText(search_.lastReplacement());
    fields_->addRow(QStringLiteral("&Replace with:"), replaceText_);

    auto* buttons = new QDialogButtonBox(this);
    const auto addButton = [&](const QString& text, const QString& name,
                               void (TReplaceDlg::*slot)()) {
        QPushButton* button = buttons->addButton(text, QDialogButtonBox::ActionRole);
        button->setObjectName(name);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, slot);
        return button;
    };
    addButton(QStringLiteral("Find &Next"), QStringLiteral("FindBtn"), &TReplaceDlg::FindBtnClick)
        ->setDefault(true);
    addButton(QStringLiteral("R&eplace"), QStringLiteral("ReplaceBtn"),
              &TReplaceDlg::ReplaceBtnClick);
    addButton(QStringLiteral("Replace &All"), QStringLiteral("ReplaceAllBtn"),
              &TReplaceDlg::ReplaceAllBtnClick);
    buttons->addButton(QDialogButtonBox::Close)->setObjectName(QStringLiteral("CloseBtn"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout()->addWidget(buttons);
}

void TReplaceDlg::FindBtnClick() {
    if (findText_->text().isEmpty()) return;
    search_.find(page_, options(started_ || fromCaret_->isChecked()));
    started_ = true;
}

void TReplaceDlg::ReplaceBtnClick() {
    if (findText_->text().isEmpty()) return;
    search_.replace(page_, options(started_ || fromCaret_->isChecked()), replaceText_->text());
    started_ = true;
}

void TReplaceDlg::ReplaceAllBtnClick() {
    if (findText_->text().isEmpty()) return;
    search_.replaceAll(page_, options(fromCaret_->isChecked()), replaceText_->text());
    started_ = true;
}

void findInEditor(TEditor& editor, TextSearch& search) {
    EditorPage* page = editor.activePage();
    if (!page) return;
    TFindDlg dialog(search, *page, &editor);
    dialog.exec();
}

void replaceInEditor(TEditor& editor, TextSearch& search) {
    EditorPage* page = editor.activePage();
    if (!page) return;
    TReplaceDlg dialog(search, *page, &editor);
    dialog.exec();
}

void searchAgainInEditor(TEditor& editor, TextSearch& search) {
    EditorPage* page = editor.activePage();
    if (!page) return;
    if (!search.lastSearch()) {
        findInEditor(editor, search);
        return;
    }
    search.searchAgain(*page);
}

}  // namespace tarnwick
