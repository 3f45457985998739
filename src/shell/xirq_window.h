#pragma once

#include "core/machine.h"
#include "shell/session_window.h"

class QLabel;
class QPushButton;

namespace tarnwick {

// "XIRQ": pulls the XIRQ line low as a level or a pulse, and counts the XIRQ interrupts taken.
class TIntrForm : public SessionWindow {
    Q_OBJECT

  public:
    explicit TIntrForm(Machine& machine, QWidget* parent = nullptr);

    // Rereads the handler count and both buttons from the line.
    void refresh();

  public slots:
    void BXIRQLevelClick();
    void BXIRQPulseClick();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    Machine& machine_;
    QLabel* handler_;
    QPushButton* level_;
    QPushButton* pulse_;
};

}  // namespace tarnwick
