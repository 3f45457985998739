#pragma once

#include <QString>
#include <QStringList>
#include <memory>

class QWidget;

namespace tarnwick {

// The questions the editor window puts to the user and the errors it reports, in one place
// so that tests can answer them.
class EditorDialogs {
  public:
    enum class SaveAnswer { Save, Discard, Cancel };

    virtual ~EditorDialogs() = default;

    // Asked before a changed page is closed.
    virtual SaveAnswer askSaveChanges(const QString& pageName) = 0;
    virtual void showError(const QString& text) = 0;
    // Asked when another program changed the file of a page with changes of its own.
    virtual bool askReload(const QString& pageName) = 0;
    // The files chosen in the open dialog, which starts in `directory`; empty when cancelled.
    virtual QStringList chooseFilesToOpen(const QString& directory) = 0;
    // The save dialog's answer: the name (empty when cancelled) and the filter chosen with it.
    struct SaveChoice {
        QString name;
        QString filter;
    };
    // The save dialog over saveFilters(), starting at `suggestion` (a full path) with
    // `filter` chosen.
    virtual SaveChoice chooseSaveName(const QString& suggestion, const QString& filter) = 0;
};

// Message boxes and file dialogs of the toolkit, parented to the window.
std::unique_ptr<EditorDialogs> makeToolkitEditorDialogs(QWidget* parent);

// The file types a page is saved as: "Assembler file (*.asm)", the C and header files, and
// any file.
const QStringList& saveFilters();
// The filter of a file's own type; the assembler's for a name of any other type.
QString saveFilterOf(const QString& fileName);
// The extension a filter gives a name typed without one: "asm" for "Assembler file (*.asm)",
// nothing for "Any file (*)".
QString filterExtension(const QString& filter);
// The name with the filter's extension when it has none of its own.
QString withFilterExtension(const QString& name, const QString& filter);

}  // namespace tarnwick
