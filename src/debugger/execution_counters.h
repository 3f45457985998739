#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>

#include "debugger/debug_context.h"
#include "debugger/source_line_list.h"

namespace tarnwick {

// The execution counters of a debug session. The simulator counts the executions of every
// address all the time; a counter row makes one line's count visible and starts it from 0.
// Each row is mirrored by the counter marker of its editor line. Counters never stop a run.
class ExecutionCounterList final : public SourceLineList {
  public:
    explicit ExecutionCounterList(DebugContext& context)
        : SourceLineList(context, kCounterMarker, kCounterList) {}

    // "&Reset" on the list: the selected row's count starts again from 0.
    void resetRow(std::optional<std::size_t> selected);
    // Double-click, Enter or "&View Source" on a row.
    void viewSource(std::optional<std::size_t> selected);

    // After every run command: shows each row's execution count.
    void refresh();
    // Program Reset.
    void resetAll();

  private:
    void add(const std::filesystem::path& file, int line, std::uint16_t address) override;
    void remove(const std::filesystem::path& file, int line) override;
};

}  // namespace tarnwick
