#pragma once

#include "debugger/debug_context.h"
#include "debugger/memory_views.h"
#include "project/project.h"
#include "shell/dump_list_window.h"

namespace tarnwick {

// The RAM view, caption "RAM": the RAM blocks of the memory map, sixteen bytes a line. It
// rebuilds only after memory was written. Double-click or Enter on a line opens Modify RAM.
class TRAMForm : public DumpListWindow {
    Q_OBJECT

  public:
    // blocks are the memory map's lists, which stay in place while a new map is applied.
    TRAMForm(Machine& machine, const MemoryRangeLists& blocks, DebugDisplay& display,
             const Project& project, QWidget* parent = nullptr);

    // Rebuilds the lines when memory was written since the last rebuild, keeping the
    // selected line.
    void refresh() override;
    // View|RAM and after Modify RAM: normal size, shown, rebuilt whatever was written.
    void showView() override;

  public slots:
    // Double-click or Enter on a line; nothing on the line between two blocks.
    void ListDblClick();

  private:
    Machine& machine_;
    const MemoryRangeLists& blocks_;
    DebugDisplay& display_;
    RamView model_;
};

}  // namespace tarnwick
