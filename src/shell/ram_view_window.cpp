#include "shell/ram_view_window.h"

#include <QApplication>
#include <QListWidget>

#include "shell/modify_ram_dialog.h"

namespace tarnwick {

namespace {

// The busy cursor while a view of up to 64 KB is built.
class BusyCursor {
  public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

}  // namespace

TRAMForm::TRAMForm(Machine& machine, const MemoryRangeLists& blocks, DebugDisplay& display,
                   const Project& project, QWidget* parent)
    : DumpListWindow(
          kSaveRamTitle, [&project] { return project.directory; }, machine.host, parent),
      machine_(machine),
      blocks_(blocks),
      display_(display) {
    setObjectName(QStringLiteral("TRAMForm"));
    setWindowTitle(QString::fromLatin1(kRamViewCaption.data(), kRamViewCaption.size()));
    connect(list(), &QListWidget::itemActivated, this, &TRAMForm::ListDblClick);
}

void TRAMForm::refresh() {
    const BusyCursor busy;
    if (model_.rebuild(machine_, blocks_)) showLines(model_.lines(), true);
}

void TRAMForm::showView() {
    showNormal();
    const BusyCursor busy;
    model_.show(machine_, blocks_);
    showLines(model_.lines(), true);
}

void TRAMForm::ListDblClick() {
    const QListWidgetItem* item = list()->currentItem();
    if (!item) return;
    const auto address = dumpLineAddress(item->text().toLatin1().toStdString());
    if (address) showModifyRam(machine_, display_, *address, this);
}

}  // namespace tarnwick
