#include "shell/modify_register_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/field_widgets.h"

namespace tarnwick {

namespace {

enum Column { kCaption, kCurrent, kHex, kDecimal, kBinary, kCharacter };

}  // namespace

TMRegDlg::TMRegDlg(Machine& machine, DebugDisplay& display, QWidget* parent)
    : QDialog(parent), machine_(machine), display_(display), model_(machine) {
    setObjectName(QStringLiteral("TMRegDlg"));
    setWindowTitle(QStringLiteral("Modify Register"));

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("New Value")), 0, kHex, 1, 2);
    addPairRow(grid, 1, QStringLiteral("ACCA"), QStringLiteral("ACCA"), model_.currentA, model_.a,
               true);
    addPairRow(grid, 2, QStringLiteral("ACCB"), QStringLiteral("ACCB"), model_.currentB, model_.b,
               true);
    addPairRow(grid, 3, QStringLiteral("IX"), QStringLiteral("INDX"), model_.currentIx, model_.ix,
               false);
    addPairRow(grid, 4, QStringLiteral("IY"), QStringLiteral("INDY"), model_.currentIy, model_.iy,
               false);

    auto* currentSp = namedLabel(QStringLiteral("LSP"));
    currentSp->setText(QString::fromStdString(model_.currentSp));
    sp_ = hexInputField(QStringLiteral("ESP"), 4);
    sp_->setText(QString::fromStdString(model_.sp.text()));
    connect(sp_, &QLineEdit::textChanged, this, [this](const QString& text) {
        model_.sp.edit(text.toStdString());
        showEditedText(sp_, model_.sp.text());
    });
    grid->addWidget(new QLabel(QStringLiteral("SP")), 5, kCaption);
    grid->addWidget(currentSp, 5, kCurrent);
    grid->addWidget(sp_, 5, kHex);

    auto* flags = new QGroupBox(QStringLiteral("CCR"));
    auto* flagRow = new QHBoxLayout(flags);
    halfCarry_ =
        flagBox(QStringLiteral("CBHalfCarry"), QStringLiteral("&Half Carry"), model_.halfCarry);
    negative_ = flagBox(QStringLiteral("CBNegative"), QStringLiteral("&Negative"), model_.negative);
    zero_ = flagBox(QStringLiteral("CBZero"), QStringLiteral("&Zero"), model_.zero);
    overflow_ = flagBox(QStringLiteral("CBOverflow"), QStringLiteral("O&verflow"), model_.overflow);
    carry_ = flagBox(QStringLiteral("CBCarry"), QStringLiteral("&Carry"), model_.carry);
    for (QCheckBox* box : {halfCarry_, negative_, zero_, overflow_, carry_})
        flagRow->addWidget(box);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OKBtn"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelBtn"));
    connect(buttons, &QDialogButtonBox::accepted, this, &TMRegDlg::OKBtnClick);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(flags);
    layout->addWidget(buttons);

    pairRows_.front().hex->selectAll();
    pairRows_.front().hex->setFocus();
}

void TMRegDlg::addPairRow(QGridLayout* grid, int row, const QString& caption, const QString& name,
                          const std::string& current, HexDecimalPair& model, bool byteRow) {
    const int hexLength = byteRow ? 2 : 4;
    PairRow fields{
        &model, hexInputField(QStringLiteral("E") + name, hexLength),
        decimalInputField(QStringLiteral("E") + name + QStringLiteral("Dec"), hexLength + 1)};
    auto* currentValue = namedLabel(QStringLiteral("L") + name);
    currentValue->setText(QString::fromStdString(current));
    grid->addWidget(new QLabel(caption), row, kCaption);
    grid->addWidget(currentValue, row, kCurrent);
    grid->addWidget(fields.hex, row, kHex);
    grid->addWidget(fields.decimal, row, kDecimal);
    if (byteRow) {
        fields.binary = namedLabel(QStringLiteral("L") + name + QStringLiteral("Bin"));
        fields.character = namedLabel(QStringLiteral("L") + name + QStringLiteral("Char"));
        grid->addWidget(fields.binary, row, kBinary);
        grid->addWidget(fields.character, row, kCharacter);
    }
    pairRows_.push_back(fields);
    showPairRow(fields, nullptr);

    connect(fields.hex, &QLineEdit::textChanged, this, [this, fields](const QString& text) {
        fields.model->editHex(text.toStdString());
        showPairRow(fields, fields.hex);
    });
    connect(fields.decimal, &QLineEdit::textChanged, this, [this, fields](const QString& text) {
        fields.model->editDecimal(text.toStdString());
        showPairRow(fields, fields.decimal);
    });
}

void TMRegDlg::showPairRow(const PairRow& row, QLineEdit* edited) {
    const auto show = [edited](QLineEdit* field, const std::string& text) {
        if (field == edited)
            showEditedText(field, text);
        else
            showFieldText(field, text);
    };
    show(row.hex, row.model->hexText());
    show(row.decimal, row.model->decimalText());
    if (!row.binary) return;
    const bool isA = row.model == &model_.a;
    row.binary->setText(QString::fromStdString(isA ? model_.aBinary() : model_.bBinary()));
    row.character->setText(byteText(isA ? model_.aCharacter() : model_.bCharacter()));
}

QCheckBox* TMRegDlg::flagBox(const QString& name, const QString& caption, bool checked) {
    auto* box = new QCheckBox(caption);
    box->setObjectName(name);
    box->setChecked(checked);
    return box;
}

void TMRegDlg::OKBtnClick() {
    model_.halfCarry = halfCarry_->isChecked();
    model_.negative = negative_->isChecked();
    model_.zero = zero_->isChecked();
    model_.overflow = overflow_->isChecked();
    model_.carry = carry_->isChecked();
    model_.accept(machine_, display_);
    accept();
}

bool showModifyRegister(Machine& machine, DebugDisplay& display, QWidget* parent) {
    TMRegDlg dialog(machine, display, parent);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace tarnwick
