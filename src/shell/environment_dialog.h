#pragma once

#include <QColor>
#include <QDialog>
#include <QKeySequence>
#include <QString>
#include <array>
#include <string>
#include <vector>

#include "core/host.h"
#include "project/settings.h"
#include "shell/text_styles.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;
class QSettings;
class QTabWidget;

namespace tarnwick {

class EditorPage;
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
    bool showLineNumbers = false;
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

// The editor options live in the QSettings group "Editor Options"; a missing or unreadable
// value reads as its first-start value.
EditorOptions loadEditorOptions(QSettings& store);
void saveEditorOptions(QSettings& store, const EditorOptions& options);

// The shortcut of the main menu's "&Save": Ctrl+S under the key mapping "Default", F2 under
// "Classic".
QKeySequence saveShortcut(const QString& keyMapping);

// What the editor window takes of the options: font, tabs, indentation, right margin and
// behaviour, the styles, the scheme's colours of the text area and the line numbers.
void applyEditorOptions(TEditor& editor, const EditorOptions& options, const std::string& scheme);

// Everything the environment options dialog reads and writes.
struct EnvironmentTargets {
    Settings& settings;
    SettingsStore& store;
    QSettings& editorOptions;
    TEditor& editor;
    Host& host;
    QAction* saveAction = nullptr;  // the main menu's "&Save", when there is one
};

// "Environment Options": the program's preferences, the editor options and the colour
// scheme. The dialog works on copies; only OK stores and applies them.
class TEnviDlg : public QDialog {
    Q_OBJECT

  public:
    TEnviDlg(const EnvironmentTargets& targets, QWidget* parent = nullptr);

    // The text styles as the "Colors" page shows and edits them.
    const std::vector<TextStyle>& sampleStyles() const { return sample_; }

  public slots:
    // Stores and applies everything. A tab stop, block indent or margin position that is no
    // number is reported and the dialog stays open on it.
    void OKBtnClick();
    void CElementClick();
    void ElementGridChange();
    void AttributeClick();
    void CSettingChange();
    void FontChange();
    void SizeChange();
    void DefaultBtnClick();

  private:
    QWidget* createPreferencesPage();
    QWidget* createEditorPage();
    QWidget* createDisplayPage();
    QWidget* createColorsPage();
    void fillFromModels();
    void refillSizes(int selected);
    void selectColour(QComboBox& box, const QColor& colour);
    int selectedStyle() const;
    bool selectedStyleIsLineStyle() const;
    void showSample();
    bool readNumbers(EditorOptions& options);
    EditorOptions optionsFromControls() const;

    EnvironmentTargets targets_;
    EditorOptions stored_;
    std::vector<TextStyle> sample_;
    bool showingElement_ = false;

    QTabWidget* pages_;
    QRadioButton* warningAndError_;
    QRadioButton* errorOnly_;
    QCheckBox* desktop_;
    std::vector<QCheckBox*> editorChecks_;
    QLineEdit* tabStops_;
    QLineEdit* blockIndent_;
    QCheckBox* rightMargin_;
    QComboBox* marginColor_;
    QComboBox* marginStyle_;
    QLineEdit* marginPosition_;
    QComboBox* font_;
    QComboBox* size_;
    QComboBox* keyMapping_;
    std::array<QLabel*, 2> fontSamples_{};
    QComboBox* scheme_;
    QListWidget* elements_;
    QComboBox* foreground_;
    QComboBox* background_;
    QCheckBox* bold_;
    QCheckBox* italic_;
    QCheckBox* underline_;
    EditorPage* sampleEditor_;
};

// Options|Environment Options: runs the dialog modally; true when the user pressed OK.
bool showEnvironmentOptions(const EnvironmentTargets& targets, QWidget* parent);

}  // namespace tarnwick
