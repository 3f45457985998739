#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "core/machine.h"
#include "hc11run/run_options.h"

namespace tarnwick {

// The --until-pc and --fail-pc addresses, marked with the temporary stop flag in their
// address records so that the run loop stops when PC reaches one; the records get their
// flags back when the marks go.
class StopAddresses {
  public:
    StopAddresses(Machine& machine, const std::vector<AddressArgument>& untilPcs,
                  const std::vector<AddressArgument>& failPcs);
    ~StopAddresses();
    StopAddresses(const StopAddresses&) = delete;
    StopAddresses& operator=(const StopAddresses&) = delete;

    bool marked(std::uint16_t address) const {
        return machine_.memory[address].flags & kTemporaryStopFlag;
    }
    // The --fail-pc at the address, or else the --until-pc; null when it is neither.
    const AddressArgument* at(std::uint16_t address, bool& fail) const;

  private:
    Machine& machine_;
    const std::vector<AddressArgument>& untilPcs_;
    const std::vector<AddressArgument>& failPcs_;
    std::vector<std::pair<std::uint16_t, std::uint8_t>> savedFlags_;
};

}  // namespace tarnwick
