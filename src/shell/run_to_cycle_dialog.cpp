#include "shell/run_to_cycle_dialog.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/number_text.h"
#include "debugger/cycle_time.h"
#include "shell/go_to_line_dialog.h"
#include "shell/qt_text.h"

namespace tarnwick {

namespace {}  // namespace

TRunToCycleDlg::TRunToCycleDlg(std::uint32_t currentCycle, Host& host, QWidget* parent)
    : QDialog(parent), host_(host), cycle_(new QLineEdit) {
    setObjectName(QStringLiteral("TRunToCycleDlg"));
    setWindowTitle(qText(kRunToCycleCaption));
    const QFont fixedPitch = QFontDatabase::systemFont(QFontDatabase::FixedFont);

    auto* current = new QLabel(qText(groupThousands(currentCycle, host_.thousandsSeparator())));
    current->setObjectName(QStringLiteral("LCurrentCycle"));
    current->setFont(fixedPitch);
    current->setTextInteractionFlags(Qt::TextSelectableByMouse);

    cycle_->setObjectName(QStringLiteral("ECycle"));
    cycle_->setFont(fixedPitch);
    cycle_->setMaxLength(static_cast<int>(kCycleInputMaxLength));
    cycle_->setValidator(new DecimalFieldFilter(kCycleInputMaxLength, cycle_));

    auto* fields = new QFormLayout;
    fields->addRow(qText(kCurrentCycleCaption), current);
    fields->addRow(qText(kRunToCycleBoxCaption), cycle_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OKBtn"));
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelBtn"));
    connect(buttons, &QDialogButtonBox::accepted, this, &TRunToCycleDlg::OKBtnClick);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(buttons);
    cycle_->setFocus();
}

void TRunToCycleDlg::OKBtnClick() {
    const CycleTarget parsed = parseCycleTarget(cycle_->text().toStdString());
    if (!parsed.ok()) {
        host_.showError(parsed.error);
        cycle_->setFocus();
        return;
    }
    target_ = parsed.cycle;
    accept();
}

std::optional<std::uint32_t> askRunToCycleTarget(std::uint32_t currentCycle, Host& host,
                                                 QWidget* parent) {
    TRunToCycleDlg dialog(currentCycle, host, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.target();
}

}  // namespace tarnwick
