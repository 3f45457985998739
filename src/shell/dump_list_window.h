#pragma once

#include <QString>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/host.h"
#include "shell/session_window.h"

class QListWidget;

namespace tarnwick {

// What the RAM and ROM views share: a fixed-pitch list of dump lines, white on black with the
// selected line outlined in red, and the pop-up menu "Copy to the clipboard" (Ctrl+C) and
// "Save to a file" (Ctrl+S).
class DumpListWindow : public SessionWindow {
    Q_OBJECT

  public:
    // Asks for the file to save to: dialog title and start directory; empty when cancelled.
    using SaveFileChooser =
        std::function<QString(QWidget* parent, const QString& title, const QString& directory)>;

    // Lets a test choose the file instead of the save dialog.
    void setSaveFileChooser(SaveFileChooser chooser) { chooseSaveFile_ = std::move(chooser); }

    QListWidget* list() const { return list_; }

  public slots:
    void CopyClick();
    void SaveClick();

  protected:
    // saveTitle names the save dialog; directory is where it starts. The host asks before a
    // file is overwritten and reports a failed save.
    DumpListWindow(std::string_view saveTitle, std::function<std::string()> directory, Host& host,
                   QWidget* parent);

    // Replaces the whole list in one step; keeps the selected index when asked to.
    void showLines(const std::vector<std::string>& lines, bool keepSelection);

  private:
    QListWidget* list_;
    QString saveTitle_;
    std::function<std::string()> directory_;
    Host& host_;
    std::vector<std::string> lines_;
    SaveFileChooser chooseSaveFile_;
};

}  // namespace tarnwick
