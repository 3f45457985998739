#pragma once

#include <string>

#include "core/machine.h"
#include "debugger/debug_context.h"
#include "debugger/editor_fields.h"

namespace tarnwick {

// The Modify Register dialog: A, B, IX, IY, SP and the H, N, Z, V and C flags. It writes the
// registers directly: no instruction runs and no cycle is counted.
class RegisterEditor {
  public:
    // Fills the current-value labels and the fields from the machine.
    explicit RegisterEditor(const Machine& machine);

    // The current values, 2 or 4 hex digits (LACCA, LACCB, LINDX, LINDY, LSP).
    std::string currentA;
    std::string currentB;
    std::string currentIx;
    std::string currentIy;
    std::string currentSp;

    HexDecimalPair a;
    HexDecimalPair b;
    HexDecimalPair ix;
    HexDecimalPair iy;
    HexField sp;

    bool halfCarry;
    bool negative;
    bool zero;
    bool overflow;
    bool carry;

    // The labels beside A and B, which follow their fields.
    std::string aBinary() const { return binaryForm(static_cast<std::uint8_t>(a.value())); }
    std::string aCharacter() const { return characterForm(static_cast<std::uint8_t>(a.value())); }
    std::string bBinary() const { return binaryForm(static_cast<std::uint8_t>(b.value())); }
    std::string bCharacter() const { return characterForm(static_cast<std::uint8_t>(b.value())); }

    // OK: stores the hex fields and the five flags, then redraws the register panel without
    // a new change snapshot, so the edited registers show as changed, and the stack view.
    void accept(Machine& machine, DebugDisplay& display) const;
};

}  // namespace tarnwick
