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
    // The files chosen in the open dialog; empty when cancelled.
    virtual QStringList chooseFilesToOpen() = 0;
    // The name chosen in the save dialog; empty when cancelled.
    virtual QString chooseSaveName(const QString& suggestion) = 0;
};

// Message boxes and file dialogs of the toolkit, parented to the window.
std::unique_ptr<EditorDialogs> makeToolkitEditorDialogs(QWidget* parent);

}  // namespace tarnwick
