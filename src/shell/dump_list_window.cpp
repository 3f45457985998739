#include "shell/dump_list_window.h"

#include <QAction>
#include <QClipboard>
#include <QFileDialog>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QListWidget>
#include <QVBoxLayout>

#include "debugger/memory_views.h"
#include "shell/field_widgets.h"
#include "shell/own_shortcuts.h"

namespace tarnwick {

namespace {

QString askSaveFile(QWidget* parent, const QString& title, const QString& directory) {
    QFileDialog dialog(parent, title, directory, QStringLiteral("Text file (*.txt)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    // The overwrite question is asked by the view itself, in its own words.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().front();
}

QAction* popupEntry(QWidget* owner, std::string_view caption, const QKeySequence& key) {
    auto* action = new QAction(QString::fromLatin1(caption.data(), caption.size()), owner);
    action->setShortcut(key);
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    owner->addAction(action);
    return action;
}

}  // namespace

DumpListWindow::DumpListWindow(std::string_view saveTitle, std::function<std::string()> directory,
                               Host& host, QWidget* parent)
    : SessionWindow(parent, Qt::Window),
      list_(new QListWidget),
      saveTitle_(QString::fromLatin1(saveTitle.data(), saveTitle.size())),
      directory_(std::move(directory)),
      host_(host),
      chooseSaveFile_(askSaveFile) {
    list_->setObjectName(QStringLiteral("List"));
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setBold(true);
    list_->setFont(font);
    list_->setUniformItemSizes(true);
    list_->setStyleSheet(QStringLiteral(
        "QListWidget { background: black; color: white; }"
        "QListWidget::item:selected { background: black; color: white; border: 1px solid red; }"));

    list_->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(popupEntry(list_, kCopyMenuItem, QKeySequence(Qt::CTRL | Qt::Key_C)),
            &QAction::triggered, this, &DumpListWindow::CopyClick);
    connect(popupEntry(list_, kSaveMenuItem, QKeySequence(Qt::CTRL | Qt::Key_S)),
            &QAction::triggered, this, &DumpListWindow::SaveClick);
    // Ctrl+C and Ctrl+S are also the main menu's Copy and Save.
    giveOwnShortcutsPriority(*list_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list_);
    resize(640, 400);
}

void DumpListWindow::showLines(const std::vector<std::string>& lines, bool keepSelection) {
    const int selected = keepSelection ? list_->currentRow() : -1;
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(lines.size()));
    for (const std::string& line : lines) texts.append(byteText(line));
    lines_ = lines;
    list_->clear();
    list_->addItems(texts);
    if (selected >= 0 && selected < list_->count()) list_->setCurrentRow(selected);
}

void DumpListWindow::CopyClick() {
    QGuiApplication::clipboard()->setText(byteText(clipboardText(lines_)));
}

void DumpListWindow::SaveClick() {
    const QString file = chooseSaveFile_(this, saveTitle_, QString::fromStdString(directory_()));
    if (file.isEmpty()) return;
    const std::string error =
        saveViewToFile(file.toStdString(), lines_,
                       [this](std::string_view question) { return host_.warnYesNo(question); });
    if (!error.empty()) host_.showError(error);
}

}  // namespace tarnwick
