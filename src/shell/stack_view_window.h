#pragma once

#include <array>

#include "debugger/debug_context.h"
#include "debugger/memory_views.h"
#include "shell/session_window.h"

class QLabel;

namespace tarnwick {

// The stack view, caption "Stack Pointer, IX, IY": the bytes around SP, IX and IY in three
// columns of 21 cells, with the stacked registers' labels, the markers of the other pointers
// and their arrows. Double-click on a RAM cell opens Modify Stack.
class TStackForm : public SessionWindow {
    Q_OBJECT

  public:
    TStackForm(Machine& machine, DebugDisplay& display, QWidget* parent = nullptr);

    // Rewrites every cell, marker and arrow from SP, IX and IY.
    void refresh() override;
    // View|Stack, IX, IY: normal size, shown, rebuilt.
    void showView() override;

    // Column 0-2 (SP, IX, IY), row 0 at the top.
    QLabel* cellLabel(int column, int row) const { return widgets_[column][row].cell; }
    QLabel* markerLabel(int column, int row, int marker) const {
        return widgets_[column][row].markers[marker];
    }
    QLabel* arrowLabel(int column, int row) const { return widgets_[column][row].arrow; }

  public slots:
    // Opens Modify Stack for the cell when its memory is RAM.
    void CellDblClick(int column, int row);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct CellWidgets {
        QLabel* label = nullptr;
        QLabel* cell = nullptr;
        QLabel* arrow = nullptr;
        std::array<QLabel*, 2> markers{};
    };

    Machine& machine_;
    DebugDisplay& display_;
    std::array<std::array<CellWidgets, kStackCellsPerColumn>, 3> widgets_;
    std::array<StackColumn, 3> columns_;
};

}  // namespace tarnwick
