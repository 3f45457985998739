#include "shell/add_watch_dialog.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "debugger/watch_format.h"
#include "shell/go_to_line_dialog.h"
#include "shell/qt_text.h"

namespace tarnwick {

namespace {

QStringList qTexts(const std::vector<std::string>& texts) {
    QStringList list;
    for (const std::string& text : texts) list.append(QString::fromStdString(text));
    return list;
}

// The radio group "Format": one button per caption, numbered from 0, in `columns` columns
// filled row by row.
QGroupBox* formatGroup(const std::vector<std::string_view>& captions, int columns,
                       QButtonGroup*& buttons, QWidget* owner) {
    auto* box = new QGroupBox(QStringLiteral("Format"));
    box->setObjectName(QStringLiteral("RGFormat"));
    auto* grid = new QGridLayout(box);
    buttons = new QButtonGroup(owner);
    for (int i = 0; i < static_cast<int>(captions.size()); ++i) {
        auto* button = new QRadioButton(qText(captions[static_cast<std::size_t>(i)]));
        buttons->addButton(button, i);
        grid->addWidget(button, i / columns, i % columns);
    }
    return box;
}

template <typename Choices>
std::vector<std::string_view> captionsOf(const Choices& choices) {
    std::vector<std::string_view> captions;
    for (const auto& choice : choices) captions.push_back(choice.caption);
    return captions;
}

QDialogButtonBox* okCancelButtons(QDialog* dialog) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OKBtn"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelBtn"));
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

std::vector<std::string> symbolNames(const SourceMap& sourceMap) {
    std::vector<std::string> names;
    for (const MEMORYSYM& symbol : sourceMap.symbols)
        if (!symbol.name.empty()) names.push_back(symbol.name);
    return names;
}

}  // namespace

TWatchAddDlg::TWatchAddDlg(DebugContext& context, WatchList& watches, QWidget* parent)
    : QDialog(parent), model_(context, watches), name_(new QComboBox), count_(new QLineEdit) {
    setObjectName(QStringLiteral("TWatchAddDlg"));
    setWindowTitle(qText(AssemblyWatchDialog::kCaption));
    model_.show(symbolNames(context.sourceMap));

    // Editable: a name may be typed as well as chosen.
    name_->setObjectName(QStringLiteral("CBName"));
    name_->setEditable(true);
    name_->setInsertPolicy(QComboBox::NoInsert);
    name_->addItems(qTexts(model_.names()));
    name_->setCurrentText(QString::fromStdString(model_.name));

    count_->setObjectName(QStringLiteral("ECount"));
    count_->setMaxLength(static_cast<int>(AssemblyWatchDialog::kLengthFieldWidth));
    count_->setValidator(new DecimalFieldFilter(AssemblyWatchDialog::kLengthFieldWidth, count_));
    count_->setText(QString::fromStdString(model_.length));
    auto* length = new QHBoxLayout;
    length->addWidget(count_);
    length->addWidget(new QLabel(qText(AssemblyWatchDialog::kLengthHint)));
    length->addStretch();

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("Name:"), name_);
    fields->addRow(QStringLiteral("Length:"), length);

    QGroupBox* formats = formatGroup(captionsOf(kAssemblyWatchFormats), 4, format_, this);
    format_->button(static_cast<int>(model_.format))->setChecked(true);

    QDialogButtonBox* buttons = okCancelButtons(this);
    connect(buttons, &QDialogButtonBox::accepted, this, &TWatchAddDlg::OKBtnClick);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(formats);
    layout->addWidget(buttons);
    name_->setFocus();
}

void TWatchAddDlg::OKBtnClick() {
    model_.name = name_->currentText().trimmed().toStdString();
    model_.length = count_->text().toStdString();
    model_.format = static_cast<std::size_t>(format_->checkedId());
    model_.ok();
    accept();
}

TWatchICCDlg::TWatchICCDlg(DebugContext& context, WatchList& watches,
                           const std::vector<std::string>& scopes, QWidget* parent)
    : QDialog(parent),
      model_(context, watches),
      function_(new QComboBox),
      variable_(new QComboBox) {
    setObjectName(QStringLiteral("TWatchICCDlg"));
    setWindowTitle(qText(CWatchDialog::kCaption));
    model_.show(scopes);

    function_->setObjectName(QStringLiteral("CBFunction"));
    function_->addItems(qTexts(model_.functions()));
    function_->setCurrentIndex(-1);
    variable_->setObjectName(QStringLiteral("CBVar"));
    connect(function_, &QComboBox::currentIndexChanged, this, &TWatchICCDlg::CBFunctionChange);

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("Function:"), function_);
    fields->addRow(QStringLiteral("Variable:"), variable_);

    QGroupBox* formats = formatGroup(captionsOf(kCWatchFormats), 2, format_, this);
    format_->button(static_cast<int>(model_.format))->setChecked(true);

    QDialogButtonBox* buttons = okCancelButtons(this);
    connect(buttons, &QDialogButtonBox::accepted, this, &TWatchICCDlg::OKBtnClick);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(formats);
    layout->addWidget(buttons);
    function_->setFocus();
}

void TWatchICCDlg::CBFunctionChange(int index) {
    if (index < 0) return;
    model_.chooseFunction(function_->itemText(index).toStdString());
    variable_->clear();
    variable_->addItems(qTexts(model_.variables()));
    // The user chooses the variable; OK without one adds nothing.
    variable_->setCurrentIndex(-1);
}

void TWatchICCDlg::OKBtnClick() {
    model_.variable = variable_->currentText().toStdString();
    model_.format = static_cast<std::size_t>(format_->checkedId());
    model_.ok();
    accept();
}

void showAddWatchDialog(WatchDialogKind kind, DebugContext& context, WatchList& watches,
                        const std::vector<std::string>& scopes, QWidget* parent) {
    switch (kind) {
        case WatchDialogKind::Assembly: {
            TWatchAddDlg dialog(context, watches, parent);
            dialog.exec();
            return;
        }
        case WatchDialogKind::C: {
            TWatchICCDlg dialog(context, watches, scopes, parent);
            dialog.exec();
            return;
        }
        case WatchDialogKind::None:
            return;
    }
}

}  // namespace tarnwick
