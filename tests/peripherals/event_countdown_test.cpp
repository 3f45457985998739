// The peripherals count each step's cycles down to their nearest event and catch up there,
// at register accesses and at settle(). These tests drive two register blocks with the same
// random run of steps and register accesses, one that way and one settled after every step
// as if every peripheral were advanced at every step, and compare all a program or a window
// can see.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>
#include <random>
#include <utility>
#include <vector>

#include "peripherals/peripherals.h"

namespace tarnwick {
namespace {

class Rig {
  public:
    explicit Rig(bool settleEveryStep) : settleEveryStep_(settleEveryStep) {
        peripherals.onSciFrameTransmitted = [this](std::uint8_t byte) {
            frames.emplace_back(cycleCounter, byte);
        };
        peripherals.resetRegisters();
    }

    // As a run loop's step: the instruction charges its cycles, then the tick.
    bool step(std::uint8_t cycles) {
        cycleCounter += cycles;
        const bool slow = peripherals.tick(cycles);
        if (settleEveryStep_) peripherals.settle();
        return slow;
    }

    std::uint8_t cell(std::uint16_t address) const { return (*memory_)[address].value; }

    std::unique_ptr<AddressSpace> memory_ = std::make_unique<AddressSpace>();
    std::uint32_t cycleCounter = 0;
    Peripherals peripherals{*memory_, cycleCounter};
    std::vector<std::pair<std::uint32_t, std::uint8_t>> frames;  // cycle counter, byte sent

  private:
    bool settleEveryStep_;
};

// One random register access of the transmitter's, receiver's or converter's program, a
// byte for the receiver or a change of an analog input; the same on both rigs.
void randomAccess(std::mt19937& random, Rig& rig) {
    Peripherals& p = rig.peripherals;
    auto pick = [&random](auto... values) {
        const std::array<std::uint16_t, sizeof...(values)> choices{
            static_cast<std::uint16_t>(values)...};
        return choices[std::uniform_int_distribution<std::size_t>(0, choices.size() - 1)(random)];
    };
    const auto byte = static_cast<std::uint8_t>(random());
    switch (random() % 15) {
        case 0:
            p.write8(0x102B, static_cast<std::uint8_t>(pick(0x00, 0x01, 0x10, 0x20)));
            break;
        case 1:
            p.write8(0x102D, static_cast<std::uint8_t>(
                                 pick(0x08, 0x88, 0x48, 0xC8, 0x00, 0x0C, 0x2C, 0x1C, 0x04)));
            break;
        case 2:
        case 3:
        case 4:  // the transmit sequence
            p.read8(0x102E);
            p.write8(0x102F, byte);
            break;
        case 5:
            p.read8(0x102E);
            break;
        case 6:
            p.write8(0x1030, static_cast<std::uint8_t>(pick(0x10, 0x14, 0x03, 0x30, 0x34, 0x08)));
            break;
        case 7:
            p.adc.channelInputs[byte & 7] = static_cast<std::uint8_t>(random());
            break;
        case 8:
            p.write16(0x102F, static_cast<std::uint16_t>(pick(0x4130, 0x4203)));  // SCDR:ADCTL
            break;
        case 9:
            p.write8(0x1025, 0xC0);  // TFLG2: clear TOF and RTIF
            break;
        case 10:
            p.write8(0x1026, static_cast<std::uint8_t>(byte & 3));  // PACTL: the RTI rate
            break;
        case 11:
        case 12:
            p.sciReceiver.queueInput(byte);
            break;
        case 13:
            p.read8(0x102F);
            break;
        default:
            p.write16(0x102C, 0x00CC);  // SCCR1:SCCR2 with TIE, TCIE, TE and RE
            break;
    }
}

void expectSameState(Rig& lazy, Rig& stepped) {
    lazy.peripherals.settle();
    for (std::uint16_t address = kIoBase; address <= kIoBase + kIoRegisterCount; ++address)
        ASSERT_EQ(lazy.cell(address), stepped.cell(address)) << std::hex << address;
    const Peripherals& a = lazy.peripherals;
    const Peripherals& b = stepped.peripherals;
    ASSERT_EQ(a.rti.request, b.rti.request);
    ASSERT_EQ(a.timer.request, b.timer.request);
    ASSERT_EQ(a.sci.tdreRequest, b.sci.tdreRequest);
    ASSERT_EQ(a.sci.tcRequest, b.sci.tcRequest);
    ASSERT_EQ(a.dueMaskableInterrupt(), b.dueMaskableInterrupt());
    ASSERT_EQ(a.rti.remainingCycles(), b.rti.remainingCycles());
    ASSERT_EQ(a.sci.bitClock, b.sci.bitClock);
    ASSERT_EQ(a.sci.transmitting, b.sci.transmitting);
    ASSERT_EQ(a.adc.conversionCycles, b.adc.conversionCycles);
    ASSERT_EQ(a.adc.active, b.adc.active);
    ASSERT_EQ(a.adc.sequenceIndex, b.adc.sequenceIndex);
    ASSERT_EQ(a.sciReceiver.queuedInputCount(), b.sciReceiver.queuedInputCount());
    ASSERT_EQ(lazy.frames, stepped.frames);
}

TEST(EventCountdownTest, SciAndConverterMatchSteppingEveryStep) {
    for (const std::uint32_t seed : {1u, 2u, 3u, 4u}) {
        SCOPED_TRACE(seed);
        std::mt19937 random(seed);
        Rig lazy(false);
        Rig stepped(true);
        lazy.peripherals.sciReceiver.attachInput();
        stepped.peripherals.sciReceiver.attachInput();
        for (int i = 0; i < 40000; ++i) {
            // Mostly instruction-sized steps, now and then a step of no cycles (an interrupt
            // taken out of WAI) or of an interrupt entry with its instruction.
            const auto cycles = static_cast<std::uint8_t>(random() % 64 == 0 ? 0 : random() % 42);
            lazy.step(cycles);
            stepped.step(cycles);
            // What the interrupt poll reads before the next instruction, unsettled.
            ASSERT_EQ(lazy.peripherals.dueMaskableInterrupt(),
                      stepped.peripherals.dueMaskableInterrupt());
            ASSERT_EQ(lazy.peripherals.anyMaskableRequestLatched(),
                      stepped.peripherals.anyMaskableRequestLatched());
            if (random() % 8 == 0) {
                const std::uint32_t accessSeed = random();
                std::mt19937 forLazy(accessSeed);
                std::mt19937 forStepped(accessSeed);
                randomAccess(forLazy, lazy);
                randomAccess(forStepped, stepped);
            }
            if (random() % 16 == 0) {
                ASSERT_NO_FATAL_FAILURE(expectSameState(lazy, stepped));
            }
        }
        ASSERT_NO_FATAL_FAILURE(expectSameState(lazy, stepped));
        EXPECT_GT(lazy.frames.size(), 500u);
    }
}

// Counts the steps whose tick took its slow path.
int slowTicks(Rig& rig, int steps, std::uint8_t cycles) {
    int slow = 0;
    for (int i = 0; i < steps; ++i) slow += rig.step(cycles) ? 1 : 0;
    return slow;
}

TEST(EventCountdownTest, SlowPathOnlyAtEvents) {
    Rig rig(false);
    Peripherals& p = rig.peripherals;
    p.write8(0x102D, 0x08);  // TE, nothing to send
    p.write8(0x1030, 0x08);  // A/D on channel group 1: nothing converts
    EXPECT_EQ(slowTicks(rig, 8000, 1), 0);

    // Sending: the midpoint and the end of each 160-cycle frame.
    p.read8(0x102E);
    p.write8(0x102F, 'A');
    EXPECT_EQ(slowTicks(rig, 160, 1), 2);

    // Scanning: one conversion every 32 cycles, the first at the RTI timeout (cycle 8192).
    p.write8(0x1030, 0x30);
    EXPECT_EQ(slowTicks(rig, 320, 1), 10);
    EXPECT_TRUE(p.rti.request);
}

}  // namespace
}  // namespace tarnwick
