#include <cstdint>
#include <vector>

#include "peripherals_fixture.h"

namespace tarnwick {
namespace {

class SciTest : public PeripheralsTest {
  protected:
    SciTest() {
        peripherals.onSciFrameTransmitted = [this](std::uint8_t byte) { sent.push_back(byte); };
        peripherals.write8(0x102D, 0x08);
    }

    void send(std::uint8_t byte) {
        peripherals.read8(0x102E);
        peripherals.write8(0x102F, byte);
    }
    bool tdre() { return reg(reg::kScsr) & 0x80; }
    bool tc() { return reg(reg::kScsr) & 0x40; }
    std::uint8_t latest() { return peripherals.sci.historyInWindowOrder(31); }

    std::vector<std::uint8_t> sent;
};

TEST_F(SciTest, FrameTimingFollowsBaudIndex) {
    struct Case {
        std::uint8_t baud;
        std::uint32_t frame;
    };
    constexpr Case kCases[] = {{0x00, 160}, {0x10, 480}, {0x20, 640}, {0x30, 2080}, {0x37, 266240}};
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.frame);
        peripherals.write8(0x102B, c.baud);
        send('A');
        EXPECT_FALSE(tdre() || tc());
        run(c.frame / 2 - 1);
        EXPECT_FALSE(tdre());
        run(1);
        EXPECT_TRUE(tdre() && peripherals.sci.tdreRequest);
        run(c.frame / 2 - 1);
        EXPECT_NE(latest(), 'A');
        EXPECT_FALSE(tc());
        run(1);
        EXPECT_EQ(latest(), 'A');
        EXPECT_TRUE(tc() && peripherals.sci.tcRequest);
        EXPECT_FALSE(peripherals.sci.transmitting);
        run(c.frame);  // idle: nothing more is sent
        EXPECT_EQ(sent, std::vector<std::uint8_t>{'A'});
        peripherals.resetRegisters();
        peripherals.write8(0x102D, 0x08);
        sent.clear();
    }
}

TEST_F(SciTest, HistoryStartsWithFFsAndAppendsOldestFirst) {
    for (std::uint8_t slot = 0; slot < 31; ++slot)
        EXPECT_EQ(peripherals.sci.historyInWindowOrder(slot), 0xFF);
    EXPECT_EQ(latest(), 0x00);
    send('x');
    run(160);
    EXPECT_EQ(peripherals.sci.historyInWindowOrder(30), 0x00);
    EXPECT_EQ(latest(), 'x');
}

TEST_F(SciTest, ByteQueuedAfterMidpointFollowsBackToBack) {
    send('A');
    run(80);
    send('B');
    EXPECT_EQ(peripherals.sci.dataLatch, 'B');
    for (int cycle = 0; cycle < 239; ++cycle) {
        run(1);
        ASSERT_FALSE(tc()) << "cycle " << cycle;
    }
    EXPECT_EQ(sent, std::vector<std::uint8_t>{'A'});
    run(1);
    EXPECT_EQ(sent, (std::vector<std::uint8_t>{'A', 'B'}));
    EXPECT_TRUE(tc());
}

TEST_F(SciTest, ByteWrittenBeforeMidpointIsDropped) {
    send('A');
    run(40);
    send('B');
    run(320);
    EXPECT_EQ(sent, std::vector<std::uint8_t>{'A'});
}

TEST_F(SciTest, RemainderOfAFrameCarriesIntoTheNextOne) {
    send('A');
    run(84, 6);  // the 14th 6-cycle step passes the midpoint
    send('B');
    run(78, 6);  // at 162 cycles 'A' ends with 2 cycles of 'B' already done
    EXPECT_EQ(sent.size(), 1u);
    EXPECT_EQ(peripherals.sci.bitClock, 2u);

    run(162, 6);  // 'B' ends at clock 164 and leaves 4 cycles on the idle clock
    ASSERT_TRUE(tc());
    send('C');  // a frame started from idle begins at 0
    run(79);
    EXPECT_FALSE(tdre());
    run(1);
    EXPECT_TRUE(tdre());
}

TEST_F(SciTest, BaudWriteMidFrameRestartsTheBitClock) {
    send('A');
    run(60);
    peripherals.write8(0x102B, 0x00);
    run(79);
    EXPECT_FALSE(tdre());
    run(1);
    EXPECT_TRUE(tdre());
}

TEST_F(SciTest, ClearingTePausesTheTransmitter) {
    peripherals.write8(0x102D, 0x00);
    send('A');
    run(1000);
    EXPECT_TRUE(sent.empty());
    EXPECT_FALSE(tdre());
    peripherals.write8(0x102D, 0x08);
    run(160);
    EXPECT_EQ(sent, std::vector<std::uint8_t>{'A'});
}

TEST_F(SciTest, BreakSendsZeroFramesUntilReset) {
    peripherals.write8(0x102D, 0x09);
    EXPECT_TRUE(tc() && peripherals.sci.tcRequest);
    peripherals.write8(0x102D, 0x08);  // clearing SBK does not end the break
    run(80);
    send('A');  // accepted into the data latch, but dropped
    run(400);
    EXPECT_EQ(sent, (std::vector<std::uint8_t>{0, 0, 0}));
    EXPECT_EQ(latest(), 0x00);

    peripherals.resetRegisters();
    peripherals.write8(0x102D, 0x08);
    run(400);
    EXPECT_EQ(sent.size(), 3u);
}

TEST_F(SciTest, BreakDuringAFrameFinishesTheByteFirst) {
    send('A');
    run(10);
    peripherals.write8(0x102D, 0x09);
    run(310);
    EXPECT_EQ(sent, (std::vector<std::uint8_t>{'A', 0}));
}

TEST_F(SciTest, InterruptConditionFollowsRequestsAndEnables) {
    struct Case {
        std::uint8_t sccr2;
        bool due;
    };
    // After reset TDRE and TC are both set; a request is raised by writing the enable with TE.
    constexpr Case kCases[] = {{0x08, false}, {0x80, false}, {0x88, true}, {0x48, true}};
    for (const Case& c : kCases) {
        peripherals.resetRegisters();
        peripherals.write8(0x102D, c.sccr2);
        EXPECT_EQ(peripherals.sciInterruptDue(), c.due) << "SCCR2 " << int(c.sccr2);
    }

    peripherals.write8(0x102D, 0xC8);
    send('A');
    EXPECT_FALSE(peripherals.sciInterruptDue());
    run(80);
    EXPECT_TRUE(peripherals.sciInterruptDue());  // TDRE at the midpoint
    peripherals.interruptTaken(InterruptSource::Sci);
    EXPECT_TRUE(peripherals.sci.tdreRequest);  // taking it clears nothing
    EXPECT_EQ(peripherals.sci.interruptCount(), 1u);

    peripherals.write8(0x102D, 0x48);  // TC alone
    EXPECT_FALSE(peripherals.sciInterruptDue());
    run(80);
    EXPECT_TRUE(peripherals.sciInterruptDue());
}

}  // namespace
}  // namespace tarnwick
