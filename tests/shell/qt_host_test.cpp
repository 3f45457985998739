#include "shell/qt_host.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>
#include <vector>

namespace tarnwick {
namespace {

struct ShownMessage {
    MessageBoxKind kind;
    QString text;
    bool operator==(const ShownMessage&) const = default;
};

TEST(QtHostTest, MessagesReachTheBoxWithTheirKindAndTextAndYesNoReturnsTheAnswer) {
    QtHost host;
    std::vector<ShownMessage> shown;
    bool answer = false;
    host.setMessageBox([&](MessageBoxKind kind, const QString& text) {
        shown.push_back({kind, text});
        return answer;
    });

    EXPECT_FALSE(host.warnYesNo("Invalid memory access at 1000"));
    answer = true;
    EXPECT_TRUE(host.warnYesNo("Invalid memory access at 1000"));
    host.showWarning("Bookmark is full");
    host.showError("Debug session in progress - Debug|Stop");
    host.showInformation("Größe: 4 KB");

    const std::vector<ShownMessage> expected = {
        {MessageBoxKind::YesNoWarning, QStringLiteral("Invalid memory access at 1000")},
        {MessageBoxKind::YesNoWarning, QStringLiteral("Invalid memory access at 1000")},
        {MessageBoxKind::Warning, QStringLiteral("Bookmark is full")},
        {MessageBoxKind::Error, QStringLiteral("Debug session in progress - Debug|Stop")},
        {MessageBoxKind::Information, QStringLiteral("Größe: 4 KB")},
    };
    EXPECT_EQ(shown, expected);
}

// A queued call runs only when the host really pumps the application's events.
TEST(QtHostTest, EventsArePumpedAtMostOnceInTenMilliseconds) {
    QtHost host;
    qint64 now = 1000;
    host.setClock([&] { return now; });
    int pumped = 0;
    const auto callAt = [&](qint64 time) {
        now = time;
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [&] { ++pumped; }, Qt::QueuedConnection);
        host.processEvents();
    };

    callAt(1000);
    EXPECT_EQ(pumped, 1) << "the first call pumps";
    callAt(1009);
    EXPECT_EQ(pumped, 1) << "9 ms later: too soon";
    callAt(1010);
    EXPECT_EQ(pumped, 3) << "10 ms after the last pump: both waiting calls run";
    callAt(1015);
    EXPECT_EQ(pumped, 3);
    // The call still waiting refers to pumped: it runs here, not in a later test.
    QCoreApplication::processEvents();
}

TEST(QtHostTest, RefreshTimerSwitchIsForwardedAndOptional) {
    QtHost host;
    host.setRefreshTimerActive(true);  // nothing connected yet: no effect, no failure
    std::vector<bool> switches;
    host.setRefreshTimerSwitch([&](bool active) { switches.push_back(active); });
    host.setRefreshTimerActive(false);
    host.setRefreshTimerActive(true);
    EXPECT_EQ(switches, (std::vector<bool>{false, true}));
}

TEST(QtHostTest, SeparatorsFollowTheLocale) {
    const struct {
        QLocale locale;
        std::string thousands;
        std::string decimal;
    } cases[] = {
        {QLocale(QLocale::English, QLocale::UnitedStates), ",", "."},
        {QLocale(QLocale::German, QLocale::Germany), ".", ","},
        {QLocale(QLocale::German, QLocale::Switzerland), "’", "."},
    };
    for (const auto& c : cases) {
        QtHost host(nullptr, c.locale);
        EXPECT_EQ(host.thousandsSeparator(), c.thousands) << c.locale.name().toStdString();
        EXPECT_EQ(host.decimalSeparator(), c.decimal) << c.locale.name().toStdString();
    }
}

TEST(QtHostTest, TimeSeedFollowsTheClock) {
    QtHost host;
    const std::uint32_t first = host.timeSeed();
    QThread::msleep(3);
    EXPECT_NE(host.timeSeed(), first);
}

}  // namespace
}  // namespace tarnwick
