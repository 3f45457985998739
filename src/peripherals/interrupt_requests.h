#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "base/interrupt_sources.h"
#include "peripherals/io_registers.h"
#include "peripherals/register_bits.h"

namespace tarnwick {

class InterruptRequests;

// One maskable request: a bit of the request mask. It behaves as the bool it stands for:
// it reads as the request's state, and assigning raises or lowers it.
class RequestLine {
  public:
    RequestLine(InterruptRequests& requests, std::uint32_t bit) : requests_(&requests), bit_(bit) {}
    RequestLine(const RequestLine&) = default;
    // Takes the other request's state, as a bool assignment would.
    RequestLine& operator=(const RequestLine& other) { return *this = static_cast<bool>(other); }

    inline RequestLine& operator=(bool raise);
    inline operator bool() const;

  private:
    InterruptRequests* requests_;
    std::uint32_t bit_;
};

// The maskable interrupt requests of all peripherals, one bit each in one mask, and the XIRQ
// line. Each request belongs to a condition: its source's vector is taken when the request is
// raised and its enable bit set. The conditions are kept in the order the poll serves them:
// by their source's priority, and those of one source in the order they were added.
//
// The attention word tells the interrupt poll with one load that it has nothing to do, which
// is what it finds before nearly every instruction: it holds the bit of every request that
// was raised while its enable bit was set, or whose enable bit was set by a register write
// while it was raised, and the XIRQ line. A bit there may stand for a condition that no longer
// holds (the poll then finds nothing due), but every condition that holds has its bit there,
// as long as enable bits change through register writes or refreshAttention() follows.
class InterruptRequests {
  public:
    // One bit each in the attention word below the XIRQ line's.
    static constexpr std::size_t kMaxConditions = 15;
    using Taken = void (*)(void* owner);

    explicit InterruptRequests(IoRegisters registers) : registers_(registers) {}

    RequestLine addCondition(InterruptSource source, const RegisterBit& enable);
    // Who hears that the source's interrupt was taken (one listener per source).
    void onTaken(InterruptSource source, void* owner, Taken taken) {
        listeners_[static_cast<std::size_t>(source)] = {owner, taken};
    }

    bool anyRaised() const { return raised_ != 0; }
    // The source of the first condition that holds, in the poll's order.
    std::optional<InterruptSource> dueSource() const;
    bool due(InterruptSource source) const;
    void taken(InterruptSource source) const;

    // Zero when no condition holds and the XIRQ line is released.
    std::uint16_t attention() const { return attention_; }
    // Takes the enable bits as the registers hold them now.
    void refreshAttention();

    bool xirqPending() const { return (attention_ & kXirqBit) != 0; }
    void setXirqPending(bool pending) {
        attention_ = static_cast<std::uint16_t>(pending ? (attention_ | kXirqBit)
                                                        : (attention_ & ~kXirqBit));
    }

    // The request mask, through RequestLine.
    bool raised(std::uint32_t bit) const { return (raised_ & bit) != 0; }
    void setRaised(std::uint32_t bit, bool raise);

  private:
    struct Condition {
        std::uint32_t request;
        RegisterBit enable;
        InterruptSource source;
    };
    struct Listener {
        void* owner = nullptr;
        Taken taken = nullptr;
    };

    bool enabled(const RegisterBit& enable) const {
        return enable.isSetIn(registers_[enable.index]);
    }
    bool holds(const Condition& condition) const {
        return (raised_ & condition.request) && enabled(condition.enable);
    }

    static constexpr std::uint16_t kXirqBit = 1u << 15;

    std::uint32_t raised_ = 0;
    // Narrow, so that the poll compares it with zero in one instruction.
    std::uint16_t attention_ = 0;
    std::array<RegisterBit, kMaxConditions> enableOfRequest_{};  // by the request's bit number
    IoRegisters registers_;
    std::array<Condition, kMaxConditions> conditions_{};
    std::size_t conditionCount_ = 0;
    std::array<Listener, kInterruptSources.size()> listeners_{};
};

RequestLine& RequestLine::operator=(bool raise) {
    requests_->setRaised(bit_, raise);
    return *this;
}

RequestLine::operator bool() const {
    return requests_->raised(bit_);
}

}  // namespace tarnwick
