#pragma once

class QWidget;

namespace tarnwick {

// While `widget` has the focus, the shortcuts of its own actions come before the main menu's
// application-wide ones with the same keys (a list's Ctrl+C copies the list, not the editor's
// selection). Without this, two matching shortcuts would both be refused as ambiguous. Giving
// it twice changes nothing.
void giveOwnShortcutsPriority(QWidget& widget);

}  // namespace tarnwick
