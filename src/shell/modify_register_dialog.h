#pragma once

#include <QDialog>
#include <vector>

#include "debugger/register_editor.h"

class QCheckBox;
class QGridLayout;
class QLabel;
class QLineEdit;

namespace tarnwick {

// "Modify Register": new values for A, B, IX, IY, SP and the H, N, Z, V and C flags. Every
// change of a field goes through the register editor model, which keeps the hex and decimal
// partners and the labels of A and B in step.
class TMRegDlg : public QDialog {
    Q_OBJECT

  public:
    TMRegDlg(Machine& machine, DebugDisplay& display, QWidget* parent = nullptr);

  public slots:
    void OKBtnClick();

  private:
    // The fields and labels of a register with a hex and a decimal field.
    struct PairRow {
        HexDecimalPair* model;
        QLineEdit* hex;
        QLineEdit* decimal;
        QLabel* binary = nullptr;     // A and B only
        QLabel* character = nullptr;  // A and B only
    };

    void addPairRow(QGridLayout* grid, int row, const QString& caption, const QString& name,
                    const std::string& current, HexDecimalPair& model, bool byteRow);
    void showPairRow(const PairRow& row, QLineEdit* edited);
    QCheckBox* flagBox(const QString& name, const QString& caption, bool checked);

    Machine& machine_;
    DebugDisplay& display_;
    RegisterEditor model_;
    std::vector<PairRow> pairRows_;
    QLineEdit* sp_;
    QCheckBox* halfCarry_;
    QCheckBox* negative_;
    QCheckBox* zero_;
    QCheckBox* overflow_;
    QCheckBox* carry_;
};

// Debug Tools|Modify Register...: the dialog over the machine; true when the user chose OK.
bool showModifyRegister(Machine& machine, DebugDisplay& display, QWidget* parent);

}  // namespace tarnwick
