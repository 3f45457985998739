#include "shell/editor_dialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QRegularExpression>

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
    QStringList chooseFilesToOpen(const QString& directory) override {
        return QFileDialog::getOpenFileNames(parent_, QStringLiteral("Open"), directory,
                                             kOpenFilters);
    }
    SaveChoice chooseSaveName(const QString& suggestion, const QString& filter) override {
        QFileDialog dialog(parent_, QStringLiteral("Save As"), suggestion);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setNameFilters(saveFilters());
        // The dialog adds the chosen type's extension itself, so that it asks before
        // replacing the file of the completed name.
        const auto follow = [&dialog](const QString& chosen) {
            dialog.setDefaultSuffix(filterExtension(chosen));
        };
        QObject::connect(&dialog, &QFileDialog::filterSelected, follow);
        dialog.selectNameFilter(filter);
        follow(filter);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
        return {dialog.selectedFiles().constFirst(), dialog.selectedNameFilter()};
    }

  private:
    QWidget* parent_;
};

}  // namespace

std::unique_ptr<EditorDialogs> makeToolkitEditorDialogs(QWidget* parent) {
    return std::make_unique<ToolkitEditorDialogs>(parent);
}

const QStringList& saveFilters() {
    static const QStringList filters{QStringLiteral("Assembler file (*.asm)"),
                                     QStringLiteral("C file (*.c)"), QStringLiteral("H file (*.h)"),
                                     QStringLiteral("Any file (*)")};
    return filters;
}

QString saveFilterOf(const QString& fileName) {
    const QString extension = QFileInfo(fileName).suffix().toLower();
    for (const QString& filter : saveFilters())
        if (!extension.isEmpty() && filterExtension(filter) == extension) return filter;
    return saveFilters().constFirst();
}

QString filterExtension(const QString& filter) {
    static const QRegularExpression pattern(QStringLiteral("\\(\\*\\.(\\w+)\\)"));
    const QRegularExpressionMatch match = pattern.match(filter);
    return match.hasMatch() ? match.captured(1) : QString();
}

QString withFilterExtension(const QString& name, const QString& filter) {
    const QString extension = filterExtension(filter);
    if (extension.isEmpty() || !QFileInfo(name).suffix().isEmpty()) return name;
    return name + QLatin1Char('.') + extension;
}

}  // namespace tarnwick
