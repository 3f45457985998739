#pragma once

#include <array>

#include "core/machine.h"
#include "peripherals/sci.h"
#include "shell/session_window.h"

class QLabel;

namespace tarnwick {

// "SCI": the last 32 bytes the transmitter sent, oldest first, and its flags.
class TSubSCIForm : public SessionWindow {
    Q_OBJECT

  public:
    explicit TSubSCIForm(Machine& machine, QWidget* parent = nullptr);

    // Rereads the history, the flags and the interrupt count from the transmitter.
    void refresh();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    Machine& machine_;
    std::array<QLabel*, SciTransmitter::kHistorySize> bytes_{};
    std::array<QLabel*, SciTransmitter::kHistorySize> characters_{};
    QLabel* transmitterEnable_;
    QLabel* tie_;
    QLabel* tdre_;
    QLabel* tcie_;
    QLabel* tc_;
    QLabel* handler_;
};

// A transmitted byte as the window draws it: "." below 20 hex and for the control codes 7F-9F,
// otherwise its Latin-1 character.
QString sciCharacterText(std::uint8_t byte);

}  // namespace tarnwick
