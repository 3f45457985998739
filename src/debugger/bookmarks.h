#pragma once

#include <array>
#include <filesystem>

#include "core/host.h"
#include "debugger/source_editor.h"

namespace tarnwick {

// One bookmark slot: in use while it names a file. The line is 0-based and stays where it was
// set when the text is edited (the gutter image moves, the slot does not).
struct BOOKMARK {
    std::filesystem::path file;
    int line = 0;

    bool inUse() const { return !file.empty(); }
};

// The eight bookmarks of the editor window. Bookmark k (1-8) draws marker bookmarkMarker(k);
// its pop-up entry "Bookmark k" is checked while its slot is in use. They live as long as the
// program and are not saved.
class Bookmarks {
  public:
    Bookmarks(SourceEditor& editor, Host& host) : editor_(editor), host_(host) {}

    const BOOKMARK& slot(int k) const { return slots_[k - 1]; }
    // Whether the pop-up entry "Bookmark k" shows a check.
    bool isChecked(int k) const { return slot(k).inUse(); }

    // Pop-up "Toggle Bookmark" on the caret line of the active page: removes the line's
    // bookmark or sets the first free one ("Bookmark is full" when none is free).
    void toggle();
    // Pop-up "Bookmark k": shows the slot's line in the middle of the view; a slot whose
    // file was closed is freed instead.
    void goTo(int k);

  private:
    void forgetClosedFiles();
    void free(int k);

    SourceEditor& editor_;
    Host& host_;
    std::array<BOOKMARK, kBookmarkSlots> slots_;
};

}  // namespace tarnwick
