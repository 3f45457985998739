#include "shell/editor_dialogs.h"

#include <QFileDialog>
#include <QMessageBox>

namespace tarnwick {

namespace {

const QString kOpenFilters =
    QStringLiteral("Any file (*);;Listing file (*.lst);;C file (*.c);;Assembler file (*.asm)");

class ToolkitEditorDialogs : public EditorDialogs {
  public:
    explicit ToolkitEditorDialogs(QWidget* parent) : parent_(parent) {}

    SaveAnswer askSaveChanges(const QString& pageName) override {
        const auto answer = QMessageBox::question(
            parent_, QStringLiteral("Confirm"), QStringLiteral("Save changes to %1?").arg(pageName),
            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        if (answer == QMessageBox::Yes) return SaveAnswer::Save;
        if (answer == QMessageBox::No) return SaveAnswer::Discard;
        return SaveAnswer::Cancel;
    }
    void showError(const QString& text) override {
        QMessageBox::critical(parent_, QStringLiteral("Error"), text);
    }
    bool askReload(const QString& pageName) override {
        return QMessageBox::question(
                   parent_, QStringLiteral("Confirm"),
                   QStringLiteral("%1 was changed by another program. Reload it and lose the "
                                  "changes made here?")
                       .arg(pageName),
                   QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    }
    QStringList chooseFilesToOpen() override {
        return QFileDialog::getOpenFileNames(parent_, QStringLiteral("Open"), QString(),
                                             kOpenFilters);
    }
    QString chooseSaveName(const QString& suggestion) override {
        return QFileDialog::getSaveFileName(parent_, QStringLiteral("Save As"), suggestion,
                                            kOpenFilters);
    }

  private:
    QWidget* parent_;
};

}  // namespace

std::unique_ptr<EditorDialogs> makeToolkitEditorDialogs(QWidget* parent) {
    return std::make_unique<ToolkitEditorDialogs>(parent);
}

}  // namespace tarnwick
