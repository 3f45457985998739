#include "hc11run/stop_addresses.h"

#include <algorithm>

namespace tarnwick {

StopAddresses::StopAddresses(Machine& machine, const std::vector<AddressArgument>& untilPcs,
                             const std::vector<AddressArgument>& failPcs)
    : machine_(machine), untilPcs_(untilPcs), failPcs_(failPcs) {
    for (const auto* addresses : {&untilPcs, &failPcs})
        for (const AddressArgument& address : *addresses) {
            AddressRecord& record = machine.memory[address.value];
            if (record.flags & kTemporaryStopFlag) continue;
            savedFlags_.emplace_back(address.value, record.flags);
            record.flags |= kTemporaryStopFlag;
            ++machine.activeStopCount;
        }
}

StopAddresses::~StopAddresses() {
    for (const auto& [address, flags] : savedFlags_) {
        machine_.memory[address].flags = flags;
        --machine_.activeStopCount;
    }
}

const AddressArgument* StopAddresses::at(std::uint16_t address, bool& fail) const {
    const auto sameAddress = [address](const AddressArgument& a) { return a.value == address; };
    const auto failPc = std::ranges::find_if(failPcs_, sameAddress);
    fail = failPc != failPcs_.end();
    if (fail) return &*failPc;
    const auto untilPc = std::ranges::find_if(untilPcs_, sameAddress);
    return untilPc == untilPcs_.end() ? nullptr : &*untilPc;
}

}  // namespace tarnwick
