#include "shell/environment_dialog.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFont>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>

#include "shell/editor_page.h"
#include "shell/editor_window.h"
#include "shell/hc11_lexer.h"
#include "shell/tool_icons.h"

namespace tarnwick {

namespace {

struct NamedColour {
    const char* name;
    QColor colour;
};

// The 16-colour VGA palette, which the colour choices offer.
const std::array<NamedColour, 16>& vgaPalette() {
    static const std::array<NamedColour, 16> palette{{
        {"Black", QColor(0x00, 0x00, 0x00)},
        {"Maroon", QColor(0x80, 0x00, 0x00)},
        {"Green", QColor(0x00, 0x80, 0x00)},
        {"Olive", QColor(0x80, 0x80, 0x00)},
        {"Navy", QColor(0x00, 0x00, 0x80)},
        {"Purple", QColor(0x80, 0x00, 0x80)},
        {"Teal", QColor(0x00, 0x80, 0x80)},
        {"Gray", QColor(0x80, 0x80, 0x80)},
        {"Silver", QColor(0xC0, 0xC0, 0xC0)},
        {"Red", QColor(0xFF, 0x00, 0x00)},
        {"Lime", QColor(0x00, 0xFF, 0x00)},
        {"Yellow", QColor(0xFF, 0xFF, 0x00)},
        {"Blue", QColor(0x00, 0x00, 0xFF)},
        {"Fuchsia", QColor(0xFF, 0x00, 0xFF)},
        {"Aqua", QColor(0x00, 0xFF, 0xFF)},
        {"White", QColor(0xFF, 0xFF, 0xFF)},
    }};
    return palette;
}

struct FontSizes {
    const char* font;
    std::vector<int> sizes;
};

// The editor fonts and the sizes offered for each.
const std::array<FontSizes, 6>& editorFonts() {
    static const std::array<FontSizes, 6> fonts{{
        {"Fixedsys", {9}},
        {"Courier", {10, 12}},
        {"Lucida Console", {8, 9, 10, 11}},
        {"Courier New", {8, 9, 10, 11, 12}},
        {"Letter Gothic MT", {8, 9, 10}},
        {"Letter Gothic", {8, 9, 10, 11, 12}},
    }};
    return fonts;
}

struct Element {
    const char* entry;
    int style;
    bool attributes;  // line styles have no font style of their own
};

// The "Colors" page's element list and the style each entry edits.
const std::array<Element, 14> kElements{{
    {"Whitespace", kWhitespaceStyle, true},
    {"String", kStringStyle, true},
    {"Comment", kCommentStyle, true},
    {"Identifier", kIdentifierStyle, true},
    {"Integer", kIntegerStyle, true},
    {"Delimeters", kDelimiterStyle, true},
    {"Mnemonic/Reserved words", kReservedWordStyle, true},
    {"Pseudo ResWords", kPseudoReservedWordStyle, true},
    {"Preprocessor", kDefinesStyle, true},
    {"Bookmark", kBookmarkStyle, false},
    {"Execution point", kExecutionPointStyle, false},
    {"Breakpoint", kBreakPointStyle, false},
    {"Counter", kCounterStyle, false},
    {"Error line", kErrorLineStyle, false},
}};

const QStringList kSchemes{QStringLiteral("Default"), QStringLiteral("Classic"),
                           QStringLiteral("Twilight")};

// The sample of the "Colors" page and the line style each line demonstrates.
const char* const kSampleText =
    "* Tarnwick sample\n"
    "        ORG     $E000\n"
    "START   LDS     #$00FF      ; the stack\n"
    "        LDAA    #$01        ; execution point\n"
    "        STAA    $2345       ; breakpoint\n"
    "LOOP    INCA                ; counter\n"
    "        BNE     LOOP        ; bookmark\n"
    "        JSR     SUB         ; error line\n"
    "        FCC     \"Text\"\n";
const std::array<std::pair<int, LineStyle>, 5> kSampleLineStyles{{
    {3, LineStyle::ExecutionPoint},
    {4, LineStyle::BreakPoint},
    {5, LineStyle::Counter},
    {6, LineStyle::Bookmark},
    {7, LineStyle::ErrorLine},
}};

QLineEdit* digitsField(int maxLength) {
    auto* field = new QLineEdit;
    field->setMaxLength(maxLength);
    field->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), field));
    return field;
}

QComboBox* colourBox() {
    auto* box = new QComboBox;
    for (const NamedColour& entry : vgaPalette())
        box->addItem(QString::fromLatin1(entry.name), entry.colour);
    return box;
}

std::vector<int> sizesOf(const QString& font, int storedSize) {
    for (const FontSizes& entry : editorFonts())
        if (font == QLatin1String(entry.font)) return entry.sizes;
    return {storedSize};
}

}  // namespace

TEnviDlg::TEnviDlg(const EnvironmentTargets& targets, QWidget* parent)
    : QDialog(parent),
      targets_(targets),
      stored_(loadEditorOptions(targets.store)),
      sample_(stored_.styles),
      pages_(new QTabWidget) {
    setObjectName(QStringLiteral("TEnviDlg"));
    setWindowTitle(tr("Environment Options"));

    pages_->addTab(createPreferencesPage(), tr("Preferences"));
    pages_->addTab(createEditorPage(), tr("Editor"));
    pages_->addTab(createDisplayPage(), tr("Display"));
    pages_->addTab(createColorsPage(), tr("Colors"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OKBtn"));
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelBtn"));
    connect(buttons, &QDialogButtonBox::accepted, this, &TEnviDlg::OKBtnClick);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages_);
    layout->addWidget(buttons);
    fillFromModels();
    pages_->setCurrentIndex(0);
}

QWidget* TEnviDlg::createPreferencesPage() {
    auto* page = new QWidget;
    auto* gotoNext = new QGroupBox(tr("Go to Next Warning/Error (F12)"));
    gotoNext->setObjectName(QStringLiteral("PRGGotoNext"));
    warningAndError_ = new QRadioButton(tr("Warning and Error"));
    errorOnly_ = new QRadioButton(tr("Error only"));
    auto* gotoLayout = new QVBoxLayout(gotoNext);
    gotoLayout->addWidget(warningAndError_);
    gotoLayout->addWidget(errorOnly_);

    auto* autosave = new QGroupBox(tr("Autosave options:"));
    desktop_ = new QCheckBox(tr("Des&ktop"));
    desktop_->setObjectName(QStringLiteral("PCBDesktop"));
    (new QVBoxLayout(autosave))->addWidget(desktop_);

    auto* toolBar = new QGroupBox(tr("Tool bar:"));
    toolBarText_ = new QCheckBox(tr("&Captions instead of glyphs"));
    toolBarText_->setObjectName(QStringLiteral("PCBToolBarText"));
    (new QVBoxLayout(toolBar))->addWidget(toolBarText_);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(gotoNext);
    layout->addWidget(autosave);
    layout->addWidget(toolBar);
    layout->addStretch();
    return page;
}

QWidget* TEnviDlg::createEditorPage() {
    auto* page = new QWidget;
    auto* checks = new QGridLayout;
    for (std::size_t i = 0; i < editorChecks().size(); ++i) {
        auto* box = new QCheckBox(tr(editorChecks()[i].caption));
        editorChecks_.push_back(box);
        checks->addWidget(box, static_cast<int>(i % 6), static_cast<int>(i / 6));
    }
    tabStops_ = new QLineEdit;
    tabStops_->setObjectName(QStringLiteral("ETabStops"));
    blockIndent_ = digitsField(2);
    blockIndent_->setObjectName(QStringLiteral("EBlockIndent"));
    auto* speedSetting = new QComboBox;
    speedSetting->addItem(tr("Default"));
    speedSetting->setEnabled(false);

    auto* fields = new QFormLayout;
    fields->addRow(tr("Tab stops:"), tabStops_);
    fields->addRow(tr("Block indent:"), blockIndent_);
    fields->addRow(tr("Editor SpeedSetting:"), speedSetting);

    auto* layout = new QVBoxLayout(page);
    layout->addLayout(checks);
    layout->addLayout(fields);
    layout->addStretch();
    return page;
}

QWidget* TEnviDlg::createDisplayPage() {
    auto* page = new QWidget;
    rightMargin_ = new QCheckBox(tr("Visible Right Margin"));
    marginColor_ = colourBox();
    marginColor_->setObjectName(QStringLiteral("CMarginColor"));
    marginStyle_ = new QComboBox;
    for (const MarginStyle& style : marginStyles())
        marginStyle_->addItem(tr(style.name), static_cast<int>(style.pen));
    marginPosition_ = digitsField(3);
    marginPosition_->setObjectName(QStringLiteral("EMarginPosition"));
    auto* margin = new QGroupBox(tr("Margin"));
    auto* marginFields = new QFormLayout(margin);
    marginFields->addRow(rightMargin_);
    marginFields->addRow(tr("Color:"), marginColor_);
    marginFields->addRow(tr("Style:"), marginStyle_);
    marginFields->addRow(tr("Position:"), marginPosition_);

    font_ = new QComboBox;
    font_->setObjectName(QStringLiteral("CFont"));
    for (const FontSizes& entry : editorFonts()) font_->addItem(QString::fromLatin1(entry.font));
    size_ = new QComboBox;
    size_->setObjectName(QStringLiteral("CSize"));
    keyMapping_ = new QComboBox;
    keyMapping_->setObjectName(QStringLiteral("CKeyMapping"));
    keyMapping_->addItems(keyMappings());
    connect(font_, &QComboBox::currentIndexChanged, this, &TEnviDlg::FontChange);
    connect(size_, &QComboBox::currentIndexChanged, this, &TEnviDlg::SizeChange);

    auto* fields = new QFormLayout;
    fields->addRow(tr("Editor font:"), font_);
    fields->addRow(tr("Size:"), size_);
    fields->addRow(tr("Keystroke mapping:"), keyMapping_);
    fontSamples_ = {new QLabel(QStringLiteral("LDAA #$01 STAA $2345 NOP JSR RTS ")),
                    new QLabel(QStringLiteral("ldaa #$67 staa $89EF nop jsr rts "))};

    auto* defaults = new QPushButton(tr("Default"));
    defaults->setObjectName(QStringLiteral("DefaultBtn"));
    connect(defaults, &QPushButton::clicked, this, &TEnviDlg::DefaultBtnClick);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(margin);
    layout->addLayout(fields);
    for (QLabel* sample : fontSamples_) layout->addWidget(sample);
    layout->addWidget(defaults, 0, Qt::AlignRight);
    layout->addStretch();
    return page;
}

QWidget* TEnviDlg::createColorsPage() {
    auto* page = new QWidget;
    scheme_ = new QComboBox;
    scheme_->setObjectName(QStringLiteral("CSetting"));
    scheme_->addItems(kSchemes);
    elements_ = new QListWidget;
    elements_->setObjectName(QStringLiteral("CElement"));
    for (const Element& element : kElements) elements_->addItem(tr(element.entry));

    auto* grid = new QWidget;
    grid->setObjectName(QStringLiteral("ElementGrid"));
    foreground_ = colourBox();
    foreground_->setObjectName(QStringLiteral("FGColor"));
    background_ = colourBox();
    background_->setObjectName(QStringLiteral("BGColor"));
    auto* gridFields = new QFormLayout(grid);
    gridFields->addRow(tr("Foreground:"), foreground_);
    gridFields->addRow(tr("Background:"), background_);

    bold_ = new QCheckBox(tr("Bold"));
    italic_ = new QCheckBox(tr("Italic"));
    underline_ = new QCheckBox(tr("Underline"));

    sampleEditor_ = new EditorPage;
    sampleEditor_->setLexer(new THC11Parser(sampleEditor_));
    sampleEditor_->setText(QString::fromLatin1(kSampleText));
    for (const auto& [line, style] : kSampleLineStyles) sampleEditor_->setLineStyleAt(line, style);
    sampleEditor_->setReadOnly(true);

    connect(scheme_, &QComboBox::currentIndexChanged, this, &TEnviDlg::CSettingChange);
    connect(elements_, &QListWidget::currentRowChanged, this, &TEnviDlg::CElementClick);
    connect(foreground_, &QComboBox::currentIndexChanged, this, &TEnviDlg::ElementGridChange);
    connect(background_, &QComboBox::currentIndexChanged, this, &TEnviDlg::ElementGridChange);
    for (QCheckBox* box : {bold_, italic_, underline_})
        connect(box, &QCheckBox::clicked, this, &TEnviDlg::AttributeClick);

    auto* attributes = new QVBoxLayout;
    attributes->addWidget(grid);
    attributes->addWidget(bold_);
    attributes->addWidget(italic_);
    attributes->addWidget(underline_);
    attributes->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(elements_);
    top->addLayout(attributes);

    auto* layout = new QVBoxLayout(page);
    auto* schemeRow = new QFormLayout;
    schemeRow->addRow(tr("Color SpeedSetting:"), scheme_);
    layout->addLayout(schemeRow);
    layout->addLayout(top);
    layout->addWidget(sampleEditor_);
    return page;
}

void TEnviDlg::fillFromModels() {
    const Settings& settings = targets_.settings;
    (settings.goToNextWarning == JumpTargets::ErrorOnly ? errorOnly_ : warningAndError_)
        ->setChecked(true);
    desktop_->setChecked(settings.autosaveDesktop);
    toolBarText_->setChecked(settings.toolBarTextOnly);

    for (std::size_t i = 0; i < editorChecks().size(); ++i)
        editorChecks_[i]->setChecked(stored_.*editorChecks()[i].member);
    tabStops_->setText(stored_.tabStops);
    blockIndent_->setText(QString::number(stored_.blockIndent));

    rightMargin_->setChecked(stored_.rightMarginVisible);
    selectColour(*marginColor_, stored_.marginColor);
    marginStyle_->setCurrentIndex(marginStyle_->findData(static_cast<int>(stored_.marginStyle)));
    marginPosition_->setText(QString::number(stored_.marginPosition));
    {
        const QSignalBlocker blocker(font_);
        if (font_->findText(stored_.fontName) < 0) font_->addItem(stored_.fontName);
        font_->setCurrentText(stored_.fontName);
    }
    refillSizes(stored_.fontSize);
    keyMapping_->setCurrentText(stored_.keyMapping);

    {
        const QSignalBlocker blocker(scheme_);
        const QString scheme = QString::fromStdString(settings.colorSetting);
        scheme_->setCurrentIndex(std::max(0, static_cast<int>(kSchemes.indexOf(scheme))));
    }
    elements_->setCurrentRow(0);
    showSample();
}

void TEnviDlg::refillSizes(int selected) {
    const QSignalBlocker blocker(size_);
    size_->clear();
    for (int size : sizesOf(font_->currentText(), stored_.fontSize))
        size_->addItem(QString::number(size), size);
    size_->setCurrentIndex(std::max(0, size_->findData(selected)));
    SizeChange();
}

void TEnviDlg::selectColour(QComboBox& box, const QColor& colour) {
    int index = box.findData(colour);
    if (index < 0) {
        box.addItem(colour.name().toUpper(), colour);
        index = box.count() - 1;
    }
    box.setCurrentIndex(index);
}

int TEnviDlg::selectedStyle() const {
    return kElements[static_cast<std::size_t>(std::max(0, elements_->currentRow()))].style;
}

bool TEnviDlg::selectedStyleIsLineStyle() const {
    return !kElements[static_cast<std::size_t>(std::max(0, elements_->currentRow()))].attributes;
}

void TEnviDlg::CElementClick() {
    const TextStyle& style = sample_[static_cast<std::size_t>(selectedStyle())];
    showingElement_ = true;
    selectColour(*foreground_, style.text);
    selectColour(*background_, style.background);
    const bool attributes = !selectedStyleIsLineStyle();
    const std::array<std::pair<QCheckBox*, bool>, 3> boxes{
        {{bold_, style.bold}, {italic_, style.italic}, {underline_, style.underline}}};
    for (const auto& [box, on] : boxes) {
        box->setEnabled(attributes);
        box->setChecked(attributes && on);
    }
    showingElement_ = false;
}

void TEnviDlg::ElementGridChange() {
    if (showingElement_) return;
    TextStyle& style = sample_[static_cast<std::size_t>(selectedStyle())];
    style.text = foreground_->currentData().value<QColor>();
    style.background = background_->currentData().value<QColor>();
    showSample();
}

void TEnviDlg::AttributeClick() {
    if (selectedStyleIsLineStyle()) return;
    TextStyle& style = sample_[static_cast<std::size_t>(selectedStyle())];
    style.bold = bold_->isChecked();
    style.italic = italic_->isChecked();
    style.underline = underline_->isChecked();
    showSample();
}

void TEnviDlg::CSettingChange() {
    sample_ = schemeTextStyles(scheme_->currentText().toStdString());
    elements_->setCurrentRow(0);
    CElementClick();
    showSample();
}

void TEnviDlg::FontChange() {
    refillSizes(-1);
}

void TEnviDlg::SizeChange() {
    const QFont font(font_->currentText(), size_->currentData().toInt());
    for (QLabel* sample : fontSamples_) sample->setFont(font);
}

void TEnviDlg::DefaultBtnClick() {
    rightMargin_->setChecked(true);
    selectColour(*marginColor_, palette().color(QPalette::Disabled, QPalette::Text));
    marginStyle_->setCurrentIndex(marginStyle_->findData(static_cast<int>(Qt::SolidLine)));
    marginPosition_->setText(QStringLiteral("80"));
    font_->setCurrentText(QStringLiteral("Courier New"));
    refillSizes(10);
    keyMapping_->setCurrentText(QStringLiteral("Default"));
}

void TEnviDlg::showSample() {
    sampleEditor_->applyAppearance(sample_, schemeColors(scheme_->currentText().toStdString()));
}

bool TEnviDlg::readNumbers(EditorOptions& options) {
    const auto refuse = [this](QWidget* page, QLineEdit* field, std::string_view message) {
        pages_->setCurrentWidget(page);
        targets_.host.showError(message);
        field->setFocus();
        return false;
    };
    QWidget* editorPage = pages_->widget(1);
    QWidget* displayPage = pages_->widget(2);
    if (!tabStopColumns(tabStops_->text()))
        return refuse(editorPage, tabStops_,
                      "Tab stops must be ascending positive whole numbers separated by spaces");
    if (blockIndent_->text().isEmpty())
        return refuse(editorPage, blockIndent_, "Block indent must be a number");
    if (marginPosition_->text().isEmpty())
        return refuse(displayPage, marginPosition_, "The right margin position must be a number");
    options.tabStops = tabStops_->text().simplified();
    options.blockIndent = blockIndent_->text().toInt();
    options.marginPosition = marginPosition_->text().toInt();
    return true;
}

EditorOptions TEnviDlg::optionsFromControls() const {
    EditorOptions options = stored_;
    for (std::size_t i = 0; i < editorChecks().size(); ++i)
        options.*editorChecks()[i].member = editorChecks_[i]->isChecked();
    options.rightMarginVisible = rightMargin_->isChecked();
    options.marginColor = marginColor_->currentData().value<QColor>();
    options.marginStyle = static_cast<Qt::PenStyle>(marginStyle_->currentData().toInt());
    options.fontName = font_->currentText();
    options.fontSize = size_->currentData().toInt();
    options.keyMapping = keyMapping_->currentText();
    // The element list's styles come from the sample; the others, including the selection
    // and search colours, from the scheme.
    options.styles = schemeTextStyles(scheme_->currentText().toStdString());
    for (const Element& element : kElements)
        options.styles[static_cast<std::size_t>(element.style)] =
            sample_[static_cast<std::size_t>(element.style)];
    return options;
}

void TEnviDlg::OKBtnClick() {
    EditorOptions options = optionsFromControls();
    if (!readNumbers(options)) return;

    Settings& settings = targets_.settings;
    settings.goToNextWarning =
        errorOnly_->isChecked() ? JumpTargets::ErrorOnly : JumpTargets::WarningAndError;
    settings.autosaveDesktop = desktop_->isChecked();
    targets_.store.writeInt(kGoToNextWarningKey, static_cast<int>(settings.goToNextWarning));
    targets_.store.writeBool(kAutosaveDesktopKey, settings.autosaveDesktop);
    settings.toolBarTextOnly = toolBarText_->isChecked();
    targets_.store.writeBool(kToolBarTextOnlyKey, settings.toolBarTextOnly);
    if (targets_.toolBar) showToolBarCaptions(*targets_.toolBar, settings.toolBarTextOnly);

    if (targets_.saveAction) targets_.saveAction->setShortcut(saveShortcut(options.keyMapping));

    settings.colorSetting = scheme_->currentText().toStdString();
    targets_.store.writeString(kColorSettingKey, settings.colorSetting);

    QApplication::setOverrideCursor(Qt::WaitCursor);
    saveEditorOptions(targets_.store, options);
    QApplication::restoreOverrideCursor();

    applyEditorOptions(targets_.editor, options, settings.colorSetting);
    accept();
}

bool showEnvironmentOptions(const EnvironmentTargets& targets, QWidget* parent) {
    TEnviDlg dialog(targets, parent);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace tarnwick
