#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/machine.h"
#include "core/register_snapshot.h"

namespace tarnwick {

// The fields of the register panel, in the order the panel lays them out.
enum class PanelField : std::uint8_t {
    PC,
    SP,
    IX,
    IXDec,
    IY,
    IYDec,
    D,
    DDec,
    AHex,
    ADec,
    AChar,
    ABin,
    BHex,
    BDec,
    BChar,
    BBin,
    CcrS,  // the flag's letter when set, "." when clear
    CcrX,
    CcrH,
    CcrI,
    CcrN,
    CcrZ,
    CcrV,
    CcrC,
    Ccr1S,  // "1" when set, "0" when clear
    Ccr1X,
    Ccr1H,
    Ccr1I,
    Ccr1N,
    Ccr1Z,
    Ccr1V,
    Ccr1C,
};
inline constexpr std::size_t kPanelFieldCount = static_cast<std::size_t>(PanelField::Ccr1C) + 1;

// The label names of the fields, by PanelField.
std::string_view panelFieldName(PanelField field);
// The CCR fields mark a change with a white background as well as red text.
constexpr bool isFlagField(PanelField field) {
    return field >= PanelField::CcrS;
}

// The registers the Modify Register dialog is opened for.
enum class PanelRegister : std::uint8_t { SP, IX, IY, D, A, B };

// The register a click on the field designates; PC and the CCR fields are not clickable.
std::optional<PanelRegister> clickedRegister(PanelField field);

// The captions beside the fields, with their hints; a click on a caption counts as a click on
// its register's fields.
struct PanelCaption {
    std::string_view text;
    std::string_view hint;
    std::optional<PanelRegister> designates;
};
inline constexpr std::array<PanelCaption, 8> kPanelCaptions{{
    {"PC=", "Program Counter", std::nullopt},
    {"SP=", "Stack Pointer", PanelRegister::SP},
    {"IX=", "Index Register X", PanelRegister::IX},
    {"IY=", "Index Register Y", PanelRegister::IY},
    {"D=", "Double Accumulator D", PanelRegister::D},
    {"A=", "Accumulator A", PanelRegister::A},
    {"B=", "Accumulator B", PanelRegister::B},
    {"CC=", "Condition Code Register", std::nullopt},
}};

// Bits of the change mask: which register differs from the snapshot. The low byte holds the
// CCR bits in their own positions (S 0x80 ... C 0x01).
inline constexpr std::uint16_t kChangedA = 0x8000;
inline constexpr std::uint16_t kChangedB = 0x4000;
inline constexpr std::uint16_t kChangedSP = 0x2000;
inline constexpr std::uint16_t kChangedIX = 0x1000;
inline constexpr std::uint16_t kChangedIY = 0x0800;
inline constexpr std::uint16_t kChangedPC = 0x0400;

struct PanelFieldView {
    std::string text;
    bool changed = false;  // red text (and a white background for a CCR bit)
};

// The main window's register panel: the texts and colours of its fields, the snapshot taken
// before a debugger action and the change mask the following refresh computes from it.
class RegisterPanel {
  public:
    RegisterPanel();

    // Called by every command that runs code, before it acts.
    void takeSnapshot(const Machine& machine);
    // Computes the change mask against the snapshot and rewrites every field from the machine.
    void refresh(const Machine& machine);
    // Draws every field as unchanged; the texts stay. The snapshot becomes the machine's
    // registers, so that a later refresh without a new snapshot (after Modify Register) marks
    // only what changed since the fields went black.
    void setFieldsBlack(const Machine& machine);

    std::uint16_t changeMask() const { return changeMask_; }
    const RegisterSnapshot& snapshot() const { return snapshot_; }
    const PanelFieldView& field(PanelField field) const {
        return fields_[static_cast<std::size_t>(field)];
    }

  private:
    void set(PanelField field, std::string text, bool changed);

    RegisterSnapshot snapshot_;
    std::uint16_t changeMask_ = 0;
    std::array<PanelFieldView, kPanelFieldCount> fields_;
};

}  // namespace tarnwick
