#pragma once

#include <QDialog>
#include <cstdint>

#include "debugger/memory_editors.h"

class QLabel;
class QLineEdit;

namespace tarnwick {

// "Modify Stack, IX, IY Pointer value": one RAM byte chosen in the stack view, in hex and
// decimal, with its character and binary forms.
class TStackDlg : public QDialog {
    Q_OBJECT

  public:
    TStackDlg(Machine& machine, DebugDisplay& display, std::uint16_t address,
              QWidget* parent = nullptr);

  public slots:
    void OKBtnClick();

  private:
    void showByte(QLineEdit* edited);

    Machine& machine_;
    DebugDisplay& display_;
    StackByteEditor model_;
    QLineEdit* hex_;
    QLineEdit* decimal_;
    QLabel* character_;
    QLabel* binary_;
};

// Double-click on a RAM cell of the stack view; true when the user chose OK.
bool showModifyStack(Machine& machine, DebugDisplay& display, std::uint16_t address,
                     QWidget* parent);

}  // namespace tarnwick
