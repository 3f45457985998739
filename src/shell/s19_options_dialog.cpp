#include "shell/s19_options_dialog.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/hex_key_filter.h"

namespace tarnwick {

TS19Dlg::TS19Dlg(std::string& start, QWidget* parent)
    : QDialog(parent), start_(start), address_(new QLineEdit(this)) {
    setObjectName(QStringLiteral("TS19Dlg"));
    setWindowTitle(QStringLiteral("S19 Option"));

    address_->setObjectName(QStringLiteral("S19Addr"));
    address_->setMaxLength(4);
    address_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    address_->setValidator(new HexKeyFilter(HexKeyFilter::Blanks::Refused, address_));
    address_->setText(QString::fromStdString(start_));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OKBtn"));
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &TS19Dlg::OKBtnClick);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("Start address (hex):"), address_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(buttons);
}

void TS19Dlg::OKBtnClick() {
    start_ = address_->text().toStdString();
    accept();
}

}  // namespace tarnwick
