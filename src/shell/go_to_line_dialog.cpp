#include "shell/go_to_line_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "debugger/go_to_line.h"
#include "shell/editor_window.h"

namespace tarnwick {

QValidator::State DecimalFieldFilter::validate(QString& input, int& position) const {
    const QString beforeCursor =
        QString::fromStdString(decimalFieldText(input.left(position).toStdString(), maxLength_));
    input = QString::fromStdString(decimalFieldText(input.toStdString(), maxLength_));
    position = static_cast<int>(std::min(beforeCursor.size(), input.size()));
    return Acceptable;
}

TGoToLineDlg::TGoToLineDlg(SourceEditor& editor, QWidget* parent)
    : QDialog(parent), editor_(editor), line_(new QLineEdit) {
    setObjectName(QStringLiteral("TGoToLineDlg"));
    setWindowTitle(QStringLiteral("Go To Line Number"));

    line_->setObjectName(QStringLiteral("ELine"));
    line_->setMaxLength(static_cast<int>(go_to_line::kMaxLength));
    line_->setValidator(new DecimalFieldFilter(go_to_line::kMaxLength, line_));
    line_->setText(QString::fromStdString(go_to_line::initialText(editor_)));
    line_->selectAll();

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("Enter Line Number:"), line_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OKBtn"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelBtn"));
    connect(buttons, &QDialogButtonBox::accepted, this, &TGoToLineDlg::OKBtnClick);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(buttons);
    line_->setFocus();
}

void TGoToLineDlg::OKBtnClick() {
    go_to_line::goToLine(editor_, line_->text().toStdString());
    accept();
}

void goToLineNumber(TEditor& editor) {
    if (!editor.activePage()) return;
    TGoToLineDlg dialog(editor, &editor);
    dialog.exec();
}

}  // namespace tarnwick
