#include "shell/hc11_lexer.h"

#include <Qsci/qsciscintilla.h>

#include <QByteArray>
#include <algorithm>
#include <array>
#include <cctype>
#include <set>
#include <string>

#include "base/instruction_set.h"

namespace tarnwick {

namespace {

// The assembler's forms beyond the CPU's own mnemonics, which the instruction table lists.
constexpr std::array<std::string_view, 50> kExtraMnemonics{
    "LDA",  "LDB",  "STA",  "STB",  "ORA",  "ORB",   "PSHD",  "PULD", "CMPD", "CMPX",
    "CMPY", "CLRD", "CLRX", "CLRY", "COMD", "NEGD",  "XGAB",  "ROLD", "RORD", "INCD",
    "DECD", "LBRA", "LBSR", "GETX", "GETY", "GIVEX", "GIVEY", "JCC",  "JCS",  "JEQ",
    "JGE",  "JGT",  "JHI",  "JHS",  "JLE",  "JLO",   "JLS",   "JLT",  "JMI",  "JNE",
    "JPL",  "JVC",  "JVS",  "CLS",  "CLX",  "SES",   "WAIT",  "OS",   "OSW",  "XGXY"};

constexpr std::array<std::string_view, 11> kPseudoOperations{
    "DB", "DS", "DW", "END", "EQU", "FCB", "FCC", "FCS", "FDB", "ORG", "RMB"};

constexpr std::array<std::string_view, 50> kDirectives{
    "#CASEON",    "#CASEOFF",  "#DATA",      "#ELSE",     "#ENDIF",      "#ERROR",     "#EXTRAON",
    "#EXTRAOFF",  "#FATAL",    "#IF",        "#IFDEF",    "#IFEXISTS",   "#IFNDEF",    "#IFNEXISTS",
    "#IFNZ",      "#IFZ",      "#LISTOFF",   "#LISTON",   "#MAPOFF",     "#MAPON",     "#MESSAGE",
    "#OPTRELOFF", "#OPTRELON", "#OPTRTSOFF", "#OPTRTSON", "#S19FLUSH",   "#PAGE",      "#RAM",
    "#ROM",       "#TABSIZE",  "#WARNING",   "#IFMAIN",   "#IFINCLUDED", "#MEMORY",    "#PUSH",
    "#PULL",      "#SEG0",     "#SEG1",      "#SEG2",     "#SEG3",       "#SEG4",      "#SEG5",
    "#SEG6",      "#SEG7",     "#SEG8",      "#SEG9",     "#SPACESON",   "#SPACESOFF", "#VECTORS",
    "#INCLUDE"};

std::string upperCase(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return result;
}

// The word lists, upper case; every lookup upper-cases its word first.
struct WordLists {
    std::set<std::string, std::less<>> mnemonics;
    std::set<std::string, std::less<>> pseudoOperations;
    std::set<std::string, std::less<>> directives;
};

const WordLists& wordLists() {
    static const WordLists lists = [] {
        WordLists built;
        for (const InstructionForm& form : kInstructionSet) built.mnemonics.emplace(form.mnemonic);
        built.mnemonics.insert(kExtraMnemonics.begin(), kExtraMnemonics.end());
        built.pseudoOperations.insert(kPseudoOperations.begin(), kPseudoOperations.end());
        built.directives.insert(kDirectives.begin(), kDirectives.end());
        return built;
    }();
    return lists;
}

bool isLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isWordChar(char c) {
    return isLetter(c) || isDigit(c);
}
bool isHexDigit(char c) {
    return isDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

template <typename Predicate>
std::size_t skipWhile(std::string_view line, std::size_t pos, Predicate predicate) {
    while (pos < line.size() && predicate(line[pos])) ++pos;
    return pos;
}

// A double-quoted string ends at a quote that no odd run of backslashes escapes.
std::size_t doubleQuotedEnd(std::string_view line, std::size_t start) {
    std::size_t backslashes = 0;
    for (std::size_t pos = start + 1; pos < line.size(); ++pos) {
        if (line[pos] == '"' && backslashes % 2 == 0) return pos + 1;
        backslashes = line[pos] == '\\' ? backslashes + 1 : 0;
    }
    return line.size();
}

// An apostrophe string: two apostrophes stand for one; #-character constants such as #13
// that follow the closing apostrophe belong to it.
std::size_t singleQuotedEnd(std::string_view line, std::size_t start) {
    std::size_t pos = start + 1;
    while (pos < line.size()) {
        if (line[pos] != '\'') {
            ++pos;
        } else if (pos + 1 < line.size() && line[pos + 1] == '\'') {
            pos += 2;
        } else {
            ++pos;
            while (pos + 1 < line.size() && line[pos] == '#' && isDigit(line[pos + 1]))
                pos = skipWhile(line, pos + 1, isDigit);
            return pos;
        }
    }
    return line.size();
}

Hc11Token word(std::string_view line, std::size_t start) {
    const std::size_t end = skipWhile(line, start, isWordChar);
    const std::string text = upperCase(line.substr(start, end - start));
    const WordLists& lists = wordLists();
    if (lists.pseudoOperations.count(text)) return {end, kPseudoReservedWordStyle};
    if (lists.mnemonics.count(text)) return {end, kReservedWordStyle};
    return {end, kIdentifierStyle};
}

// A binary number is an integer only when a blank or the line end follows it; otherwise the
// "%" is taken as an operator and the token drawn as a delimiter.
Hc11Token binaryNumber(std::string_view line, std::size_t start) {
    const std::size_t end = skipWhile(line, start + 1, [](char c) { return c == '0' || c == '1'; });
    const bool standsAlone = end == line.size() || line[end] == ' ' || line[end] == '\t';
    return {end, standsAlone ? kIntegerStyle : kDelimiterStyle};
}

Hc11Token decimalNumber(std::string_view line, std::size_t start) {
    std::size_t end = skipWhile(line, start, isDigit);
    bool isFloat = false;
    if (end + 1 < line.size() && line[end] == '.' && isDigit(line[end + 1])) {
        end = skipWhile(line, end + 1, isDigit);
        isFloat = true;
    }
    if (end < line.size() && (line[end] == 'E' || line[end] == 'e')) {
        ++end;
        if (end + 1 < line.size() && (line[end] == '+' || line[end] == '-') &&
            isDigit(line[end + 1]))
            ++end;
        end = skipWhile(line, end, isDigit);
        isFloat = true;
    }
    return {end, isFloat ? kFloatStyle : kIntegerStyle};
}

// A directive colours the rest of the line up to a comment; any other "#" is the immediate
// sign alone.
Hc11Token hashSign(std::string_view line, std::size_t start) {
    const std::size_t nameEnd = skipWhile(line, start + 1, isWordChar);
    if (!wordLists().directives.count(upperCase(line.substr(start, nameEnd - start))))
        return {start + 1, kDelimiterStyle};
    const std::size_t comment = line.find(';', nameEnd);
    return {comment == std::string_view::npos ? line.size() : comment, kDefinesStyle};
}

}  // namespace

Hc11Token nextHc11Token(std::string_view line, std::size_t start) {
    const char first = line[start];
    if (first == '"') return {doubleQuotedEnd(line, start), kStringStyle};
    if (first == '\'') return {singleQuotedEnd(line, start), kStringStyle};
    if (isLetter(first)) return word(line, start);
    if (first == ';') return {line.size(), kCommentStyle};
    // A "*" in the first column makes the whole line a comment, as Motorola assemblers read it.
    const bool lineStart = start == 0 || line[start - 1] == '\n' || line[start - 1] == '\r';
    if (first == '*' && lineStart) return {line.size(), kCommentStyle};
    if (first == '$') return {skipWhile(line, start + 1, isHexDigit), kIntegerStyle};
    if (first == '%') return binaryNumber(line, start);
    if (isDigit(first)) return decimalNumber(line, start);
    if (first == '#') return hashSign(line, start);
    return {start + 1, kWhitespaceStyle};
}

THC11Parser::THC11Parser(QObject* parent) : QsciLexerCustom(parent) {
    wordLists();
    setTextStyles(defaultTextStyles());
}

const char* THC11Parser::language() const {
    return "68HC11";
}

QString THC11Parser::description(int style) const {
    if (style < 0 || style >= static_cast<int>(styles_.size())) return {};
    return styles_[style].name;
}

void THC11Parser::setTextStyles(const std::vector<TextStyle>& styles) {
    styles_ = styles;
    for (std::size_t i = 0; i < styles_.size(); ++i) {
        const TextStyle& style = styles_[i];
        QFont font = editorFont();
        font.setBold(style.bold);
        font.setItalic(style.italic);
        font.setUnderline(style.underline);
        setColor(style.text, static_cast<int>(i));
        setPaper(style.background, static_cast<int>(i));
        setFont(font, static_cast<int>(i));
    }
    if (!styles_.empty()) {
        setDefaultColor(styles_[kWhitespaceStyle].text);
        setDefaultPaper(styles_[kWhitespaceStyle].background);
    }
}

void THC11Parser::styleText(int start, int end) {
    QsciScintilla* page = editor();
    if (!page || end <= start) return;
    const long firstLine = page->SendScintilla(QsciScintilla::SCI_LINEFROMPOSITION, start);
    const long lastLine = page->SendScintilla(QsciScintilla::SCI_LINEFROMPOSITION, end - 1);
    const long from = page->SendScintilla(QsciScintilla::SCI_POSITIONFROMLINE, firstLine);
    const long to = page->SendScintilla(QsciScintilla::SCI_POSITIONFROMLINE, lastLine) +
                    page->SendScintilla(QsciScintilla::SCI_LINELENGTH, lastLine);
    QByteArray text(static_cast<qsizetype>(to - from) + 1, '\0');
    page->SendScintilla(QsciScintilla::SCI_GETTEXTRANGE, from, to, text.data());
    text.chop(1);

    startStyling(static_cast<int>(from));
    const std::string_view all(text.constData(), static_cast<std::size_t>(text.size()));
    std::size_t pos = 0;
    while (pos < all.size()) {
        std::size_t contentEnd = all.find_first_of("\r\n", pos);
        if (contentEnd == std::string_view::npos) contentEnd = all.size();
        // Tokens only look ahead, so the text up to this line's end serves as the line.
        const std::string_view line = all.substr(0, contentEnd);
        while (pos < contentEnd) {
            const Hc11Token token = nextHc11Token(line, pos);
            setStyling(static_cast<int>(token.end - pos), token.style);
            pos = token.end;
        }
        if (pos == all.size()) break;
        const bool crlf = all[pos] == '\r' && pos + 1 < all.size() && all[pos + 1] == '\n';
        const std::size_t lineEnd = pos + (crlf ? 2 : 1);
        setStyling(static_cast<int>(lineEnd - pos), kWhitespaceStyle);
        pos = lineEnd;
    }
}

}  // namespace tarnwick
