#include "shell/sci_terminal_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <memory>
#include <string>

#include "core/machine.h"
#include "peripherals/io_registers.h"
#include "peripherals/register_bits.h"
#include "shell/sci_terminal_view.h"
#include "support/fake_host.h"

namespace tarnwick {
namespace {

class SciTerminalWindowTest : public ::testing::Test {
  protected:
    void feed(std::string_view bytes) {
        for (const char byte : bytes) terminal.feed(static_cast<std::uint8_t>(byte));
    }
    // What the terminal holds, as the screen should show it.
    QString expectedScreen() const {
        QStringList lines;
        for (std::size_t i = 0; i < terminal.lineCount(); ++i) {
            const std::string_view line = terminal.line(i);
            lines << QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size()));
        }
        return lines.join(QLatin1Char('\n'));
    }

    testing::FakeHost host;
    std::unique_ptr<Machine> machine = std::make_unique<Machine>(host);
    SciTerminal terminal;
    TSubSCITermForm window{*machine, terminal};
};

// The screen redraws only what changed; after every kind of change it must still show
// exactly what the terminal holds.
TEST_F(SciTerminalWindowTest, TheScreenFollowsTheTerminalThroughEveryKindOfChange) {
    SciTerminalView* screen = window.view();
    EXPECT_EQ(window.windowTitle(), "SCI Terminal");
    EXPECT_EQ(screen->toPlainText(), "");

    const std::string manyLines = [] {
        std::string text;
        for (std::size_t i = 0; i < SciTerminal::kKeptLines + 30; ++i)
            text += "line " + std::to_string(i) + "\r\n";
        return text;
    }();
    const struct {
        const char* what;
        std::string bytes;
    } steps[] = {
        {"a banner", "Monitor \xE9 1.0\r\n> "},
        {"more on the same line", "help"},
        {"the line overwritten", "\r> dump\r\n"},
        {"lines beyond what is kept", manyLines},
        {"a line moved down by LF alone", "ab\ncd\x1B"},
        {"a line longer than the screen", "\r\n" + std::string(SciTerminal::kColumns + 3, '#')},
    };
    for (const auto& step : steps) {
        feed(step.bytes);
        window.refresh();
        EXPECT_EQ(screen->toPlainText(), expectedScreen()) << step.what;
        EXPECT_EQ(screen->blockCount(), static_cast<int>(terminal.lineCount())) << step.what;
    }
    EXPECT_TRUE(screen->toPlainText().endsWith("ab\n  cd<1B>\n" +
                                               QString(SciTerminal::kColumns, u'#') + "\n###"));

    terminal.clear();
    feed("after the clear");
    window.refresh();
    EXPECT_EQ(screen->toPlainText(), "after the clear");
}

// The keys typed into the open window reach the program as a receiver at 160 E cycles a
// frame hands them over; the program's menu shortcuts (Ctrl+C is Copy) do not take the keys
// the terminal sends, and those it does not send (Esc pauses a run) keep working.
TEST_F(SciTerminalWindowTest, KeysTypedIntoTheOpenWindowReachTheProgram) {
    Peripherals& peripherals = machine->peripherals;
    SciReceiver& receiver = peripherals.sciReceiver;
    SciTerminalView* screen = window.view();
    const auto shortcut = [this](const QKeySequence& keys) {
        auto* action = new QAction(&window);
        action->setShortcut(keys);
        action->setShortcutContext(Qt::ApplicationShortcut);
        window.addAction(action);
        return std::make_unique<QSignalSpy>(action, &QAction::triggered);
    };
    const auto copy = shortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    const auto pause = shortcut(QKeySequence(Qt::Key_Escape));

    EXPECT_FALSE(receiver.inputAttached());
    window.show();
    QApplication::setActiveWindow(&window);
    screen->setFocus();
    ASSERT_TRUE(receiver.inputAttached());

    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char* text;  // what the keyboard reports, UTF-8
        QByteArray sent;
    } keys[] = {
        {Qt::Key_H, Qt::ShiftModifier, "H", "H"},
        {Qt::Key_I, Qt::NoModifier, "i", "i"},
        {Qt::Key_Return, Qt::NoModifier, "\r", "\r"},
        {Qt::Key_Enter, Qt::KeypadModifier, "\r", "\r"},
        {Qt::Key_Backspace, Qt::NoModifier, "\b", "\b"},
        {Qt::Key_Tab, Qt::NoModifier, "\t", "\t"},
        {Qt::Key_Delete, Qt::NoModifier, "\x7F", "\x7F"},
        {Qt::Key_C, Qt::ControlModifier, "\x03", "\x03"},
        {Qt::Key_Eacute, Qt::NoModifier, "\u00E9", "\xE9"},
        {Qt::Key_Escape, Qt::NoModifier, "\x1B", ""},
        {Qt::Key_F9, Qt::NoModifier, "", ""},
        {Qt::Key_X, Qt::AltModifier, "x", ""},
        {Qt::Key_unknown, Qt::NoModifier, "\u20AC", ""},  // the euro sign is not Latin-1
    };
    QByteArray expected;
    for (const auto& k : keys) {
        QTest::sendKeyEvent(QTest::Click, screen, k.key, QString::fromUtf8(k.text), k.modifiers);
        expected += k.sent;
    }
    EXPECT_EQ(copy->count(), 0);
    EXPECT_EQ(pause->count(), 1);
    EXPECT_TRUE(screen->hasFocus()) << "Tab stays in the terminal";
    ASSERT_EQ(receiver.queuedInputCount(), static_cast<std::size_t>(expected.size()));
    window.refresh();
    EXPECT_EQ(window.findChild<QLabel*>("LQueued")->text(), QString::number(expected.size()));
    EXPECT_EQ(window.findChild<QLabel*>("LRE")->text(), "0");

    peripherals.write8(kIoBase + reg::kBaud, 0x00);
    peripherals.write8(kIoBase + reg::kSccr2, bit::kTe.mask | bit::kRe.mask);
    QByteArray received;
    for (int step = 0; step < 1000 && received.size() < expected.size(); ++step) {
        machine->cycleCounter += 4;
        peripherals.tick(4);
        if (bit::kRdrf.isSetIn(peripherals.read8(kIoBase + reg::kScsr)))
            received += static_cast<char>(peripherals.read8(kIoBase + reg::kScdr));
    }
    EXPECT_EQ(received, expected);
    window.refresh();
    EXPECT_EQ(window.findChild<QLabel*>("LQueued")->text(), "0");
    EXPECT_EQ(window.findChild<QLabel*>("LRE")->text(), "1");

    // Closed, the window takes its input away; a key reaching it then goes nowhere.
    window.close();
    EXPECT_FALSE(receiver.inputAttached());
    QTest::keyClick(screen, Qt::Key_A);
    EXPECT_EQ(receiver.queuedInputCount(), 0u);
}

}  // namespace
}  // namespace tarnwick
