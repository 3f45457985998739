#include "shell/text_styles.h"

#include <array>

namespace tarnwick {

namespace {

// The 16-colour VGA palette's names.
const QColor kBlack(0x00, 0x00, 0x00);
const QColor kMaroon(0x80, 0x00, 0x00);
const QColor kGreen(0x00, 0x80, 0x00);
const QColor kNavy(0x00, 0x00, 0x80);
const QColor kSilver(0xC0, 0xC0, 0xC0);
const QColor kRed(0xFF, 0x00, 0x00);
const QColor kLime(0x00, 0xFF, 0x00);
const QColor kYellow(0xFF, 0xFF, 0x00);
const QColor kBlue(0x00, 0x00, 0xFF);
const QColor kFuchsia(0xFF, 0x00, 0xFF);
const QColor kAqua(0x00, 0xFF, 0xFF);
const QColor kWhite(0xFF, 0xFF, 0xFF);

struct SchemeEntry {
    int style;
    QColor background;
    QColor text;
};

// One colour scheme: the plain colours, which the styles not listed receive, and the colours
// of the listed styles.
struct Scheme {
    std::string_view name;
    QColor background;
    QColor text;
    std::array<SchemeEntry, 16> entries;
};

const std::array<Scheme, 3>& schemes() {
    static const std::array<Scheme, 3> table{{
        {"Default",
         kWhite,
         kBlack,
         {{{kWhitespaceStyle, kWhite, kBlack},
           {kStringStyle, kWhite, kBlue},
           {kCommentStyle, kWhite, kBlack},
           {kIdentifierStyle, kWhite, kBlack},
           {kIntegerStyle, kWhite, kRed},
           {kReservedWordStyle, kWhite, kBlack},
           {kDelimiterStyle, kWhite, kBlack},
           {kDefinesStyle, kWhite, kFuchsia},
           {kPseudoReservedWordStyle, kWhite, kGreen},
           {kExecutionPointStyle, kNavy, kWhite},
           {kBreakPointStyle, kRed, kWhite},
           {kErrorLineStyle, kMaroon, kWhite},
           {kCounterStyle, kFuchsia, kWhite},
           {kBookmarkStyle, kSilver, kBlack},
           {kMarkedBlockStyle, kNavy, kWhite},
           {kSearchMatchStyle, kBlack, kLime}}}},
        {"Classic",
         kNavy,
         kYellow,
         {{{kWhitespaceStyle, kNavy, kYellow},
           {kStringStyle, kNavy, kSilver},
           {kCommentStyle, kNavy, kSilver},
           {kIdentifierStyle, kNavy, kYellow},
           {kIntegerStyle, kNavy, kAqua},
           {kReservedWordStyle, kNavy, kWhite},
           {kDelimiterStyle, kNavy, kYellow},
           {kDefinesStyle, kNavy, kLime},
           {kPseudoReservedWordStyle, kNavy, kFuchsia},
           {kExecutionPointStyle, kAqua, kBlack},
           {kBreakPointStyle, kRed, kWhite},
           {kErrorLineStyle, kBlue, kWhite},
           {kCounterStyle, kFuchsia, kWhite},
           {kBookmarkStyle, kSilver, kBlack},
           {kMarkedBlockStyle, kSilver, kNavy},
           {kSearchMatchStyle, kYellow, kBlack}}}},
        {"Twilight",
         kBlack,
         kWhite,
         {{{kWhitespaceStyle, kBlack, kWhite},
           {kStringStyle, kBlack, kYellow},
           {kCommentStyle, kBlack, kSilver},
           {kIdentifierStyle, kBlack, kWhite},
           {kIntegerStyle, kBlack, kLime},
           {kReservedWordStyle, kBlack, kAqua},
           {kDelimiterStyle, kBlack, kWhite},
           {kDefinesStyle, kBlack, kFuchsia},
           {kPseudoReservedWordStyle, kBlack, kRed},
           {kExecutionPointStyle, kBlue, kWhite},
           {kBreakPointStyle, kRed, kWhite},
           {kErrorLineStyle, kAqua, kBlack},
           {kCounterStyle, kFuchsia, kWhite},
           {kBookmarkStyle, kSilver, kBlack},
           {kMarkedBlockStyle, kWhite, kBlack},
           {kSearchMatchStyle, kYellow, kBlack}}}},
    }};
    return table;
}

const Scheme& findScheme(std::string_view name) {
    for (const Scheme& scheme : schemes())
        if (scheme.name == name) return scheme;
    return schemes().front();
}

}  // namespace

std::vector<TextStyle> defaultTextStyles() {
    std::vector<TextStyle> styles{
        {"Whitespace", kWhite, kBlack},
        {"String", kWhite, kBlue},
        {"Comment", kWhite, kBlack, false, true},
        {"Identifier", kWhite, kBlack},
        {"Integer", kWhite, kRed},
        {"Float", kWhite, kBlack},
        {"Reserved words", kWhite, kBlack, true},
        {"Delimeters", kWhite, kBlack},
        {"Defines", kWhite, kFuchsia},
        {"Assembler", kWhite, kBlack},
        {"Html tags", kWhite, kBlack},
        {"Html params", kWhite, kBlack},
        {"Url", kWhite, kBlue},
        {"BreakPoint", kRed, kWhite},
        {"Error Line", kMaroon, kWhite},
        {"Pseudo ResWords", kWhite, kGreen, true},
        {"Execution point", kNavy, kWhite},
        {"Counter", kFuchsia, kWhite},
        {"Bookmark", kSilver, kBlack},
        {"Marked Block", kNavy, kWhite},
        {"Search Match", kBlack, kLime},
    };
    return styles;
}

std::vector<TextStyle> schemeTextStyles(std::string_view name) {
    const Scheme& scheme = findScheme(name);
    std::vector<TextStyle> styles = defaultTextStyles();
    for (TextStyle& style : styles) {
        style.background = scheme.background;
        style.text = scheme.text;
        style.bold = style.italic = style.underline = false;
    }
    for (const SchemeEntry& entry : scheme.entries) {
        styles[entry.style].background = entry.background;
        styles[entry.style].text = entry.text;
    }
    styles[kCommentStyle].italic = true;
    styles[kReservedWordStyle].bold = true;
    styles[kPseudoReservedWordStyle].bold = true;
    return styles;
}

SchemeColors schemeColors(std::string_view name) {
    const Scheme& scheme = findScheme(name);
    return {scheme.background, scheme.text, scheme.text};
}

QFont editorFont() {
    QFont font("Courier New", 10);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}

int textStyleIndex(const std::vector<TextStyle>& styles, const QString& name) {
    for (std::size_t i = 0; i < styles.size(); ++i)
        if (styles[i].name == name) return static_cast<int>(i);
    return -1;
}

}  // namespace tarnwick
