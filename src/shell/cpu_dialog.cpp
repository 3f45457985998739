#include "shell/cpu_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "shell/hex_key_filter.h"
#include "shell/qt_text.h"

namespace tarnwick {
namespace {

QLineEdit* rangeEdit(const char* objectName, const std::string& ranges, const char* filterName,
                     QWidget* parent) {
    auto* edit = new QLineEdit(QString::fromStdString(ranges), parent);
    edit->setObjectName(QString::fromUtf8(objectName));
    auto* filter = new HexKeyFilter(HexKeyFilter::Blanks::Allowed, edit);
    filter->setObjectName(QString::fromUtf8(filterName));
    edit->setValidator(filter);
    return edit;
}

// A radio group whose button ids are the item indexes.
QGroupBox* radioGroup(const char* objectName, const char* title,
                      std::initializer_list<const char*> items, int checked, QButtonGroup* buttons,
                      QWidget* parent) {
    auto* group = new QGroupBox(QString::fromUtf8(title), parent);
    group->setObjectName(QString::fromUtf8(objectName));
    auto* layout = new QVBoxLayout(group);
    int id = 0;
    for (const char* item : items) {
        auto* button = new QRadioButton(QString::fromUtf8(item), group);
        buttons->addButton(button, id++);
        layout->addWidget(button);
    }
    if (QAbstractButton* button = buttons->button(checked)) button->setChecked(true);
    return group;
}

}  // namespace

TCPUDlg::TCPUDlg(CpuConfiguration& cpu, QWidget* parent)
    : QDialog(parent),
      cpu_(cpu),
      cpuType_(new QComboBox(this)),
      crystal_(new QComboBox(this)),
      tmsk2_(new QButtonGroup(this)),
      irq_(new QButtonGroup(this)),
      randomMemory_(
          new QCheckBox(QStringLiteral("Random Read && Write Memory on start up"), this)) {
    setObjectName(QStringLiteral("TCPUDlg"));
    setWindowTitle(QStringLiteral("CPU Configuration"));

    cpuType_->setObjectName(QStringLiteral("CBCPUType"));
    for (const ChipInfo& chip : kChipTable) cpuType_->addItem(qText(chip.name));
    cpuType_->setCurrentIndex(cpuType_->findText(QString::fromStdString(cpu_.cpuType)));
    connect(cpuType_, &QComboBox::activated, this, &TCPUDlg::CBCPUTypeChange);
    crystal_->setObjectName(QStringLiteral("CBCPUXtal"));
    for (const std::string_view crystal : kCrystalNames) crystal_->addItem(qText(crystal));
    crystal_->setCurrentIndex(crystal_->findText(QString::fromStdString(cpu_.crystal)));

    auto* chipFields = new QFormLayout;
    chipFields->addRow(QStringLiteral("CPU Type:"), cpuType_);
    chipFields->addRow(QStringLiteral("XTAL:"), crystal_);

    auto* memory = new QGroupBox(QStringLiteral("Memory"), this);
    romRanges_ = rangeEdit("RMemEdit", cpu_.romRanges, "RFilter", memory);
    readWriteRanges_ = rangeEdit("RWMemEdit", cpu_.readWriteRanges, "RWFilter", memory);
    thirdRanges_ = rangeEdit("IOMemEdit", cpu_.thirdRanges, "IOFilter", memory);
    auto* memoryFields = new QFormLayout(memory);
    memoryFields->addRow(QStringLiteral("Read Only Memory:"), romRanges_);
    memoryFields->addRow(QStringLiteral("Read && Write Memory:"), readWriteRanges_);
    memoryFields->addRow(QStringLiteral("Input && Output Memory:"), thirdRanges_);

    auto* timeProtected = new QGroupBox(QStringLiteral("Time Protected Registers"), this);
    QGroupBox* tmsk2Group = radioGroup("RGTMSK2", "TMSK2",
                                       {"Timer Prescaler / 1", "Timer Prescaler / 4",
                                        "Timer Prescaler / 8", "Timer Prescaler / 16"},
                                       cpu_.tmsk2Prescaler, tmsk2_, timeProtected);
    auto* bprotGroup = new QGroupBox(QStringLiteral("BPROT"), timeProtected);
    auto* bprotLayout = new QVBoxLayout(bprotGroup);
    constexpr std::array<const char*, 4> kBprotNames{"BPROT0CB", "BPROT1CB", "BPROT2CB",
                                                     "BPROT3CB"};
    constexpr std::array<const char*, 4> kBprotCaptions{"Protect B600-B61F", "Protect B620-B65F",
                                                        "Protect B660-B6DF", "Protect B6E0-B7FF"};
    for (std::size_t i = 0; i < bprot_.size(); ++i) {
        bprot_[i] = new QCheckBox(QString::fromUtf8(kBprotCaptions[i]), bprotGroup);
        bprot_[i]->setObjectName(QString::fromUtf8(kBprotNames[i]));
        bprot_[i]->setChecked(cpu_.bprot[i]);
        bprotLayout->addWidget(bprot_[i]);
    }
    const ChipInfo* chip = findChip(cpu_.cpuType);
    enableBprotBoxes(chip && chip->bprotBoxesEnabled);
    QGroupBox* irqGroup = radioGroup("RGOPTION", "OPTION",
                                     {"IRQ Low level recognition", "IRQ Falling edge recognition"},
                                     cpu_.irqChoice, irq_, timeProtected);
    auto* timeProtectedLayout = new QHBoxLayout(timeProtected);
    timeProtectedLayout->addWidget(tmsk2Group);
    timeProtectedLayout->addWidget(bprotGroup);
    timeProtectedLayout->addWidget(irqGroup);

    randomMemory_->setObjectName(QStringLiteral("CBRandom"));
    randomMemory_->setChecked(cpu_.randomMemory);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OKBtn"));
    connect(buttons, &QDialogButtonBox::accepted, this, &TCPUDlg::OKBtnClick);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(chipFields);
    layout->addWidget(memory);
    layout->addWidget(timeProtected);
    layout->addWidget(randomMemory_);
    layout->addWidget(buttons);
    cpuType_->setFocus();
}

void TCPUDlg::enableBprotBoxes(bool enabled) {
    for (QCheckBox* box : bprot_) box->setEnabled(enabled);
}

void TCPUDlg::CBCPUTypeChange(int index) {
    if (index < 0 || index >= static_cast<int>(kChipTable.size())) return;
    const ChipInfo& chip = kChipTable[static_cast<std::size_t>(index)];
    romRanges_->setText(qText(chip.romRanges));
    readWriteRanges_->setText(qText(chip.readWriteRanges));
    thirdRanges_->setText(qText(chip.thirdRanges));
    enableBprotBoxes(chip.bprotBoxesEnabled);
}

void TCPUDlg::OKBtnClick() {
    if (cpuType_->currentIndex() >= 0) cpu_.cpuType = cpuType_->currentText().toStdString();
    if (crystal_->currentIndex() >= 0) cpu_.crystal = crystal_->currentText().toStdString();
    for (std::size_t i = 0; i < bprot_.size(); ++i) cpu_.bprot[i] = bprot_[i]->isChecked();
    if (tmsk2_->checkedId() >= 0) cpu_.tmsk2Prescaler = tmsk2_->checkedId();
    if (irq_->checkedId() >= 0) cpu_.irqChoice = irq_->checkedId();
    cpu_.romRanges = romRanges_->text().toStdString();
    cpu_.readWriteRanges = readWriteRanges_->text().toStdString();
    cpu_.thirdRanges = thirdRanges_->text().toStdString();
    cpu_.randomMemory = randomMemory_->isChecked();
    accept();
}

bool configureCpu(Project& project, AddressSpace& memory, ProjectUi& ui) {
    CpuConfiguration edited = project.cpu;
    if (!ui.editCpuConfiguration(edited)) return false;
    try {
        updateProjectFile(project.path,
                          [&](IniDocument& document) { writeCpuConfiguration(document, edited); });
    } catch (const FileError& error) {
        ui.showError(error.what());
        return false;
    }
    project.cpu = std::move(edited);
    project.cpu.applyMemoryMap(memory);
    return true;
}

}  // namespace tarnwick
