#include "shell/sci_terminal_window.h"

#include <gtest/gtest.h>

#include <QTest>
#include <memory>
#include <string>

#include "core/machine.h"
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

}  // namespace
}  // namespace tarnwick
