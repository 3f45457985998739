#pragma once

#include <QDialog>
#include <QValidator>
#include <cstddef>

#include "debugger/source_editor.h"

class QLineEdit;

namespace tarnwick {

class TEditor;

// The key filter of decimal input fields: only digits reach the text, at most maxLength of
// them, and other characters are dropped from pasted text as well.
class DecimalFieldFilter : public QValidator {
  public:
    DecimalFieldFilter(std::size_t maxLength, QObject* parent)
        : QValidator(parent), maxLength_(maxLength) {}

    State validate(QString& input, int& position) const override;

  private:
    std::size_t maxLength_;
};

// "Go To Line Number": the line to move the caret of the active page to.
class TGoToLineDlg : public QDialog {
    Q_OBJECT

  public:
    // `ELine` starts at the caret line of the editor's active page.
    explicit TGoToLineDlg(SourceEditor& editor, QWidget* parent = nullptr);

  public slots:
    void OKBtnClick();

  private:
    SourceEditor& editor_;
    QLineEdit* line_;
};

// Search|Go to Line Number: the dialog over the editor window, only while a page is active.
void goToLineNumber(TEditor& editor);

}  // namespace tarnwick
