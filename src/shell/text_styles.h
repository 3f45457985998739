#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <string_view>
#include <vector>

namespace tarnwick {

// The editor's list of named text styles. The highlighter returns an index into it; the
// debugger's line marks pick a style by name.
enum TextStyleIndex : int {
    kWhitespaceStyle = 0,
    kStringStyle = 1,
    kCommentStyle = 2,
    kIdentifierStyle = 3,
    kIntegerStyle = 4,
    kFloatStyle = 5,
    kReservedWordStyle = 6,
    kDelimiterStyle = 7,
    kDefinesStyle = 8,
    kAssemblerStyle = 9,
    kHtmlTagStyle = 10,
    kHtmlParamStyle = 11,
    kUrlStyle = 12,
    kBreakPointStyle = 13,
    kErrorLineStyle = 14,
    kPseudoReservedWordStyle = 15,
    kExecutionPointStyle = 16,
    kCounterStyle = 17,
    kBookmarkStyle = 18,
    kMarkedBlockStyle = 19,
    kSearchMatchStyle = 20,
};
inline constexpr int kTextStyleCount = 21;

struct TextStyle {
    QString name;
    QColor background;
    QColor text;
    bool bold = false;
    bool italic = false;
    bool underline = false;
};

// The 21 styles as the first start installs them (the "Default" scheme).
std::vector<TextStyle> defaultTextStyles();

// The 21 styles coloured by the named scheme ("Default", "Classic" or "Twilight"; an unknown
// name counts as "Default"): italic comments, bold mnemonics and pseudo-operations, no other
// attributes.
std::vector<TextStyle> schemeTextStyles(std::string_view scheme);

// The text area's colours under a scheme.
struct SchemeColors {
    QColor background;
    QColor text;
    QColor lineNumbers;
};
SchemeColors schemeColors(std::string_view scheme);

// The editor font: Courier New 10, or the closest fixed-pitch font the system has.
QFont editorFont();

// The index of the style with this name, or -1.
int textStyleIndex(const std::vector<TextStyle>& styles, const QString& name);

}  // namespace tarnwick
