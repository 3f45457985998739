#include "shell/help_window.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <QVBoxLayout>

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
    resize(720, 640);
    browser_->setObjectName(QLatin1String("HelpBrowser"));
    browser_->setOpenExternalLinks(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);

    if (QFileInfo(helpFile).isFile()) {
        browser_->setSource(QUrl::fromLocalFile(helpFile));
    } else {
        browser_->setPlainText(tr("The help file %1 was not found.").arg(helpFile));
    }
}

}  // namespace tarnwick
