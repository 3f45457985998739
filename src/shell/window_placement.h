#pragma once

#include <QRect>

class QWidget;

namespace tarnwick {

// Places a top-level window by its frame, title bar included: the frame's top-left corner at
// the rectangle's, the frame as wide (and, for a height above 0, as high) as the rectangle;
// with a height of 0 the inside keeps its height. The frame's width is known only once the
// window manager has framed the shown window, so the window is placed again then, once.
void placeFrame(QWidget& window, const QRect& frame);

// The screen's work area (without the desktop's panels) below the frame of `top`, where a
// window the program opens maximised goes so that it leaves `top` in sight.
QRect workAreaBelow(const QWidget& top);

// A frame of `size`, cut to the area, in the middle of it.
QRect centredFrame(const QRect& area, QSize size);

// Makes `window` a tool window of `owner`: the window manager keeps it above the owner, so
// the project window and the tool windows stay in sight over the editor. A window whose
// layout fixes its size offers no maximise button.
void makeToolWindowOf(QWidget& window, QWidget& owner);

}  // namespace tarnwick
