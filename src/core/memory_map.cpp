#include "core/memory_map.h"

#include <numeric>
#include <vector>

#include "peripherals/io_registers.h"

namespace tarnwick {
namespace {

// Paints ranges from the last step to the first and skips addresses already painted, since
// later steps win: each address is written once, however many ranges overlap it.
class ReversePainter {
  public:
    explicit ReversePainter(AddressSpace& memory) : memory_(memory), next_(kAddressSpaceSize + 1) {
        std::iota(next_.begin(), next_.end(), 0U);
    }

    void paint(std::uint16_t first, std::uint16_t last, MemoryKind kind) {
        for (std::uint32_t address = unpainted(first); address <= last;
             address = unpainted(address + 1)) {
            memory_[address].flags = static_cast<std::uint8_t>(kind);
            next_[address] = address + 1;
        }
    }

    void paintRemaining(MemoryKind kind) { paint(0x0000, 0xFFFF, kind); }

  private:
    // The first unpainted address from `address` on, or 0x10000; halves the paths it walks.
    std::uint32_t unpainted(std::uint32_t address) {
        while (next_[address] != address) {
            next_[address] = next_[next_[address]];
            address = next_[address];
        }
        return address;
    }

    AddressSpace& memory_;
    std::vector<std::uint32_t> next_;  // one past the address space, never painted
};

}  // namespace

void applyMemoryMap(AddressSpace& memory, std::span<const MemoryRangeStep> steps) {
    ReversePainter painter(memory);
    painter.paint(kIoBase, kIoBase + kIoRegisterCount - 1, MemoryKind::Io);
    for (auto step = steps.rbegin(); step != steps.rend(); ++step)
        for (auto range = step->ranges.rbegin(); range != step->ranges.rend(); ++range)
            if (range->start <= range->end) painter.paint(range->start, range->end, step->kind);
    painter.paintRemaining(MemoryKind::Undefined);
}

}  // namespace tarnwick
