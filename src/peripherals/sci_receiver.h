#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>

#include "peripherals/event_countdown.h"
#include "peripherals/interrupt_requests.h"
#include "peripherals/io_registers.h"
#include "peripherals/peripheral_bus.h"

namespace tarnwick {

class SciRegisters;

// The SCI receiver, fed by the host. It is off until an input is attached: then every
// register, flag and SCDR read is exactly that of a chip with nothing on its RxD line.
//
// With an input attached, the bytes the host queues arrive one per frame time (ten bit
// times at the rate BAUD selects, as for the transmitter) while RE is set; while RE is clear
// they wait in the queue, where a real line would lose them. A byte that arrives goes into
// the SCDR cell and sets RDRF, so SCDR reads return it (the transmitter keeps its own data
// register); one that arrives while RDRF is still set is lost and sets OR. A frame time of
// idle line after received data sets IDLE. Reading SCSR with any of the three set and then
// SCDR clears those (16-bit reads have no side effects). The SCI interrupt is due for RDRF
// or OR with RIE and for IDLE with ILIE.
class SciReceiver {
  public:
    // Adds the receive conditions on the SCI vector, after the transmitter's, and the
    // receiver's clock. The baud index is the transmitter's latch.
    SciReceiver(PeripheralBus& bus, const std::uint8_t& baudIndex);
    SciReceiver(const SciReceiver&) = delete;
    SciReceiver& operator=(const SciReceiver&) = delete;

    // Turns the receive model on.
    void attachInput();
    // Back to the detached behaviour: the queue is emptied and RDRF, OR and IDLE cleared.
    void detachInput();
    bool inputAttached() const { return attached_; }
    // Appends a byte to the line's queue; ignored while no input is attached. It may come
    // between any two steps, also while a run pumps events, but not from inside the
    // peripherals' step (onSciFrameTransmitted): that throws std::logic_error.
    void queueInput(std::uint8_t byte);
    // The bytes not yet received, the one arriving included.
    std::size_t queuedInputCount() const { return queue_.size(); }

    bool rdrf() const;
    bool overrun() const;
    bool idle() const;

    // RE is clear after the register reset: a frame in progress is abandoned and its byte
    // stays first in the queue, which the reset keeps, as it keeps the input attached.
    void reset();

    void step(std::uint32_t cycles);
    // E cycles until the frame being received ends or the idle line sets IDLE.
    std::uint32_t cyclesToEvent() const;
    EventCountdown::ClockMask clock() const { return clock_; }

  private:
    friend class SciRegisters;
    // Side effects of register accesses.
    void control2Written(std::uint8_t sccr2);
    void statusRead();
    void dataRead();

    // What the line is doing.
    enum class Line : std::uint8_t {
        Quiet,      // nothing to receive or watch: no input, RE clear or no data yet
        Receiving,  // the first byte of the queue is arriving
        Watching,   // idle after received data, for the frame time that sets IDLE
    };

    void startFrame();
    void finishFrame();
    void clearFlags(std::uint8_t flags);

    EventCountdown& events_;
    EventCountdown::ClockMask clock_ = 0;
    IoRegisters registers_;
    const std::uint8_t& baudIndex_;
    RequestLine rdrfRequest_;
    RequestLine overrunRequest_;
    RequestLine idleRequest_;
    std::deque<std::uint8_t> queue_;
    bool attached_ = false;
    bool enabled_ = false;  // SCCR2.RE
    Line line_ = Line::Quiet;
    std::uint32_t lineClock_ = 0;  // E cycles into the frame received or watched
    std::uint8_t armedFlags_ = 0;  // receive flags the last 8-bit SCSR read found set
};

}  // namespace tarnwick
