#include "peripherals/xirq_line.h"

#include "peripherals/member_call.h"

namespace tarnwick {

XirqLine::XirqLine(PeripheralBus& bus, const AddressSpace& memory)
    : memory_(memory), requests_(bus.interrupts) {
    bus.interrupts.onTaken(InterruptSource::Xirq, this, memberCall<&XirqLine::interruptTaken>);
}

void XirqLine::reset() {
    requests_.setXirqPending(false);
    handlerCount_ = 0;
    level_ = XirqButton{};
    pulse_ = XirqButton{};
    level_.enabled = pulse_.enabled = vectorInitialised();
}

void XirqLine::toggle(XirqButton& clicked, XirqButton& other) {
    clicked.pendingCaption = !clicked.pendingCaption;
    requests_.setXirqPending(clicked.pendingCaption);
    other.enabled = !clicked.pendingCaption;
}

void XirqLine::bxirqLevelClick() {
    if (level_.enabled) toggle(level_, pulse_);
}

void XirqLine::bxirqPulseClick() {
    if (pulse_.enabled) toggle(pulse_, level_);
}

void XirqLine::intrShow() {
    level_.enabled = pulse_.enabled = vectorInitialised();
}

void XirqLine::interruptTaken() {
    ++handlerCount_;
    // An enabled level button means level mode: the line stays low and the interrupt is
    // taken again as soon as X is clear.
    if (level_.enabled) return;
    level_.enabled = true;
    pulse_.pendingCaption = false;
    requests_.setXirqPending(false);
}

void XirqLine::releaseAtStopWakeUp() {
    requests_.setXirqPending(false);
    level_ = XirqButton{};
    pulse_ = XirqButton{};
}

bool XirqLine::vectorInitialised() const {
    return !(memory_[0xFFF4].value == 0xFF && memory_[0xFFF5].value == 0xFF);
}

}  // namespace tarnwick
