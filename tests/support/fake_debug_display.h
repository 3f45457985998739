#pragma once

#include <set>
#include <string>

#include "debugger/debug_context.h"

namespace tarnwick::testing {

// Records the refreshes the debugger asks for; the shown views are set by the test.
class FakeDebugDisplay : public DebugDisplay {
  public:
    DebugViews refreshed = 0;  // every view refreshed since the test last cleared it
    std::set<DebugView> shown;
    int sessionWindowsClosed = 0;
    int desktopRestores = 0;
    int desktopSaves = 0;
    std::string caption = "Tarnwick";

    void refresh(DebugViews views) override { refreshed |= views; }
    bool isShown(DebugView view) const override { return shown.count(view) > 0; }
    void closeSessionWindows() override {
        ++sessionWindowsClosed;
        shown.clear();
    }
    void restoreDesktop() override { ++desktopRestores; }
    void saveDesktop() override { ++desktopSaves; }
    std::string mainCaption() const override { return caption; }
    void setMainCaption(std::string_view text) override { caption = std::string(text); }
};

}  // namespace tarnwick::testing
