#include "shell/rom_view_window.h"

namespace tarnwick {

TROMForm::TROMForm(const Machine& machine, const MemoryRangeLists& blocks, const Project& project,
                   QWidget* parent)
    : DumpListWindow(
          kSaveRomTitle, [&project] { return project.directory; }, machine.host, parent),
      machine_(machine),
      blocks_(blocks) {
    setObjectName(QStringLiteral("TROMForm"));
    setWindowTitle(QString::fromLatin1(kRomViewCaption.data(), kRomViewCaption.size()));
}

void TROMForm::refresh() {
    showLines(romViewLines(machine_, blocks_), false);
}

void TROMForm::showView() {
    showNormal();
    refresh();
}

}  // namespace tarnwick
