#pragma once

#include <QDialog>
#include <array>
#include <cstdint>

#include "debugger/memory_editors.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace tarnwick {

// "Modify RAM": the sixteen bytes of one line of the RAM view ("One Block"), or a range of
// RAM to fill ("Blocks"). The memory editor model keeps the fields and writes the machine.
class TMRAMDlg : public QDialog {
    Q_OBJECT

  public:
    TMRAMDlg(Machine& machine, DebugDisplay& display, std::uint16_t lineAddress,
             QWidget* parent = nullptr);

  public slots:
    // Closes the dialog also when the model refused the fill range (it told the user why).
    void OKBtnClick();

  private:
    QLineEdit* followedField(const QString& name, int maxLength, HexField& model);

    Machine& machine_;
    DebugDisplay& display_;
    RamEditor model_;
    QRadioButton* oneBlock_;
    QRadioButton* blocks_;
    std::array<QLabel*, RamEditor::kLineBytes> characters_{};
    QCheckBox* random_;
};

// Double-click or Enter on a line of the RAM view; true when the user chose OK.
bool showModifyRam(Machine& machine, DebugDisplay& display, std::uint16_t lineAddress,
                   QWidget* parent);

}  // namespace tarnwick
