#include <array>
#include <cstdint>

#include "peripherals_fixture.h"

namespace tarnwick {
namespace {

using IoRegistersTest = PeripheralsTest;

TEST_F(IoRegistersTest, ResetStoresTableValuesAndKeepsMaskedBits) {
    // 5D keeps distinct bits in PIOC, SPCR, BAUD and CONFIG, and shows which cells are kept.
    for (std::uint8_t index = 0; index < kIoRegisterCount; ++index) reg(index) = 0x5D;
    peripherals.resetRegisters();

    constexpr std::array<std::uint8_t, kIoRegisterCount> kExpected{
        0x8F, 0x5D, 0x07, 0xFF, 0x00, 0xFF, 0x5D, 0x00,  // 00-07
        0x3F, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00,  // 08-0F
        0x5D, 0x5D, 0x5D, 0x5D, 0x5D, 0x5D, 0xFF, 0xFF,  // 10-17
        0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,  // 18-1F
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x5D,  // 20-27
        0x05, 0x00, 0x5D, 0x05, 0xC0, 0x00, 0xC0, 0xFF,  // 28-2F
        0xBF, 0x00, 0x00, 0x00, 0x00, 0x1F, 0x00, 0x5D,  // 30-37
        0x5D, 0x10, 0x5D, 0x00, 0x5D, 0x01, 0x5D, 0x0D,  // 38-3F
    };
    for (std::uint8_t index = 0; index < kIoRegisterCount; ++index)
        EXPECT_EQ(reg(index), kExpected[index]) << "register " << int(index);
    EXPECT_EQ(peripherals.sci.baudIndex, 5);
}

TEST_F(IoRegistersTest, ByteWriteOfFFThenByteRead) {
    struct Case {
        std::uint8_t index;
        std::uint8_t read;
    };
    constexpr Case
        kCases[] =
            {
                {reg::kPortA, 0xFF},  // plain
                {reg::kTflg1, 0xFF},  // no clearing rule
                {reg::kBaud, 0xBF},    {reg::kSccr1, 0xD8},
                {reg::kAdctl, 0x3F},  // CCF cleared by the write, bit 6 masked on read
                {reg::kPioc, 0x03},    {reg::kTcntHigh, 0x00},
                {reg::kTcntLow, 0x00}, {reg::kScsr, 0xC0},
                {reg::kInit, 0x01},  // ignored writes
            };
    for (const Case& c : kCases) {
        peripherals.write8(kIoBase + c.index, 0xFF);
        EXPECT_EQ(peripherals.read8(kIoBase + c.index), c.read) << "register " << int(c.index);
    }
    EXPECT_EQ(reg(reg::kSccr1), 0xD8);
}

TEST_F(IoRegistersTest, TimeProtectedBitsAreWritableBelowCycle60) {
    struct Case {
        std::uint32_t cycle;
        std::uint8_t tmsk2;
        std::uint8_t prescale;
        std::uint8_t option;
    };
    constexpr Case kCases[] = {{59, 0xFF, 3, 0xC3}, {60, 0xFC, 0, 0xD0}};
    for (const Case& c : kCases) {
        peripherals.resetRegisters();
        cycleCounter = c.cycle;
        peripherals.write8(kIoBase + reg::kTmsk2, 0xFF);
        peripherals.write8(kIoBase + reg::kOption, 0xC3);
        EXPECT_EQ(reg(reg::kTmsk2), c.tmsk2) << "cycle " << c.cycle;
        EXPECT_EQ(peripherals.timer.prescaleSelect, c.prescale) << "cycle " << c.cycle;
        EXPECT_EQ(reg(reg::kOption), c.option) << "cycle " << c.cycle;
        EXPECT_TRUE(peripherals.adc.powered) << "cycle " << c.cycle;
    }
}

TEST_F(IoRegistersTest, Tflg2WriteOneClearsFlagsAndTheirRequests) {
    struct Case {
        std::uint8_t written;
        std::uint8_t tflg2;
        bool overflowRequest;
        bool rtiRequest;
    };
    constexpr Case kCases[] = {
        {0x00, 0xFF, true, true}, {0x40, 0xB0, true, false},  {0x80, 0x70, false, true},
        {0x10, 0xE0, true, true}, {0xFF, 0x00, false, false},
    };
    for (const Case& c : kCases) {
        reg(reg::kTflg2) = 0xFF;
        peripherals.timer.request = peripherals.rti.request = true;
        peripherals.write8(kIoBase + reg::kTflg2, c.written);
        EXPECT_EQ(reg(reg::kTflg2), c.tflg2) << "written " << int(c.written);
        EXPECT_EQ(peripherals.timer.request, c.overflowRequest) << "written " << int(c.written);
        EXPECT_EQ(peripherals.rti.request, c.rtiRequest) << "written " << int(c.written);
    }
}

TEST_F(IoRegistersTest, ScdrWriteCountsOnlyOnceAfterByteReadOfScsr) {
    peripherals.write8(0x102D, 0x08);
    peripherals.write8(0x102F, 'A');
    EXPECT_FALSE(peripherals.sci.transmitting);

    peripherals.read16(0x102D);  // SCCR2:SCSR as a word does not arm the write
    peripherals.write8(0x102F, 'A');
    EXPECT_FALSE(peripherals.sci.transmitting);

    EXPECT_EQ(peripherals.read8(0x102E), 0xC0);
    peripherals.write8(0x102F, 'A');
    EXPECT_TRUE(peripherals.sci.transmitting);
    EXPECT_EQ(peripherals.sci.shiftRegister, 'A');
    EXPECT_EQ(reg(reg::kScsr), 0x00);

    run(80);  // TDRE is back, but the write is not armed again
    peripherals.write8(0x102F, 'B');
    EXPECT_EQ(peripherals.sci.dataLatch, 'A');
    EXPECT_EQ(reg(reg::kScdr), 0xFF);
}

TEST_F(IoRegistersTest, WordReadsUseByteMasksAndReachPast103F) {
    reg(reg::kBaud) = 0xFF;
    reg(reg::kSccr1) = 0xFF;
    reg(reg::kScsr) = 0xFF;
    reg(reg::kAdctl) = 0xFF;
    reg(reg::kConfig) = 0x0F;
    memory()[0x1040].value = 0xFF;
    struct Case {
        std::uint8_t index;
        std::uint16_t word;
    };
    constexpr Case kCases[] = {
        {reg::kSpdr, 0x00BF}, {reg::kBaud, 0xBFD8}, {reg::kSccr2, 0x00FE},
        {reg::kScsr, 0xFEFF}, {reg::kScdr, 0xFFBF}, {reg::kConfig, 0x0FFF},
    };
    for (const Case& c : kCases)
        EXPECT_EQ(peripherals.read16(kIoBase + c.index), c.word) << "register " << int(c.index);
    EXPECT_FALSE(peripherals.sci.statusRead);
}

TEST_F(IoRegistersTest, WordWritesStoreRawBytesExceptSpecialPairs) {
    cycleCounter = 100;
    struct Case {
        std::uint8_t index;
        std::uint16_t word;
        std::uint8_t first;
        std::uint8_t second;
    };
    constexpr Case kCases[] = {
        {0x01, 0x1234, 0x12, 0x34},            // reaches the ignored PIOC
        {0x0D, 0x1234, 0x12, 0x34},            // reaches TCNT high
        {reg::kTmsk2, 0xFF40, 0xFF, 0x40},     // no time protection, no flag clearing
        {reg::kTcntHigh, 0x1234, 0x00, 0x00},  // TCNT and INIT ignore the whole word
        {reg::kTcntLow, 0x1234, 0x00, 0x00},  {reg::kInit, 0x1234, 0x01, 0x00},
        {reg::kBaud, 0x37FF, 0x37, 0xD8},     {reg::kSccr1, 0xFF00, 0xD8, 0x00},
        {reg::kScsr, 0x0041, 0xC0, 0x41},  // only the SCDR byte changes
        {reg::kScdr, 0x4190, 0x41, 0x90},  // ADCTL unmasked: CCF stays as written
        {reg::kAdctl, 0x9055, 0x90, 0x55},    {reg::kConfig, 0x1234, 0x12, 0x34},
    };
    for (const Case& c : kCases) {
        peripherals.resetRegisters();
        peripherals.write16(kIoBase + c.index, c.word);
        EXPECT_EQ(reg(c.index), c.first) << "register " << int(c.index);
        EXPECT_EQ(reg(c.index + 1), c.second) << "register " << int(c.index);
    }
    EXPECT_EQ(memory()[0x1040].value, 0x34);
}

TEST_F(IoRegistersTest, WordWritesThroughTimerRegistersSetNoLatches) {
    peripherals.rti.request = true;
    peripherals.write16(0x1024, 0x0340);  // TMSK2:TFLG2
    peripherals.write16(0x1025, 0x4003);  // TFLG2:PACTL
    EXPECT_EQ(peripherals.timer.prescaleSelect, 0);
    EXPECT_EQ(peripherals.rti.rateSelect, 0);
    EXPECT_TRUE(peripherals.rti.request);
}

TEST_F(IoRegistersTest, WordWritesToSciAndAdcPairsApplyTheirLatches) {
    peripherals.sci.bitClock = 50;
    peripherals.write16(0x102A, 0x0037);  // SPDR:BAUD
    EXPECT_EQ(peripherals.sci.baudIndex, 31);
    EXPECT_EQ(peripherals.sci.bitClock, 0u);

    peripherals.write16(0x102B, 0x1000);  // BAUD:SCCR1
    EXPECT_EQ(peripherals.sci.baudIndex, 8);

    peripherals.write16(0x102C, 0x0088);  // SCCR1:SCCR2 with TIE and TE
    EXPECT_TRUE(peripherals.sci.transmitterEnabled);
    EXPECT_TRUE(peripherals.sci.tdreRequest);

    peripherals.write16(0x102D, 0x0000);  // SCCR2:SCSR
    EXPECT_FALSE(peripherals.sci.transmitterEnabled);
    EXPECT_EQ(reg(reg::kScsr), 0xC0);

    peripherals.write16(0x102F, 0x0030);  // SCDR:ADCTL takes SCAN and MULT from the low byte
    EXPECT_TRUE(peripherals.adc.active && peripherals.adc.scan && peripherals.adc.multiChannel &&
                peripherals.adc.groupZero);

    peripherals.write16(0x1030, 0x0830);  // ADCTL:ADR1 takes them from the high byte
    EXPECT_FALSE(peripherals.adc.scan || peripherals.adc.multiChannel || peripherals.adc.groupZero);
}

}  // namespace
}  // namespace tarnwick
