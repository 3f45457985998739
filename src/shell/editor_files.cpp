// The editor window's file commands: new, open, save and close, and the watch that takes in
// changes other programs make to the open files.
#include <QDir>
#include <QFile>
#include <QFileSystemWatcher>
#include <QTabWidget>

#include "shell/editor_page.h"
#include "shell/editor_path_and_session_text.h"
#include "shell/editor_window.h"

namespace tarnwick {

void TEditor::FileNewClick() {
    const bool wasShown = isVisible();
    addPage(new EditorPage);
    if (wasShown) {
        show();
    } else {
        maximize();
    }
}

void TEditor::FileOpenClick() {
    const bool wasShown = isVisible();
    bool opened = false;
    const EditorPage* active = activePage();
    const std::filesystem::path folder =
        active && !active->file().empty() ? active->file().parent_path() : startDirectory();
    for (const QString& name : dialogs_->chooseFilesToOpen(toQString(folder))) {
        QString error;
        const std::filesystem::path file = normalized(toPath(name));
        if (EditorPage* existing = page(file)) {
            tabs_->setCurrentWidget(existing);
            opened = true;
        } else if (openPage(file, error)) {
            opened = true;
        } else {
            dialogs_->showError(QStringLiteral("Cannot open %1: %2").arg(name, error));
        }
    }
    if (!opened) return;
    if (wasShown) {
        show();
    } else {
        maximize();
    }
}

bool TEditor::Save1Click() {
    EditorPage* active = activePage();
    if (!active) return false;
    return active->file().empty() ? saveAs(*active) : saveWithReport(*active, active->file());
}

bool TEditor::SaveAsClick() {
    EditorPage* active = activePage();
    return active && saveAs(*active);
}

bool TEditor::FileSaveAllClick() {
    bool allSaved = true;
    for (int i = 0; i < tabs_->count(); ++i) {
        auto& each = *static_cast<EditorPage*>(tabs_->widget(i));
        if (!each.isModified()) continue;
        const bool saved = each.file().empty() ? saveAs(each) : saveWithReport(each, each.file());
        allSaved = allSaved && saved;
    }
    return allSaved;
}

bool TEditor::offerToSave(EditorPage& page) {
    if (!page.isModified()) return true;
    switch (dialogs_->askSaveChanges(page.title())) {
        case EditorDialogs::SaveAnswer::Save:
            return page.file().empty() ? saveAs(page) : saveWithReport(page, page.file());
        case EditorDialogs::SaveAnswer::Discard:
            return true;
        case EditorDialogs::SaveAnswer::Cancel:
            break;
    }
    return false;
}

bool TEditor::offerToSaveAll() {
    for (int i = 0; i < tabs_->count(); ++i)
        if (!offerToSave(*static_cast<EditorPage*>(tabs_->widget(i)))) return false;
    return true;
}

// The sources of a debug session stay open until it stops: their marks live in the pages.
bool TEditor::lockedBySession(const EditorPage& page) const {
    return debugSessionActive_ && page.isReadOnly();
}

bool TEditor::Close1Click() {
    EditorPage* active = activePage();
    if (!active) return false;
    if (lockedBySession(*active)) {
        dialogs_->showError(kSessionInProgressText);
        return false;
    }
    return closePage(*active);
}

bool TEditor::Close2Click() {
    bool keptSessionPages = false;
    for (int i = 0; i < tabs_->count();) {
        auto& each = *static_cast<EditorPage*>(tabs_->widget(i));
        if (lockedBySession(each)) {
            keptSessionPages = true;
            ++i;
        } else if (!closePage(each)) {
            return false;
        }
    }
    if (keptSessionPages) dialogs_->showError(kSessionInProgressText);
    return !keptSessionPages;
}

void TEditor::setNewFileDirectory(const std::filesystem::path& directory) {
    newFileDirectory_ = directory;
}

std::filesystem::path TEditor::startDirectory() const {
    return newFileDirectory_.empty() ? toPath(QDir::homePath()) : newFileDirectory_;
}

bool TEditor::saveWithReport(EditorPage& target, const std::filesystem::path& file) {
    QString error;
    if (!target.saveTo(file, error)) {
        dialogs_->showError(QStringLiteral("Cannot save %1: %2").arg(toQString(file), error));
        return false;
    }
    showPageNames();
    showComponentPanels();
    watchOpenFiles();
    return true;
}

void TEditor::watchOpenFiles() {
    if (!watcher_->files().isEmpty()) watcher_->removePaths(watcher_->files());
    QStringList files;
    for (const std::filesystem::path& file : openFiles()) files << toQString(file);
    if (!files.isEmpty()) watcher_->addPaths(files);
}

bool TEditor::reload(const std::filesystem::path& file) {
    EditorPage* existing = page(file);
    if (!existing) return false;
    QString error;
    if (existing->load(normalized(file), error)) return true;
    dialogs_->showError(QStringLiteral("Cannot read %1: %2").arg(toQString(file), error));
    return false;
}

// A page without changes of its own takes the new text; one with changes asks first. The
// session's sources keep the text their line map was made from.
void TEditor::fileChangedOnDisk(const QString& path) {
    watchOpenFiles();  // a file replaced by renaming another over it is no longer watched
    EditorPage* changed = page(toPath(path));
    if (!changed || lockedBySession(*changed)) return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return;         // gone: the next save writes it anew
    if (changed->fileBytes() == file.readAll()) return;  // our own save
    if (changed->isModified() && !dialogs_->askReload(changed->title())) return;
    reload(changed->file());
}

// The dialog starts in the file's folder, or for a new page in the folder of new files.
bool TEditor::saveAs(EditorPage& target) {
    const std::filesystem::path suggestion =
        target.file().empty() ? startDirectory() / target.title().toStdString() : target.file();
    const QString suggested = toQString(suggestion);
    const EditorDialogs::SaveChoice choice =
        dialogs_->chooseSaveName(suggested, saveFilterOf(suggested));
    if (choice.name.isEmpty()) return false;
    const QString name = withFilterExtension(choice.name, choice.filter);
    const std::filesystem::path file = normalized(toPath(name));
    const EditorPage* holder = page(file);
    if (holder && holder != &target) {
        dialogs_->showError(QStringLiteral("%1 is open in another page").arg(name));
        return false;
    }
    return saveWithReport(target, file);
}

bool TEditor::closePage(EditorPage& target) {
    if (!offerToSave(target)) return false;
    tabs_->removeTab(tabs_->indexOf(&target));
    target.deleteLater();
    watchOpenFiles();
    return true;
}

}  // namespace tarnwick
