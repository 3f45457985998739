#include "shell/help_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace tarnwick {
namespace {

void writeFile(const QString& path, const QByteArray& text) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

TEST(HelpWindowTest, HelpFileIsTakenFromTheInstallationFirstThenFromTheSourceTree) {
    QTemporaryDir root;
    const QString programDirectory = root.filePath(QStringLiteral("usr/bin"));
    const QString installed = root.filePath(QStringLiteral("usr/share/tarnwick/help.html"));
    const QString sourceDirectory = root.filePath(QStringLiteral("src"));
    const QString inSourceTree = root.filePath(QStringLiteral("src/docs/help.html"));

    EXPECT_EQ(findHelpFile(programDirectory, sourceDirectory), installed) << "neither exists";
    writeFile(inSourceTree, "<p>guide</p>");
    EXPECT_EQ(findHelpFile(programDirectory, sourceDirectory), inSourceTree);
    writeFile(installed, "<p>guide</p>");
    EXPECT_EQ(findHelpFile(programDirectory, sourceDirectory), installed);
}

TEST(HelpWindowTest, ShowsTheGuideOrSaysWhichFileIsMissing) {
    QTemporaryDir root;
    const QString helpFile = root.filePath(QStringLiteral("help.html"));

    const THelpForm missing(helpFile);
    EXPECT_EQ(missing.browser()->toPlainText(),
              QStringLiteral("The help file %1 was not found.").arg(helpFile));

    writeFile(helpFile, "<html><body><h1>Breakpoints</h1><p>F5 toggles one.</p></body></html>");
    const THelpForm shown(helpFile);
    EXPECT_EQ(shown.browser()->toPlainText(), QStringLiteral("Breakpoints\nF5 toggles one."));
}

// Esc closes the window even while the main menu's Esc (Program Pause) is enabled.
TEST(HelpWindowTest, EscCloses) {
    QWidget mainWindow;
    QAction pause(&mainWindow);
    pause.setShortcut(QKeySequence(Qt::Key_Escape));
    pause.setShortcutContext(Qt::ApplicationShortcut);
    mainWindow.addAction(&pause);
    int pauses = 0;
    QObject::connect(&pause, &QAction::triggered, [&] { ++pauses; });

    THelpForm form(QStringLiteral("/nonexistent/help.html"));
    form.show();
    QApplication::setActiveWindow(&form);
    form.browser()->setFocus();
    QTest::keyClick(form.browser(), Qt::Key_Escape);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(pauses, 0);
}

// The guide that ships with the program is found from the build tree and is well formed
// enough for the browser to show its title.
TEST(HelpWindowTest, ShippedGuideLoads) {
    const QString sourceDirectory = qEnvironmentVariable("TARNWICK_SOURCE_DIR");
    if (sourceDirectory.isEmpty()) GTEST_SKIP() << "TARNWICK_SOURCE_DIR is not set";
    const THelpForm form(findHelpFile(QStringLiteral("/nonexistent/bin"), sourceDirectory));
    EXPECT_EQ(form.browser()->documentTitle(), QStringLiteral("Tarnwick Help"));
    EXPECT_TRUE(form.browser()->toPlainText().contains(QStringLiteral("Trace Into")));
}

}  // namespace
}  // namespace tarnwick
