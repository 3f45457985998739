#include "shell/stack_view_window.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>

#include "shell/field_widgets.h"
#include "shell/modify_stack_dialog.h"
#include "shell/qt_text.h"

namespace tarnwick {

namespace {

// Keeps its place in the grid while hidden, so the cells do not shift as markers come and go.
QLabel* steadyLabel() {
    auto* label = new QLabel;
    QSizePolicy policy = label->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    label->setSizePolicy(policy);
    return label;
}

}  // namespace

TStackForm::TStackForm(Machine& machine, DebugDisplay& display, QWidget* parent)
    : SessionWindow(parent, Qt::Window),
      machine_(machine),
      display_(display),
      columns_(stackView(machine)) {
    setObjectName(QStringLiteral("TStackForm"));
    setWindowTitle(byteText(kStackViewCaption));
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setBold(true);
    setFont(font);
    setAutoFillBackground(true);
    setStyleSheet(QStringLiteral("TStackForm, QLabel { background: black; color: white; }"));

    auto* layout = new QHBoxLayout(this);
    for (std::size_t c = 0; c < columns_.size(); ++c) {
        auto* grid = new QGridLayout;
        grid->setHorizontalSpacing(6);
        grid->setVerticalSpacing(0);
        for (std::size_t r = 0; r < kStackCellsPerColumn; ++r) {
            CellWidgets& row = widgets_[c][r];
            const QString name = byteText(columns_[c].pointer) + QString::number(r);
            row.label = new QLabel(byteText(columns_[c].cells[r].label));
            row.cell = namedLabel(QStringLiteral("Cell") + name);
            row.cell->installEventFilter(this);
            row.arrow = steadyLabel();
            row.arrow->setText(byteText(kStackArrow));
            const int rowIndex = static_cast<int>(r);
            grid->addWidget(row.label, rowIndex, 0, Qt::AlignRight);
            grid->addWidget(row.cell, rowIndex, 1);
            grid->addWidget(row.arrow, rowIndex, 2);
            for (std::size_t m = 0; m < row.markers.size(); ++m) {
                row.markers[m] = steadyLabel();
                row.markers[m]->setText(byteText(columns_[c].cells[r].markers[m].name));
                grid->addWidget(row.markers[m], rowIndex, 3 + static_cast<int>(m));
            }
        }
        layout->addLayout(grid);
    }
    refresh();
}

void TStackForm::refresh() {
    columns_ = stackView(machine_);
    for (std::size_t c = 0; c < columns_.size(); ++c) {
        for (std::size_t r = 0; r < kStackCellsPerColumn; ++r) {
            const StackCell& cell = columns_[c].cells[r];
            CellWidgets& row = widgets_[c][r];
            row.cell->setText(QString::fromStdString(cell.text));
            for (std::size_t m = 0; m < row.markers.size(); ++m)
                row.markers[m]->setVisible(cell.markers[m].visible);
            row.arrow->setVisible(cell.arrowVisible);
        }
    }
}

void TStackForm::showView() {
    showNormal();
    refresh();
}

void TStackForm::CellDblClick(int column, int row) {
    const std::uint16_t address = columns_[column].cells[row].address;
    if (opensStackEditor(machine_, address)) showModifyStack(machine_, display_, address, this);
}

bool TStackForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::MouseButtonDblClick) return QWidget::eventFilter(watched, event);
    for (int c = 0; c < static_cast<int>(widgets_.size()); ++c) {
        for (int r = 0; r < static_cast<int>(kStackCellsPerColumn); ++r) {
            if (widgets_[c][r].cell != watched) continue;
            CellDblClick(c, r);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace tarnwick
