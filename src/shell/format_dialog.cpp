#include "shell/format_dialog.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tarnwick {

TFormatDlg::TFormatDlg(QWidget* parent) : QDialog(parent), formats_(new QButtonGroup(this)) {
    setObjectName(QStringLiteral("TFormatDlg"));
    setWindowTitle(QStringLiteral("Project Format"));

    auto* group = new QGroupBox(QStringLiteral("Format"), this);
    group->setObjectName(QStringLiteral("RGFormat"));
    auto* groupLayout = new QVBoxLayout(group);
    for (const ProjectFormat format :
         {ProjectFormat::Asm11, ProjectFormat::S19, ProjectFormat::Icc11}) {
        auto* item = new QRadioButton(QString::fromUtf8(formatDialogItem(format)), group);
        formats_->addButton(item, static_cast<int>(format));
        groupLayout->addWidget(item);
    }
    formats_->button(static_cast<int>(ProjectFormat::Asm11))->setChecked(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OKBtn"));
    connect(buttons, &QDialogButtonBox::accepted, this, &TFormatDlg::OKBtnClick);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);
}

ProjectFormat TFormatDlg::format() const {
    return static_cast<ProjectFormat>(formats_->checkedId());
}

void TFormatDlg::OKBtnClick() {
    accept();
}

}  // namespace tarnwick
