#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "debugger/debug_context.h"
#include "debugger/source_line_list.h"

namespace tarnwick {

// The breakpoints of a debug session. The list is the only record of which lines carry
// breakpoints; each row is mirrored by the breakpoint fields of its address and by the
// breakpoint marker of its editor line, and this class keeps the three and the active stop
// count in step.
class BreakpointList final : public SourceLineList {
  public:
    explicit BreakpointList(DebugContext& context)
        : SourceLineList(context, kBreakpointMarker, kBreakpointList) {}

    // Double-click, Enter or "&View Source" on a row.
    void viewSource(std::optional<std::size_t> selected);
    // A click on a column header (0 = "Filename").
    void columnClicked(int column);

    // After every run command: shows each row's hit, and starts a breakpoint that has just
    // stopped a run counting again from 0.
    void refresh();
    // Program Reset.
    void resetAllHits();

  private:
    void add(const std::filesystem::path& file, int line, std::uint16_t address) override;
    void remove(const std::filesystem::path& file, int line) override;
    std::string hitText(std::uint16_t address) const;
};

}  // namespace tarnwick
