#include <cstdint>

#include "peripherals_fixture.h"

namespace tarnwick {
namespace {

using RtiTimerTest = PeripheralsTest;

TEST_F(RtiTimerTest, RtiPeriodFollowsRateSelect) {
    constexpr std::uint32_t kPeriods[] = {8192, 16384, 32768, 65536};
    for (std::uint8_t select = 0; select < 4; ++select) {
        peripherals.resetRegisters();
        peripherals.write8(0x1026, select);
        EXPECT_EQ(peripherals.rti.remainingCycles(), kPeriods[select]);
        run(kPeriods[select] - 1);
        EXPECT_FALSE(peripherals.rti.request) << "select " << int(select);
        EXPECT_EQ(peripherals.rti.remainingCycles(), 1u);
        run(1);
        EXPECT_TRUE(peripherals.rti.request) << "select " << int(select);
        EXPECT_TRUE(reg(reg::kTflg2) & 0x40);
        EXPECT_EQ(peripherals.rti.remainingCycles(), kPeriods[select]);
    }
}

TEST_F(RtiTimerTest, RtiRemainderCarriesIntoNextPeriod) {
    // With 5-cycle steps the timeouts fall on the first step at or past each multiple of
    // 8192 cycles; dropping the remainder would put the second one at step 3278.
    std::uint32_t step = 0;
    for (const std::uint32_t expectedStep : {1639u, 3277u, 4916u}) {
        peripherals.write8(0x1025, 0x40);
        while (!peripherals.rti.request) {
            run(5, 5);
            ++step;
        }
        EXPECT_EQ(step, expectedStep);
    }
}

TEST_F(RtiTimerTest, RateChangeKeepsElapsedUnits) {
    run(100);
    EXPECT_EQ(peripherals.rti.remainingCycles(), 8092u);
    peripherals.write8(0x1026, 0x03);
    EXPECT_EQ(peripherals.rti.remainingCycles(), 65536u - 800u);
}

TEST_F(RtiTimerTest, TcntCountsEveryCycleAndOverflowsAt65536) {
    run(1000, 4);
    EXPECT_EQ(peripherals.read16(0x100E), 1000);
    run(65536 - 1000 - 4, 4);
    EXPECT_EQ(peripherals.read16(0x100E), 0xFFFC);
    EXPECT_FALSE(peripherals.timer.request);
    run(4, 4);
    EXPECT_EQ(peripherals.read16(0x100E), 0x0000);
    EXPECT_TRUE(peripherals.timer.request);
    EXPECT_TRUE(reg(reg::kTflg2) & 0x80);
}

TEST_F(RtiTimerTest, PrescaleSixteenCarriesTheFraction) {
    peripherals.write8(0x1024, 0x03);
    run(15, 3);
    EXPECT_EQ(peripherals.timer.tcnt(), 0);
    run(3, 3);
    EXPECT_EQ(peripherals.timer.tcnt(), 1);
    run(96 - 18, 3);
    EXPECT_EQ(peripherals.timer.tcnt(), 6);
}

TEST_F(RtiTimerTest, StepOverwritesAWordStoredIntoTcnt) {
    run(10);
    peripherals.write16(0x100D, 0x00AB);  // OC1D:TCNT high
    EXPECT_EQ(reg(reg::kTcntHigh), 0xAB);
    run(1);
    EXPECT_EQ(peripherals.read16(0x100E), 11);
}

TEST_F(RtiTimerTest, ForceRtiActsOnceUntilTheInterruptIsTaken) {
    run(100);
    EXPECT_TRUE(peripherals.forceRtiClick());
    EXPECT_TRUE(peripherals.rti.request);
    EXPECT_EQ(reg(reg::kTflg2), 0x40);
    EXPECT_EQ(peripherals.rti.remainingCycles(), 0u);
    EXPECT_FALSE(peripherals.forceRtiClick());

    // The period restarts from the next step, which sees a full period.
    peripherals.write8(0x1025, 0x40);
    run(4, 4);
    EXPECT_TRUE(peripherals.rti.request);
    EXPECT_EQ(peripherals.rti.remainingCycles(), 8192u - 4u);
    EXPECT_TRUE(peripherals.rti.forceRtiPending());

    peripherals.interruptTaken(InterruptSource::RealTime);
    EXPECT_FALSE(peripherals.rti.forceRtiPending());
    EXPECT_EQ(peripherals.rti.timeoutCount(), 1u);
    EXPECT_TRUE(peripherals.rti.request);  // only the program clears the flag
}

TEST_F(RtiTimerTest, ForceTimerWrapsTcntToTheNextStepsIncrement) {
    run(1000);
    EXPECT_TRUE(peripherals.forceTimerClick());
    EXPECT_EQ(peripherals.timer.tcnt(), 0);
    EXPECT_TRUE(peripherals.timer.request);
    EXPECT_EQ(reg(reg::kTflg2), 0x80);
    EXPECT_FALSE(peripherals.forceTimerClick());

    run(4, 4);
    EXPECT_EQ(peripherals.read16(0x100E), 4);

    peripherals.interruptTaken(InterruptSource::TimerOverflow);
    EXPECT_FALSE(peripherals.timer.forceTimerPending());
    EXPECT_EQ(peripherals.timer.overflowCount(), 1u);
    EXPECT_TRUE(peripherals.forceTimerClick());
}

TEST_F(RtiTimerTest, ResetClearsCountsRequestsAndPendingButtons) {
    peripherals.forceRtiClick();
    peripherals.forceTimerClick();
    peripherals.interruptTaken(InterruptSource::RealTime);
    peripherals.interruptTaken(InterruptSource::TimerOverflow);
    peripherals.forceRtiClick();
    run(500);
    peripherals.resetRegisters();
    EXPECT_FALSE(peripherals.rti.request || peripherals.timer.request);
    EXPECT_FALSE(peripherals.rti.forceRtiPending());
    EXPECT_EQ(peripherals.rti.timeoutCount() + peripherals.timer.overflowCount(), 0u);
    EXPECT_EQ(peripherals.rti.remainingCycles(), 8192u);
    EXPECT_EQ(peripherals.timer.tcnt(), 0);
}

TEST_F(RtiTimerTest, MaskableConditionsNeedTheirEnableBits) {
    peripherals.forceRtiClick();
    peripherals.forceTimerClick();
    EXPECT_FALSE(peripherals.rtiInterruptDue() || peripherals.overflowInterruptDue());
    peripherals.write8(0x1024, 0x40);
    EXPECT_TRUE(peripherals.rtiInterruptDue());
    EXPECT_FALSE(peripherals.overflowInterruptDue());
    peripherals.write8(0x1024, 0x80);
    EXPECT_FALSE(peripherals.rtiInterruptDue());
    EXPECT_TRUE(peripherals.overflowInterruptDue());
    peripherals.write8(0x1025, 0x80);
    EXPECT_FALSE(peripherals.overflowInterruptDue());
}

}  // namespace
}  // namespace tarnwick
