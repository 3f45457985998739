#pragma once

#include <QIcon>
#include <string_view>

class QToolBar;

namespace tarnwick {

// The glyph of the tool button that shares the handler's command: the desktop icon theme's
// where it has a fitting one (document-new, edit-undo, ...), otherwise ours; the debugger's
// commands always show ours. Ours are installed into the hicolor theme as "tarnwick-..." and
// built into the program, for a program that runs uninstalled. Null for another handler.
QIcon toolIcon(std::string_view handler);

// The tool buttons show their glyphs, with the captions as hints, or only the captions.
void showToolBarCaptions(QToolBar& bar, bool captionsOnly);

}  // namespace tarnwick
