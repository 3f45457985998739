#include "debugger/bookmarks.h"

#include <algorithm>

namespace tarnwick {

void Bookmarks::free(int k) {
    slots_[k - 1] = {};
}

void Bookmarks::forgetClosedFiles() {
    for (int k = 1; k <= kBookmarkSlots; ++k)
        if (slot(k).inUse() && !editor_.isOpen(slot(k).file)) free(k);
}

void Bookmarks::toggle() {
    const auto file = editor_.activeFile();
    if (!file) return;
    const int line = editor_.caretLine();
    forgetClosedFiles();

    const auto onLine = std::find_if(slots_.begin(), slots_.end(), [&](const BOOKMARK& b) {
        return b.inUse() && b.file == *file && b.line == line;
    });
    if (onLine != slots_.end()) {
        // The line may carry a bookmark that moved there by an edit; the lowest one goes.
        const MarkerBits markers = editor_.markers(*file, line);
        int k = static_cast<int>(onLine - slots_.begin()) + 1;
        for (int candidate = 1; candidate <= kBookmarkSlots; ++candidate) {
            if (markers & bookmarkMarker(candidate)) {
                k = candidate;
                break;
            }
        }
        removeMarkers(editor_, *file, line, bookmarkMarker(k));
        free(k);
    } else {
        const auto freeSlot = std::find_if(slots_.begin(), slots_.end(),
                                           [](const BOOKMARK& b) { return !b.inUse(); });
        if (freeSlot == slots_.end()) {
            host_.showInformation("Bookmark is full");
            return;
        }
        const int k = static_cast<int>(freeSlot - slots_.begin()) + 1;
        addMarkers(editor_, *file, line, bookmarkMarker(k));
        *freeSlot = {*file, line};
    }
    restyleLine(editor_, *file, line);
}

void Bookmarks::goTo(int k) {
    if (k < 1 || k > kBookmarkSlots || !slot(k).inUse()) return;
    const BOOKMARK bookmark = slot(k);
    if (!editor_.isOpen(bookmark.file)) {
        free(k);
        return;
    }
    editor_.open(bookmark.file);
    editor_.centreLine(bookmark.line);
}

}  // namespace tarnwick
