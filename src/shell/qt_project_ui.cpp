#include "shell/qt_project_ui.h"

#include <QMessageBox>

#include "shell/asm11_options_dialog.h"
#include "shell/cpu_dialog.h"
#include "shell/format_dialog.h"
#include "shell/qt_text.h"
#include "shell/s19_options_dialog.h"

namespace tarnwick {
namespace {}  // namespace

void QtProjectUi::showError(std::string_view text) {
    QMessageBox::critical(parent_, QStringLiteral("Error"), qText(text));
}

void QtProjectUi::showInformation(std::string_view text) {
    QMessageBox::information(parent_, QStringLiteral("Information"), qText(text));
}

bool QtProjectUi::askYesNo(std::string_view text) {
    return QMessageBox::question(parent_, QStringLiteral("Confirm"), qText(text),
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

std::optional<ProjectFormat> QtProjectUi::chooseFormat() {
    TFormatDlg dialog(parent_);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.format();
}

bool QtProjectUi::editAsm11Options(Asm11Options& options) {
    return TASM11Dlg(options, parent_).exec() == QDialog::Accepted;
}

bool QtProjectUi::editS19Start(std::string& start) {
    return TS19Dlg(start, parent_).exec() == QDialog::Accepted;
}

bool QtProjectUi::editCpuConfiguration(CpuConfiguration& cpu) {
    return TCPUDlg(cpu, parent_).exec() == QDialog::Accepted;
}

}  // namespace tarnwick
