#include "shell/help_window.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <QVBoxLayout>

#include "shell/own_shortcuts.h"

namespace tarnwick {

QString findHelpFile(const QString& programDirectory, const QString& sourceDirectory) {
    const QString installed =
        QDir::cleanPath(programDirectory + QLatin1String("/../share/tarnwick/help.html"));
    const QString inSourceTree =
        QDir::cleanPath(sourceDirectory + QLatin1String("/docs/help.html"));
    if (!QFileInfo::exists(installed) && QFileInfo::exists(inSourceTree)) return inSourceTree;
    return installed;
}

THelpForm::THelpForm(const QString& helpFile, QWidget* parent)
    : QWidget(parent, Qt::Window), browser_(new QTextBrowser(this)) {
    setObjectName(QLatin1String("THelpForm"));
    setWindowTitle(tr("Tarnwick Help"));
    browser_->setObjectName(QLatin1String("HelpBrowser"));
    browser_->setOpenExternalLinks(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);

    // Esc closes the window, also while Esc pauses a running program elsewhere.
    auto* closeKey = new QAction(tr("Close"), this);
    closeKey->setShortcut(QKeySequence(Qt::Key_Escape));
    closeKey->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(closeKey, &QAction::triggered, this, &QWidget::close);
    addAction(closeKey);
    giveOwnShortcutsPriority(*this);

    if (QFileInfo(helpFile).isFile()) {
        browser_->setSource(QUrl::fromLocalFile(helpFile));
    } else {
        browser_->setPlainText(tr("The help file %1 was not found.").arg(helpFile));
    }
}

}  // namespace tarnwick
