#pragma once

#include <QDialog>
#include <array>

#include "base/address_record.h"
#include "project/cpu_configuration.h"
#include "project/project.h"
#include "project/project_commands.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;

namespace tarnwick {

// "CPU Configuration": the simulated chip, its crystal, its memory map and the stored choices
// of the time-protected registers.
class TCPUDlg : public QDialog {
    Q_OBJECT

  public:
    // Shows `cpu`; OK copies every control into it, Cancel leaves it as it was. A CPU type or
    // crystal that is not in its list shows no selection and is kept by OK.
    explicit TCPUDlg(CpuConfiguration& cpu, QWidget* parent = nullptr);

  public slots:
    // The user picked a CPU type: its memory ranges and whether its EEPROM has BPROT.
    void CBCPUTypeChange(int index);
    void OKBtnClick();

  private:
    void enableBprotBoxes(bool enabled);

    CpuConfiguration& cpu_;
    QComboBox* cpuType_;
    QComboBox* crystal_;
    QLineEdit* romRanges_;
    QLineEdit* readWriteRanges_;
    QLineEdit* thirdRanges_;
    QButtonGroup* tmsk2_;
    std::array<QCheckBox*, 4> bprot_{};
    QButtonGroup* irq_;
    QCheckBox* randomMemory_;
};

// Configure|CPU on the open project: the dialog, then on OK the twelve keys of section "CPU"
// written to the project file and the memory map applied. A project file that cannot be
// written is reported and the configuration stays as it was. True when the configuration
// changed.
bool configureCpu(Project& project, AddressSpace& memory, ProjectUi& ui);

}  // namespace tarnwick
