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
#include "shell/editor_options.h"
#include "shell/text_styles.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;
class QTabWidget;
class QToolBar;

namespace tarnwick {

class EditorPage;
class TEditor;

// Everything the environment options dialog reads and writes.
struct EnvironmentTargets {
    Settings& settings;
    SettingsStore& store;  // the preferences and the editor options
    TEditor& editor;
    Host& host;
    QAction* saveAction = nullptr;  // the main menu's "&Save", when there is one
    QToolBar* toolBar = nullptr;    // the main window's tool bar, when there is one
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
    QCheckBox* toolBarText_;
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
