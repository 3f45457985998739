#pragma once

#include "debugger/sci_terminal.h"
#include "shell/peripheral_window.h"

class QTimer;

namespace tarnwick {

class SciTerminalView;

// "SCI Terminal": what the program transmits through the SCI, as a terminal on its line
// shows it. The screen follows the output every few milliseconds while the window is shown,
// during a run too.
class TSubSCITermForm : public PeripheralWindow {
    Q_OBJECT

  public:
    TSubSCITermForm(Machine& machine, SciTerminal& terminal, QWidget* parent = nullptr);

    SciTerminalView* view() const { return view_; }

  protected:
    void refreshFields() override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    SciTerminal& terminal_;
    SciTerminalView* view_;
    QTimer* followTimer_;
};

}  // namespace tarnwick
