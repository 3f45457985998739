#include "peripherals_fixture.h"

namespace tarnwick {
namespace {

class XirqLineTest : public PeripheralsTest {
  protected:
    const XirqButton& level() { return peripherals.xirq.levelButton(); }
    const XirqButton& pulse() { return peripherals.xirq.pulseButton(); }
};

TEST_F(XirqLineTest, LevelStaysLowUntilReleased) {
    peripherals.xirq.bxirqLevelClick();
    EXPECT_TRUE(peripherals.xirqPending());
    EXPECT_TRUE(level().pendingCaption);
    EXPECT_FALSE(pulse().enabled);

    peripherals.interruptTaken(InterruptSource::Xirq);
    peripherals.interruptTaken(InterruptSource::Xirq);
    EXPECT_TRUE(peripherals.xirqPending());
    EXPECT_EQ(peripherals.xirq.handlerCount(), 2u);

    peripherals.xirq.bxirqPulseClick();  // disabled: no effect
    EXPECT_FALSE(pulse().pendingCaption);

    peripherals.xirq.bxirqLevelClick();
    EXPECT_FALSE(peripherals.xirqPending());
    EXPECT_FALSE(level().pendingCaption);
    EXPECT_TRUE(pulse().enabled);
}

TEST_F(XirqLineTest, PulseIsReleasedByTheFirstInterrupt) {
    peripherals.xirq.bxirqPulseClick();
    EXPECT_TRUE(peripherals.xirqPending());
    EXPECT_FALSE(level().enabled);

    peripherals.interruptTaken(InterruptSource::Xirq);
    EXPECT_FALSE(peripherals.xirqPending());
    EXPECT_EQ(peripherals.xirq.handlerCount(), 1u);
    EXPECT_FALSE(pulse().pendingCaption);
    EXPECT_TRUE(level().enabled && pulse().enabled);
}

TEST_F(XirqLineTest, StopWakeUpReleasesTheLineInEitherMode) {
    peripherals.xirq.bxirqLevelClick();
    peripherals.releaseXirqAtStopWakeUp();
    EXPECT_FALSE(peripherals.xirqPending());
    EXPECT_FALSE(level().pendingCaption || pulse().pendingCaption);
    EXPECT_TRUE(level().enabled && pulse().enabled);
    EXPECT_EQ(peripherals.xirq.handlerCount(), 0u);
}

TEST_F(XirqLineTest, ResetReleasesTheLineAndClearsTheCount) {
    peripherals.xirq.bxirqLevelClick();
    peripherals.interruptTaken(InterruptSource::Xirq);
    peripherals.resetRegisters();
    EXPECT_FALSE(peripherals.xirqPending());
    EXPECT_FALSE(level().pendingCaption);
    EXPECT_EQ(peripherals.xirq.handlerCount(), 0u);
}

TEST_F(XirqLineTest, ButtonsAreDisabledWhileTheVectorIsUninitialised) {
    struct Case {
        std::uint8_t high;
        std::uint8_t low;
        bool enabled;
    };
    constexpr Case kCases[] = {{0xFF, 0xFF, false}, {0xFF, 0x00, true}, {0x00, 0xFF, true}};
    for (const Case& c : kCases) {
        memory()[0xFFF4].value = c.high;
        memory()[0xFFF5].value = c.low;
        peripherals.resetRegisters();
        EXPECT_EQ(level().enabled, c.enabled) << int(c.high) << ' ' << int(c.low);
        EXPECT_EQ(pulse().enabled, c.enabled) << int(c.high) << ' ' << int(c.low);
    }

    memory()[0xFFF4].value = 0xFF;
    memory()[0xFFF5].value = 0xFF;
    peripherals.resetRegisters();
    peripherals.xirq.bxirqLevelClick();
    EXPECT_FALSE(peripherals.xirqPending());

    // Loading a vector later: showing the window enables both buttons.
    memory()[0xFFF4].value = 0x80;
    peripherals.xirq.intrShow();
    EXPECT_TRUE(level().enabled && pulse().enabled);
}

}  // namespace
}  // namespace tarnwick
