#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QPixmap>
#include <memory>

#include "project/temp_directory.h"
#include "shell/editor_page.h"
#include "shell/editor_window.h"
#include "shell/fake_editor_dialogs.h"

namespace tarnwick {
namespace {

// The window drawn offscreen: the line styles' colours across the lines and the gutter images
// beside them. With TARNWICK_EDITOR_PICTURE set the picture is also written to that PNG file.
TEST(EditorWindowPicture, DrawsLineStylesAndGutterImages) {
    testing::TempDirectory directory;
    const auto file = directory / "counter.asm";
    testing::writeText(file,
                       "; counts on port B\n"
                       "#INCLUDE \"hc11.inc\" ;registers\n"
                       "        ORG $F800\n"
                       "start   LDS #$00FF\n"
                       "        CLRA\n"
                       "loop    INCA\n"
                       "        STAA $1004\n"
                       "        JSR delay\n"
                       "        BRA loop\n"
                       "delay   LDX #1000\n"
                       "wait    DEX\n"
                       "        BNE wait\n"
                       "        RTS\n"
                       "        FCC \"done\"\n"
                       "        ORG $FFFE\n"
                       "        FDB start\n");
    TEditor editor(std::make_unique<testing::FakeEditorDialogs>());
    editor.resize(760, 560);
    editor.setLineNumbersShown(true);
    ASSERT_TRUE(editor.open(file));

    struct Mark {
        int line;
        MarkerBits markers;
        LineStyle style;
    };
    const Mark marks[] = {
        {3, kCodeLineMarker, LineStyle::Whitespace},
        {4, kCodeLineMarker | kBreakpointMarker, LineStyle::BreakPoint},
        {5, kCodeLineMarker | kCounterMarker, LineStyle::Counter},
        {6, kCodeLineMarker | kBreakpointMarker | kExecutionPointMarker, LineStyle::ExecutionPoint},
        {7, kCodeLineMarker | bookmarkMarker(1), LineStyle::Bookmark},
        {8, kCodeLineMarker | kBreakpointMarker | kCounterMarker | bookmarkMarker(2),
         LineStyle::BreakPoint},
        {9, kCodeLineMarker, LineStyle::ErrorLine},
        {10, kCodeLineMarker | bookmarkMarker(8), LineStyle::Bookmark},
    };
    for (const Mark& mark : marks) {
        editor.setMarkers(file, mark.line, mark.markers);
        editor.setLineStyle(file, mark.line, mark.style);
    }
    editor.setStatusText(kCyclePanel, "1,234 cycles");
    editor.setStatusText(kTimePanel, "617 us");
    editor.setStatusText(kStatusPanel, "Tracing Into... (ESC to pause)");
    editor.showMessagePanel({"counter.asm(8): Undefined symbol", "counter.asm(12): warning"});
    editor.show();
    QCoreApplication::processEvents();

    const QImage picture = editor.grab().toImage();
    if (const QByteArray path = qgetenv("TARNWICK_EDITOR_PICTURE"); !path.isEmpty())
        picture.save(QString::fromLocal8Bit(path), "PNG");

    EditorPage* page = editor.page(file);
    auto lineMiddle = [&](int line) {
        const long position = page->SendScintilla(QsciScintilla::SCI_POSITIONFROMLINE, line);
        return page->SendScintilla(QsciScintilla::SCI_POINTYFROMPOSITION, 0UL, position) +
               page->SendScintilla(QsciScintilla::SCI_TEXTHEIGHT, line) / 2;
    };
    auto colourAt = [&](int x, long y) {
        return picture.pixelColor(page->viewport()->mapTo(&editor, QPoint(x, static_cast<int>(y))));
    };
    auto marginWidth = [&](int margin) {
        return static_cast<int>(page->SendScintilla(QsciScintilla::SCI_GETMARGINWIDTHN, margin));
    };

    // Past the end of each line's text, the style's background fills the line.
    const int pastText = page->viewport()->width() - 20;
    struct LineColour {
        int line;
        QColor background;
    } lineColours[] = {
        {3, Qt::white},          {4, QColor(0xFF, 0, 0)},       {5, QColor(0xFF, 0, 0xFF)},
        {6, QColor(0, 0, 0x80)}, {7, QColor(0xC0, 0xC0, 0xC0)}, {9, QColor(0x80, 0, 0)}};
    for (const LineColour& expected : lineColours)
        EXPECT_EQ(colourAt(pastText, lineMiddle(expected.line)), expected.background)
            << "line " << expected.line;

    // The first symbol margin: the breakpoint disc, and the arrow drawn over it.
    const int debugMarginCentre = marginWidth(0) + marginWidth(1) / 2;
    EXPECT_EQ(colourAt(debugMarginCentre, lineMiddle(4)), QColor(0xFF, 0, 0));
    EXPECT_EQ(colourAt(debugMarginCentre, lineMiddle(6)), QColor(0, 0xFF, 0));
}

}  // namespace
}  // namespace tarnwick
