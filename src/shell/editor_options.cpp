#include "shell/editor_options.h"

#include <QFont>
#include <algorithm>

#include "shell/editor_page.h"
#include "shell/editor_window.h"

namespace tarnwick {

namespace {

constexpr std::string_view kOptionsSubkey = "Editor Options";
const std::string kStylesSubkey = std::string(kOptionsSubkey) + "\\Text Styles\\";

// The key of an option's value; the name's text must outlive the key.
SettingKey optionKey(std::string_view name) {
    return {kOptionsSubkey, name};
}

bool readBool(const SettingsStore& store, SettingKey key, bool fallback) {
    return store.readBool(key).value_or(fallback);
}

int readCount(const SettingsStore& store, SettingKey key, int fallback) {
    const std::optional<int> value = store.readInt(key);
    return value && *value >= 0 ? *value : fallback;
}

QColor readColour(const SettingsStore& store, SettingKey key, const QColor& fallback) {
    const QColor colour(QString::fromStdString(store.readString(key).value_or("")));
    return colour.isValid() ? colour : fallback;
}

QString readText(const SettingsStore& store, SettingKey key, const QString& fallback) {
    const std::optional<std::string> text = store.readString(key);
    return text ? QString::fromStdString(*text) : fallback;
}

// Beyond the last stop, tabs go on at the distance between the last two (the only one's
// column when there is one). The stops that this width gives by itself are left out.
void setTabStops(EditorPageOptions& page, const std::vector<int>& columns) {
    const std::size_t count = columns.size();
    page.tabWidth = count == 1 ? columns[0] : columns[count - 1] - columns[count - 2];
    page.tabStops.clear();
    for (std::size_t i = 0; i < count; ++i) {
        if (columns[i] != static_cast<int>(i + 1) * page.tabWidth) {
            page.tabStops = columns;
            return;
        }
    }
}

// The pages' share of the options. A tab stop list that is no list keeps the first-start
// width; a block indent of 0 counts as 1.
EditorPageOptions pageOptionsOf(const EditorOptions& options) {
    EditorPageOptions page;
    page.font = QFont(options.fontName, options.fontSize);
    // A font the system lacks is stood in for by a fixed-pitch one, as the columns need.
    page.font.setStyleHint(QFont::TypeWriter);
    page.font.setFixedPitch(true);
    if (const auto columns = tabStopColumns(options.tabStops)) setTabStops(page, *columns);
    page.blockIndent = std::max(1, options.blockIndent);
    page.autoIndent = options.autoIndent;
    page.backspaceUnindents = options.backspaceUnindents;
    page.smartTab = options.smartTab;
    page.cursorBeyondEof = options.cursorBeyondEof;
    page.overwriteBlocks = options.overwriteBlocks;
    page.doubleClickLine = options.doubleClickLine;
    page.rightMarginVisible = options.rightMarginVisible;
    page.rightMargin = options.marginPosition;
    page.rightMarginColor = options.marginColor;
    page.rightMarginStyle = options.marginStyle;
    page.groupUndo = options.groupUndo;
    page.persistentBlocks = options.persistentBlocks;
    page.findTextAtCursor = options.findTextAtCursor;
    page.forceCutAndCopy = options.forceCutAndCopy;
    return page;
}

}  // namespace

const std::array<EditorCheck, 11>& editorChecks() {
    static const std::array<EditorCheck, 11> checks{{
        {"Auto indent mode", &EditorOptions::autoIndent},
        {"Backspace unindents", &EditorOptions::backspaceUnindents},
        {"Group undo", &EditorOptions::groupUndo},
        {"Overwrite blocks", &EditorOptions::overwriteBlocks},
        {"Smart tab", &EditorOptions::smartTab},
        {"Cursor beyond EOF", &EditorOptions::cursorBeyondEof},
        {"Persistent blocks", &EditorOptions::persistentBlocks},
        {"Find text at cursor", &EditorOptions::findTextAtCursor},
        {"Force cut and copy enabled", &EditorOptions::forceCutAndCopy},
        {"Show line numbers", &EditorOptions::showLineNumbers},
        {"Double click line", &EditorOptions::doubleClickLine},
    }};
    return checks;
}

const std::array<MarginStyle, 5>& marginStyles() {
    static const std::array<MarginStyle, 5> styles{{
        {"Solid", Qt::SolidLine},
        {"Dash", Qt::DashLine},
        {"Dot", Qt::DotLine},
        {"Dash dot", Qt::DashDotLine},
        {"Dash dot dot", Qt::DashDotDotLine},
    }};
    return styles;
}

const QStringList& keyMappings() {
    static const QStringList mappings{QStringLiteral("Default"), QStringLiteral("Classic")};
    return mappings;
}

std::optional<std::vector<int>> tabStopColumns(const QString& tabStops) {
    const QStringList texts = tabStops.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (texts.isEmpty()) return std::nullopt;
    std::vector<int> columns;
    for (const QString& text : texts) {
        bool ok = false;
        const int column = text.toInt(&ok);
        if (!ok || column <= (columns.empty() ? 0 : columns.back())) return std::nullopt;
        columns.push_back(column);
    }
    return columns;
}

EditorOptions loadEditorOptions(const SettingsStore& store) {
    EditorOptions options;
    for (const EditorCheck& check : editorChecks())
        options.*check.member = readBool(store, optionKey(check.caption), options.*check.member);
    const QString tabStops = readText(store, optionKey("Tab stops"), options.tabStops);
    if (tabStopColumns(tabStops)) options.tabStops = tabStops;
    options.blockIndent = readCount(store, optionKey("Block indent"), options.blockIndent);
    options.rightMarginVisible =
        readBool(store, optionKey("Visible Right Margin"), options.rightMarginVisible);
    options.marginColor = readColour(store, optionKey("Margin color"), options.marginColor);
    const int pen =
        readCount(store, optionKey("Margin style"), static_cast<int>(options.marginStyle));
    for (const MarginStyle& style : marginStyles())
        if (style.pen == pen) options.marginStyle = style.pen;
    options.marginPosition = readCount(store, optionKey("Margin position"), options.marginPosition);
    options.fontName = readText(store, optionKey("Font"), options.fontName);
    options.fontSize = std::max(1, readCount(store, optionKey("Font size"), options.fontSize));
    const QString mapping = readText(store, optionKey("Keystroke mapping"), options.keyMapping);
    if (keyMappings().contains(mapping)) options.keyMapping = mapping;

    for (TextStyle& style : options.styles) {
        const std::string subkey = kStylesSubkey + style.name.toStdString();
        style.background = readColour(store, {subkey, "Background"}, style.background);
        style.text = readColour(store, {subkey, "Text"}, style.text);
        style.bold = readBool(store, {subkey, "Bold"}, style.bold);
        style.italic = readBool(store, {subkey, "Italic"}, style.italic);
        style.underline = readBool(store, {subkey, "Underline"}, style.underline);
    }
    return options;
}

void saveEditorOptions(SettingsStore& store, const EditorOptions& options) {
    for (const EditorCheck& check : editorChecks())
        store.writeBool(optionKey(check.caption), options.*check.member);
    store.writeString(optionKey("Tab stops"), options.tabStops.toStdString());
    store.writeInt(optionKey("Block indent"), options.blockIndent);
    store.writeBool(optionKey("Visible Right Margin"), options.rightMarginVisible);
    store.writeString(optionKey("Margin color"), options.marginColor.name().toStdString());
    store.writeInt(optionKey("Margin style"), static_cast<int>(options.marginStyle));
    store.writeInt(optionKey("Margin position"), options.marginPosition);
    store.writeString(optionKey("Font"), options.fontName.toStdString());
    store.writeInt(optionKey("Font size"), options.fontSize);
    store.writeString(optionKey("Keystroke mapping"), options.keyMapping.toStdString());
    for (const TextStyle& style : options.styles) {
        const std::string subkey = kStylesSubkey + style.name.toStdString();
        store.writeString({subkey, "Background"}, style.background.name().toStdString());
        store.writeString({subkey, "Text"}, style.text.name().toStdString());
        store.writeBool({subkey, "Bold"}, style.bold);
        store.writeBool({subkey, "Italic"}, style.italic);
        store.writeBool({subkey, "Underline"}, style.underline);
    }
}

QKeySequence saveShortcut(const QString& keyMapping) {
    return keyMapping == QLatin1String("Classic") ? QKeySequence(Qt::Key_F2)
                                                  : QKeySequence(Qt::CTRL | Qt::Key_S);
}

void applyEditorOptions(TEditor& editor, const EditorOptions& options, const std::string& scheme) {
    editor.setPageOptions(pageOptionsOf(options));
    editor.setTextStyles(options.styles);
    editor.setColorScheme(scheme);
    editor.setLineNumbersShown(options.showLineNumbers);
}

}  // namespace tarnwick
