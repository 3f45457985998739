#include "shell/project_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <array>
#include <vector>

#include "debugger/build_messages.h"
#include "debugger/debugger.h"
#include "debugger/modify_breakpoint.h"
#include "debugger/watch_list.h"
#include "project/desktop.h"
#include "project/project_commands.h"
#include "project/settings.h"
#include "shell/modify_breakpoint_dialog.h"
#include "shell/own_shortcuts.h"
#include "shell/qt_text.h"

namespace tarnwick {

namespace {

// The page order is the order of the desktop's page names.
enum Page { kFilesPage, kMessagesPage, kBreakpointPage, kWatchesPage, kCounterPage };
constexpr std::array<const char*, 5> kPageCaptions{"Files", "Messages", "Breakpoint List",
                                                   "Watches", "Counter List"};

constexpr std::array<std::string_view, 4> kBreakpointColumns{"Filename", "Line", "Address", "Hit"};
constexpr std::array<std::string_view, 4> kCounterColumns{"Filename", "Line", "Address", "Pass"};

// White bold text on black everywhere; the Files and Messages pages outline their selected
// line instead of filling it, in yellow and green.
QString listStyleSheet() {
    const QString fixedFamily = QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
    return QStringLiteral(
               "QListWidget, QTreeWidget { background-color: black; color: white; "
               "font-weight: bold; }"
               "QTreeWidget#WatchList { font-family: \"%1\"; }"
               "QListWidget::item:selected { background-color: black; color: white; "
               "border: 1px solid yellow; }"
               "QListWidget#MessageList::item:selected { border-color: lime; }")
        .arg(fixedFamily);
}

template <std::size_t N>
QTreeWidget* makeRowList(const QString& objectName,
                         const std::array<std::string_view, N>& columns) {
    auto* list = new QTreeWidget;
    list->setObjectName(objectName);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    QStringList captions;
    for (const std::string_view caption : columns)
        captions << QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size()));
    list->setHeaderLabels(captions);
    return list;
}

// A page around the list, so that the page carries the desktop's name and the list its own.
QWidget* pageWith(QWidget* list) {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list);
    return page;
}

QListWidget* makeLineList(const QString& objectName) {
    auto* list = new QListWidget;
    list->setObjectName(objectName);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    return list;
}

std::optional<std::size_t> selectedIndex(const QTreeWidget* list) {
    const QList<QTreeWidgetItem*> selected = list->selectedItems();
    if (selected.isEmpty()) return std::nullopt;
    return static_cast<std::size_t>(list->indexOfTopLevelItem(selected.front()));
}

std::optional<std::size_t> selectedIndex(const QListWidget* list) {
    const QList<QListWidgetItem*> selected = list->selectedItems();
    if (selected.isEmpty()) return std::nullopt;
    return static_cast<std::size_t>(list->row(selected.front()));
}

void selectLine(QListWidget* list, std::optional<std::size_t> index) {
    if (index && *index < static_cast<std::size_t>(list->count()))
        list->setCurrentRow(static_cast<int>(*index));
    else
        list->clearSelection();
}

// Shows the rows in place of the list's items. A selection survives a refresh of the same
// rows but not the removal of one, so a second Del never deletes a row the user did not
// choose; a row appended at the end is scrolled into view.
void showRows(QTreeWidget* list, const std::vector<QStringList>& rows) {
    const int before = list->topLevelItemCount();
    const int after = static_cast<int>(rows.size());
    while (list->topLevelItemCount() > after)
        delete list->takeTopLevelItem(list->topLevelItemCount() - 1);
    for (int i = 0; i < after; ++i) {
        QTreeWidgetItem* item = list->topLevelItem(i);
        if (!item) item = new QTreeWidgetItem(list);
        for (int column = 0; column < rows[i].size(); ++column)
            item->setText(column, rows[i][column]);
    }
    if (after < before) list->clearSelection();
    if (after > before) list->scrollToItem(list->topLevelItem(after - 1));
}

std::vector<QStringList> sourceLineTexts(const std::vector<SourceLineRow>& rows) {
    std::vector<QStringList> texts;
    for (const SourceLineRow& row : rows)
        texts.push_back({QString::fromStdString(row.file), QString::number(row.line),
                         QString::fromStdString(row.address), QString::fromStdString(row.count)});
    return texts;
}

std::vector<QStringList> watchTexts(const std::vector<WatchRow>& rows) {
    std::vector<QStringList> texts;
    for (const WatchRow& row : rows) {
        QStringList columns;
        for (const std::string& text : watchRowTexts(row)) columns << byteText(text);
        texts.push_back(columns);
    }
    return texts;
}

const QList<QKeySequence> kEnterKeys{QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)};
const QList<QKeySequence> kDeleteKeys{QKeySequence(Qt::CTRL | Qt::Key_D),
                                      QKeySequence(Qt::Key_Delete)};

}  // namespace

TProWindow::TProWindow(ProjectWindowModels models, QWidget* parent)
    : QWidget(parent, Qt::Window),
      projectCommands_(models.projectCommands),
      debugger_(models.debugger),
      watches_(models.watches),
      messages_(models.messages),
      context_(models.context),
      settings_(models.settings),
      pages_(new QTabWidget(this)) {
    setObjectName(QStringLiteral("TProWindow"));
    // The window cannot be closed, so it must not keep the program alive once the main
    // window closes.
    setAttribute(Qt::WA_QuitOnClose, false);
    setStyleSheet(listStyleSheet());

    pages_->setObjectName(QStringLiteral("ProPages"));
    const std::array<QWidget*, 5> pages{makeFilesPage(), makeMessagesPage(), makeBreakpointPage(),
                                        makeWatchesPage(), makeCounterPage()};
    for (std::size_t i = 0; i < pages.size(); ++i) {
        pages[i]->setObjectName(QString::fromUtf8(kProjectTabs[i]));
        pages_->addTab(pages[i], QString::fromLatin1(kPageCaptions[i]));
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(pages_);

    refreshFiles();
    refreshMessages();
    refresh(kBreakpointList | kWatchList | kCounterList);
}

void TProWindow::addCommand(QWidget* list, QMenu* menu, const QString& caption,
                            const QList<QKeySequence>& shortcuts, void (TProWindow::*command)()) {
    auto* action = new QAction(caption, list);
    action->setShortcuts(shortcuts);
    action->setShortcutContext(Qt::WidgetShortcut);
    connect(action, &QAction::triggered, this, command);
    if (menu) menu->addAction(action);
    list->addAction(action);
    // Ctrl+V (View Source) and Ctrl+A (Add Watch) are also Paste and Select All.
    giveOwnShortcutsPriority(*list);
}

QWidget* TProWindow::makeFilesPage() {
    fileList_ = makeLineList(QStringLiteral("List"));
    connect(fileList_, &QListWidget::itemDoubleClicked, this, &TProWindow::ListDblClick);
    addCommand(fileList_, nullptr, QString(), kEnterKeys, &TProWindow::ListDblClick);
    addCommand(fileList_, nullptr, QString(), {QKeySequence(Qt::Key_Delete)},
               &TProWindow::removeSelectedFile);
    return pageWith(fileList_);
}

QWidget* TProWindow::makeMessagesPage() {
    messageList_ = makeLineList(QStringLiteral("MessageList"));
    connect(messageList_, &QListWidget::itemDoubleClicked, this, &TProWindow::MessageListDblClick);
    connect(messageList_, &QListWidget::itemSelectionChanged, this,
            [this] { messages_.select(selectedIndex(messageList_)); });
    addCommand(messageList_, nullptr, QString(), kEnterKeys, &TProWindow::MessageListDblClick);

    errorCount_ = new QLabel;
    errorCount_->setObjectName(QStringLiteral("LErrors"));
    warningCount_ = new QLabel;
    warningCount_->setObjectName(QStringLiteral("LWarnings"));
    hintCount_ = new QLabel;
    hintCount_->setObjectName(QStringLiteral("LHints"));
    auto* counters = new QHBoxLayout;
    for (QLabel* label : {errorCount_, warningCount_, hintCount_}) counters->addWidget(label);
    counters->addStretch();

    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(messageList_);
    layout->addLayout(counters);
    return page;
}

QWidget* TProWindow::makeBreakpointPage() {
    breakpointList_ = makeRowList(QStringLiteral("BreakList"), kBreakpointColumns);
    auto* menu = new QMenu(breakpointList_);
    addCommand(breakpointList_, menu, QStringLiteral("&Delete"), kDeleteKeys,
               &TProWindow::BreakDeleteClick);
    addCommand(breakpointList_, menu, QStringLiteral("Delete &All"), {},
               &TProWindow::BreakDeleteAllClick);
    menu->addSeparator();
    addCommand(breakpointList_, menu, QStringLiteral("&View Source"),
               {QKeySequence(Qt::CTRL | Qt::Key_V)}, &TProWindow::BreakViewSourceClick);
    menu->addSeparator();
    addCommand(breakpointList_, menu, QStringLiteral("&Properties"),
               {QKeySequence(Qt::CTRL | Qt::Key_E)}, &TProWindow::BreakPropertiesClick);
    addCommand(breakpointList_, nullptr, QString(), kEnterKeys, &TProWindow::BreakViewSourceClick);

    connect(breakpointList_, &QTreeWidget::itemDoubleClicked, this,
            &TProWindow::BreakViewSourceClick);
    breakpointList_->header()->setSectionsClickable(true);
    connect(breakpointList_->header(), &QHeaderView::sectionClicked, this,
            [this](int column) { debugger_.breakpoints.columnClicked(column); });
    connect(breakpointList_, &QWidget::customContextMenuRequested, menu,
            [this, menu](QPoint at) { menu->popup(breakpointList_->viewport()->mapToGlobal(at)); });
    return pageWith(breakpointList_);
}

QWidget* TProWindow::makeWatchesPage() {
    watchList_ = makeRowList(QStringLiteral("WatchList"), kWatchColumnCaptions);
    // The value, which may be a long string, gets the width the other columns leave.
    QHeaderView* columns = watchList_->header();
    columns->setStretchLastSection(false);
    for (int column = 0; column + 1 < columns->count(); ++column)
        columns->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    columns->setSectionResizeMode(columns->count() - 1, QHeaderView::Stretch);
    auto* menu = new QMenu(watchList_);
    addCommand(watchList_, menu, QStringLiteral("Add &Watch..."),
               {QKeySequence(Qt::CTRL | Qt::Key_A)}, &TProWindow::WatchAddClick);
    // Editing a watch is not offered; the entry stays for its place in the menu.
    auto* edit = new QAction(QStringLiteral("&Edit Watch..."), menu);
    edit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    edit->setEnabled(false);
    menu->addAction(edit);
    menu->addSeparator();
    addCommand(watchList_, menu, QStringLiteral("&Delete"), kDeleteKeys,
               &TProWindow::WatchDeleteClick);
    addCommand(watchList_, menu, QStringLiteral("Delete &All"), {},
               &TProWindow::WatchDeleteAllClick);
    connect(watchList_, &QWidget::customContextMenuRequested, menu,
            [this, menu](QPoint at) { menu->popup(watchList_->viewport()->mapToGlobal(at)); });
    return pageWith(watchList_);
}

QWidget* TProWindow::makeCounterPage() {
    counterList_ = makeRowList(QStringLiteral("CounterList"), kCounterColumns);
    auto* menu = new QMenu(counterList_);
    addCommand(counterList_, menu, QStringLiteral("&Delete"), kDeleteKeys,
               &TProWindow::CounterDeleteClick);
    addCommand(counterList_, menu, QStringLiteral("Delete &All"), {},
               &TProWindow::CounterDeleteAllClick);
    menu->addSeparator();
    addCommand(counterList_, menu, QStringLiteral("&Reset"), {}, &TProWindow::CounterResetClick);
    addCommand(counterList_, menu, QStringLiteral("&View Source"),
               {QKeySequence(Qt::CTRL | Qt::Key_V)}, &TProWindow::CounterViewSourceClick);
    addCommand(counterList_, nullptr, QString(), kEnterKeys, &TProWindow::CounterViewSourceClick);

    connect(counterList_, &QTreeWidget::itemDoubleClicked, this,
            &TProWindow::CounterViewSourceClick);
    connect(counterList_, &QWidget::customContextMenuRequested, menu,
            [this, menu](QPoint at) { menu->popup(counterList_->viewport()->mapToGlobal(at)); });
    return pageWith(counterList_);
}

void TProWindow::refresh(DebugViews views) {
    if (views & kBreakpointList)
        showRows(breakpointList_, sourceLineTexts(debugger_.breakpoints.rows()));
    if (views & kWatchList) showRows(watchList_, watchTexts(watches_.rows()));
    if (views & kCounterList) showRows(counterList_, sourceLineTexts(debugger_.counters.rows()));
}

void TProWindow::refreshFiles() {
    setWindowTitle(QString::fromStdString(projectCommands_.projectWindowCaption()));
    fileList_->clear();
    for (const std::string& file : projectCommands_.project().files)
        fileList_->addItem(QString::fromStdString(file));
    selectLine(fileList_, projectCommands_.selectedFile());
}

void TProWindow::refreshMessages() {
    const QSignalBlocker keepModelSelection(messageList_);
    messageList_->clear();
    for (const std::string& line : messages_.lines())
        messageList_->addItem(QString::fromStdString(line));
    selectLine(messageList_, messages_.selected());
    const auto counter = [](std::string_view caption, int count) {
        return QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())) +
               QString::number(count);
    };
    errorCount_->setText(counter(kErrorsCaption, messages_.errorCount()));
    warningCount_->setText(counter(kWarningsCaption, messages_.warningCount()));
    hintCount_->setText(counter(kHintsCaption, messages_.hintCount()));
}

void TProWindow::loadBuildMessages(const std::filesystem::path& errorFile) {
    const MessagesShown shown =
        messages_.load(errorFile, projectCommands_.project().directory, settings_.goToNextWarning);
    refreshMessages();
    if (shown.showMessagesPage) {
        pages_->setCurrentIndex(kMessagesPage);
        showNormal();
    }
    if (shown.bringProjectWindowToFront) {
        raise();
        activateWindow();
    }
    if (shown.focusMessageList) messageList_->setFocus();
    if (shown.focusEditor) context_.editor.bringToFront();
}

void TProWindow::reset() {
    messages_.clear();
    refreshFiles();
    refreshMessages();
    pages_->setCurrentIndex(kFilesPage);
    showNormal();
}

void TProWindow::showFiles() {
    pages_->setCurrentIndex(kFilesPage);
    fileList_->setFocus();
    showNormal();
}

std::string TProWindow::activePageName() const {
    return std::string(kProjectTabs[static_cast<std::size_t>(pages_->currentIndex())]);
}

void TProWindow::showPage(std::string_view name) {
    for (std::size_t i = 0; i < kProjectTabs.size(); ++i)
        if (kProjectTabs[i] == name) pages_->setCurrentIndex(static_cast<int>(i));
}

std::optional<std::size_t> TProWindow::selectedFile() const {
    return selectedIndex(fileList_);
}

void TProWindow::ListDblClick() {
    const auto selected = selectedFile();
    std::optional<std::string> entry;
    if (selected) entry = fileList_->item(static_cast<int>(*selected))->text().toStdString();
    openProjectFile(context_.editor, context_.host, projectCommands_.project().directory, entry);
}

void TProWindow::removeSelectedFile() {
    // During a debug session the project's files stay as they are.
    if (debugger_.inSession()) return;
    projectCommands_.removeFile(selectedFile());
    refreshFiles();
}

void TProWindow::MessageListDblClick() {
    messages_.openLine(selectedIndex(messageList_), projectCommands_.project().directory);
}

void TProWindow::SearchNextErrorClick() {
    const Project& project = projectCommands_.project();
    messages_.goToNext(project.format, settings_.goToNextWarning, project.directory);
    refreshMessages();
}

void TProWindow::WindowProjectClick() {
    showNormal();
    raise();
    activateWindow();
}

void TProWindow::BreakDeleteClick() {
    debugger_.breakpoints.deleteRow(selectedIndex(breakpointList_));
    refresh(kBreakpointList);
}

void TProWindow::BreakDeleteAllClick() {
    debugger_.breakpoints.deleteAll();
    refresh(kBreakpointList);
}

void TProWindow::BreakViewSourceClick() {
    debugger_.breakpoints.viewSource(selectedIndex(breakpointList_));
}

void TProWindow::BreakPropertiesClick() {
    TMBreakDlg::showFor(
        ModifyBreakpoint::forRow(context_, debugger_.breakpoints, selectedIndex(breakpointList_)),
        this);
    refresh(kBreakpointList);
}

void TProWindow::WatchAddClick() {
    const WatchDialogKind kind =
        addWatchFromPopup(projectCommands_.project(), debugger_.inSession());
    if (kind != WatchDialogKind::None) emit addWatchRequested(kind);
}

void TProWindow::WatchDeleteClick() {
    watches_.deleteSelected(selectedIndex(watchList_));
    refresh(kWatchList);
}

void TProWindow::WatchDeleteAllClick() {
    watches_.deleteAll();
    refresh(kWatchList);
}

void TProWindow::CounterDeleteClick() {
    debugger_.counters.deleteRow(selectedIndex(counterList_));
    refresh(kCounterList);
}

void TProWindow::CounterDeleteAllClick() {
    debugger_.counters.deleteAll();
    refresh(kCounterList);
}

void TProWindow::CounterResetClick() {
    debugger_.counters.resetRow(selectedIndex(counterList_));
    refresh(kCounterList);
}

void TProWindow::CounterViewSourceClick() {
    debugger_.counters.viewSource(selectedIndex(counterList_));
}

void TProWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
}

}  // namespace tarnwick
