#pragma once

#include <QDialog>
#include <vector>

#include "project/assembler_build.h"

class QCheckBox;
class QLineEdit;

namespace tarnwick {

// "ASM11 Options": shows the options it is given; OK writes the controls back into them,
// Cancel leaves them as they were.
class TASM11Dlg : public QDialog {
    Q_OBJECT

  public:
    explicit TASM11Dlg(Asm11Options& options, QWidget* parent = nullptr);

  public slots:
    void OKBtnClick();

  private:
    struct FlagControl {
        QCheckBox* box;
        bool Asm11Options::*member;
    };

    Asm11Options& options_;
    std::vector<FlagControl> flags_;
    QLineEdit* includeDirectory_;
};

}  // namespace tarnwick
