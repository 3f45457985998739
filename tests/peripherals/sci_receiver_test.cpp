#include <cstdint>
#include <initializer_list>
#include <stdexcept>

#include "peripherals_fixture.h"

namespace tarnwick {
namespace {

constexpr std::uint8_t kRdrf = 0x20;
constexpr std::uint8_t kIdle = 0x10;
constexpr std::uint8_t kOverrun = 0x08;

// An attached receiver with RE set at the fastest rate: a frame is 160 cycles.
class SciReceiverTest : public PeripheralsTest {
  protected:
    SciReceiverTest() {
        receiver().attachInput();
        peripherals.write8(0x102D, 0x04);
    }

    SciReceiver& receiver() { return peripherals.sciReceiver; }
    void queue(std::initializer_list<std::uint8_t> bytes) {
        for (const std::uint8_t byte : bytes) receiver().queueInput(byte);
    }
    std::uint8_t receiveFlags() { return reg(reg::kScsr) & (kRdrf | kIdle | kOverrun); }
    // The clearing sequence: SCSR, then SCDR, both as a program reads them.
    std::uint8_t readByte() {
        peripherals.read8(0x102E);
        return peripherals.read8(0x102F);
    }
    void raiseAlone(std::uint8_t flag);
};

TEST_F(SciReceiverTest, BytesArriveOneFrameApartThenTheIdleLineSetsIdle) {
    struct Case {
        std::uint8_t baud;
        std::uint32_t frame;
    };
    for (const Case c : {Case{0x00, 160}, Case{0x30, 2080}}) {
        SCOPED_TRACE(c.frame);
        peripherals.write8(0x102B, c.baud);
        queue({'A', 'B'});
        EXPECT_EQ(receiver().queuedInputCount(), 2u);
        run(c.frame - 1);
        EXPECT_EQ(receiveFlags(), 0);
        run(1);
        EXPECT_EQ(receiveFlags(), kRdrf);
        EXPECT_TRUE(receiver().rdrf());
        EXPECT_EQ(receiver().queuedInputCount(), 1u);
        EXPECT_EQ(readByte(), 'A');
        EXPECT_EQ(receiveFlags(), 0);

        run(c.frame - 1);  // back to back: no idle line between the two
        EXPECT_EQ(receiveFlags(), 0);
        run(1);
        EXPECT_EQ(readByte(), 'B');
        run(c.frame - 1);
        EXPECT_FALSE(receiver().idle());
        run(1);
        EXPECT_EQ(receiveFlags(), kIdle);
        EXPECT_EQ(readByte(), 'B');  // clears IDLE; SCDR still holds the last byte
        run(4 * c.frame);            // IDLE comes once per received data
        EXPECT_EQ(receiveFlags(), 0);
    }
}

TEST_F(SciReceiverTest, ByteArrivingWhileRdrfIsSetIsLostAndSetsOverrun) {
    queue({'A', 'B', 'C'});
    run(2 * 160);
    EXPECT_EQ(receiveFlags(), kRdrf | kOverrun);
    EXPECT_TRUE(receiver().overrun());
    EXPECT_EQ(reg(reg::kScdr), 'A');
    EXPECT_EQ(readByte(), 'A');  // clears both
    EXPECT_EQ(receiveFlags(), 0);
    run(160);
    EXPECT_EQ(readByte(), 'C');
}

TEST_F(SciReceiverTest, OnlyFlagsSeenByAnScsrReadAreClearedByTheScdrRead) {
    queue({'A'});
    run(160);
    peripherals.read8(0x102F);  // SCDR alone
    EXPECT_EQ(receiveFlags(), kRdrf);
    EXPECT_EQ(peripherals.read16(0x102E), 0xE041);  // SCSR:SCDR as a word: no side effects
    EXPECT_EQ(receiveFlags(), kRdrf);

    peripherals.read8(0x102E);  // sees RDRF
    queue({'B'});
    run(160);  // B arrives between the two reads: OR was not seen
    EXPECT_EQ(peripherals.read8(0x102F), 'A');
    EXPECT_EQ(receiveFlags(), kOverrun);
    EXPECT_EQ(readByte(), 'A');
    EXPECT_EQ(receiveFlags(), 0);
}

TEST_F(SciReceiverTest, BytesWaitWhileReIsClear) {
    peripherals.write8(0x102D, 0x00);
    queue({'A', 'B'});
    run(1000);
    EXPECT_EQ(receiveFlags(), 0);
    EXPECT_EQ(receiver().queuedInputCount(), 2u);

    peripherals.write8(0x102D, 0x04);
    run(100);
    peripherals.write8(0x102D, 0x00);  // abandons the frame: A stays first in the queue
    run(1000);
    peripherals.write8(0x102D, 0x04);
    run(159);
    EXPECT_EQ(receiveFlags(), 0);
    run(1);
    EXPECT_EQ(readByte(), 'A');
    EXPECT_EQ(receiver().queuedInputCount(), 1u);
}

TEST_F(SciReceiverTest, ByteQueuedBetweenStepsArrivesAFrameLater) {
    // The countdown holds unsettled cycles when the byte comes: its frame starts there.
    for (int i = 0; i < 37; ++i) peripherals.tick(3);
    queue({'A'});
    for (int i = 0; i < 53; ++i) peripherals.tick(3);  // 159 cycles
    peripherals.settle();
    EXPECT_EQ(receiveFlags(), 0);
    peripherals.tick(1);
    peripherals.settle();
    EXPECT_EQ(receiveFlags(), kRdrf);
    EXPECT_EQ(peripherals.read16(0x100E), 271);  // and the timer lost none of the cycles

    queue({'B'});  // during the idle watch: the line is busy again, IDLE waits
    run(160);
    EXPECT_EQ(receiveFlags(), kRdrf | kOverrun);
    run(159);
    EXPECT_FALSE(receiver().idle());
    run(1);
    EXPECT_TRUE(receiver().idle());
}

// Leaves the one receive flag set.
void SciReceiverTest::raiseAlone(std::uint8_t flag) {
    queue({'A'});
    if (flag == kOverrun) {
        queue({'B'});
        run(160);
        peripherals.read8(0x102E);  // sees RDRF alone
        run(160);
        peripherals.read8(0x102F);  // clears RDRF, not the overrun that came since
    } else if (flag == kIdle) {
        run(160);
        readByte();
        run(160);
    } else {
        run(160);
    }
}

TEST_F(SciReceiverTest, InterruptsByRieAndIlieOnTheSciVectorAfterTheTimers) {
    struct Case {
        std::uint8_t sccr2;
        std::uint8_t flag;
        bool due;
    };
    constexpr Case kCases[] = {
        {0x04, kRdrf, false},    {0x24, kRdrf, true},  {0x14, kRdrf, false}, {0x24, kOverrun, true},
        {0x14, kOverrun, false}, {0x24, kIdle, false}, {0x14, kIdle, true},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(::testing::Message() << "SCCR2 " << int(c.sccr2) << " flag " << int(c.flag));
        peripherals.resetRegisters();
        peripherals.write8(0x102D, c.sccr2);
        raiseAlone(c.flag);
        ASSERT_EQ(receiveFlags(), c.flag);
        EXPECT_EQ(peripherals.sciInterruptDue(), c.due);
        readByte();
        EXPECT_EQ(receiveFlags(), 0);
        EXPECT_FALSE(peripherals.sciInterruptDue());
    }

    // The SCI comes after the RTI and the timer overflow; taking it clears nothing.
    peripherals.write8(0x102D, 0x24);
    queue({'A'});
    run(160);
    peripherals.write8(0x1024, 0xC0);  // RTII and TOI
    peripherals.rti.request = peripherals.timer.request = true;
    EXPECT_EQ(peripherals.dueMaskableInterrupt(), InterruptSource::RealTime);
    peripherals.write8(0x1025, 0x40);
    EXPECT_EQ(peripherals.dueMaskableInterrupt(), InterruptSource::TimerOverflow);
    peripherals.write8(0x1025, 0x80);
    EXPECT_EQ(peripherals.dueMaskableInterrupt(), InterruptSource::Sci);
    peripherals.interruptTaken(InterruptSource::Sci);
    EXPECT_TRUE(receiver().rdrf());
    EXPECT_EQ(peripherals.sci.interruptCount(), 1u);
}

TEST_F(SciReceiverTest, ReceivingLeavesTheTransmitterItsOwnDataRegister) {
    std::uint8_t sent = 0;
    peripherals.onSciFrameTransmitted = [&sent](std::uint8_t byte) { sent = byte; };
    peripherals.write8(0x102D, 0x0C);  // TE and RE
    queue({'r'});
    run(10);
    peripherals.read8(0x102E);
    peripherals.write8(0x102F, 't');
    run(160);
    EXPECT_EQ(sent, 't');
    EXPECT_EQ(readByte(), 'r');
}

TEST_F(SciReceiverTest, InputQueuedFromInsideAStepIsRefused) {
    // An echo wired to the transmitter would start its frame at no definite time.
    peripherals.onSciFrameTransmitted = [this](std::uint8_t byte) { receiver().queueInput(byte); };
    peripherals.write8(0x102D, 0x0C);
    peripherals.read8(0x102E);
    peripherals.write8(0x102F, 'e');
    EXPECT_THROW(run(160), std::logic_error);
}

TEST_F(SciReceiverTest, ResetClearsFlagsAndReAndKeepsTheQueue) {
    queue({'A', 'B'});
    run(2 * 160);
    ASSERT_EQ(receiveFlags(), kRdrf | kOverrun);
    queue({'C'});
    run(100);
    peripherals.resetRegisters();
    EXPECT_EQ(receiveFlags(), 0);
    EXPECT_FALSE(peripherals.sciInterruptDue());
    EXPECT_EQ(reg(reg::kScdr), 0xFF);
    run(1000);
    EXPECT_EQ(receiver().queuedInputCount(), 1u);
    EXPECT_TRUE(receiver().inputAttached());
    peripherals.write8(0x102D, 0x04);
    run(160);
    EXPECT_EQ(readByte(), 'C');
}

TEST_F(SciReceiverTest, DetachedReceiverChangesNothing) {
    queue({'A', 'B'});
    run(2 * 160);
    peripherals.write8(0x102D, 0x34);  // RE, RIE, ILIE
    receiver().detachInput();
    EXPECT_FALSE(receiver().inputAttached());
    EXPECT_EQ(receiveFlags(), 0);
    EXPECT_EQ(receiver().queuedInputCount(), 0u);
    EXPECT_FALSE(peripherals.sciInterruptDue());

    queue({'C'});  // nothing is connected
    EXPECT_EQ(receiver().queuedInputCount(), 0u);
    reg(reg::kScdr) = 0x5A;
    run(1000);
    EXPECT_EQ(peripherals.read8(0x102E), 0xC0);
    EXPECT_EQ(peripherals.read8(0x102F), 0x5A);  // the stored cell
    EXPECT_EQ(receiveFlags(), 0);
    EXPECT_FALSE(peripherals.sciInterruptDue());
}

}  // namespace
}  // namespace tarnwick
