#pragma once

#include <cstdint>

#include "base/address_record.h"
#include "peripherals/peripheral_bus.h"

namespace tarnwick {

// One of the two XIRQ window buttons. There is no separate mode: level or pulse mode is
// whichever button shows its pending caption, and the line's behaviour after an interrupt
// follows from which button is enabled.
struct XirqButton {
    bool pendingCaption = false;  // "&XIRQ Pending..." instead of its normal caption
    bool enabled = true;
};

// The XIRQ line, pulled low by the user either as a level (until released) or as a pulse
// (released by the first XIRQ interrupt taken).
class XirqLine {
  public:
    // Listens for the XIRQ interrupts taken; the vector is read from memory.
    XirqLine(PeripheralBus& bus, const AddressSpace& memory);

    void reset();

    bool pending() const { return requests_.xirqPending(); }
    std::uint32_t handlerCount() const { return handlerCount_; }
    const XirqButton& levelButton() const { return level_; }
    const XirqButton& pulseButton() const { return pulse_; }

    // The BXIRQLevel button: pulls the line low and holds it, or releases it.
    void bxirqLevelClick();
    // The BXIRQPulse button: pulls the line low until one XIRQ interrupt is taken, or
    // releases it before that.
    void bxirqPulseClick();
    // Showing the window re-enables both buttons when the vector is set, whatever the mode.
    void intrShow();

    void interruptTaken();
    void releaseAtStopWakeUp();

    // The vector at FFF4-FFF5 counts as set unless both bytes are FF.
    bool vectorInitialised() const;

  private:
    void toggle(XirqButton& clicked, XirqButton& other);

    const AddressSpace& memory_;
    InterruptRequests& requests_;  // holds the line's state beside the maskable requests
    std::uint32_t handlerCount_ = 0;
    XirqButton level_;
    XirqButton pulse_;
};

}  // namespace tarnwick
