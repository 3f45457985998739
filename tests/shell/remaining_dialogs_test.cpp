#include <Qsci/qscilexer.h>
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <fstream>
#include <functional>

#include "disasm/binary_export.h"
#include "project/temp_directory.h"
#include "shell/benchmark_dialog.h"
#include "shell/editor_page.h"
#include "shell/editor_window.h"
#include "shell/environment_dialog.h"
#include "shell/qt_settings_store.h"
#include "shell/save_to_binary_dialog.h"
#include "support/fake_host.h"

namespace tarnwick {
namespace {

using testing::FakeHost;

// Every read is 300 ms after the previous one, so each test runs ten batches; before the
// time moves on, `onRead` looks at the window.
class ScriptedClock : public BenchmarkClock {
  public:
    std::function<void()> onRead;
    std::uint64_t elapsedMilliseconds() override {
        if (onRead) onRead();
        return now_ += kBenchmarkTickMilliseconds;
    }

  private:
    std::uint64_t now_ = 0;
};

QString resultText(QWidget& dialog, std::size_t test) {
    const std::string_view name = kBenchmarkTests[test].resultLabel;
    return dialog.findChild<QLabel*>(QString::fromLatin1(name.data(), name.size()))->text();
}

TEST(BenchmarkDialogTest, RunsOnceShownAndEnablesCloseOnlyAfterTheLastTest) {
    FakeHost host;
    Machine machine(host);
    ScriptedClock clock;
    TBenchNoDlg dialog(machine, clock);
    auto* close = dialog.findChild<QPushButton*>("BClose");
    for (std::size_t test = 0; test < kBenchmarkTests.size(); ++test)
        EXPECT_EQ(resultText(dialog, test), "Waiting...");

    // While a test runs: the ones before it show results, it shows "testing...", the ones
    // after it still wait, and the window cannot be closed.
    int wrongViews = 0;
    clock.onRead = [&] {
        std::size_t running = 0;
        while (running < kBenchmarkTests.size() && resultText(dialog, running) == "3000") ++running;
        bool right = running < kBenchmarkTests.size() &&
                     resultText(dialog, running) == "testing..." && !close->isEnabled();
        for (std::size_t later = running + 1; later < kBenchmarkTests.size(); ++later)
            right = right && resultText(dialog, later) == "Waiting...";
        if (!right) ++wrongViews;
    };
    dialog.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return close->isEnabled(); }));
    EXPECT_EQ(wrongViews, 0);
    for (std::size_t test = 0; test < kBenchmarkTests.size(); ++test)
        EXPECT_EQ(resultText(dialog, test), "3000") << kBenchmarkTests[test].caption;

    dialog.close();
    dialog.reject();
    EXPECT_TRUE(dialog.isVisible());
    close->click();
    EXPECT_FALSE(dialog.isVisible());
}

// Runs the EPROM dialog, with `answer` acting on it once it is shown.
std::optional<std::size_t> chooseEprom(std::function<void(QDialog&)> answer) {
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        answer(*dialog);
        if (dialog->isVisible()) dialog->reject();
    });
    return epromDialog(nullptr)();
}

TEST(SaveToBinaryDialogTest, AnswersTheChosenEpromAndNothingOnCancel) {
    const auto pressOk = [](QDialog& dialog) { dialog.findChild<QPushButton*>("OKBtn")->click(); };
    EXPECT_EQ(chooseEprom(pressOk), 0u);

    const auto buttons = [](QDialog& dialog) { return dialog.findChildren<QRadioButton*>(); };
    EXPECT_EQ(chooseEprom([&](QDialog& dialog) {
                  ASSERT_EQ(buttons(dialog).size(), kEpromChoices.size());
                  EXPECT_EQ(buttons(dialog)[6]->text(), "D000-FFFF (M68HC(7)11E9)");
                  buttons(dialog)[6]->click();
                  pressOk(dialog);
              }),
              6u);
    EXPECT_EQ(chooseEprom([&](QDialog& dialog) {
                  buttons(dialog)[3]->click();
                  dialog.findChild<QPushButton*>("CancelBtn")->click();
              }),
              std::nullopt);
}

// An editor window with one assembly file open, and the stores the dialog writes.
class EnvironmentDialogTest : public ::testing::Test {
  protected:
    EnvironmentDialogTest() : store(toQString(directory.path() / "settings.ini")) {
        std::ofstream(file) << "        LDAA    #$01\n";
        editor.open(file);
    }

    TEnviDlg* dialog() {
        dialog_ = std::make_unique<TEnviDlg>(
            EnvironmentTargets{settings, store, editor, host, &save, &toolBar});
        return dialog_.get();
    }
    template <typename T>
    T* control(const char* name) {
        return dialog_->findChild<T*>(name);
    }
    QCheckBox* check(const QString& caption) {
        for (QCheckBox* box : dialog_->findChildren<QCheckBox*>())
            if (box->text() == caption) return box;
        return nullptr;
    }
    void selectElement(const QString& entry) {
        auto* list = control<QListWidget>("CElement");
        list->setCurrentItem(list->findItems(entry, Qt::MatchExactly).front());
    }

    testing::TempDirectory directory;
    std::filesystem::path file = directory.path() / "prog.asm";
    FakeHost host;
    Settings settings;
    QtSettingsStore store;
    TEditor editor;
    QAction save;
    QToolBar toolBar;
    std::unique_ptr<TEnviDlg> dialog_;
};

TEST_F(EnvironmentDialogTest, OkStoresThePreferencesAndOptionsAndAppliesTheScheme) {
    TEnviDlg* d = dialog();
    for (QRadioButton* radio : d->findChildren<QRadioButton*>())
        if (radio->text() == "Error only") radio->setChecked(true);
    control<QCheckBox>("PCBDesktop")->setChecked(false);
    control<QCheckBox>("PCBToolBarText")->setChecked(true);
    EXPECT_TRUE(check("Show line numbers")->isChecked()) << "on from the first start";
    check("Show line numbers")->setChecked(false);
    control<QComboBox>("CKeyMapping")->setCurrentText("Classic");

    auto* font = control<QComboBox>("CFont");
    font->setCurrentText("Fixedsys");
    auto* size = control<QComboBox>("CSize");
    ASSERT_EQ(size->count(), 1);
    EXPECT_EQ(size->currentText(), "9");

    control<QComboBox>("CSetting")->setCurrentText("Twilight");
    selectElement("Breakpoint");
    for (const char* attribute : {"Bold", "Italic", "Underline"})
        EXPECT_FALSE(check(attribute)->isEnabled()) << attribute;
    selectElement("Comment");
    EXPECT_TRUE(check("Italic")->isChecked());
    control<QComboBox>("FGColor")->setCurrentText("Red");
    check("Bold")->click();

    control<QPushButton>("OKBtn")->click();
    EXPECT_EQ(d->result(), QDialog::Accepted);

    EXPECT_EQ(settings.goToNextWarning, JumpTargets::ErrorOnly);
    EXPECT_FALSE(settings.autosaveDesktop);
    EXPECT_EQ(settings.colorSetting, "Twilight");
    EXPECT_EQ(store.readInt(kGoToNextWarningKey), 1);
    EXPECT_EQ(store.readBool(kAutosaveDesktopKey), false);
    EXPECT_TRUE(settings.toolBarTextOnly);
    EXPECT_EQ(store.readBool(kToolBarTextOnlyKey), true);
    EXPECT_EQ(toolBar.toolButtonStyle(), Qt::ToolButtonTextOnly);
    EXPECT_EQ(store.readString(kColorSettingKey), "Twilight");
    EXPECT_EQ(save.shortcut(), QKeySequence(Qt::Key_F2));

    // The editor options are kept in the same store as the preferences.
    const EditorOptions stored =
        loadEditorOptions(QtSettingsStore(toQString(directory / "settings.ini")));
    EXPECT_EQ(stored.fontName, "Fixedsys");
    EXPECT_EQ(stored.fontSize, 9);
    EXPECT_FALSE(stored.showLineNumbers);
    EXPECT_EQ(stored.keyMapping, "Classic");
    const TextStyle& comment = stored.styles[kCommentStyle];
    EXPECT_EQ(comment.text, QColor(Qt::red));
    EXPECT_EQ(comment.background, QColor(Qt::black));
    EXPECT_TRUE(comment.bold && comment.italic);
    // A style the element list does not offer takes the scheme's plain colours.
    EXPECT_EQ(stored.styles[kUrlStyle].background, QColor(Qt::black));
    EXPECT_EQ(stored.styles[kUrlStyle].text, QColor(Qt::white));

    EditorPage* page = editor.page(file);
    ASSERT_NE(page, nullptr);
    ASSERT_NE(page->lexer(), nullptr);
    EXPECT_EQ(page->lexer()->defaultPaper(), QColor(Qt::black));
    EXPECT_EQ(page->lexer()->defaultColor(), QColor(Qt::white));
    EXPECT_EQ(page->marginWidth(0), 0) << "no line numbers";

    // The next opening shows what was stored; "Default" mapping gives Ctrl+S back.
    dialog();
    EXPECT_EQ(control<QComboBox>("CSetting")->currentText(), "Twilight");
    EXPECT_EQ(control<QComboBox>("CFont")->currentText(), "Fixedsys");
    EXPECT_FALSE(control<QCheckBox>("PCBDesktop")->isChecked());
    EXPECT_TRUE(control<QCheckBox>("PCBToolBarText")->isChecked());
    control<QComboBox>("CKeyMapping")->setCurrentText("Default");
    control<QPushButton>("OKBtn")->click();
    EXPECT_EQ(save.shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
}

TEST_F(EnvironmentDialogTest, CancelAndRefusedNumbersStoreNothing) {
    const struct {
        const char* field;
        const char* text;
    } refused[] = {{"ETabStops", ""},
                   {"ETabStops", "8 x"},
                   {"ETabStops", "0"},
                   {"EBlockIndent", ""},
                   {"EMarginPosition", ""}};
    for (const auto& c : refused) {
        host.messages.clear();
        dialog();
        control<QComboBox>("CSetting")->setCurrentText("Classic");
        control<QLineEdit>(c.field)->setText(c.text);
        control<QPushButton>("OKBtn")->click();
        EXPECT_NE(dialog_->result(), QDialog::Accepted) << c.field << " \"" << c.text << "\"";
        ASSERT_EQ(host.messages.size(), 1u) << c.field << " \"" << c.text << "\"";
        EXPECT_EQ(host.messages[0].kind, FakeHost::Message::Error);
    }

    dialog();
    control<QComboBox>("CSetting")->setCurrentText("Classic");
    control<QPushButton>("CancelBtn")->click();

    EXPECT_EQ(settings.colorSetting, "Default");
    EXPECT_EQ(store.readString(kColorSettingKey), std::nullopt);
    EXPECT_FALSE(store.programKeyExists()) << "nothing was written";
    EXPECT_EQ(editor.page(file)->lexer()->defaultPaper(), QColor(Qt::white));
}

}  // namespace
}  // namespace tarnwick
