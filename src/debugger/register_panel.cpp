#include "debugger/register_panel.h"

#include <string>
#include <tuple>
#include <utility>

#include "base/number_text.h"
#include "debugger/editor_fields.h"

namespace tarnwick {
namespace {

constexpr std::array<std::string_view, kPanelFieldCount> kFieldNames{
    "LabelPC",    "LabelSP",    "LabelIX",    "LabelIXDec", "LabelIY",    "LabelIYDec",
    "LabelD",     "LabelDDec",  "LabelAHex",  "LabelADec",  "LabelAChar", "LabelABin",
    "LabelBHex",  "LabelBDec",  "LabelBChar", "LabelBBin",  "LabelCCRS",  "LabelCCRX",
    "LabelCCRH",  "LabelCCRI",  "LabelCCRN",  "LabelCCRZ",  "LabelCCRV",  "LabelCCRC",
    "LabelCCR1S", "LabelCCR1X", "LabelCCR1H", "LabelCCR1I", "LabelCCR1N", "LabelCCR1Z",
    "LabelCCR1V", "LabelCCR1C"};
static_assert(kFieldNames.back() == "LabelCCR1C", "one name per field");

constexpr std::string_view kFlagLetters = "SXHINZVC";

PanelField offset(PanelField first, std::size_t by) {
    return static_cast<PanelField>(static_cast<std::size_t>(first) + by);
}

std::uint8_t flagBit(std::size_t index) {
    return static_cast<std::uint8_t>(0x80 >> index);
}

}  // namespace

std::string_view panelFieldName(PanelField field) {
    return kFieldNames[static_cast<std::size_t>(field)];
}

std::optional<PanelRegister> clickedRegister(PanelField field) {
    switch (field) {
        case PanelField::SP:
            return PanelRegister::SP;
        case PanelField::IX:
        case PanelField::IXDec:
            return PanelRegister::IX;
        case PanelField::IY:
        case PanelField::IYDec:
            return PanelRegister::IY;
        case PanelField::D:
        case PanelField::DDec:
            return PanelRegister::D;
        case PanelField::AHex:
        case PanelField::ADec:
        case PanelField::AChar:
        case PanelField::ABin:
            return PanelRegister::A;
        case PanelField::BHex:
        case PanelField::BDec:
        case PanelField::BChar:
        case PanelField::BBin:
            return PanelRegister::B;
        default:
            return std::nullopt;
    }
}

RegisterPanel::RegisterPanel() {
    for (const PanelField word :
         {PanelField::PC, PanelField::SP, PanelField::IX, PanelField::IY, PanelField::D})
        set(word, "0000", false);
    for (const PanelField decimal : {PanelField::IXDec, PanelField::IYDec, PanelField::DDec,
                                     PanelField::ADec, PanelField::BDec})
        set(decimal, "0", false);
    for (const PanelField first : {PanelField::AHex, PanelField::BHex}) {
        set(first, "00", false);
        set(offset(first, 2), "'0'", false);
        set(offset(first, 3), "0000-0000", false);
    }
    for (std::size_t i = 0; i < kFlagLetters.size(); ++i) {
        set(offset(PanelField::CcrS, i), std::string(1, kFlagLetters[i]), false);
        set(offset(PanelField::Ccr1S, i), std::string(1, kFlagLetters[i]), false);
    }
}

void RegisterPanel::takeSnapshot(const Machine& machine) {
    snapshot_ = RegisterSnapshot::of(machine);
}

void RegisterPanel::refresh(const Machine& machine) {
    const std::uint8_t ccr = machine.flags.byte();
    changeMask_ = static_cast<std::uint16_t>(
        (machine.a != snapshot_.a ? kChangedA : 0) | (machine.b != snapshot_.b ? kChangedB : 0) |
        (machine.sp != snapshot_.sp ? kChangedSP : 0) |
        (machine.ix != snapshot_.ix ? kChangedIX : 0) |
        (machine.iy != snapshot_.iy ? kChangedIY : 0) |
        (machine.pc != snapshot_.pc ? kChangedPC : 0) | (ccr ^ snapshot_.ccr));

    const auto changed = [&](std::uint16_t bits) { return (changeMask_ & bits) != 0; };
    set(PanelField::PC, hexText(machine.pc, 4), changed(kChangedPC));
    set(PanelField::SP, hexText(machine.sp, 4), changed(kChangedSP));
    set(PanelField::IX, hexText(machine.ix, 4), changed(kChangedIX));
    set(PanelField::IXDec, std::to_string(machine.ix), changed(kChangedIX));
    set(PanelField::IY, hexText(machine.iy, 4), changed(kChangedIY));
    set(PanelField::IYDec, std::to_string(machine.iy), changed(kChangedIY));
    set(PanelField::D, hexText(machine.d(), 4), changed(kChangedA | kChangedB));
    set(PanelField::DDec, std::to_string(machine.d()), changed(kChangedA | kChangedB));
    for (const auto& [first, value, bit] : {std::tuple{PanelField::AHex, machine.a, kChangedA},
                                            std::tuple{PanelField::BHex, machine.b, kChangedB}}) {
        set(first, hexText(value, 2), changed(bit));
        set(offset(first, 1), std::to_string(value), changed(bit));
        set(offset(first, 2), characterForm(value), changed(bit));
        set(offset(first, 3), binaryForm(value), changed(bit));
    }
    for (std::size_t i = 0; i < kFlagLetters.size(); ++i) {
        const bool isSet = ccr & flagBit(i);
        set(offset(PanelField::CcrS, i), isSet ? std::string(1, kFlagLetters[i]) : ".",
            changed(flagBit(i)));
        set(offset(PanelField::Ccr1S, i), isSet ? "1" : "0", changed(flagBit(i)));
    }
}

void RegisterPanel::setFieldsBlack(const Machine& machine) {
    takeSnapshot(machine);
    changeMask_ = 0;
    for (PanelFieldView& view : fields_) view.changed = false;
}

void RegisterPanel::set(PanelField field, std::string text, bool changed) {
    PanelFieldView& view = fields_[static_cast<std::size_t>(field)];
    view.text = std::move(text);
    view.changed = changed;
}

}  // namespace tarnwick
