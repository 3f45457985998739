#include <array>
#include <cstdint>

#include "peripherals_fixture.h"

namespace tarnwick {
namespace {

class AnalogDigitalTest : public PeripheralsTest {
  protected:
    AnalogDigitalTest() { peripherals.adc.channelInputs = {10, 11, 12, 13, 14, 15, 16, 17}; }

    std::array<std::uint8_t, 4> results() { return {reg(0x31), reg(0x32), reg(0x33), reg(0x34)}; }
    bool ccf() { return reg(reg::kAdctl) & 0x80; }
};

TEST_F(AnalogDigitalTest, SequenceFillsFourResultsThenSetsCcf) {
    struct Case {
        std::uint8_t adctl;
        std::array<std::uint8_t, 4> results;
    };
    constexpr Case kCases[] = {
        {0x10, {10, 11, 12, 13}},  // MULT, CC = 0
        {0x14, {14, 15, 16, 17}},  // MULT, CC = 1
        {0x05, {15, 15, 15, 15}},  // single channel AN5
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(int(c.adctl));
        peripherals.resetRegisters();
        peripherals.write8(0x1030, c.adctl);
        run(31);
        EXPECT_EQ(reg(0x31), 0);
        run(1);
        EXPECT_EQ(reg(0x31), c.results[0]);
        run(95);
        EXPECT_FALSE(ccf());
        run(1);
        EXPECT_EQ(results(), c.results);
        EXPECT_TRUE(ccf());
        EXPECT_FALSE(peripherals.adc.active);
    }
}

TEST_F(AnalogDigitalTest, SingleChannelSamplesAtEachConversion) {
    peripherals.write8(0x1030, 0x03);
    run(64);
    peripherals.adc.channelInputs[3] = 200;
    run(64);
    EXPECT_EQ(results(), (std::array<std::uint8_t, 4>{13, 13, 200, 200}));
}

TEST_F(AnalogDigitalTest, ScanKeepsConverting) {
    peripherals.write8(0x1030, 0x30);
    run(128);
    EXPECT_TRUE(ccf());
    peripherals.adc.channelInputs[0] = 99;
    run(32);
    EXPECT_EQ(reg(0x31), 99);
    EXPECT_TRUE(ccf());
    EXPECT_TRUE(peripherals.adc.active);
}

TEST_F(AnalogDigitalTest, ChannelGroupOneNeverConverts) {
    run(1000);  // ADCTL = BF after reset selects group 1 as well
    peripherals.write8(0x1030, 0x08);
    run(1000);
    EXPECT_EQ(results(), (std::array<std::uint8_t, 4>{}));
    EXPECT_FALSE(ccf());
}

TEST_F(AnalogDigitalTest, RestartedSequenceResumesAtNextResultRegister) {
    peripherals.write8(0x1030, 0x10);
    run(64);
    peripherals.write8(0x1030, 0x14);
    run(63);
    EXPECT_FALSE(ccf());
    run(1);
    EXPECT_TRUE(ccf());
    EXPECT_EQ(results(), (std::array<std::uint8_t, 4>{10, 11, 16, 17}));
}

TEST_F(AnalogDigitalTest, PortEBitsAreTheRegisterByte) {
    EXPECT_EQ(peripherals.read8(0x100A), 0xFF);
    peripherals.adc.setPortEBit(0, false);
    EXPECT_EQ(peripherals.read8(0x100A), 0xFE);
    peripherals.adc.setPortEBit(7, false);
    peripherals.adc.setPortEBit(0, true);
    EXPECT_EQ(peripherals.adc.portE(), 0x7F);
}

}  // namespace
}  // namespace tarnwick
