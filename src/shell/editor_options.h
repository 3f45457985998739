#pragma once

#include <QColor>
#include <QKeySequence>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "project/settings.h"
#include "shell/text_styles.h"

namespace tarnwick {

class TEditor;

// The editor's own options: behaviour, display, font, key mapping and the text styles.
// Members start at the values the first start installs.
struct EditorOptions {
    bool autoIndent = true;
    bool backspaceUnindents = true;
    bool groupUndo = true;
    bool overwriteBlocks = true;
    bool smartTab = false;
    bool cursorBeyondEof = false;
    bool persistentBlocks = false;
    bool findTextAtCursor = false;
    bool forceCutAndCopy = false;
    bool showLineNumbers = true;
    bool doubleClickLine = false;
    QString tabStops = QStringLiteral("10");
    int blockIndent = 2;
    bool rightMarginVisible = true;
    QColor marginColor{0xC0, 0xC0, 0xC0};
    Qt::PenStyle marginStyle = Qt::SolidLine;
    int marginPosition = 80;
    QString fontName = QStringLiteral("Courier New");
    int fontSize = 10;
    QString keyMapping = QStringLiteral("Default");
    std::vector<TextStyle> styles = defaultTextStyles();
};

// A check box of the "Editor" page and the option it sets; the caption is also the option's
// value name in the store.
struct EditorCheck {
    const char* caption;
    bool EditorOptions::*member;
};
const std::array<EditorCheck, 11>& editorChecks();

struct MarginStyle {
    const char* name;
    Qt::PenStyle pen;
};
const std::array<MarginStyle, 5>& marginStyles();

// "Default" and "Classic".
const QStringList& keyMappings();

// The columns of a tab stop list: ascending positive whole numbers separated by spaces.
std::optional<std::vector<int>> tabStopColumns(const QString& tabStops);

// The editor options are kept with the program's other settings, below the subkey "Editor
// Options" (the text styles below "Editor Options\Text Styles\<style>"); a missing or
// unreadable value reads as its first-start value.
EditorOptions loadEditorOptions(const SettingsStore& store);
void saveEditorOptions(SettingsStore& store, const EditorOptions& options);

// The shortcut of the main menu's "&Save": Ctrl+S under the key mapping "Default", F2 under
// "Classic".
QKeySequence saveShortcut(const QString& keyMapping);

// What the editor window takes of the options: font, tabs, indentation, right margin and
// behaviour, the styles, the scheme's colours of the text area and the line numbers.
void applyEditorOptions(TEditor& editor, const EditorOptions& options, const std::string& scheme);

}  // namespace tarnwick
