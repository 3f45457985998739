#include "shell/gutter_images.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include "debugger/source_editor.h"

namespace tarnwick {

namespace {

constexpr double kCentre = kGutterImageSize / 2.0;

void drawCodeLineDot(QPainter& painter) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x00, 0x80, 0x00));
    painter.drawEllipse(QPointF(kCentre, kCentre), 2.5, 2.5);
}

void drawBreakpointDisc(QPainter& painter) {
    painter.setPen(QPen(QColor(0x80, 0x00, 0x00), 1.0));
    painter.setBrush(QColor(0xFF, 0x00, 0x00));
    painter.drawEllipse(QPointF(kCentre, kCentre), 6.0, 6.0);
}

// A tally: three strokes crossed by a fourth on a fuchsia tile.
void drawCounterGlyph(QPainter& painter) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xFF, 0x00, 0xFF));
    painter.drawRoundedRect(QRectF(2, 2, 12, 12), 2, 2);
    painter.setPen(QPen(Qt::white, 1.4));
    for (double x : {5.0, 8.0, 11.0}) painter.drawLine(QPointF(x, 4.5), QPointF(x, 11.5));
    painter.drawLine(QPointF(3.5, 10.5), QPointF(12.5, 5.5));
}

// A right-pointing arrow, outlined so that it stays visible over a breakpoint disc.
void drawExecutionArrow(QPainter& painter) {
    const QPolygonF arrow{{2, 5.5}, {8, 5.5}, {8, 2}, {14.5, 8}, {8, 14}, {8, 10.5}, {2, 10.5}};
    painter.setPen(QPen(Qt::black, 1.0));
    painter.setBrush(QColor(0x00, 0xFF, 0x00));
    painter.drawPolygon(arrow);
}

void drawBookmarkFlag(QPainter& painter, int number) {
    painter.setPen(QPen(QColor(0x40, 0x40, 0x40), 1.0));
    painter.setBrush(QColor(0xC0, 0xC0, 0xC0));
    painter.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 2, 2);
    QFont font;
    font.setPixelSize(11);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QRectF(0, 0, kGutterImageSize, kGutterImageSize), Qt::AlignCenter,
                     QString::number(number));
}

}  // namespace

QImage gutterImage(int markerBit) {
    QImage image(kGutterImageSize, kGutterImageSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const MarkerBits bit = static_cast<MarkerBits>(1u << markerBit);
    if (bit == kCodeLineMarker) {
        drawCodeLineDot(painter);
    } else if (bit == kBreakpointMarker) {
        drawBreakpointDisc(painter);
    } else if (bit == kCounterMarker) {
        drawCounterGlyph(painter);
    } else if (bit == kExecutionPointMarker) {
        drawExecutionArrow(painter);
    } else if (bit & kAnyBookmarkMarker) {
        drawBookmarkFlag(painter, markerBit - 3);
    }
    return image;
}

}  // namespace tarnwick
