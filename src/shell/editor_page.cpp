#include "shell/editor_page.h"

#include <Qsci/qscilexercpp.h>

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPainter>
#include <QSaveFile>
#include <QStringDecoder>
#include <algorithm>
#include <array>
#include <cmath>

#include "shell/gutter_images.h"
#include "shell/hc11_lexer.h"
#include "shell/qt_text.h"

namespace tarnwick {

namespace {

constexpr int kLineNumberMargin = 0;
// The code-line dot, the breakpoint disc and the execution arrow share a margin, drawn in
// that order; the counter and the bookmarks have their own so that every image stays whole.
constexpr int kDebugMargin = 1;
constexpr int kCounterMargin = 2;
constexpr int kBookmarkMargin = 3;
constexpr int kUnusedMargin = 4;
constexpr int kSymbolMarginWidth = kGutterImageSize + 2;
constexpr int kMarkerBitCount = 12;

// Marker numbers 0-11 are the marker bits themselves; the line styles other than
// "Whitespace" follow as background markers, and each has a text-colour indicator.
constexpr int kFirstLineStyleMarker = kMarkerBitCount;
constexpr int kFirstLineStyleIndicator = 20;
constexpr std::array<LineStyle, 5> kMarkedLineStyles{LineStyle::BreakPoint, LineStyle::Counter,
                                                     LineStyle::Bookmark, LineStyle::ExecutionPoint,
                                                     LineStyle::ErrorLine};

int lineStyleMarker(LineStyle style) {
    return kFirstLineStyleMarker + static_cast<int>(style) - 1;
}
int lineStyleIndicator(LineStyle style) {
    return kFirstLineStyleIndicator + static_cast<int>(style) - 1;
}

const QByteArray kByteOrderMark("\xEF\xBB\xBF");

bool isAssemblyFile(const QString& suffix) {
    return suffix == "asm" || suffix == "s" || suffix == "inc" || suffix == "lst";
}
bool isCFile(const QString& suffix) {
    return suffix == "c" || suffix == "h";
}

QFont styledFont(const QFont& base, const TextStyle& style) {
    QFont font = base;
    font.setBold(style.bold);
    font.setItalic(style.italic);
    font.setUnderline(style.underline);
    return font;
}

// The C highlighter's styles drawn in the list's styles of the same kind.
void colourCLexer(QsciLexerCPP& lexer, const std::vector<TextStyle>& styles, const QFont& base) {
    struct Mapping {
        int cStyle;
        int style;
    };
    static constexpr std::array<Mapping, 14> kMappings{{
        {QsciLexerCPP::Default, kWhitespaceStyle},
        {QsciLexerCPP::Comment, kCommentStyle},
        {QsciLexerCPP::CommentLine, kCommentStyle},
        {QsciLexerCPP::CommentDoc, kCommentStyle},
        {QsciLexerCPP::CommentLineDoc, kCommentStyle},
        {QsciLexerCPP::Number, kIntegerStyle},
        {QsciLexerCPP::Keyword, kReservedWordStyle},
        {QsciLexerCPP::DoubleQuotedString, kStringStyle},
        {QsciLexerCPP::SingleQuotedString, kStringStyle},
        {QsciLexerCPP::UnclosedString, kStringStyle},
        {QsciLexerCPP::PreProcessor, kDefinesStyle},
        {QsciLexerCPP::Operator, kDelimiterStyle},
        {QsciLexerCPP::Identifier, kIdentifierStyle},
        {QsciLexerCPP::KeywordSet2, kReservedWordStyle},
    }};
    const TextStyle& plain = styles[kWhitespaceStyle];
    lexer.setDefaultPaper(plain.background);
    lexer.setDefaultColor(plain.text);
    lexer.setPaper(plain.background);
    lexer.setColor(plain.text);
    lexer.setFont(base);
    for (const Mapping& mapping : kMappings) {
        const TextStyle& style = styles[mapping.style];
        lexer.setColor(style.text, mapping.cStyle);
        lexer.setPaper(style.background, mapping.cStyle);
        lexer.setFont(styledFont(base, style), mapping.cStyle);
    }
}

}  // namespace

QString toQString(const std::filesystem::path& file) {
    return QFile::decodeName(QByteArray::fromStdString(file.string()));
}

std::filesystem::path toPath(const QString& name) {
    return std::filesystem::path(QFile::encodeName(name).toStdString());
}

EditorPage::EditorPage(QWidget* parent) : QsciScintilla(parent) {
    setUtf8(true);
    // The horizontal scroll bar follows the longest line shown instead of a fixed width.
    SendScintilla(SCI_SETSCROLLWIDTH, 1UL);
    SendScintilla(SCI_SETSCROLLWIDTHTRACKING, 1UL);

    setMarginType(kLineNumberMargin, NumberMargin);
    setMarginMarkerMask(kLineNumberMargin, 0);
    setMarginWidth(kLineNumberMargin, 0);
    const int debugMask = kCodeLineMarker | kBreakpointMarker | kExecutionPointMarker;
    const std::array<std::pair<int, int>, 3> symbolMargins{{{kDebugMargin, debugMask},
                                                            {kCounterMargin, kCounterMarker},
                                                            {kBookmarkMargin, kAnyBookmarkMarker}}};
    for (const auto& [margin, mask] : symbolMargins) {
        setMarginType(margin, SymbolMargin);
        setMarginMarkerMask(margin, mask);
        setMarginWidth(margin, kSymbolMarginWidth);
        setMarginSensitivity(margin, true);
    }
    setMarginWidth(kUnusedMargin, 0);
    for (int bit = 0; bit < kMarkerBitCount; ++bit) markerDefine(gutterImage(bit), bit);
    connect(this, &QsciScintilla::marginClicked, this,
            [this](int, int line, Qt::KeyboardModifiers) { emit gutterClicked(line); });
    connect(this, &QsciScintillaBase::SCN_DOUBLECLICK, this,
            [this](int, int line, int) { selectLineOnDoubleClick(line); });
    // The component keeps tab stops per line: new lines need them too.
    connect(this, &QsciScintilla::linesChanged, this, [this] {
        if (!options_.tabStops.empty()) applyTabStops();
    });

    applyOptions(options_);
}

QString EditorPage::title() const {
    return file_.empty() ? QStringLiteral("Noname") : toQString(file_.filename());
}

bool EditorPage::load(const std::filesystem::path& file, QString& error) {
    const QString name = toQString(file);
    if (QFileInfo(name).isDir()) {
        error = QStringLiteral("it is a folder");
        return false;
    }
    QFile in(name);
    if (!in.open(QIODevice::ReadOnly)) {
        error = in.errorString();
        return false;
    }
    const QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError) {
        error = in.errorString();
        return false;
    }
    // The component's text ends at a NUL byte: such a file would lose its rest on saving.
    if (bytes.contains('\0')) {
        error = QStringLiteral("it holds NUL bytes, so it is no text file");
        return false;
    }
    // A byte-order mark is kept aside and written back on saving.
    byteOrderMark_ = bytes.startsWith(kByteOrderMark);
    const QByteArray body = byteOrderMark_ ? bytes.mid(kByteOrderMark.size()) : bytes;
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString decoded = utf8.decode(body);
    eightBit_ = utf8.hasError();
    setText(eightBit_ ? decodeCodePage1252(body) : decoded);
    setEolMode(bytes.contains("\r\n") ? EolWindows : EolUnix);
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    setModified(false);
    file_ = file;
    chooseLexer();
    return true;
}

std::optional<QByteArray> EditorPage::fileBytes() const {
    const QByteArray mark = byteOrderMark_ ? kByteOrderMark : QByteArray();
    if (!eightBit_) return mark + text().toUtf8();
    const std::optional<QByteArray> encoded = encodeCodePage1252(text());
    if (!encoded) return std::nullopt;
    return mark + *encoded;
}

bool EditorPage::saveTo(const std::filesystem::path& file, QString& error) {
    const std::optional<QByteArray> bytes = fileBytes();
    if (!bytes) {
        QChar lacking;
        for (const QChar c : text()) {
            if (!encodeCodePage1252(QString(c))) {
                lacking = c;
                break;
            }
        }
        error = QStringLiteral("it is 8-bit text in code page 1252, which has no \u201C%1\u201D")
                    .arg(lacking);
        return false;
    }
    QSaveFile out(toQString(file));
    if (!out.open(QIODevice::WriteOnly) || out.write(*bytes) != bytes->size() || !out.commit()) {
        error = out.errorString();
        return false;
    }
    const bool renamed = file != file_;
    file_ = file;
    setModified(false);
    if (renamed) chooseLexer();
    return true;
}

int EditorPage::textLineCount() const {
    const int count = lines();
    return lineLength(count - 1) == 0 ? count - 1 : count;
}

QString EditorPage::lineTextAt(int line) const {
    QString result = text(line);
    while (result.endsWith('\n') || result.endsWith('\r')) result.chop(1);
    return result;
}

MarkerBits EditorPage::markerBits(int line) const {
    return static_cast<MarkerBits>(markersAtLine(line) & ((1u << kMarkerBitCount) - 1));
}

void EditorPage::setMarkerBits(int line, MarkerBits bits) {
    const MarkerBits current = markerBits(line);
    for (int bit = 0; bit < kMarkerBitCount; ++bit) {
        const MarkerBits mask = static_cast<MarkerBits>(1u << bit);
        if ((bits & mask) && !(current & mask)) markerAdd(line, bit);
        if (!(bits & mask) && (current & mask)) markerDelete(line, bit);
    }
}

LineStyle EditorPage::lineStyleAt(int line) const {
    const unsigned markers = markersAtLine(line);
    for (LineStyle style : kMarkedLineStyles)
        if (markers & (1u << lineStyleMarker(style))) return style;
    return LineStyle::Whitespace;
}

void EditorPage::setLineStyleAt(int line, LineStyle style) {
    const long start = SendScintilla(SCI_POSITIONFROMLINE, line);
    const long length = SendScintilla(SCI_GETLINEENDPOSITION, line) - start;
    for (LineStyle marked : kMarkedLineStyles) {
        markerDelete(line, lineStyleMarker(marked));
        SendScintilla(SCI_SETINDICATORCURRENT, lineStyleIndicator(marked));
        SendScintilla(SCI_INDICATORCLEARRANGE, start, length);
    }
    if (style == LineStyle::Whitespace) return;
    markerAdd(line, lineStyleMarker(style));
    SendScintilla(SCI_SETINDICATORCURRENT, lineStyleIndicator(style));
    SendScintilla(SCI_INDICATORFILLRANGE, start, length);
}

void EditorPage::applyAppearance(const std::vector<TextStyle>& styles, const SchemeColors& colors) {
    styles_ = styles;
    colors_ = colors;
    if (auto* hc11 = qobject_cast<THC11Parser*>(lexer())) {
        hc11->setTextStyles(styles_);
        for (std::size_t i = 0; i < styles_.size(); ++i)
            hc11->setFont(styledFont(options_.font, styles_[i]), static_cast<int>(i));
    } else if (auto* c = qobject_cast<QsciLexerCPP*>(lexer())) {
        colourCLexer(*c, styles_, options_.font);
    } else {
        setFont(options_.font);  // before the colours: it resets every style to the default
        setPaper(colors_.background);
        setColor(colors_.text);
    }
    if (lexer()) {
        lexer()->setDefaultPaper(colors_.background);
        lexer()->setDefaultColor(colors_.text);
    }
    setMarginsBackgroundColor(colors_.background);
    setMarginsForegroundColor(colors_.lineNumbers);
    setCaretForegroundColor(colors_.text);
    setSelectionBackgroundColor(styles_[kMarkedBlockStyle].background);
    setSelectionForegroundColor(styles_[kMarkedBlockStyle].text);
    defineLineStyleMarks(styles_);
    applyTabStops();  // they are measured in the font's spaces
}

void EditorPage::defineLineStyleMarks(const std::vector<TextStyle>& styles) {
    for (LineStyle style : kMarkedLineStyles) {
        const std::string_view name = lineStyleName(style);
        const int index = textStyleIndex(styles, QString::fromUtf8(name.data(), name.size()));
        if (index < 0) continue;
        const int marker = lineStyleMarker(style);
        const int indicator = lineStyleIndicator(style);
        markerDefine(Background, marker);
        setMarkerBackgroundColor(styles[index].background, marker);
        indicatorDefine(TextColorIndicator, indicator);
        setIndicatorForegroundColor(styles[index].text, indicator);
    }
}

void EditorPage::setLineNumbersShown(bool shown) {
    lineNumbersShown_ = shown;
    if (shown) {
        setMarginWidth(kLineNumberMargin, QStringLiteral("00000"));
    } else {
        setMarginWidth(kLineNumberMargin, 0);
    }
}

void EditorPage::applyOptions(const EditorPageOptions& options) {
    options_ = options;
    setTabWidth(options_.tabWidth);
    setIndentationWidth(options_.blockIndent);
    setAutoIndent(options_.autoIndent);
    setBackspaceUnindents(options_.backspaceUnindents);
    setTabIndents(options_.smartTab);
    SendScintilla(SCI_SETVIRTUALSPACEOPTIONS,
                  options_.cursorBeyondEof ? static_cast<unsigned long>(SCVS_USERACCESSIBLE) : 0UL);
    SendScintilla(SCI_SETENDATLASTLINE, static_cast<unsigned long>(!options_.cursorBeyondEof));
    // The component draws its margin line solid only; other pens are drawn by paintEvent.
    const bool solidMargin = options_.rightMarginStyle == Qt::SolidLine;
    setEdgeMode(options_.rightMarginVisible && solidMargin ? EdgeLine : EdgeNone);
    setEdgeColumn(options_.rightMargin);
    setEdgeColor(options_.rightMarginColor);
    // The font is part of every token style, so the styles are drawn anew.
    applyAppearance(styles_, colors_);
    setLineNumbersShown(lineNumbersShown_);
}

// The component measures columns in spaces of the default style, whose width need not be a
// whole number of pixels.
double EditorPage::spaceWidth() {
    constexpr int kSpaces = 100;
    const QByteArray spaces(kSpaces, ' ');
    return SendScintilla(SCI_TEXTWIDTH, STYLE_DEFAULT, spaces.constData()) /
           static_cast<double>(kSpaces);
}

void EditorPage::applyTabStops() {
    const double space = spaceWidth();
    for (int line = 0; line < lines(); ++line) {
        SendScintilla(SCI_CLEARTABSTOPS, line);
        for (const int column : options_.tabStops)
            SendScintilla(SCI_ADDTABSTOP, line, std::lround(column * space));
    }
}

void EditorPage::paintEvent(QPaintEvent* event) {
    QsciScintilla::paintEvent(event);
    if (!options_.rightMarginVisible || options_.rightMarginStyle == Qt::SolidLine) return;
    int textStart = 0;
    for (int margin = 0; margin < margins(); ++margin) textStart += marginWidth(margin);
    // Where a line starts, scrolled or not: lines do not wrap.
    const long lineStart = SendScintilla(SCI_POINTXFROMPOSITION, 0UL, 0L);
    const int x = static_cast<int>(lineStart + options_.rightMargin * spaceWidth());
    if (x < textStart) return;
    QPainter painter(viewport());
    painter.setPen(QPen(options_.rightMarginColor, 1, options_.rightMarginStyle));
    painter.drawLine(x, 0, x, viewport()->height());
}

void EditorPage::keyPressEvent(QKeyEvent* event) {
    // Without "overwrite blocks" typed text goes in at the caret and the selection ends.
    const bool typesText = !event->text().isEmpty() && event->text().front().isPrint();
    if (!options_.overwriteBlocks && typesText && !SendScintilla(SCI_GETSELECTIONEMPTY)) {
        int line = 0;
        int index = 0;
        getCursorPosition(&line, &index);
        setCursorPosition(line, index);
    }
    const bool wasOverwriting = overwriteMode();
    // The component merges keys typed in a row into one undo step; an undo action of its own
    // around each key keeps them apart.
    if (options_.groupUndo) {
        QsciScintilla::keyPressEvent(event);
    } else {
        beginUndoAction();
        QsciScintilla::keyPressEvent(event);
        endUndoAction();
    }
    if (overwriteMode() != wasOverwriting) emit overwriteModeToggled();
}

void EditorPage::placeCaretAt(QPoint point) {
    const long position = SendScintilla(
        SCI_POSITIONFROMPOINT, static_cast<unsigned long>(point.x()), static_cast<long>(point.y()));
    if (hasSelectedText() && position >= SendScintilla(SCI_GETSELECTIONSTART) &&
        position <= SendScintilla(SCI_GETSELECTIONEND))
        return;
    int line = 0;
    int index = 0;
    lineIndexFromPosition(static_cast<int>(position), &line, &index);
    setCursorPosition(line, index);
}

void EditorPage::cutSelection() {
    if (hasSelectedText())
        cut();
    else if (options_.forceCutAndCopy && !isReadOnly())
        SendScintilla(SCI_LINECUT);
}

void EditorPage::copySelection() {
    if (hasSelectedText())
        copy();
    else if (options_.forceCutAndCopy)
        SendScintilla(SCI_LINECOPY);
}

void EditorPage::selectLineOnDoubleClick(int line) {
    if (!options_.doubleClickLine) return;
    if (line + 1 < lines()) {
        setSelection(line, 0, line + 1, 0);
    } else {
        setSelection(line, 0, line, lineLength(line));
    }
}

void EditorPage::chooseLexer() {
    QsciLexer* previous = lexer();
    const QString suffix = QFileInfo(toQString(file_)).suffix().toLower();
    QsciLexer* next = nullptr;
    if (isAssemblyFile(suffix)) next = new THC11Parser(this);
    if (isCFile(suffix)) next = new QsciLexerCPP(this);
    setLexer(next);
    delete previous;
    applyAppearance(styles_, colors_);
    setLineNumbersShown(lineNumbersShown_);
}

}  // namespace tarnwick
