#include "shell/save_to_binary_dialog.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "disasm/binary_export.h"

namespace tarnwick {

TS19BINDlg::TS19BINDlg(QWidget* parent) : QDialog(parent), start_(new QButtonGroup(this)) {
    setObjectName(QStringLiteral("TS19BINDlg"));
    setWindowTitle(tr("Save to BINary"));

    auto* group = new QGroupBox(tr("Start Address"));
    group->setObjectName(QStringLiteral("RGStart"));
    auto* items = new QVBoxLayout(group);
    for (std::size_t i = 0; i < kEpromChoices.size(); ++i) {
        const std::string_view item = kEpromChoices[i].item;
        auto* button =
            new QRadioButton(QString::fromUtf8(item.data(), static_cast<qsizetype>(item.size())));
        start_->addButton(button, static_cast<int>(i));
        items->addWidget(button);
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OKBtn"));
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelBtn"));
    connect(buttons, &QDialogButtonBox::accepted, this, &TS19BINDlg::OKBtnClick);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);
    FormShow();
}

void TS19BINDlg::FormShow() {
    start_->button(0)->setChecked(true);
}

void TS19BINDlg::OKBtnClick() {
    choice_ = static_cast<std::size_t>(start_->checkedId());
    accept();
}

void TS19BINDlg::showEvent(QShowEvent* event) {
    FormShow();
    QDialog::showEvent(event);
}

EpromDialog epromDialog(QWidget* parent) {
    return [parent]() -> std::optional<std::size_t> {
        TS19BINDlg dialog(parent);
        if (dialog.exec() != QDialog::Accepted) return std::nullopt;
        return dialog.choice();
    };
}

}  // namespace tarnwick
