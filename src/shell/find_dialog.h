#pragma once

#include <QDialog>
#include <QString>
#include <optional>

#include "core/host.h"

class QsciScintilla;
class QCheckBox;
class QFormLayout;
class QLineEdit;
class QRadioButton;

namespace tarnwick {

class TEditor;

// What the Search menu looks for on an editor page, and how.
struct SearchOptions {
    QString text;
    bool matchCase = false;
    bool wholeWord = false;
    bool backwards = false;
    // Otherwise the search starts at the top of the text (at its end when going backwards).
    bool fromCaret = true;
};

// Find, Replace and Search Again on an editor page. A match found is selected and scrolled
// into view; the search does not wrap around the text's end. What was not found is told in an
// information box. The last search is kept for Search Again.
class TextSearch {
  public:
    explicit TextSearch(Host& host) : host_(host) {}

    // Selects the next match; false, after telling the user, when there is none.
    bool find(QsciScintilla& page, const SearchOptions& options);
    // The last search once more, from the caret; false when nothing was searched yet.
    bool searchAgain(QsciScintilla& page);
    // Replaces the selection when it is a match, then selects the next match. False when
    // there is no further match or the page is read-only.
    bool replace(QsciScintilla& page, const SearchOptions& options, const QString& replacement);
    // Replaces every match from the search's start on as one undo step and tells how many it
    // replaced; -1 when the page is read-only.
    int replaceAll(QsciScintilla& page, const SearchOptions& options, const QString& replacement);

    const std::optional<SearchOptions>& lastSearch() const { return last_; }
    const QString& lastReplacement() const { return lastReplacement_; }

  private:
    bool refuseReadOnly(const QsciScintilla& page);
    void reportNotFound(const SearchOptions& options);

    Host& host_;
    std::optional<SearchOptions> last_;
    QString lastReplacement_;
};

// The fields and options the Find and Replace dialogs share.
class SearchDialog : public QDialog {
    Q_OBJECT

  protected:
    SearchDialog(TextSearch& search, QsciScintilla& page, const QString& caption, QWidget* parent);

    SearchOptions options(bool fromCaret) const;

    TextSearch& search_;
    QsciScintilla& page_;
    QLineEdit* findText_;
    QCheckBox* matchCase_;
    QCheckBox* wholeWord_;
    QRadioButton* backwards_;
    QCheckBox* fromCaret_;
    QFormLayout* fields_;
};

// "Find": closes on a match, stays open on the user's text when there is none.
class TFindDlg : public SearchDialog {
    Q_OBJECT

  public:
    TFindDlg(TextSearch& search, QsciScintilla& page, QWidget* parent = nullptr);

  public slots:
    void FindBtnClick();
};

// "Replace": stays open for one replacement after the other until closed.
class TReplaceDlg : public SearchDialog {
    Q_OBJECT

  public:
    TReplaceDlg(TextSearch& search, QsciScintilla& page, QWidget* parent = nullptr);

  public slots:
    void FindBtnClick();
    void ReplaceBtnClick();
    void ReplaceAllBtnClick();

  private:
    QLineEdit* replaceText_;
    // The search's start applies to its first step only; later steps go on from the caret.
    bool started_ = false;
};

// Search|Find, Search|Replace and Search|Search Again on the editor window's active page;
// nothing while no page is active. Search Again without an earlier search opens Find.
void findInEditor(TEditor& editor, TextSearch& search);
void replaceInEditor(TEditor& editor, TextSearch& search);
void searchAgainInEditor(TEditor& editor, TextSearch& search);

}  // namespace tarnwick
