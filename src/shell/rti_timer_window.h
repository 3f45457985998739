#pragma once

#include "core/machine.h"
#include "shell/session_window.h"

class QLabel;
class QPushButton;

namespace tarnwick {

// "RTI & Timer": the real-time interrupt and the free-running counter as the peripherals keep
// them, with the two buttons that force a timeout or an overflow at the next step.
class TSubRTIForm : public SessionWindow {
    Q_OBJECT

  public:
    explicit TSubRTIForm(Machine& machine, QWidget* parent = nullptr);

    // Rereads every field and both button captions from the peripherals.
    void refresh();

  public slots:
    void ForceRTIClick();
    void ForceTimerClick();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    Machine& machine_;
    QLabel* rtiRemaining_;
    QLabel* rtiTimeOuts_;
    QLabel* rtiRate_;
    QLabel* rtii_;
    QLabel* rtif_;
    QPushButton* forceRti_;
    QLabel* tcnt_;
    QLabel* tcntDecimal_;
    QLabel* timerOverflow_;
    QLabel* prescaler_;
    QLabel* toi_;
    QLabel* tof_;
    QPushButton* forceTimer_;
};

}  // namespace tarnwick
