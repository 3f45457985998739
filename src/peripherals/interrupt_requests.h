#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "base/interrupt_sources.h"
#include "peripherals/io_registers.h"
#include "peripherals/register_bits.h"

namespace tarnwick {

// One maskable request: a bit of the request mask. It behaves as the bool it stands for:
// it reads as the request's state, and assigning raises or lowers it.
class RequestLine {
  public:
    RequestLine(std::uint32_t& raised, std::uint32_t bit) : raised_(&raised), bit_(bit) {}
    RequestLine(const RequestLine&) = default;
    // Takes the other request's state, as a bool assignment would.
    RequestLine& operator=(const RequestLine& other) { return *this = static_cast<bool>(other); }

    RequestLine& operator=(bool raise) {
        *raised_ = raise ? (*raised_ | bit_) : (*raised_ & ~bit_);
        return *this;
    }
    operator bool() const { return (*raised_ & bit_) != 0; }

  private:
    std::uint32_t* raised_;
    std::uint32_t bit_;
};

// The maskable interrupt requests of all peripherals, one bit each in one mask, so that the
// interrupt poll learns with one load that none is raised, which is what it finds before
// nearly every instruction. Each request belongs to a condition: its source's vector is
// taken when the request is raised and its enable bit set. The conditions are kept in the
// order the poll serves them: by their source's priority, and those of one source in the
// order they were added.
class InterruptRequests {
  public:
    static constexpr std::size_t kMaxConditions = 16;
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

    bool holds(const Condition& condition) const {
        return (raised_ & condition.request) &&
               condition.enable.isSetIn(registers_[condition.enable.index]);
    }

    std::uint32_t raised_ = 0;
    IoRegisters registers_;
    std::array<Condition, kMaxConditions> conditions_{};
    std::size_t conditionCount_ = 0;
    std::array<Listener, kInterruptSources.size()> listeners_{};
};

}  // namespace tarnwick
