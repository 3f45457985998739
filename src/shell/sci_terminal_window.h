#pragma once

#include "debugger/sci_terminal.h"
#include "shell/peripheral_window.h"

class QLabel;
class QTimer;

namespace tarnwick {

class SciTerminalView;

// "SCI Terminal": a terminal on the SCI's line. It shows what the program transmits and, while
// it is open, sends the keys typed into it to the SCI receiver: opening it attaches the
// receiver's input, closing it detaches it. The screen follows the output every few
// milliseconds while the window is shown, during a run too.
class TSubSCITermForm : public PeripheralWindow {
    Q_OBJECT

  public:
    TSubSCITermForm(Machine& machine, SciTerminal& terminal, QWidget* parent = nullptr);

    SciTerminalView* view() const { return view_; }

  protected:
    // The new output and the bytes still waiting for the receiver.
    void refreshFields() override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void send(const QByteArray& bytes);

    SciTerminal& terminal_;
    SciTerminalView* view_;
    QLabel* queued_;
    QTimer* followTimer_;
};

}  // namespace tarnwick
