// A program that takes the bytes the host types through the SCI's receive interrupt, while
// the run loop runs and pumps events.
#include <gtest/gtest.h>

#include "core/run_loops.h"
#include "program_fixture.h"

namespace tarnwick::testing {
namespace {

// main:    LDS #$01FF / LDX #$1000 / LDAA #$2C / STAA SCCR2,X (RIE, TE, RE) / CLI / BRA *
// handler: LDAA SCSR,X / LDAA SCDR,X / LDY $40 / STAA 0,Y / INY / STY $40 / RTI
class SciReceiveRunTest : public ProgramFixture {
  protected:
    SciReceiveRunTest() {
        load(kStart,
             {0x8E, 0x01, 0xFF, 0xCE, 0x10, 0x00, 0x86, 0x2C, 0xA7, 0x2D, 0x0E, 0x20, 0xFE});
        load(0xC000, {0xA6, 0x2E, 0xA6, 0x2F, 0x18, 0xDE, 0x40, 0x18, 0xA7, 0x00, 0x18, 0x08, 0x18,
                      0xDF, 0x40, 0x3B});
        setWord(0xFFD6, 0xC000);
        setWord(0x0040, 0x0100);
        resetWithStack();
    }
};

TEST_F(SciReceiveRunTest, BytesTypedDuringARunReachTheReceiveInterrupt) {
    SciReceiver& receiver = machine->peripherals.sciReceiver;
    receiver.attachInput();
    int pumps = 0;
    host.onProcessEvents = [&] {
        ++pumps;
        if (pumps == 2)
            for (const char c : std::string("hi!"))
                receiver.queueInput(static_cast<std::uint8_t>(c));
        if (pumps == 3) receiver.queueInput('\r');  // while the others are still arriving
        if (pumps == 20) machine->requests.stop = true;
    };
    run(*machine);
    EXPECT_EQ(machine->peek16(0x0040), 0x0104);
    EXPECT_EQ(machine->peek(0x0100), 'h');
    EXPECT_EQ(machine->peek(0x0101), 'i');
    EXPECT_EQ(machine->peek(0x0102), '!');
    EXPECT_EQ(machine->peek(0x0103), '\r');
    EXPECT_EQ(machine->peripherals.sci.interruptCount(), 4u);
    EXPECT_EQ(receiver.queuedInputCount(), 0u);
}

}  // namespace
}  // namespace tarnwick::testing
