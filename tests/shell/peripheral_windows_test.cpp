#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <functional>
#include <memory>

#include "base/interrupt_sources.h"
#include "core/machine.h"
#include "peripherals/io_registers.h"
#include "shell/adc_window.h"
#include "shell/ascii_chart_window.h"
#include "shell/rti_timer_window.h"
#include "shell/sci_window.h"
#include "shell/xirq_window.h"
#include "support/fake_host.h"

namespace tarnwick {
namespace {

using testing::FakeHost;

// A machine just after reset with the XIRQ vector set; run() ticks the peripherals as the
// run loops do, leaving the RTI and the timer unsettled for the windows to settle.
class PeripheralWindowsTest : public ::testing::Test {
  protected:
    PeripheralWindowsTest() {
        machine->poke(0xFFF4, 0x80);
        machine->poke(0xFFF5, 0x00);
        peripherals().resetRegisters();
    }

    Peripherals& peripherals() { return machine->peripherals; }
    void writeRegister(std::uint8_t index, std::uint8_t value) {
        peripherals().write8(kIoBase + index, value);
    }
    void run(std::uint32_t cycles, std::uint8_t stepCycles = 4) {
        for (std::uint32_t done = 0; done < cycles; done += stepCycles) {
            machine->cycleCounter += stepCycles;
            peripherals().tick(stepCycles);
        }
    }
    void takeInterrupts(InterruptSource source, int count) {
        for (int i = 0; i < count; ++i) peripherals().interruptTaken(source);
    }

    FakeHost host;
    std::unique_ptr<Machine> machine = std::make_unique<Machine>(host);
};

QString textOf(QWidget& window, const QString& name) {
    if (auto* label = window.findChild<QLabel*>(name)) return label->text();
    if (auto* button = window.findChild<QPushButton*>(name)) return button->text();
    ADD_FAILURE() << "no field " << name.toStdString();
    return {};
}

// Field name and the text it must show.
using Expected = std::vector<std::pair<const char*, const char*>>;

void expectTexts(QWidget& window, const Expected& expected) {
    for (const auto& [name, text] : expected)
        EXPECT_EQ(textOf(window, name), QString::fromUtf8(text)) << name;
}

TEST_F(PeripheralWindowsTest, RtiTimerWindowShowsTheResetStateAndTheSettledCounters) {
    TSubRTIForm window(*machine);
    EXPECT_EQ(window.objectName(), "SubRTIForm");
    EXPECT_EQ(window.windowTitle(), "RTI & Timer");
    expectTexts(window, {{"LRTIRemaining", "8192"},
                         {"LRTITimeOuts", "0"},
                         {"LRTIRate", "E/2^13"},
                         {"LRTII", "0"},
                         {"LRTIF", "0"},
                         {"ForceRTI", "Force &RTI TimeOut Now"},
                         {"LTCNT", "0000"},
                         {"LTCNTDec", "0"},
                         {"LTimerOverflow", "0"},
                         {"LPrescaler", "1"},
                         {"LTOI", "0"},
                         {"LTOF", "0"},
                         {"ForceTimer", "Force &Timer Overflow Now"}});

    // TOI, RTII and prescaler 4 while TMSK2's prescaler is still writable; RTI rate E/2^15.
    writeRegister(reg::kTmsk2, 0xC1);
    writeRegister(reg::kPactl, 0x02);
    run(1000);
    takeInterrupts(InterruptSource::RealTime, 1234);
    takeInterrupts(InterruptSource::TimerOverflow, 1000000);
    window.refresh();
    expectTexts(window, {{"LRTIRemaining", "31768"},
                         {"LRTITimeOuts", "1,234"},
                         {"LRTIRate", "E/2^15"},
                         {"LRTII", "1"},
                         {"LTCNT", "00FA"},
                         {"LTCNTDec", "250"},
                         {"LTimerOverflow", "1,000,000"},
                         {"LPrescaler", "4"},
                         {"LTOI", "1"}});
}

TEST_F(PeripheralWindowsTest, ForceButtonsRaiseTheRequestOnceUntilTheInterruptIsTaken) {
    const struct {
        const char* button;
        const char* normalCaption;
        const char* pendingCaption;
        const char* flag;
        const char* counterField;  // shows the forced timeout at once
        const char* forcedCount;
        const char* countField;
        InterruptSource source;
        std::function<bool(Peripherals&)> request;
    } cases[] = {
        {"ForceRTI", "Force &RTI TimeOut Now", "RTI Interrupt Pending...", "LRTIF", "LRTIRemaining",
         "0", "LRTITimeOuts", InterruptSource::RealTime,
         [](Peripherals& p) { return p.rti.request; }},
        {"ForceTimer", "Force &Timer Overflow Now", "Timer Interrupt Pending...", "LTOF", "LTCNT",
         "0000", "LTimerOverflow", InterruptSource::TimerOverflow,
         [](Peripherals& p) { return p.timer.request; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button);
        TSubRTIForm window(*machine);
        run(100);
        auto* button = window.findChild<QPushButton*>(c.button);
        button->click();
        EXPECT_TRUE(c.request(peripherals()));
        expectTexts(window,
                    {{c.button, c.pendingCaption}, {c.flag, "1"}, {c.counterField, c.forcedCount}});

        // The first step after the force takes the timeout; a second press must not force
        // another one on top of it.
        run(8);
        button->click();
        EXPECT_NE(textOf(window, c.counterField), c.forcedCount);
        EXPECT_EQ(textOf(window, c.button), c.pendingCaption);

        takeInterrupts(c.source, 1);
        window.refresh();
        expectTexts(window, {{c.button, c.normalCaption}, {c.countField, "1"}});
        peripherals().resetRegisters();
    }
}

TEST_F(PeripheralWindowsTest, SciWindowShowsTheHistoryOldestFirstAndTheFlags) {
    TSubSCIForm window(*machine);
    EXPECT_EQ(window.objectName(), "SubSCIForm");
    expectTexts(window, {{"TXBuf0", "FF"},
                         {"TXBuf0Char", "ÿ"},
                         {"TXBuf30", "FF"},
                         {"TXBuf31", "00"},
                         {"TXBuf31Char", "."},
                         {"TxTE", "0"},
                         {"TxTIE", "0"},
                         {"TxTDRE", "1"},
                         {"TxTCIE", "0"},
                         {"TxTC", "1"},
                         {"SCIHandler", "0"}});

    writeRegister(reg::kBaud, 0x00);          // 160 cycles a frame
    writeRegister(reg::kSccr2, 0x08 | 0x40);  // TE, TCIE
    for (const std::uint8_t byte : {0x48, 0x0D, 0x85, 0xE9}) {
        peripherals().read8(kIoBase + reg::kScsr);
        writeRegister(reg::kScdr, byte);
        run(160);
    }
    takeInterrupts(InterruptSource::Sci, 4096);
    window.refresh();
    expectTexts(window, {{"TXBuf0", "FF"},
                         {"TXBuf27", "00"},
                         {"TXBuf28", "48"},
                         {"TXBuf28Char", "H"},
                         {"TXBuf29", "0D"},
                         {"TXBuf29Char", "."},
                         {"TXBuf30", "85"},
                         {"TXBuf30Char", "."},
                         {"TXBuf31", "E9"},
                         {"TXBuf31Char", "é"},
                         {"TxTE", "1"},
                         {"TxTCIE", "1"},
                         {"TxTDRE", "1"},
                         {"TxTC", "1"},
                         {"SCIHandler", "4,096"}});
}

// The receiver's row appears only while an input is attached, and follows its flags.
TEST_F(PeripheralWindowsTest, SciWindowShowsTheReceiverWhileAnInputIsAttached) {
    TSubSCIForm window(*machine);
    QWidget* receiveFlag = window.findChild<QLabel*>("RxRDRF");
    ASSERT_NE(receiveFlag, nullptr);
    EXPECT_FALSE(receiveFlag->isVisibleTo(&window));

    SciReceiver& receiver = peripherals().sciReceiver;
    receiver.attachInput();
    writeRegister(reg::kBaud, 0x00);          // 160 cycles a frame
    writeRegister(reg::kSccr2, 0x04 | 0x20);  // RE, RIE
    receiver.queueInput('A');
    receiver.queueInput('B');
    window.refresh();
    EXPECT_TRUE(receiveFlag->isVisibleTo(&window));
    expectTexts(window,
                {{"RxRE", "1"}, {"RxRIE", "1"}, {"RxRDRF", "0"}, {"RxOR", "0"}, {"RxIDLE", "0"}});

    run(160);
    window.refresh();
    expectTexts(window, {{"RxRDRF", "1"}, {"RxOR", "0"}});
    run(160);  // B arrives before A was read
    window.refresh();
    expectTexts(window, {{"RxRDRF", "1"}, {"RxOR", "1"}});
    peripherals().read8(kIoBase + reg::kScsr);
    peripherals().read8(kIoBase + reg::kScdr);
    run(160);  // a frame of idle line after the data
    window.refresh();
    expectTexts(window, {{"RxRDRF", "0"}, {"RxOR", "0"}, {"RxIDLE", "1"}});

    receiver.detachInput();
    window.refresh();
    EXPECT_FALSE(receiveFlag->isVisibleTo(&window));
}

TEST_F(PeripheralWindowsTest, XirqButtonsHoldTheLineAsALevelOrAPulse) {
    const struct {
        const char* clicked;
        const char* other;
        const char* normalCaption;
        bool releasedByInterrupt;
    } cases[] = {{"BXIRQLevel", "BXIRQPulse", "XIRQ Low &Level Now", false},
                 {"BXIRQPulse", "BXIRQLevel", "XIRQ Low &Pulse Now", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.clicked);
        peripherals().resetRegisters();
        TIntrForm window(*machine);
        auto* clicked = window.findChild<QPushButton*>(c.clicked);
        auto* other = window.findChild<QPushButton*>(c.other);
        EXPECT_EQ(clicked->text(), c.normalCaption);

        clicked->click();
        EXPECT_TRUE(peripherals().xirqPending());
        EXPECT_EQ(clicked->text(), "&XIRQ Pending...");
        EXPECT_FALSE(other->isEnabled());

        // Showing the window again while the line is low keeps its mode.
        window.show();
        window.hide();
        takeInterrupts(InterruptSource::Xirq, 1);
        window.refresh();
        EXPECT_EQ(peripherals().xirqPending(), !c.releasedByInterrupt);
        EXPECT_EQ(textOf(window, "LXIRQHandler"), "1");

        if (!c.releasedByInterrupt) clicked->click();
        EXPECT_FALSE(peripherals().xirqPending());
        EXPECT_EQ(clicked->text(), c.normalCaption);
        EXPECT_TRUE(other->isEnabled());
    }
}

TEST_F(PeripheralWindowsTest, XirqButtonsAreDisabledWithoutAVector) {
    machine->poke(0xFFF4, 0xFF);
    machine->poke(0xFFF5, 0xFF);
    peripherals().resetRegisters();
    TIntrForm window(*machine);
    window.show();
    auto* level = window.findChild<QPushButton*>("BXIRQLevel");
    EXPECT_FALSE(level->isEnabled());
    EXPECT_FALSE(window.findChild<QPushButton*>("BXIRQPulse")->isEnabled());
    level->click();
    EXPECT_FALSE(peripherals().xirqPending());
}

TEST_F(PeripheralWindowsTest, AdcSlidersSetTheInputsAndTheResultsShowTheConversions) {
    TSubADCForm window(*machine);
    auto* slider = window.findChild<QSlider*>("ADCTrack1");
    auto* bit0 = window.findChild<QCheckBox*>("Bit0");
    expectTexts(window, {{"LPORTE", "FF"}, {"LADR1", "00"}, {"LVccTrack1", "0.000"}});
    EXPECT_FALSE(slider->isEnabled());
    EXPECT_TRUE(bit0->isEnabled());
    EXPECT_TRUE(bit0->isChecked());

    // Port E takes clicks only while the converter is off.
    bit0->click();
    EXPECT_EQ(peripherals().adc.portE(), 0xFE);
    expectTexts(window, {{"LPORTE", "FE"}});

    peripherals().adc.powered = true;
    window.refresh();
    EXPECT_TRUE(slider->isEnabled());
    EXPECT_FALSE(bit0->isEnabled());
    slider->setValue(255);
    window.findChild<QSlider*>("ADCTrack4")->setValue(0x3C);
    EXPECT_EQ(peripherals().adc.channelInputs[0], 255);
    expectTexts(window, {{"LHexTrack1", "FF"}, {"LDecTrack1", "255"}, {"LVccTrack1", "4.980"}});

    writeRegister(reg::kAdctl, 0x10);  // AN0-AN3 into ADR1-ADR4
    run(128);
    window.refresh();
    expectTexts(window, {{"LADR1", "FF"}, {"LADR4", "3C"}, {"LCCF", "1"}});

    // A reset keeps the inputs and the slider positions.
    peripherals().resetRegisters();
    window.refresh();
    EXPECT_EQ(slider->value(), 255);
    EXPECT_TRUE(bit0->isChecked());
    expectTexts(window, {{"LPORTE", "FF"}, {"LDecTrack1", "255"}});
}

TEST_F(PeripheralWindowsTest, VRefTakesDigitsAndAPointAndRecomputesOnEnter) {
    TSubADCForm window(*machine);
    peripherals().adc.powered = true;
    window.refresh();
    window.findChild<QSlider*>("ADCTrack1")->setValue(255);
    auto* vref = window.findChild<QLineEdit*>("ETrack1");
    EXPECT_EQ(vref->text(), "5.0");

    const struct {
        const char* keys;
        const char* shown;  // what the field holds after the keys and Enter
        const char* voltage;
    } cases[] = {{"1a2.5-", "12.5", "12.451"},
                 {"999999", "99999", "99,608.379"},
                 {"", "0", "0.000"},
                 {"5", "5", "4.980"}};
    for (const auto& c : cases) {
        vref->clear();
        QTest::keyClicks(vref, c.keys);
        QTest::keyClick(vref, Qt::Key_Return);
        EXPECT_EQ(vref->text(), c.shown) << c.keys;
        EXPECT_EQ(textOf(window, "LVccTrack1"), c.voltage) << c.keys;
    }
    EXPECT_TRUE(host.messages.empty());

    // Not a number: reported, and the voltages stay as they were.
    vref->clear();
    QTest::keyClicks(vref, "1.2.3");
    QTest::keyClick(vref, Qt::Key_Return);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].kind, FakeHost::Message::Error);
    EXPECT_EQ(host.messages[0].text, "'1.2.3' is not a valid floating point value");
    EXPECT_EQ(textOf(window, "LVccTrack1"), "4.980");
    EXPECT_EQ(vref->text(), "1.2.3");
}

TEST(AsciiChartTest, CellsShowNamesOrCharactersWithTheCodeAsTooltip) {
    TASCIIForm window;
    const struct {
        const char* cell;
        const char* text;
        const char* toolTip;
    } cases[] = {{"ASCII00", "NUL", "H'00', D'0'"},  {"ASCII1B", "ESC", "H'1B', D'27'"},
                 {"ASCII1F", "US", "H'1F', D'31'"},  {"ASCII20", "SP", "H'20', D'32'"},
                 {"ASCII27", "'", "H'27', D'39'"},   {"ASCII4A", "J", "H'4A', D'74'"},
                 {"ASCII7F", "DEL", "H'7F', D'127'"}};
    for (const auto& c : cases) {
        auto* cell = window.findChild<QLabel*>(c.cell);
        ASSERT_NE(cell, nullptr) << c.cell;
        EXPECT_EQ(cell->text(), c.text);
        EXPECT_EQ(cell->toolTip(), c.toolTip);
    }
}

TEST_F(PeripheralWindowsTest, ClosingAWindowReportsIt) {
    std::vector<std::unique_ptr<QWidget>> windows;
    windows.push_back(std::make_unique<TSubRTIForm>(*machine));
    windows.push_back(std::make_unique<TSubSCIForm>(*machine));
    windows.push_back(std::make_unique<TSubADCForm>(*machine));
    windows.push_back(std::make_unique<TIntrForm>(*machine));
    windows.push_back(std::make_unique<TASCIIForm>());
    for (const auto& window : windows) {
        QSignalSpy closed(window.get(), SIGNAL(closed()));
        window->show();
        window->close();
        EXPECT_EQ(closed.count(), 1) << window->objectName().toStdString();
    }
}

}  // namespace
}  // namespace tarnwick
