#include "shell/modify_ram_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "shell/field_widgets.h"

namespace tarnwick {

namespace {

constexpr int kBytesPerRow = 8;

}  // namespace

TMRAMDlg::TMRAMDlg(Machine& machine, DebugDisplay& display, std::uint16_t lineAddress,
                   QWidget* parent)
    : QDialog(parent),
      machine_(machine),
      display_(display),
      model_(machine, lineAddress),
      oneBlock_(new QRadioButton(QStringLiteral("One Block"))),
      blocks_(new QRadioButton(QStringLiteral("Blocks"))),
      random_(new QCheckBox(QStringLiteral("Random"))) {
    setObjectName(QStringLiteral("TMRAMDlg"));
    setWindowTitle(QStringLiteral("Modify RAM"));
    oneBlock_->setObjectName(QStringLiteral("RBOneBlock"));
    blocks_->setObjectName(QStringLiteral("RBBlocks"));
    random_->setObjectName(QStringLiteral("CBRandom"));
    oneBlock_->setChecked(model_.mode == RamEditor::Mode::OneBlock);
    blocks_->setChecked(model_.mode == RamEditor::Mode::Blocks);
    random_->setChecked(model_.random);

    // Each row: its address label, then eight fields with their characters underneath.
    auto* line = new QGridLayout;
    for (int row = 0; row < 2; ++row) {
        line->addWidget(new QLabel(QString::fromStdString(model_.rowLabel(row))), 2 * row, 0);
        for (int column = 0; column < kBytesPerRow; ++column) {
            const std::size_t i = static_cast<std::size_t>(row * kBytesPerRow + column);
            const QString number = QString::number(i);
            QLineEdit* field = followedField(QStringLiteral("EAddr") + number, 2, model_.bytes[i]);
            characters_[i] = namedLabel(QStringLiteral("LOAddr") + number + QStringLiteral("A"));
            characters_[i]->setText(byteText(model_.characterLabel(i)));
            characters_[i]->setAlignment(Qt::AlignCenter);
            connect(field, &QLineEdit::textChanged, this,
                    [this, i] { characters_[i]->setText(byteText(model_.characterLabel(i))); });
            line->addWidget(field, 2 * row, column + 1);
            line->addWidget(characters_[i], 2 * row + 1, column + 1);
        }
    }

    auto* range = new QHBoxLayout;
    range->addWidget(new QLabel(QStringLiteral("From:")));
    range->addWidget(followedField(QStringLiteral("EBStart"), 4, model_.from));
    range->addWidget(new QLabel(QStringLiteral("to:")));
    range->addWidget(followedField(QStringLiteral("EBStop"), 4, model_.to));
    range->addWidget(new QLabel(QStringLiteral("Fill with:")));
    range->addWidget(followedField(QStringLiteral("EBFill"), 2, model_.fill));
    range->addWidget(random_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OKBtn"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelBtn"));
    connect(buttons, &QDialogButtonBox::accepted, this, &TMRAMDlg::OKBtnClick);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(oneBlock_);
    layout->addLayout(line);
    layout->addWidget(blocks_);
    layout->addLayout(range);
    layout->addWidget(buttons);

    findChild<QLineEdit*>(QStringLiteral("EAddr0"))->setFocus();
}

QLineEdit* TMRAMDlg::followedField(const QString& name, int maxLength, HexField& model) {
    QLineEdit* field = hexInputField(name, maxLength);
    field->setText(QString::fromStdString(model.text()));
    // Connected before any other reaction to the field, so those see the model's value.
    connect(field, &QLineEdit::textChanged, this, [field, &model](const QString& text) {
        model.edit(text.toStdString());
        showEditedText(field, model.text());
    });
    return field;
}

void TMRAMDlg::OKBtnClick() {
    model_.mode = blocks_->isChecked() ? RamEditor::Mode::Blocks : RamEditor::Mode::OneBlock;
    model_.random = random_->isChecked();
    model_.accept(machine_, display_);
    accept();
}

bool showModifyRam(Machine& machine, DebugDisplay& display, std::uint16_t lineAddress,
                   QWidget* parent) {
    TMRAMDlg dialog(machine, display, lineAddress, parent);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace tarnwick
