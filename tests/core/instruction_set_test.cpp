// The instruction-set table against Motorola's published opcode map and cycle counts, and the
// engine's opcode pages against the table.
#include "base/instruction_set.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "base/interrupt_sources.h"
#include "machine_fixture.h"

namespace tarnwick {
namespace {

// A cell of the published tables: the opcode as written there, a prefix in the high byte
// (0x18A0 is 18 A0), and the E cycles. Code 0 marks a form that does not exist.
struct Cell {
    std::uint16_t code = 0;
    int cycles = 0;
};

struct AccumulatorFamily {
    std::string_view mnemonic;
    bool wideImmediate;
    Cell immediate, direct, extended, indexedX, indexedY;
};

// clang-format off
constexpr AccumulatorFamily kAccumulatorFamilies[] = {
    {"SUBA", false, {0x80, 2}, {0x90, 3}, {0xB0, 4}, {0xA0, 4}, {0x18A0, 5}},
    {"CMPA", false, {0x81, 2}, {0x91, 3}, {0xB1, 4}, {0xA1, 4}, {0x18A1, 5}},
    {"SBCA", false, {0x82, 2}, {0x92, 3}, {0xB2, 4}, {0xA2, 4}, {0x18A2, 5}},
    {"ANDA", false, {0x84, 2}, {0x94, 3}, {0xB4, 4}, {0xA4, 4}, {0x18A4, 5}},
    {"BITA", false, {0x85, 2}, {0x95, 3}, {0xB5, 4}, {0xA5, 4}, {0x18A5, 5}},
    {"LDAA", false, {0x86, 2}, {0x96, 3}, {0xB6, 4}, {0xA6, 4}, {0x18A6, 5}},
    {"STAA", false, {},        {0x97, 3}, {0xB7, 4}, {0xA7, 4}, {0x18A7, 5}},
    {"EORA", false, {0x88, 2}, {0x98, 3}, {0xB8, 4}, {0xA8, 4}, {0x18A8, 5}},
    {"ADCA", false, {0x89, 2}, {0x99, 3}, {0xB9, 4}, {0xA9, 4}, {0x18A9, 5}},
    {"ORAA", false, {0x8A, 2}, {0x9A, 3}, {0xBA, 4}, {0xAA, 4}, {0x18AA, 5}},
    {"ADDA", false, {0x8B, 2}, {0x9B, 3}, {0xBB, 4}, {0xAB, 4}, {0x18AB, 5}},
    {"SUBB", false, {0xC0, 2}, {0xD0, 3}, {0xF0, 4}, {0xE0, 4}, {0x18E0, 5}},
    {"CMPB", false, {0xC1, 2}, {0xD1, 3}, {0xF1, 4}, {0xE1, 4}, {0x18E1, 5}},
    {"SBCB", false, {0xC2, 2}, {0xD2, 3}, {0xF2, 4}, {0xE2, 4}, {0x18E2, 5}},
    {"ANDB", false, {0xC4, 2}, {0xD4, 3}, {0xF4, 4}, {0xE4, 4}, {0x18E4, 5}},
    {"BITB", false, {0xC5, 2}, {0xD5, 3}, {0xF5, 4}, {0xE5, 4}, {0x18E5, 5}},
    {"LDAB", false, {0xC6, 2}, {0xD6, 3}, {0xF6, 4}, {0xE6, 4}, {0x18E6, 5}},
    {"STAB", false, {},        {0xD7, 3}, {0xF7, 4}, {0xE7, 4}, {0x18E7, 5}},
    {"EORB", false, {0xC8, 2}, {0xD8, 3}, {0xF8, 4}, {0xE8, 4}, {0x18E8, 5}},
    {"ADCB", false, {0xC9, 2}, {0xD9, 3}, {0xF9, 4}, {0xE9, 4}, {0x18E9, 5}},
    {"ORAB", false, {0xCA, 2}, {0xDA, 3}, {0xFA, 4}, {0xEA, 4}, {0x18EA, 5}},
    {"ADDB", false, {0xCB, 2}, {0xDB, 3}, {0xFB, 4}, {0xEB, 4}, {0x18EB, 5}},
    {"SUBD", true,  {0x83, 4},   {0x93, 5},   {0xB3, 6},   {0xA3, 6},   {0x18A3, 7}},
    {"ADDD", true,  {0xC3, 4},   {0xD3, 5},   {0xF3, 6},   {0xE3, 6},   {0x18E3, 7}},
    {"CPD",  true,  {0x1A83, 5}, {0x1A93, 6}, {0x1AB3, 7}, {0x1AA3, 7}, {0xCDA3, 7}},
    {"CPX",  true,  {0x8C, 4},   {0x9C, 5},   {0xBC, 6},   {0xAC, 6},   {0xCDAC, 7}},
    {"CPY",  true,  {0x188C, 5}, {0x189C, 6}, {0x18BC, 7}, {0x1AAC, 7}, {0x18AC, 7}},
    {"LDD",  true,  {0xCC, 3},   {0xDC, 4},   {0xFC, 5},   {0xEC, 5},   {0x18EC, 6}},
    {"STD",  true,  {},          {0xDD, 4},   {0xFD, 5},   {0xED, 5},   {0x18ED, 6}},
    {"LDX",  true,  {0xCE, 3},   {0xDE, 4},   {0xFE, 5},   {0xEE, 5},   {0xCDEE, 6}},
    {"STX",  true,  {},          {0xDF, 4},   {0xFF, 5},   {0xEF, 5},   {0xCDEF, 6}},
    {"LDY",  true,  {0x18CE, 4}, {0x18DE, 5}, {0x18FE, 6}, {0x1AEE, 6}, {0x18EE, 6}},
    {"STY",  true,  {},          {0x18DF, 5}, {0x18FF, 6}, {0x1AEF, 6}, {0x18EF, 6}},
    {"LDS",  true,  {0x8E, 3},   {0x9E, 4},   {0xBE, 5},   {0xAE, 5},   {0x18AE, 6}},
    {"STS",  true,  {},          {0x9F, 4},   {0xBF, 5},   {0xAF, 5},   {0x18AF, 6}},
    {"JSR",  true,  {},          {0x9D, 5},   {0xBD, 6},   {0xAD, 6},   {0x18AD, 7}},
    {"JMP",  true,  {},          {},          {0x7E, 3},   {0x6E, 3},   {0x186E, 4}},
};

// The accumulator forms are inherent, 2 cycles, named with the register letter appended.
struct ReadModifyWriteFamily {
    std::string_view mnemonic;
    std::uint8_t a, b;
    Cell extended, indexedX, indexedY;
};

constexpr ReadModifyWriteFamily kReadModifyWriteFamilies[] = {
    {"NEG", 0x40, 0x50, {0x70, 6}, {0x60, 6}, {0x1860, 7}},
    {"COM", 0x43, 0x53, {0x73, 6}, {0x63, 6}, {0x1863, 7}},
    {"LSR", 0x44, 0x54, {0x74, 6}, {0x64, 6}, {0x1864, 7}},
    {"ROR", 0x46, 0x56, {0x76, 6}, {0x66, 6}, {0x1866, 7}},
    {"ASR", 0x47, 0x57, {0x77, 6}, {0x67, 6}, {0x1867, 7}},
    {"ASL", 0x48, 0x58, {0x78, 6}, {0x68, 6}, {0x1868, 7}},
    {"LSL", 0x48, 0x58, {0x78, 6}, {0x68, 6}, {0x1868, 7}},
    {"ROL", 0x49, 0x59, {0x79, 6}, {0x69, 6}, {0x1869, 7}},
    {"DEC", 0x4A, 0x5A, {0x7A, 6}, {0x6A, 6}, {0x186A, 7}},
    {"INC", 0x4C, 0x5C, {0x7C, 6}, {0x6C, 6}, {0x186C, 7}},
    {"TST", 0x4D, 0x5D, {0x7D, 6}, {0x6D, 6}, {0x186D, 7}},
    {"CLR", 0x4F, 0x5F, {0x7F, 6}, {0x6F, 6}, {0x186F, 7}},
};

struct BitFamily {
    std::string_view mnemonic;
    bool branches;
    Cell direct, indexedX, indexedY;
};

constexpr BitFamily kBitFamilies[] = {
    {"BRSET", true,  {0x12, 6}, {0x1E, 7}, {0x181E, 8}},
    {"BRCLR", true,  {0x13, 6}, {0x1F, 7}, {0x181F, 8}},
    {"BSET",  false, {0x14, 6}, {0x1C, 7}, {0x181C, 8}},
    {"BCLR",  false, {0x15, 6}, {0x1D, 7}, {0x181D, 8}},
};

struct SingleForm {
    std::string_view mnemonic;
    Cell cell;
};

constexpr SingleForm kRelativeForms[] = {
    {"BRA", {0x20, 3}}, {"BRN", {0x21, 3}}, {"BHI", {0x22, 3}}, {"BLS", {0x23, 3}},
    {"BCC", {0x24, 3}}, {"BHS", {0x24, 3}}, {"BCS", {0x25, 3}}, {"BLO", {0x25, 3}},
    {"BNE", {0x26, 3}}, {"BEQ", {0x27, 3}}, {"BVC", {0x28, 3}}, {"BVS", {0x29, 3}},
    {"BPL", {0x2A, 3}}, {"BMI", {0x2B, 3}}, {"BGE", {0x2C, 3}}, {"BLT", {0x2D, 3}},
    {"BGT", {0x2E, 3}}, {"BLE", {0x2F, 3}}, {"BSR", {0x8D, 6}},
};

constexpr SingleForm kInherentForms[] = {
    {"NOP", {0x01, 2}},    {"IDIV", {0x02, 41}},   {"FDIV", {0x03, 41}},   {"LSRD", {0x04, 3}},
    {"ASLD", {0x05, 3}},   {"LSLD", {0x05, 3}},    {"TAP", {0x06, 2}},     {"TPA", {0x07, 2}},
    {"INX", {0x08, 3}},    {"DEX", {0x09, 3}},     {"CLV", {0x0A, 2}},     {"SEV", {0x0B, 2}},
    {"CLC", {0x0C, 2}},    {"SEC", {0x0D, 2}},     {"CLI", {0x0E, 2}},     {"SEI", {0x0F, 2}},
    {"SBA", {0x10, 2}},    {"CBA", {0x11, 2}},     {"TAB", {0x16, 2}},     {"TBA", {0x17, 2}},
    {"DAA", {0x19, 2}},    {"ABA", {0x1B, 2}},     {"TSX", {0x30, 3}},     {"INS", {0x31, 3}},
    {"PULA", {0x32, 4}},   {"PULB", {0x33, 4}},    {"DES", {0x34, 3}},     {"TXS", {0x35, 3}},
    {"PSHA", {0x36, 3}},   {"PSHB", {0x37, 3}},    {"PULX", {0x38, 5}},    {"RTS", {0x39, 5}},
    {"ABX", {0x3A, 3}},    {"RTI", {0x3B, 12}},    {"PSHX", {0x3C, 4}},    {"MUL", {0x3D, 10}},
    {"WAI", {0x3E, 14}},   {"SWI", {0x3F, 14}},    {"XGDX", {0x8F, 3}},    {"STOP", {0xCF, 2}},
    {"INY", {0x1808, 4}},  {"DEY", {0x1809, 4}},   {"TSY", {0x1830, 4}},   {"TYS", {0x1835, 4}},
    {"PULY", {0x1838, 6}}, {"ABY", {0x183A, 4}},   {"PSHY", {0x183C, 5}},  {"XGDY", {0x188F, 4}},
};

// The table's mnemonic order: alphabetical, except that the accumulator forms come before the
// memory form and the ASL names before the LSL names.
constexpr std::string_view kMnemonicOrder[] = {
    "ABA",  "ABX",  "ABY",  "ADCA", "ADCB", "ADDA",  "ADDB",  "ADDD", "ANDA",  "ANDB", "ASLA",
    "ASLB", "ASL",  "ASLD", "ASRA", "ASRB", "ASR",   "BCC",   "BCLR", "BCS",   "BEQ",  "BGE",
    "BGT",  "BHI",  "BHS",  "BITA", "BITB", "BLE",   "BLO",   "BLS",  "BLT",   "BMI",  "BNE",
    "BPL",  "BRA",  "BRCLR", "BRN", "BRSET", "BSET", "BSR",   "BVC",  "BVS",   "CBA",  "CLC",
    "CLI",  "CLRA", "CLRB", "CLR",  "CLV",  "CMPA",  "CMPB",  "COMA", "COMB",  "COM",  "CPD",
    "CPX",  "CPY",  "DAA",  "DECA", "DECB", "DEC",   "DES",   "DEX",  "DEY",   "EORA", "EORB",
    "FDIV", "IDIV", "INCA", "INCB", "INC",  "INS",   "INX",   "INY",  "JMP",   "JSR",  "LDAA",
    "LDAB", "LDD",  "LDS",  "LDX",  "LDY",  "LSLA",  "LSLB",  "LSL",  "LSLD",  "LSRA", "LSRB",
    "LSR",  "LSRD", "MUL",  "NEGA", "NEGB", "NEG",   "NOP",   "ORAA", "ORAB",  "PSHA", "PSHB",
    "PSHX", "PSHY", "PULA", "PULB", "PULX", "PULY",  "ROLA",  "ROLB", "ROL",   "RORA", "RORB",
    "ROR",  "RTI",  "RTS",  "SBA",  "SBCA", "SBCB",  "SEC",   "SEI",  "SEV",   "STAA", "STAB",
    "STD",  "STOP", "STS",  "STX",  "STY",  "SUBA",  "SUBB",  "SUBD", "SWI",   "TAB",  "TAP",
    "TBA",  "TPA",  "TSTA", "TSTB", "TST",  "TSX",   "TSY",   "TXS",  "TYS",   "WAI",  "XGDX",
    "XGDY",
};

constexpr std::uint8_t kUnassignedBaseOpcodes[] = {
    0x00, 0x41, 0x42, 0x45, 0x4B, 0x4E, 0x51, 0x52, 0x55, 0x5B, 0x5E,
    0x61, 0x62, 0x65, 0x6B, 0x71, 0x72, 0x75, 0x7B, 0x87, 0xC7,
};
// clang-format on

struct ExpectedForm {
    Page page;
    std::uint8_t opcode;
    std::string mnemonic;
    Mode mode;
    int length;
    int cycles;
};

Page pageOf(std::uint16_t code) {
    switch (code >> 8) {
        case 0x18:
            return Page::Prefix18;
        case 0x1A:
            return Page::Prefix1A;
        case 0xCD:
            return Page::PrefixCD;
        default:
            return Page::Base;
    }
}

// Lengths as the disassembler gives them: operand bytes by mode, one more with a prefix.
int lengthOf(Mode mode, bool prefixed) {
    int length = 0;
    switch (mode) {
        case Mode::Inherent:
            length = 1;
            break;
        case Mode::BitTestDirect:
        case Mode::BitTestIndexedX:
        case Mode::BitTestIndexedY:
            length = 4;
            break;
        case Mode::BitSetDirect:
        case Mode::BitSetIndexedX:
        case Mode::BitSetIndexedY:
        case Mode::Immediate16:
        case Mode::Extended:
            length = 3;
            break;
        default:
            length = 2;
            break;
    }
    return length + (prefixed ? 1 : 0);
}

std::vector<ExpectedForm> expectedForms() {
    std::vector<ExpectedForm> forms;
    const auto add = [&forms](std::string_view mnemonic, Cell cell, Mode mode) {
        if (cell.code == 0) return;
        const Page page = pageOf(cell.code);
        forms.push_back({page, static_cast<std::uint8_t>(cell.code), std::string(mnemonic), mode,
                         lengthOf(mode, page != Page::Base), cell.cycles});
    };
    for (const AccumulatorFamily& f : kAccumulatorFamilies) {
        add(f.mnemonic, f.immediate, f.wideImmediate ? Mode::Immediate16 : Mode::Immediate8);
        add(f.mnemonic, f.direct, Mode::Direct);
        add(f.mnemonic, f.extended, Mode::Extended);
        add(f.mnemonic, f.indexedX, Mode::IndexedX);
        add(f.mnemonic, f.indexedY, Mode::IndexedY);
    }
    for (const ReadModifyWriteFamily& f : kReadModifyWriteFamilies) {
        add(std::string(f.mnemonic) + "A", {f.a, 2}, Mode::Inherent);
        add(std::string(f.mnemonic) + "B", {f.b, 2}, Mode::Inherent);
        add(f.mnemonic, f.extended, Mode::Extended);
        add(f.mnemonic, f.indexedX, Mode::IndexedX);
        add(f.mnemonic, f.indexedY, Mode::IndexedY);
    }
    for (const BitFamily& f : kBitFamilies) {
        add(f.mnemonic, f.direct, f.branches ? Mode::BitTestDirect : Mode::BitSetDirect);
        add(f.mnemonic, f.indexedX, f.branches ? Mode::BitTestIndexedX : Mode::BitSetIndexedX);
        add(f.mnemonic, f.indexedY, f.branches ? Mode::BitTestIndexedY : Mode::BitSetIndexedY);
    }
    for (const SingleForm& f : kRelativeForms) add(f.mnemonic, f.cell, Mode::Relative);
    for (const SingleForm& f : kInherentForms) add(f.mnemonic, f.cell, Mode::Inherent);
    return forms;
}

using FormKey = std::tuple<Page, std::uint8_t, std::string>;

TEST(InstructionSetTable, MatchesThePublishedOpcodeMapFormByForm) {
    std::map<FormKey, ExpectedForm> expected;
    for (const ExpectedForm& form : expectedForms())
        ASSERT_TRUE(expected.emplace(FormKey{form.page, form.opcode, form.mnemonic}, form).second)
            << "transcription lists " << form.mnemonic << " twice";
    ASSERT_EQ(expected.size(), 315u);

    std::set<FormKey> seen;
    for (const InstructionForm& form : kInstructionSet) {
        const FormKey key{form.page, form.opcode, std::string(form.mnemonic)};
        SCOPED_TRACE(::testing::Message() << form.mnemonic << " page " << int(form.page)
                                          << " opcode " << std::hex << int(form.opcode));
        EXPECT_TRUE(seen.insert(key).second) << "listed twice";
        const auto it = expected.find(key);
        if (it == expected.end()) {
            ADD_FAILURE() << "not in the published map";
            continue;
        }
        EXPECT_EQ(form.mode, it->second.mode);
        EXPECT_EQ(form.length, it->second.length);
        EXPECT_EQ(form.cycles, it->second.cycles);
    }
    EXPECT_EQ(seen.size(), expected.size());
}

TEST(InstructionSetTable, CoversEachPageWithThePublishedNumberOfOpcodes) {
    std::set<std::pair<Page, std::uint8_t>> pairs;
    std::map<Page, int> perPage;
    for (const InstructionForm& form : kInstructionSet)
        if (pairs.insert({form.page, form.opcode}).second) ++perPage[form.page];
    EXPECT_EQ(pairs.size(), 307u);
    EXPECT_EQ(perPage[Page::Base], 232);
    EXPECT_EQ(perPage[Page::Prefix18], 64);
    EXPECT_EQ(perPage[Page::Prefix1A], 7);
    EXPECT_EQ(perPage[Page::PrefixCD], 4);
}

TEST(InstructionSetTable, LeavesExactlyTheUnassignedBaseOpcodesAndThePrefixesEmpty) {
    std::set<int> unassigned(std::begin(kUnassignedBaseOpcodes), std::end(kUnassignedBaseOpcodes));
    ASSERT_EQ(unassigned.size(), 21u);
    unassigned.insert({kPrefix18, kPrefix1A, kPrefixCD});
    for (int opcode = 0; opcode < 256; ++opcode)
        EXPECT_EQ(findInstruction(Page::Base, static_cast<std::uint8_t>(opcode)) == nullptr,
                  unassigned.contains(opcode))
            << "opcode " << std::hex << opcode;
}

TEST(InstructionSetTable, IsInMnemonicOrder) {
    std::vector<std::string_view> order;
    for (const InstructionForm& form : kInstructionSet)
        if (order.empty() || order.back() != form.mnemonic) order.push_back(form.mnemonic);
    EXPECT_THAT(order, ::testing::ElementsAreArray(kMnemonicOrder));
}

TEST(InstructionSetTable, LookupFindsTheFirstNameOfAnOpcodeWithTwo) {
    const struct {
        Page page;
        std::uint8_t opcode;
        std::string_view mnemonic;
    } cases[] = {
        {Page::Base, 0x24, "BCC"},  {Page::Base, 0x25, "BCS"},     {Page::Base, 0x48, "ASLA"},
        {Page::Base, 0x58, "ASLB"}, {Page::Base, 0x05, "ASLD"},    {Page::Base, 0x78, "ASL"},
        {Page::Base, 0x68, "ASL"},  {Page::Prefix18, 0x68, "ASL"},
    };
    for (const auto& c : cases) {
        const InstructionForm* form = findInstruction(c.page, c.opcode);
        ASSERT_NE(form, nullptr);
        EXPECT_EQ(form->mnemonic, c.mnemonic);
    }
}

// Every byte of every page, executed: an assigned one charges its cycles and, unless it
// transfers control, leaves PC after its length; any other traps as an illegal opcode with the
// return address after the opcode bytes.
class OpcodePages : public testing::MachineTest {};

TEST_F(OpcodePages, ExecuteTheTableAndTrapEverythingElse) {
    constexpr std::uint16_t kStart = 0x2000;
    constexpr std::uint16_t kTrapHandler = 0x5000;
    constexpr std::uint16_t kStack = 0x0100;
    const std::set<std::string_view> transfersControl{"JMP", "JSR", "RTS", "RTI", "SWI", "WAI"};
    machine->poke(0xFFF6, 0x40);  // SWI vector 0x4000
    machine->poke(0xFFF8, kTrapHandler >> 8);

    const std::pair<Page, std::uint8_t> prefixes[] = {{Page::Base, 0},
                                                      {Page::Prefix18, kPrefix18},
                                                      {Page::Prefix1A, kPrefix1A},
                                                      {Page::PrefixCD, kPrefixCD}};
    for (const auto& [page, prefix] : prefixes) {
        for (int opcode = 0; opcode < 256; ++opcode) {
            if (page == Page::Base &&
                (opcode == kPrefix18 || opcode == kPrefix1A || opcode == kPrefixCD))
                continue;
            SCOPED_TRACE(::testing::Message()
                         << "page " << int(page) << " opcode " << std::hex << opcode);
            for (std::uint16_t a = kStart; a < kStart + 8; ++a) machine->poke(a, 0);
            const bool prefixed = page != Page::Base;
            if (prefixed) machine->poke(kStart, prefix);
            machine->poke(kStart + (prefixed ? 1 : 0), static_cast<std::uint8_t>(opcode));
            machine->a = machine->b = 0;
            machine->ix = machine->iy = 0;
            machine->sp = kStack;
            machine->flags = {.s = true};
            machine->waitState = machine->stopState = false;
            machine->requests = {};
            machine->stepCycles = 0;
            host.messages.clear();

            executeAt(kStart);

            const InstructionForm* form = findInstruction(page, static_cast<std::uint8_t>(opcode));
            if (form == nullptr) {
                EXPECT_EQ(machine->pc, kTrapHandler);
                EXPECT_EQ(machine->peek16(kStack - 1), kStart + (prefixed ? 2 : 1));
                EXPECT_TRUE(machine->requests.stop);
                EXPECT_EQ(host.messages.size(), 1u);
                continue;
            }
            EXPECT_EQ(machine->stepCycles, form->cycles);
            if (!transfersControl.contains(form->mnemonic)) {
                EXPECT_EQ(machine->pc, kStart + form->length);
            }
            EXPECT_TRUE(host.messages.empty());
            EXPECT_FALSE(machine->requests.stop);
        }
    }
}

}  // namespace
}  // namespace tarnwick
