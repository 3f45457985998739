#include "project/desktop.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "project/temp_directory.h"

namespace tarnwick {
namespace {

using testing::readText;
using testing::TempDirectory;
using testing::writeText;

TEST(DesktopTest, SavedDesktopReadsBackAndKeepsTheOtherSections) {
    TempDirectory directory;
    const auto path = directory / "demo.pro";
    writeText(path, "[FORMS]\nOld=1\n[CPU]\nXTAL=4 MHz\n");
    Desktop desktop;
    desktop[DesktopWindow::Ram] = WindowPlacement{0, 0, 300, 400, WindowState::Maximized};
    desktop[DesktopWindow::SubSci] = WindowPlacement{100, 120, {}, {}, WindowState::Normal};
    desktop[DesktopWindow::Project] = WindowPlacement{5, 6, 200, 250, WindowState::Minimized};
    desktop.projectTab = "TabWatches";
    saveDesktop(path, desktop, true);
    EXPECT_EQ(readText(path),
              "[FORMS]\nProForm=5 6 200 250 1\nProFormTab=TabWatches\n"
              "RAMForm=0 0 300 400 2\nSubSCIForm=100 120 0\n[CPU]\nXTAL=4 MHz\n");
    const DesktopReadResult read = readDesktop(path);
    EXPECT_TRUE(read.ok()) << read.error;
    EXPECT_EQ(read.desktop, desktop);

    saveDesktop(path, desktop, false);
    EXPECT_EQ(readText(path), "[CPU]\nXTAL=4 MHz\n");
    EXPECT_EQ(readDesktop(path).desktop, Desktop());
}

TEST(DesktopTest, MalformedValueEndsTheReadWithAConversionError) {
    const struct {
        std::string forms;
        std::string error;     // after "<file>: [FORMS] "
        std::size_t restored;  // windows read before the bad entry
    } cases[] = {
        {"ProForm=1 2 3 4 0\nRAMForm=1 2 3 0\n", "RAMForm=1 2 3 0: 5 numbers needed, 4 found", 1},
        {"SubRTIForm=10 x 0\n", "SubRTIForm=10 x 0: 'x' is not a valid integer value", 0},
        {"ROMForm=1 2 3 4 5\n", "ROMForm=1 2 3 4 5: window state 5 is not 0, 1 or 2", 0},
        {"IntrForm=\n", "IntrForm=: 3 numbers needed, 0 found", 0},
        {"ProForm=\nEditorForm=1 2 3 4 1.5\n",
         "EditorForm=1 2 3 4 1.5: '1.5' is not a valid integer value", 0},
    };
    for (const auto& c : cases) {
        const DesktopReadResult read =
            readDesktop(IniDocument::parse("[FORMS]\n" + c.forms), "C:/work/demo.pro");
        EXPECT_EQ(read.error, "C:/work/demo.pro: [FORMS] " + c.error);
        EXPECT_EQ(std::ranges::count_if(read.desktop.windows,
                                        [](const auto& w) { return w.has_value(); }),
                  static_cast<long>(c.restored))
            << c.forms;
    }
}

}  // namespace
}  // namespace tarnwick
