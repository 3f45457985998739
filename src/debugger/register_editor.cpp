#include "debugger/register_editor.h"

#include "base/number_text.h"

namespace tarnwick {

RegisterEditor::RegisterEditor(const Machine& machine)
    : currentA(hexText(machine.a, 2)),
      currentB(hexText(machine.b, 2)),
      currentIx(hexText(machine.ix, 4)),
      currentIy(hexText(machine.iy, 4)),
      currentSp(hexText(machine.sp, 4)),
      a(FieldWidth::Byte, machine.a),
      b(FieldWidth::Byte, machine.b),
      ix(FieldWidth::Word, machine.ix),
      iy(FieldWidth::Word, machine.iy),
      sp(FieldWidth::Word, machine.sp),
      halfCarry(machine.flags.h),
      negative(machine.flags.n),
      zero(machine.flags.z),
      overflow(machine.flags.v),
      carry(machine.flags.c) {}

void RegisterEditor::accept(Machine& machine, DebugDisplay& display) const {
    machine.a = static_cast<std::uint8_t>(a.value());
    machine.b = static_cast<std::uint8_t>(b.value());
    machine.ix = ix.value();
    machine.iy = iy.value();
    machine.sp = sp.value();
    machine.flags.h = halfCarry;
    machine.flags.n = negative;
    machine.flags.z = zero;
    machine.flags.v = overflow;
    machine.flags.c = carry;
    display.refresh(kRegisterPanel | kStackView);
}

}  // namespace tarnwick
