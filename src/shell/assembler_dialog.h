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

    // Replaces the file dialog, for tests.
    void setFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }

    QString shownPath() const;

  public slots:
    void ASM11BtnClick();
    void OKBtnClick();

  private:
    Settings& settings_;
    SettingsStore& store_;
    QTabWidget* pages_;
    QLabel* path_;
    FileChooser chooseFile_;
};

}  // namespace tarnwick
