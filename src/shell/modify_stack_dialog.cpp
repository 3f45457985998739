#include "shell/modify_stack_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/field_widgets.h"

namespace tarnwick {

TStackDlg::TStackDlg(Machine& machine, DebugDisplay& display, std::uint16_t address,
                     QWidget* parent)
    : QDialog(parent),
      machine_(machine),
      display_(display),
      model_(machine, address),
      hex_(hexInputField(QStringLiteral("EModify"), 2)),
      decimal_(decimalInputField(QStringLiteral("EModifyDec"), 3)),
      character_(namedLabel(QStringLiteral("LChar"))),
      binary_(namedLabel(QStringLiteral("LBin"))) {
    setObjectName(QStringLiteral("TStackDlg"));
    setWindowTitle(QStringLiteral("Modify Stack, IX, IY Pointer value"));

    auto* addressLabel = namedLabel(QStringLiteral("LAddr"));
    addressLabel->setText(QString::fromStdString(model_.addressLabel()));
    showByte(nullptr);
    connect(hex_, &QLineEdit::textChanged, this, [this](const QString& text) {
        model_.byte.editHex(text.toStdString());
        showByte(hex_);
    });
    connect(decimal_, &QLineEdit::textChanged, this, [this](const QString& text) {
        model_.byte.editDecimal(text.toStdString());
        showByte(decimal_);
    });

    auto* fields = new QFormLayout;
    fields->addRow(addressLabel, hex_);
    fields->addRow(QString(), decimal_);
    fields->addRow(QStringLiteral("Char:"), character_);
    fields->addRow(QStringLiteral("Bin:"), binary_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OKBtn"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelBtn"));
    connect(buttons, &QDialogButtonBox::accepted, this, &TStackDlg::OKBtnClick);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(buttons);

    hex_->selectAll();
    hex_->setFocus();
}

void TStackDlg::showByte(QLineEdit* edited) {
    for (auto [field, text] :
         {std::pair{hex_, model_.byte.hexText()}, std::pair{decimal_, model_.byte.decimalText()}}) {
        if (field == edited)
            showEditedText(field, text);
        else
            showFieldText(field, text);
    }
    character_->setText(byteText(model_.characterLabel()));
    binary_->setText(QString::fromStdString(model_.binaryLabel()));
}

void TStackDlg::OKBtnClick() {
    model_.accept(machine_, display_);
    accept();
}

bool showModifyStack(Machine& machine, DebugDisplay& display, std::uint16_t address,
                     QWidget* parent) {
    TStackDlg dialog(machine, display, address, parent);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace tarnwick
