#include "peripherals/interrupt_requests.h"

#include <algorithm>
#include <bit>
#include <stdexcept>

namespace tarnwick {

RequestLine InterruptRequests::addCondition(InterruptSource source, const RegisterBit& enable) {
    if (conditionCount_ == kMaxConditions) throw std::logic_error("too many interrupt conditions");
    const std::uint32_t request = 1u << conditionCount_;
    const std::uint8_t priority = interruptSourceInfo(source).priority;
    const auto end = conditions_.begin() + static_cast<std::ptrdiff_t>(conditionCount_);
    const auto place = std::find_if(conditions_.begin(), end, [priority](const Condition& c) {
        return interruptSourceInfo(c.source).priority > priority;
    });
    std::move_backward(place, end, end + 1);
    *place = {request, enable, source};
    enableOfRequest_[conditionCount_] = enable;
    ++conditionCount_;
    return RequestLine(*this, request);
}

void InterruptRequests::setRaised(std::uint32_t bit, bool raise) {
    if (!raise) {
        raised_ &= ~bit;
        attention_ = static_cast<std::uint16_t>(attention_ & ~bit);
        return;
    }
    raised_ |= bit;
    if (enabled(enableOfRequest_[std::countr_zero(bit)]))
        attention_ = static_cast<std::uint16_t>(attention_ | bit);
}

// Only the raised requests can hold.
void InterruptRequests::refreshAttention() {
    std::uint32_t holding = 0;
    for (std::uint32_t left = raised_; left != 0; left &= left - 1)
        if (enabled(enableOfRequest_[std::countr_zero(left)])) holding |= left & -left;
    attention_ = static_cast<std::uint16_t>((attention_ & kXirqBit) | holding);
}

std::optional<InterruptSource> InterruptRequests::dueSource() const {
    for (std::size_t i = 0; i < conditionCount_; ++i)
        if (holds(conditions_[i])) return conditions_[i].source;
    return std::nullopt;
}

bool InterruptRequests::due(InterruptSource source) const {
    for (std::size_t i = 0; i < conditionCount_; ++i)
        if (conditions_[i].source == source && holds(conditions_[i])) return true;
    return false;
}

// The WAI pre-stacking comes here too, with a code beyond the table.
void InterruptRequests::taken(InterruptSource source) const {
    const auto index = static_cast<std::size_t>(source);
    if (index >= listeners_.size()) return;
    const Listener& listener = listeners_[index];
    if (listener.taken) listener.taken(listener.owner);
}

}  // namespace tarnwick
