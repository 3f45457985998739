#pragma once

#include <QDialog>
#include <QString>
#include <functional>

#include "project/settings.h"

class QLabel;
class QTabWidget;

namespace tarnwick {

// Our own assembler when it is installed beside the program ("asm11" in `programDirectory`),
// otherwise empty.
QString bundledAssemblerPath(const QString& programDirectory);
// The assembler a start of the IDE uses: the one remembered while it is there; else our own
// beside the program, since the remembered one may be an earlier build's copy that is gone;
// else the remembered name, so that a build says what is missing.
QString assemblerAtStart(const QString& remembered, const QString& programDirectory);

// "Assembler": where the ASM11 assembler lies. OK makes the shown path the assembler path and
// writes it to the settings at once; Cancel changes nothing.
class TASMCDlg : public QDialog {
    Q_OBJECT

  public:
    // Asks for a file; an empty answer is a cancel.
    using FileChooser = std::function<QString(QWidget* parent, const QString& current)>;

    // With no assembler configured yet the dialog offers the one in `programDirectory`.
    TASMCDlg(Settings& settings, SettingsStore& store, const QString& programDirectory,
             QWidget* parent = nullptr);

    // Shows why a chosen file is refused.
    using ErrorReporter = std::function<void(QWidget* parent, const QString& text)>;

    // Replace the file dialog and the message box, for tests.
    void setFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }
    void setErrorReporter(ErrorReporter reporter) { showError_ = std::move(reporter); }

    QString shownPath() const;

  public slots:
    // Shows the chosen file; one that does not exist is ignored, one that cannot be run is
    // refused with a message.
    void ASM11BtnClick();
    void OKBtnClick();

  private:
    Settings& settings_;
    SettingsStore& store_;
    QTabWidget* pages_;
    QLabel* path_;
    FileChooser chooseFile_;
    ErrorReporter showError_;
};

}  // namespace tarnwick
