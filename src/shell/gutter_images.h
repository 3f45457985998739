#pragma once

#include <QImage>

namespace tarnwick {

// Side of the square gutter images, in pixels.
inline constexpr int kGutterImageSize = 16;

// The gutter image of one line-marker bit (0-11): a dot for a code line, a red disc for a
// breakpoint, a counter glyph, an arrow for the execution point, numbered flags for
// bookmarks 1-8. Transparent outside the drawing.
QImage gutterImage(int markerBit);

}  // namespace tarnwick
