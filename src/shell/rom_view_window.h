#pragma once

#include "debugger/memory_views.h"
#include "project/project.h"
#include "shell/dump_list_window.h"

namespace tarnwick {

// The ROM view, caption "ROM": the ROM blocks of the memory map, sixteen bytes a line. It is
// built only when it is shown.
class TROMForm : public DumpListWindow {
    Q_OBJECT

  public:
    TROMForm(const Machine& machine, const MemoryRangeLists& blocks, const Project& project,
             QWidget* parent = nullptr);

    // Rebuilds the lines.
    void refresh() override;
    // View|ROM and the desktop restore: normal size, shown, rebuilt.
    void showView() override;

  private:
    const Machine& machine_;
    const MemoryRangeLists& blocks_;
};

}  // namespace tarnwick
