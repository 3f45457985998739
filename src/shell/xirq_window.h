#pragma once

#include "shell/peripheral_window.h"

class QLabel;
class QPushButton;

namespace tarnwick {

// "XIRQ": pulls the XIRQ line low as a level or a pulse, and counts the XIRQ interrupts taken.
class TIntrForm : public PeripheralWindow {
    Q_OBJECT

  public:
    explicit TIntrForm(Machine& machine, QWidget* parent = nullptr);

  public slots:
    void BXIRQLevelClick();
    void BXIRQPulseClick();

  protected:
    // The handler count and both buttons, from the line.
    void refreshFields() override;
    void showEvent(QShowEvent* event) override;

  private:
    QLabel* handler_;
    QPushButton* level_;
    QPushButton* pulse_;
};

}  // namespace tarnwick
