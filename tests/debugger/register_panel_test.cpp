#include "debugger/register_panel.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <vector>

#include "support/fake_host.h"

namespace tarnwick {
namespace {

using F = PanelField;

class RegisterPanelTest : public ::testing::Test {
  protected:
    // The fields drawn red.
    std::set<PanelField> redFields() const {
        std::set<PanelField> red;
        for (std::size_t i = 0; i < kPanelFieldCount; ++i)
            if (panel.field(static_cast<PanelField>(i)).changed)
                red.insert(static_cast<PanelField>(i));
        return red;
    }

    testing::FakeHost host;
    std::unique_ptr<Machine> machine = std::make_unique<Machine>(host);
    RegisterPanel panel;
};

TEST_F(RegisterPanelTest, StartsWithTheInitialTextsAllBlack) {
    const std::vector<std::pair<PanelField, std::string>> expected{
        {F::PC, "0000"},        {F::IXDec, "0"}, {F::D, "0000"}, {F::AHex, "00"}, {F::AChar, "'0'"},
        {F::BBin, "0000-0000"}, {F::CcrS, "S"},  {F::CcrC, "C"}, {F::Ccr1X, "X"}, {F::Ccr1V, "V"}};
    for (const auto& [field, text] : expected)
        EXPECT_EQ(panel.field(field).text, text) << panelFieldName(field);
    EXPECT_TRUE(redFields().empty());
}

TEST_F(RegisterPanelTest, WritesEveryFormOfTheRegisters) {
    machine->a = 0x41;
    machine->b = 0x0A;
    machine->ix = 0xC350;
    machine->iy = 0x0010;
    machine->sp = 0x01FF;
    machine->pc = 0xE000;
    machine->flags.loadByte(0xD5);  // S, X (cannot be set this way), I, Z, C
    panel.takeSnapshot(*machine);
    panel.refresh(*machine);

    const std::vector<std::pair<PanelField, std::string>> expected{
        {F::PC, "E000"}, {F::SP, "01FF"},  {F::IX, "C350"},   {F::IXDec, "50000"},
        {F::IY, "0010"}, {F::IYDec, "16"}, {F::D, "410A"},    {F::DDec, "16650"},
        {F::AHex, "41"}, {F::ADec, "65"},  {F::AChar, "'A'"}, {F::ABin, "0100-0001"},
        {F::BHex, "0A"}, {F::BDec, "10"},  {F::BChar, "'.'"}, {F::BBin, "0000-1010"},
        {F::CcrS, "S"},  {F::CcrX, "."},   {F::CcrH, "."},    {F::CcrI, "I"},
        {F::CcrN, "."},  {F::CcrZ, "Z"},   {F::CcrV, "."},    {F::CcrC, "C"},
        {F::Ccr1S, "1"}, {F::Ccr1X, "0"},  {F::Ccr1I, "1"},   {F::Ccr1C, "1"}};
    for (const auto& [field, text] : expected)
        EXPECT_EQ(panel.field(field).text, text) << panelFieldName(field);
    // Nothing ran since the snapshot.
    EXPECT_EQ(panel.changeMask(), 0);
    EXPECT_TRUE(redFields().empty());
}

TEST_F(RegisterPanelTest, AChangedRegisterTurnsItsFieldsRed) {
    struct Case {
        const char* what;
        std::function<void(Machine&)> change;
        std::uint16_t mask;
        std::set<PanelField> red;
    };
    const std::vector<Case> cases{
        {"A",
         [](Machine& m) { m.a = 1; },
         kChangedA,
         {F::AHex, F::ADec, F::AChar, F::ABin, F::D, F::DDec}},
        {"B",
         [](Machine& m) { m.b = 1; },
         kChangedB,
         {F::BHex, F::BDec, F::BChar, F::BBin, F::D, F::DDec}},
        {"SP", [](Machine& m) { m.sp = 1; }, kChangedSP, {F::SP}},
        {"IX", [](Machine& m) { m.ix = 1; }, kChangedIX, {F::IX, F::IXDec}},
        {"IY", [](Machine& m) { m.iy = 1; }, kChangedIY, {F::IY, F::IYDec}},
        {"PC", [](Machine& m) { m.pc = 1; }, kChangedPC, {F::PC}},
        {"Z and C",
         [](Machine& m) { m.flags.z = m.flags.c = true; },
         0x0005,
         {F::CcrZ, F::CcrC, F::Ccr1Z, F::Ccr1C}},
        {"S", [](Machine& m) { m.flags.s = true; }, 0x0080, {F::CcrS, F::Ccr1S}},
    };
    for (const Case& c : cases) {
        machine = std::make_unique<Machine>(host);
        panel.takeSnapshot(*machine);
        c.change(*machine);
        panel.refresh(*machine);
        EXPECT_EQ(panel.changeMask(), c.mask) << c.what;
        EXPECT_EQ(redFields(), c.red) << c.what;
    }
}

TEST_F(RegisterPanelTest, AfterSettingFieldsBlackOnlyLaterEditsShowRed) {
    panel.takeSnapshot(*machine);
    machine->pc = 0xE000;  // a reset moved PC
    machine->sp = 0x00FF;
    panel.refresh(*machine);
    panel.setFieldsBlack(*machine);
    EXPECT_TRUE(redFields().empty());

    // Modify Register refreshes without a new snapshot: only its own edit is a change.
    machine->ix = 0x1234;
    panel.refresh(*machine);
    EXPECT_EQ(panel.changeMask(), kChangedIX);
    EXPECT_EQ(panel.field(F::PC).text, "E000");
}

TEST(RegisterPanelClickTest, FieldsOfTheEditableRegistersOpenTheDialog) {
    const std::vector<std::pair<PanelField, std::optional<PanelRegister>>> cases{
        {F::PC, std::nullopt},        {F::SP, PanelRegister::SP},  {F::IXDec, PanelRegister::IX},
        {F::IY, PanelRegister::IY},   {F::DDec, PanelRegister::D}, {F::ABin, PanelRegister::A},
        {F::BChar, PanelRegister::B}, {F::CcrZ, std::nullopt},     {F::Ccr1C, std::nullopt}};
    for (const auto& [field, expected] : cases)
        EXPECT_EQ(clickedRegister(field), expected) << panelFieldName(field);
}

}  // namespace
}  // namespace tarnwick
