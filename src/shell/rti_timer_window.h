#pragma once

#include "shell/peripheral_window.h"

class QLabel;
class QPushButton;

namespace tarnwick {

// "RTI & Timer": the real-time interrupt and the free-running counter as the peripherals keep
// them, with the two buttons that force a timeout or an overflow at the next step.
class TSubRTIForm : public PeripheralWindow {
    Q_OBJECT

  public:
    explicit TSubRTIForm(Machine& machine, QWidget* parent = nullptr);

  public slots:
    void ForceRTIClick();
    void ForceTimerClick();

  protected:
    // Every field and both button captions, from the settled peripherals.
    void refreshFields() override;

  private:
    QLabel* rtiRemaining_;
    QLabel* rtiTimeOuts_;
    QLabel* rtiRate_;
    QPushButton* forceRti_;
    QLabel* tcnt_;
    QLabel* tcntDecimal_;
    QLabel* timerOverflow_;
    QLabel* prescaler_;
    QPushButton* forceTimer_;
};

}  // namespace tarnwick
