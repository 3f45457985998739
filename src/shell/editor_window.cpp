#include "shell/editor_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QEvent>
#include <QFileSystemWatcher>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "shell/editor_page.h"
#include "shell/editor_path_and_session_text.h"
#include "shell/qt_text.h"
#include "shell/window_placement.h"

namespace tarnwick {

namespace {

bool insideText(const EditorPage* page, int line) {
    return page && line >= 0 && line < page->lines();
}

const QString kMessagePanelLook = QStringLiteral(
    "QListWidget { background: black; color: white; }"
    "QListWidget::item:selected { background: black; color: white; border: 1px solid lime; }");

}  // namespace

TEditor::TEditor(std::unique_ptr<EditorDialogs> dialogs, QWidget* parent)
    : QWidget(parent),
      dialogs_(dialogs ? std::move(dialogs) : makeToolkitEditorDialogs(this)),
      tabs_(new QTabWidget(this)),
      messages_(new QListWidget(this)),
      watcher_(new QFileSystemWatcher(this)),
      statusBar_(new QStatusBar(this)),
      focusLoss_(new QTimer(this)) {
    connect(watcher_, &QFileSystemWatcher::fileChanged, this, &TEditor::fileChangedOnDisk);
    // When a dialog closes, the window manager may hand the focus to the main window for a
    // moment before the window the program activated gets it: only a focus loss that lasts
    // ends the error-line mark.
    focusLoss_->setSingleShot(true);
    focusLoss_->setInterval(kFocusLossSettleMs);
    connect(focusLoss_, &QTimer::timeout, this, [this] {
        if (!isActiveWindow()) emit errorMarkEnds();
    });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(tabs_, 1);
    layout->addWidget(messages_);
    layout->addWidget(statusBar_);

    messages_->setStyleSheet(kMessagePanelLook);
    messages_->setMaximumHeight(120);
    messages_->hide();
    connect(messages_, &QListWidget::itemPressed, this, [this](QListWidgetItem* item) {
        emit errorMarkEnds();
        emit messageClicked(messages_->row(item));
    });
    // Enter goes to the selected message as a click on it does.
    auto* goToMessage = new QAction(messages_);
    goToMessage->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    goToMessage->setShortcutContext(Qt::WidgetShortcut);
    connect(goToMessage, &QAction::triggered, this, [this] {
        if (messages_->currentRow() < 0) return;
        emit errorMarkEnds();
        emit messageClicked(messages_->currentRow());
    });
    messages_->addAction(goToMessage);

    for (std::size_t i = 0; i < panels_.size(); ++i) {
        panels_[i] = new QLabel(statusBar_);
        panels_[i]->setMinimumWidth(80);
        statusBar_->addWidget(panels_[i], i == kStatusPanel ? 1 : 0);
    }
    // "&Close Page" of the pop-up menu, by its key while the menu is closed.
    auto* closePageKey = new QAction(this);
    closePageKey->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F4));
    addAction(closePageKey);
    connect(closePageKey, &QAction::triggered, this, [this] {
        if (!debugSessionActive_) Close1Click();
    });
    connect(tabs_, &QTabWidget::currentChanged, this, [this] {
        emit errorMarkEnds();
        showComponentPanels();
        showPageNames();
    });
    showPageNames();
}

TEditor::~TEditor() {
    // The pages and the tab widget are deleted by the base class, after this window's own
    // part is gone: nothing they signal may reach it any more.
    tabs_->disconnect(this);
    for (EditorPage* each : findChildren<EditorPage*>()) each->disconnect(this);
}

bool TEditor::windowExists() const {
    return isVisible();
}

bool TEditor::open(const std::filesystem::path& file) {
    QString error;
    if (EditorPage* existing = page(file)) {
        tabs_->setCurrentWidget(existing);
    } else if (!openPage(normalized(file), error)) {
        return false;
    }
    show();
    return true;
}

bool TEditor::isOpen(const std::filesystem::path& file) const {
    return page(file) != nullptr;
}

bool TEditor::isModified(const std::filesystem::path& file) const {
    const EditorPage* found = page(file);
    return found && found->isModified();
}

std::optional<std::filesystem::path> TEditor::activeFile() const {
    const EditorPage* active = activePage();
    if (!active || active->file().empty()) return std::nullopt;
    return active->file();
}

std::vector<std::filesystem::path> TEditor::openFiles() const {
    std::vector<std::filesystem::path> files;
    for (int i = 0; i < tabs_->count(); ++i) {
        const auto* each = static_cast<EditorPage*>(tabs_->widget(i));
        if (!each->file().empty()) files.push_back(each->file());
    }
    return files;
}

void TEditor::closeAll() {
    Close2Click();
}

void TEditor::bringToFront() {
    if (isMinimized()) showNormal();
    show();
    raise();
    activateWindow();
    // Typing goes to the text, not to the message panel that may have had the focus.
    if (EditorPage* active = activePage()) active->setFocus();
}

void TEditor::maximize() {
    if (!workArea_) {
        showMaximized();
        return;
    }
    placeFrame(*this, workArea_());
    showNormal();
}

void TEditor::setWorkArea(std::function<QRect()> area) {
    workArea_ = std::move(area);
}

void TEditor::setReadOnly(const std::filesystem::path& file, bool readOnly) {
    if (EditorPage* found = page(file)) found->setReadOnly(readOnly);
    showComponentPanels();
}

int TEditor::lineCount(const std::filesystem::path& file) const {
    const EditorPage* found = page(file);
    return found ? found->textLineCount() : 0;
}

std::string TEditor::lineText(const std::filesystem::path& file, int line) const {
    const EditorPage* found = page(file);
    return insideText(found, line) ? found->lineTextAt(line).toStdString() : std::string();
}

MarkerBits TEditor::markers(const std::filesystem::path& file, int line) const {
    const EditorPage* found = page(file);
    return insideText(found, line) ? found->markerBits(line) : 0;
}

void TEditor::setMarkers(const std::filesystem::path& file, int line, MarkerBits bits) {
    EditorPage* found = page(file);
    if (insideText(found, line)) found->setMarkerBits(line, bits);
}

LineStyle TEditor::lineStyle(const std::filesystem::path& file, int line) const {
    const EditorPage* found = page(file);
    return insideText(found, line) ? found->lineStyleAt(line) : LineStyle::Whitespace;
}

void TEditor::setLineStyle(const std::filesystem::path& file, int line, LineStyle style) {
    EditorPage* found = page(file);
    if (insideText(found, line)) found->setLineStyleAt(line, style);
}

int TEditor::caretLine() const {
    const EditorPage* active = activePage();
    if (!active) return -1;
    int line = 0;
    int index = 0;
    active->getCursorPosition(&line, &index);
    return line;
}

void TEditor::moveCaret(int line) {
    EditorPage* active = activePage();
    if (!active) return;
    active->setCursorPosition(line, 0);
    active->ensureLineVisible(line);
}

void TEditor::centreLine(int line) {
    EditorPage* active = activePage();
    if (!active) return;
    active->setCursorPosition(line, 0);
    active->setFirstVisibleLine(std::max(
        0, line - static_cast<int>(active->SendScintilla(QsciScintilla::SCI_LINESONSCREEN)) / 2));
}

// The status panel's text may be wider than the panel (notes on unsimulated peripherals): its
// tool tip shows it whole.
void TEditor::setStatusText(int panel, std::string_view text) {
    if (panel < 0 || panel >= static_cast<int>(panels_.size())) return;
    panels_[panel]->setText(mixedText(text));
    if (panel == kStatusPanel) panels_[panel]->setToolTip(panels_[panel]->text());
}

void TEditor::showMessagePanel(const std::vector<std::string>& lines) {
    messages_->clear();
    for (const std::string& line : lines) messages_->addItem(qText(line));
    messages_->show();
}

void TEditor::hideMessagePanel() {
    messages_->hide();
}

void TEditor::selectMessage(std::size_t line) {
    if (line < static_cast<std::size_t>(messages_->count()))
        messages_->setCurrentRow(static_cast<int>(line));
}

void TEditor::setDebugSessionActive(bool active) {
    debugSessionActive_ = active;
}

void TEditor::setBookmarkChecks(std::function<bool(int)> inUse) {
    bookmarkInUse_ = std::move(inUse);
}

std::unique_ptr<QMenu> TEditor::createPageMenu() {
    EditorPage* active = activePage();
    std::unique_ptr<QMenu> menu(active ? active->createStandardContextMenu() : new QMenu);
    menu->addSeparator();
    QAction* closePage =
        menu->addAction(QStringLiteral("&Close Page"), this, [this] { Close1Click(); });
    closePage->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F4));
    closePage->setEnabled(active && !debugSessionActive_);
    menu->addSeparator();

    const auto addEntry = [&](const QString& text, void (TEditor::*clicked)(), bool enabled) {
        menu->addAction(text, this, [this, clicked] { emit(this->*clicked)(); })
            ->setEnabled(enabled);
    };
    addEntry(QStringLiteral("Modify Breakpoint"), &TEditor::modifyBreakpointClicked,
             debugSessionActive_);
    addEntry(QStringLiteral("Toggle Counter"), &TEditor::toggleCounterClicked, debugSessionActive_);
    addEntry(QStringLiteral("R&un to Cursor"), &TEditor::runToCursorClicked, debugSessionActive_);
    addEntry(QStringLiteral("Run Freely to Cursor"), &TEditor::runFreelyToCursorClicked,
             debugSessionActive_);
    addEntry(QStringLiteral("Toggle Bookmark"), &TEditor::toggleBookmarkClicked, active);

    QMenu* gotoMenu = menu->addMenu(QStringLiteral("Goto Bookmark"));
    for (int k = 1; k <= kBookmarkSlots; ++k) {
        QAction* entry = gotoMenu->addAction(QStringLiteral("Bookmark %1").arg(k), this, [this, k] {
            if (bookmarkInUse_(k)) emit gotoBookmarkClicked(k);
        });
        entry->setCheckable(true);
        entry->setChecked(bookmarkInUse_(k));
    }
    return menu;
}

void TEditor::setTextStyles(const std::vector<TextStyle>& styles) {
    if (styles.size() < static_cast<std::size_t>(kTextStyleCount)) return;
    styles_ = styles;
    for (int i = 0; i < tabs_->count(); ++i)
        static_cast<EditorPage*>(tabs_->widget(i))->applyAppearance(styles_, schemeColors(scheme_));
}

void TEditor::setColorScheme(const std::string& scheme) {
    scheme_ = scheme;
    setTextStyles(styles_);
}

void TEditor::setLineNumbersShown(bool shown) {
    lineNumbersShown_ = shown;
    for (int i = 0; i < tabs_->count(); ++i)
        static_cast<EditorPage*>(tabs_->widget(i))->setLineNumbersShown(shown);
}

void TEditor::setPageOptions(const EditorPageOptions& options) {
    pageOptions_ = options;
    for (int i = 0; i < tabs_->count(); ++i)
        static_cast<EditorPage*>(tabs_->widget(i))->applyOptions(pageOptions_);
}

EditorPage* TEditor::page(const std::filesystem::path& file) const {
    const std::filesystem::path wanted = normalized(file);
    if (wanted.empty()) return nullptr;
    for (int i = 0; i < tabs_->count(); ++i) {
        auto* each = static_cast<EditorPage*>(tabs_->widget(i));
        if (each->file() == wanted) return each;
    }
    return nullptr;
}

EditorPage* TEditor::activePage() const {
    return static_cast<EditorPage*>(tabs_->currentWidget());
}

QString TEditor::statusText(int panel) const {
    return panel >= 0 && panel < static_cast<int>(panels_.size()) ? panels_[panel]->text()
                                                                  : QString();
}

void TEditor::closeEvent(QCloseEvent* event) {
    if (debugSessionActive_) {
        dialogs_->showError(kSessionInProgressText);
        event->ignore();
    } else if (Close2Click()) {
        event->accept();
    } else {
        event->ignore();
    }
}

void TEditor::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange) {
        if (isActiveWindow())
            focusLoss_->stop();
        else
            focusLoss_->start();
    }
    QWidget::changeEvent(event);
}

bool TEditor::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::MouseButtonPress)
        emit errorMarkEnds();
    return QWidget::eventFilter(watched, event);
}

EditorPage* TEditor::openPage(const std::filesystem::path& file, QString& error) {
    auto* created = new EditorPage;
    if (!created->load(file, error)) {
        delete created;
        return nullptr;
    }
    return addPage(created);
}

EditorPage* TEditor::addPage(EditorPage* added) {
    added->applyAppearance(styles_, schemeColors(scheme_));
    added->applyOptions(pageOptions_);
    added->setLineNumbersShown(lineNumbersShown_);
    added->installEventFilter(this);
    added->viewport()->installEventFilter(this);
    added->setContextMenuPolicy(Qt::CustomContextMenu);
    // The pop-up's line commands act on the caret's line: the right click puts it there first.
    connect(added, &EditorPage::customContextMenuRequested, this, [this, added](QPoint at) {
        added->placeCaretAt(at);
        createPageMenu()->exec(added->viewport()->mapToGlobal(at));
    });
    connect(added, &EditorPage::gutterClicked, this,
            [this, added](int line) { emit gutterClicked(added->file(), line); });
    connect(added, &EditorPage::cursorPositionChanged, this, &TEditor::showComponentPanels);
    connect(added, &EditorPage::modificationChanged, this, &TEditor::showComponentPanels);
    connect(added, &EditorPage::modificationChanged, this, &TEditor::showPageNames);
    connect(added, &EditorPage::overwriteModeToggled, this, &TEditor::showComponentPanels);
    tabs_->addTab(added, added->title());
    tabs_->setCurrentWidget(added);
    watchOpenFiles();
    return added;
}

// A changed page's tab carries a "*"; the caption names the active page's file, with a "*"
// while it has changes.
void TEditor::showPageNames() {
    for (int i = 0; i < tabs_->count(); ++i) {
        const auto* each = static_cast<EditorPage*>(tabs_->widget(i));
        tabs_->setTabText(i,
                          each->title() + (each->isModified() ? QStringLiteral(" *") : QString()));
    }
    const EditorPage* active = activePage();
    if (!active) {
        setWindowTitle(QStringLiteral("Editor"));
        return;
    }
    const QString name = active->file().empty() ? active->title() : toQString(active->file());
    setWindowTitle(QStringLiteral("Editor - %1[*]").arg(name));
    setWindowModified(active->isModified());
}

void TEditor::showComponentPanels() {
    const EditorPage* active = activePage();
    if (!active) {
        for (int panel = 0; panel < 3; ++panel) panels_[panel]->clear();
        return;
    }
    int line = 0;
    int index = 0;
    active->getCursorPosition(&line, &index);
    panels_[0]->setText(QStringLiteral("%1: %2").arg(line + 1).arg(index + 1));
    panels_[1]->setText(active->isModified() ? QStringLiteral("Modified") : QString());
    panels_[2]->setText(active->isReadOnly()      ? QStringLiteral("Read only")
                        : active->overwriteMode() ? QStringLiteral("Overwrite")
                                                  : QStringLiteral("Insert"));
}

}  // namespace tarnwick
