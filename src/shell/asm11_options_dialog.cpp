#include "shell/asm11_options_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <array>

namespace tarnwick {
namespace {

struct FlagCaption {
    const char* objectName;
    const char* caption;
    bool Asm11Options::*member;
};

// The flag "S19" has no control: it is kept and written back as it was read.
constexpr std::array<FlagCaption, 13> kFlagCaptions{{
    {"CBASM11WRN", "Warn", &Asm11Options::warnings},
    {"CBASM11SP", "Spaces", &Asm11Options::spaces},
    {"CBASM11SH", "S0 header", &Asm11Options::s0Header},
    {"CBASM11O", "Over/Mem", &Asm11Options::overlapCheck},
    {"CBASM11P", "P1 Stop", &Asm11Options::p1Stop},
    {"CBASM11C", "Case sensitive labels", &Asm11Options::caseSensitive},
    {"CBASM11L", "Create *.LST file(s)", &Asm11Options::listing},
    {"CBASM11M", "Create *.MAP file(s)", &Asm11Options::map},
    {"CBASM11X", "Allow extra mnemonics", &Asm11Options::extraMnemonics},
    {"CBASM11REL", "BRA/BSR-JMP/JSR Optimization Warning",
     &Asm11Options::branchOptimisationWarning},
    {"CBASM11RTS", "BSR/JSR - RTS Optimization Warning", &Asm11Options::rtsOptimisationWarning},
    {"CBASM11SYM", "Create Vexo SYM file [needed for debugging]", &Asm11Options::symbolFile},
    {"CBShow", "Show build progress", &Asm11Options::showProgress},
}};

constexpr int kIncludeDirectoryLength = 66;

}  // namespace

TASM11Dlg::TASM11Dlg(Asm11Options& options, QWidget* parent)
    : QDialog(parent), options_(options), includeDirectory_(new QLineEdit(this)) {
    setObjectName(QStringLiteral("TASM11Dlg"));
    setWindowTitle(QStringLiteral("ASM11 Options"));

    // Two columns of check boxes, filled top to bottom.
    auto* boxes = new QGridLayout;
    const int rows = (static_cast<int>(kFlagCaptions.size()) + 1) / 2;
    for (int i = 0; i < static_cast<int>(kFlagCaptions.size()); ++i) {
        const FlagCaption& flag = kFlagCaptions[i];
        auto* box = new QCheckBox(QString::fromUtf8(flag.caption), this);
        box->setObjectName(QString::fromUtf8(flag.objectName));
        box->setChecked(options_.*flag.member);
        boxes->addWidget(box, i % rows, i / rows);
        flags_.push_back({box, flag.member});
    }

    includeDirectory_->setObjectName(QStringLiteral("EASM11I"));
    includeDirectory_->setMaxLength(kIncludeDirectoryLength);
    includeDirectory_->setText(QString::fromStdString(options_.includeDirectory));
    auto* includeLabel = new QLabel(QStringLiteral("Default INCLUDE Directory:"), this);
    includeLabel->setBuddy(includeDirectory_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OKBtn"));
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &TASM11Dlg::OKBtnClick);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(boxes);
    layout->addWidget(includeLabel);
    layout->addWidget(includeDirectory_);
    layout->addWidget(buttons);
}

void TASM11Dlg::OKBtnClick() {
    for (const FlagControl& flag : flags_) options_.*flag.member = flag.box->isChecked();
    options_.includeDirectory = includeDirectory_->text().toStdString();
    accept();
}

}  // namespace tarnwick
