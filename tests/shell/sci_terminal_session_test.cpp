#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include "shell/main_form_fixture.h"
#include "shell/sci_terminal_view.h"
#include "shell/sci_terminal_window.h"

namespace tarnwick {
namespace {

// Prints a prompt, then sends back every byte it receives, letters upper-cased and CR
// followed by LF, polling RDRF and TDRE.
constexpr std::string_view kEchoSource = R"(REGS    EQU     $1000
BAUD    EQU     $2B
SCCR2   EQU     $2D
SCSR    EQU     $2E
SCDR    EQU     $2F
        ORG     $E000
START   LDS     #$00FF
        LDX     #REGS
        CLR     BAUD,X
        LDAA    #$0C            TE and RE
        STAA    SCCR2,X
        LDY     #BANNER
SHOW    LDAA    0,Y
        BEQ     LOOP
        BSR     PUTC
        INY
        BRA     SHOW
LOOP    BRCLR   SCSR,X,#$20,LOOP
        LDAA    SCDR,X
        CMPA    #'a'
        BLO     SEND
        CMPA    #'z'
        BHI     SEND
        SUBA    #$20
SEND    BSR     PUTC
        CMPA    #$0D
        BNE     LOOP
        LDAA    #$0A
        BSR     PUTC
        BRA     LOOP
PUTC    BRCLR   SCSR,X,#$80,PUTC
        STAA    SCDR,X
        RTS
BANNER  FCC     "Echo ready"
        FCB     $0D,$0A,'>',' ',0
        ORG     $FFFE
        FDB     START
)";

constexpr std::string_view kEchoProject = R"([PROJECT]
Format=ASM11

[CPU]
Type=M68HC11E1
XTAL=8 MHz
RMem=E000 FFFF
RWMem=0000 00FF
IOMem=1000 103F
Random Memory=0

[FILES]
Count=1
File0=echo.asm
)";

// A session of the echo program with the SCI terminal open.
class SciTerminalSessionTest : public testing::MainFormTest {
  protected:
    void SetUp() override {
        MainFormTest::SetUp();
        if (HasFatalFailure()) return;
        testing::writeText(directory / "echo.asm", std::string(kEchoSource));
        testing::writeText(directory / "echo.pro", std::string(kEchoProject));
        const testing::ToolRun build = testing::runTool(directory.path(), ASM11_PATH, "echo.asm");
        ASSERT_EQ(build.status, 0) << build.output;
        form->show();  // the menus' shortcuts work while their menu bar is shown
        form->openProject(directory / "echo.pro");
        trigger("DebugStartClick");
        ASSERT_TRUE(form->debugger().inSession()) << messages.join("\n").toStdString();
        trigger("SubSCITermClick");
        for (QWidget* window : QApplication::topLevelWidgets())
            if (auto* terminal = qobject_cast<TSubSCITermForm*>(window)) screen = terminal->view();
        ASSERT_NE(screen, nullptr);
        ASSERT_TRUE(screen->window()->isVisible());
        QApplication::setActiveWindow(screen->window());
        screen->setFocus();
    }

    SciTerminalView* screen = nullptr;
};

// Everything happens inside the run (F9): once the prompt shows, the keys are typed, the
// answer shows on the screen and Esc typed into the terminal pauses the run, all from the
// events the run lets through. (Keys typed before the program reads would overrun it.)
TEST_F(SciTerminalSessionTest, TheProgramAnswersKeysTypedWhileItRunsFreely) {
    bool typed = false;
    bool answered = false;
    bool pausedByEsc = true;
    QElapsedTimer sinceEsc;
    QTimer watcher;
    watcher.setInterval(20);
    QObject::connect(&watcher, &QTimer::timeout, screen, [&] {
        const QString shown = screen->toPlainText();
        if (!typed && shown == "Echo ready\n> ") {
            typed = true;
            QTest::keyClicks(screen, "hello");
            QTest::keyClick(screen, Qt::Key_Return);
        } else if (!answered && shown.contains("> HELLO\n")) {
            answered = true;
            sinceEsc.start();
            QTest::keyClick(screen, Qt::Key_Escape);
        } else if (sinceEsc.isValid() && sinceEsc.elapsed() > 5000) {
            pausedByEsc = false;
            form->debugger().pause();
        }
    });
    // Should the program never answer, the run still ends.
    QTimer::singleShot(20000, screen, [this] { form->debugger().pause(); });
    watcher.start();
    trigger("DebugRunClick");
    watcher.stop();

    EXPECT_TRUE(typed);
    EXPECT_TRUE(answered);
    EXPECT_TRUE(pausedByEsc);
    EXPECT_FALSE(form->debugger().commandInProgress());
    EXPECT_EQ(screen->toPlainText(), "Echo ready\n> HELLO\n");
    EXPECT_TRUE(messages.isEmpty()) << messages.join("\n").toStdString();
}

}  // namespace
}  // namespace tarnwick
