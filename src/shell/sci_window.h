#pragma once

#include <array>

#include "peripherals/sci.h"
#include "shell/peripheral_window.h"

class QLabel;

namespace tarnwick {

// "SCI": the last 32 bytes the transmitter sent, oldest first, and its flags; while an input
// is attached to the receiver, the receiver's flags as well.
class TSubSCIForm : public PeripheralWindow {
    Q_OBJECT

  public:
    explicit TSubSCIForm(Machine& machine, QWidget* parent = nullptr);

  protected:
    // The history, the transmitter-enable latch, the interrupt count and whether the
    // receiver's row is shown.
    void refreshFields() override;

  private:
    std::array<QLabel*, SciTransmitter::kHistorySize> bytes_{};
    std::array<QLabel*, SciTransmitter::kHistorySize> characters_{};
    QLabel* transmitterEnable_;
    QLabel* handler_;
    QWidget* receiveRow_;
};

// A transmitted byte as the window draws it: "." below 20 hex and for the control codes 7F-9F,
// otherwise its Latin-1 character.
QString sciCharacterText(std::uint8_t byte);

}  // namespace tarnwick
