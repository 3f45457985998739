#pragma once

#include <set>

#include "debugger/debug_context.h"

namespace tarnwick::testing {

// Records the refreshes the debugger asks for; the shown views are set by the test.
class FakeDebugDisplay : public DebugDisplay {
  public:
    DebugViews refreshed = 0;  // every view refreshed since the test last cleared it
    std::set<DebugView> shown;
    int sessionWindowsClosed = 0;

    void refresh(DebugViews views) override { refreshed |= views; }
    bool isShown(DebugView view) const override { return shown.count(view) > 0; }
    void closeSessionWindows() override {
        ++sessionWindowsClosed;
        shown.clear();
    }
};

}  // namespace tarnwick::testing
