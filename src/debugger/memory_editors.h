#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/machine.h"
#include "debugger/debug_context.h"
#include "debugger/editor_fields.h"

namespace tarnwick {

inline constexpr std::string_view kRefusedFillRangeError =
    "Start Address is lower than Stop Address";

// The Modify RAM dialog: the sixteen bytes of one RAM view line, or a fill of a range. The RAM
// view opens it for the line's address (dumpLineAddress).
class RamEditor {
  public:
    enum class Mode { OneBlock, Blocks };
    static constexpr std::size_t kLineBytes = 16;

    // Shows the line's bytes, "From:" the line address, "to:" the line's last address,
    // "Fill with:" 00, "Random" off and "One Block" selected.
    RamEditor(const Machine& machine, std::uint16_t lineAddress);

    // "E000:" for the first eight fields, "E008:" for the other eight.
    std::string rowLabel(int row) const;
    // The character under field i, which follows the field.
    std::string characterLabel(std::size_t i) const;

    Mode mode = Mode::OneBlock;
    std::array<HexField, kLineBytes> bytes;
    HexField from;
    HexField to;
    HexField fill;
    bool random = false;

    // OK. "One Block" stores the sixteen bytes whatever their memory kinds. "Blocks" fills
    // the RAM addresses from..to inclusive, skipping other kinds, with the fill byte or with
    // fresh random bytes; a range whose start is not below its end is refused with an error
    // and changes nothing. Then the RAM and stack views are rebuilt and the watches evaluated
    // again (unless refused).
    void accept(Machine& machine, DebugDisplay& display) const;

  private:
    void fillRange(Machine& machine) const;

    std::uint16_t lineAddress_;
};

// The Modify Stack dialog: one byte chosen in the stack view, for cells the view lets open it
// (opensStackEditor).
class StackByteEditor {
  public:
    StackByteEditor(const Machine& machine, std::uint16_t address);

    // "01FF:".
    std::string addressLabel() const;
    std::string characterLabel() const { return characterForm(byteValue()); }
    std::string binaryLabel() const { return binaryForm(byteValue()); }

    HexDecimalPair byte;

    // OK: stores the byte, rebuilds the stack view and the RAM view and evaluates the watches
    // again.
    void accept(Machine& machine, DebugDisplay& display) const;

  private:
    std::uint8_t byteValue() const { return static_cast<std::uint8_t>(byte.value()); }

    std::uint16_t address_;
};

}  // namespace tarnwick
