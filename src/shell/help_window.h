#pragma once

#include <QString>
#include <QTextBrowser>
#include <QWidget>

namespace tarnwick {

// The help file of an installed program lies in ../share/tarnwick beside the program's
// directory; a program run from the build tree reads the one in the source tree's docs/.
// Returns the first of the two that exists, or the installed path when neither does, so a
// missing file is reported under the name it should have had.
QString findHelpFile(const QString& programDirectory, const QString& sourceDirectory);

// The help window: the user's guide in a browser with its own links. Esc closes it.
class THelpForm : public QWidget {
    Q_OBJECT

  public:
    explicit THelpForm(const QString& helpFile, QWidget* parent = nullptr);

    QTextBrowser* browser() const { return browser_; }

  private:
    QTextBrowser* browser_;
};

}  // namespace tarnwick
