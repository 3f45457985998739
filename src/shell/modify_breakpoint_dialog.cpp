#include "shell/modify_breakpoint_dialog.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace tarnwick {

namespace {

QLabel* textLabel(const QString& objectName, const std::string& text) {
    auto* label = new QLabel(QString::fromStdString(text));
    label->setObjectName(objectName);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QLineEdit* numberField(const QString& objectName, const std::string& text) {
    auto* field = new QLineEdit(QString::fromStdString(text));
    field->setObjectName(objectName);
    field->setMaxLength(static_cast<int>(ModifyBreakpoint::kFieldLength));
    field->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), field));
    return field;
}

}  // namespace

TMBreakDlg::TMBreakDlg(ModifyBreakpoint model, QWidget* parent)
    : QDialog(parent),
      model_(std::move(model)),
      newPass_(numberField(QStringLiteral("EPass"), model_.initialNewPass())),
      newCount_(numberField(QStringLiteral("ECount"), model_.initialNewCount())) {
    setObjectName(QStringLiteral("TMBreakDlg"));
    setWindowTitle(QStringLiteral("Modify Breakpoint"));

    auto* sourceText = textLabel(QStringLiteral("LSourceText"), model_.sourceText());
    sourceText->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("Filename:"),
                   textLabel(QStringLiteral("LFilename"), model_.fileNameText()));
    fields->addRow(QStringLiteral("Line:"), textLabel(QStringLiteral("LLine"), model_.lineText()));
    fields->addRow(QStringLiteral("Address:"),
                   textLabel(QStringLiteral("LAddr"), model_.addressText()));
    fields->addRow(QStringLiteral("Hit:"), textLabel(QStringLiteral("LPass"), model_.passText()));
    fields->addRow(QStringLiteral("Source Text:"), sourceText);
    fields->addRow(QStringLiteral("New Hit:"), newPass_);
    fields->addRow(QStringLiteral("New Hit Count:"), newCount_);

    followRule(newPass_, &ModifyBreakpoint::newPassFieldText);
    followRule(newCount_, &ModifyBreakpoint::newCountFieldText);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OKBtn"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelBtn"));
    connect(buttons, &QDialogButtonBox::accepted, this, &TMBreakDlg::OKBtnClick);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(buttons);

    newPass_->selectAll();
    newPass_->setFocus();
}

void TMBreakDlg::showFor(std::optional<ModifyBreakpoint> model, QWidget* parent) {
    if (!model) return;
    TMBreakDlg dialog(std::move(*model), parent);
    dialog.exec();
}

void TMBreakDlg::followRule(QLineEdit* field, FieldRule rule) {
    connect(field, &QLineEdit::textChanged, this, [field, rule](const QString& text) {
        const QString ruled = QString::fromStdString(rule(text.toStdString()));
        if (ruled == text) return;
        field->setText(ruled);
        field->selectAll();
    });
}

void TMBreakDlg::OKBtnClick() {
    if (model_.ok(newPass_->text().toStdString(), newCount_->text().toStdString())) accept();
}

}  // namespace tarnwick
