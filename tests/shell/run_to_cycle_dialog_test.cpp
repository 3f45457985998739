#include "shell/run_to_cycle_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "support/fake_host.h"

namespace tarnwick {
namespace {

using testing::FakeHost;

QLineEdit* cycleField(QWidget& dialog) {
    return dialog.findChild<QLineEdit*>("ECycle");
}

TEST(RunToCycleDialogTest, ShowsTheCurrentCycleAndAnEmptyTenDigitBox) {
    FakeHost host;
    TRunToCycleDlg dialog(1234567, host);
    EXPECT_EQ(dialog.windowTitle(), "Run Free to Cycle");
    EXPECT_EQ(dialog.findChild<QLabel*>("LCurrentCycle")->text(), "1,234,567");
    QLineEdit* field = cycleField(dialog);
    ASSERT_NE(field, nullptr);
    EXPECT_TRUE(field->text().isEmpty());
    EXPECT_EQ(dialog.focusWidget(), field);
    EXPECT_EQ(field->font(), QFontDatabase::systemFont(QFontDatabase::FixedFont));

    const std::pair<const char*, const char*> typed[] = {
        {"4711", "4711"}, {"12ab-3.4", "1234"}, {"123456789012", "1234567890"}};
    for (const auto& [keys, shown] : typed) {
        field->clear();
        QTest::keyClicks(field, keys);
        EXPECT_EQ(field->text(), shown) << keys;
    }
}

// Runs askRunToCycleTarget, with `answer` acting on the dialog once it is shown.
std::optional<std::uint32_t> ask(FakeHost& host, std::function<void(QDialog&)> answer) {
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        answer(*dialog);
        if (dialog->isVisible()) dialog->reject();
    });
    return askRunToCycleTarget(100, host, nullptr);
}

TEST(RunToCycleDialogTest, OkGivesTheClampedTargetAndCancelRunsNothing) {
    const struct {
        const char* text;
        std::uint32_t target;
    } cases[] = {{"", 0}, {"250", 250}, {"4294967295", 4294967295u}, {"9999999999", 4294967295u}};
    for (const auto& c : cases) {
        FakeHost host;
        const auto target = ask(host, [&](QDialog& dialog) {
            cycleField(dialog)->setText(c.text);
            dialog.findChild<QPushButton*>("OKBtn")->click();
        });
        EXPECT_EQ(target, c.target) << "\"" << c.text << "\"";
    }

    FakeHost host;
    const auto cancelled = ask(host, [](QDialog& dialog) {
        cycleField(dialog)->setText("250");
        dialog.findChild<QPushButton*>("CancelBtn")->click();
    });
    EXPECT_EQ(cancelled, std::nullopt);
}

TEST(RunToCycleDialogTest, TextThatIsNoNumberIsReportedAndKeptOpen) {
    FakeHost host;
    TRunToCycleDlg dialog(0, host);
    dialog.show();
    // Past the key filter, which keeps such text out of the box.
    cycleField(dialog)->setValidator(nullptr);
    cycleField(dialog)->setText("12x");
    dialog.findChild<QPushButton*>("OKBtn")->click();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.target(), std::nullopt);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].kind, FakeHost::Message::Error);
    EXPECT_NE(host.messages[0].text.find("12x"), std::string::npos);
    EXPECT_EQ(cycleField(dialog)->text(), "12x");

    cycleField(dialog)->setText("12");
    dialog.findChild<QPushButton*>("OKBtn")->click();
    EXPECT_EQ(dialog.target(), 12u);
    EXPECT_FALSE(dialog.isVisible());
}

}  // namespace
}  // namespace tarnwick
