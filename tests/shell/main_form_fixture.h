#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QStringList>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "integration/tool_run.h"
#include "project/settings.h"
#include "project/temp_directory.h"
#include "shell/main_form.h"

namespace tarnwick::testing {

// The main window over the sum example, assembled by asm11 in a directory of its own, with
// its settings in a file there and every message box answered by the test.
class MainFormTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* source = std::getenv("TARNWICK_SOURCE_DIR");
        const std::filesystem::path example =
            std::filesystem::path(source ? source : ".") / "examples" / "sum";
        for (const char* name : {"sum.asm", "sum.pro"})
            std::filesystem::copy_file(example / name, directory / name);
        const ToolRun build = runTool(directory.path(), ASM11_PATH, "sum.asm");
        ASSERT_EQ(build.status, 0) << build.output;

        const QString settings = QString::fromStdString((directory / "settings.ini").string());
        QtSettingsStore store(settings);
        store.writeString(kAssemblerPathKey, ASM11_PATH);
        store.writeBool(kAutosaveDesktopKey, true);
        form = std::make_unique<TMainForm>(
            MainFormSetup{std::make_unique<QtSettingsStore>(settings), QString(), QString()});
        form->host().setMessageBox([this](MessageBoxKind, const QString& text) {
            messages << text;
            return answer;
        });
    }
    void TearDown() override {
        if (form && form->debugger().inSession()) form->debugger().startOrStop();
    }

    QString field(const char* name) const { return form->findChild<QLabel*>(name)->text(); }
    bool red(const char* name) const {
        return form->findChild<QLabel*>(name)->palette().color(QPalette::WindowText) == Qt::red;
    }
    void trigger(std::string_view handler) { form->action(handler)->trigger(); }
    template <typename Window>
    static Window* topLevel(const char* name) {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->objectName() == name) return qobject_cast<Window*>(window);
        return nullptr;
    }

    TempDirectory directory;
    std::unique_ptr<TMainForm> form;
    QStringList messages;
    bool answer = true;
};

}  // namespace tarnwick::testing
