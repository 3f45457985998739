#include "shell/hc11_lexer.h"

#include <Qsci/qsciscintilla.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace tarnwick {
namespace {

using Tokens = std::vector<std::pair<std::string, int>>;

// The tokens of a line with their styles, leaving out blanks.
Tokens tokenize(std::string_view line) {
    Tokens tokens;
    for (std::size_t pos = 0; pos < line.size();) {
        const Hc11Token token = nextHc11Token(line, pos);
        EXPECT_GT(token.end, pos) << "no progress in: " << line;
        if (token.end <= pos) break;
        const std::string text(line.substr(pos, token.end - pos));
        if (text != " " && text != "\t") tokens.emplace_back(text, token.style);
        pos = token.end;
    }
    return tokens;
}

struct LineCase {
    std::string line;
    Tokens expected;
};

class Hc11LexerLines : public ::testing::TestWithParam<LineCase> {};

TEST_P(Hc11LexerLines, GivesEachTokenItsStyle) {
    EXPECT_EQ(tokenize(GetParam().line), GetParam().expected) << GetParam().line;
}

constexpr int W = kWhitespaceStyle, S = kStringStyle, C = kCommentStyle, I = kIdentifierStyle,
              N = kIntegerStyle, F = kFloatStyle, R = kReservedWordStyle, D = kDelimiterStyle,
              P = kPseudoReservedWordStyle, X = kDefinesStyle;

INSTANTIATE_TEST_SUITE_P(
    Tokens, Hc11LexerLines,
    ::testing::Values(
        LineCase{"LDAA #$10 ;load", {{"LDAA", R}, {"#", D}, {"$10", N}, {";load", C}}},
        // "*" comments a whole line from the first column only; elsewhere it is the location.
        LineCase{"* wait 10 cycles", {{"* wait 10 cycles", C}}},
        LineCase{" BRA *", {{"BRA", R}, {"*", W}}},
        // A directive colours everything up to the comment, blanks and file name included.
        LineCase{"#INCLUDE \"hw.inc\" ;hw", {{"#INCLUDE \"hw.inc\" ", X}, {";hw", C}}},
        LineCase{"  #ifdef DEBUG", {{"#ifdef DEBUG", X}}},
        LineCase{"#DEFINE X", {{"#", D}, {"DEFINE", I}, {"X", I}}},
        // A binary number is an integer only before a blank or the line end.
        LineCase{"FCB %0101,%11", {{"FCB", P}, {"%0101", D}, {",", W}, {"%11", N}}},
        LineCase{"FCB %1010\t;bits", {{"FCB", P}, {"%1010", N}, {";bits", C}}},
        LineCase{"DB %012", {{"DB", P}, {"%01", D}, {"2", N}}},
        LineCase{"org $F800", {{"org", P}, {"$F800", N}}},
        LineCase{"Org $G", {{"Org", P}, {"$", N}, {"G", I}}},
        // A label spelled like a mnemonic is drawn as one.
        LineCase{"CLR CLR $1000", {{"CLR", R}, {"CLR", R}, {"$1000", N}}},
        LineCase{"loop_2 lbra Loop_2", {{"loop_2", I}, {"lbra", R}, {"Loop_2", I}}},
        LineCase{"xgxy\tGIVEX osw", {{"xgxy", R}, {"GIVEX", R}, {"osw", R}}},
        LineCase{"FCC \"abc ;no comment", {{"FCC", P}, {"\"abc ;no comment", S}}},
        LineCase{"FCC \"a\\\"b\" x", {{"FCC", P}, {"\"a\\\"b\"", S}, {"x", I}}},
        LineCase{"FCC \"a\\\\\" x", {{"FCC", P}, {"\"a\\\\\"", S}, {"x", I}}},
        LineCase{"FCC 'it''s'#13#10,0", {{"FCC", P}, {"'it''s'#13#10", S}, {",", W}, {"0", N}}},
        LineCase{"LDAA #'A'", {{"LDAA", R}, {"#", D}, {"'A'", S}}},
        LineCase{"DW 12,3.25,1e3,2.5E-4,7.",
                 {{"DW", P},
                  {"12", N},
                  {",", W},
                  {"3.25", F},
                  {",", W},
                  {"1e3", F},
                  {",", W},
                  {"2.5E-4", F},
                  {",", W},
                  {"7", N},
                  {".", W}}},
        LineCase{"NOP ;x \"y\" $12 #IF", {{"NOP", R}, {";x \"y\" $12 #IF", C}}},
        LineCase{
            "LDX 2,X+(Y)",
            {{"LDX", R}, {"2", N}, {",", W}, {"X", I}, {"+", W}, {"(", W}, {"Y", I}, {")", W}}}));

// The highlighter inside an editor page: every line of a text with mixed line ends and
// non-ASCII characters gets the styles of its own tokens.
TEST(Hc11LexerInPage, StylesEveryLineOfTheDocument) {
    QsciScintilla page;
    page.setUtf8(true);
    auto* lexer = new THC11Parser(&page);
    page.setLexer(lexer);
    page.setText(QString::fromUtf8(
        "LDAA #$10 ;Grüße\r\nORG $F800\rNOP\n\nlabel FCB %1\n* NOP 12\n BRA *\n"));
    page.SendScintilla(QsciScintilla::SCI_COLOURISE, 0L, -1L);

    auto styleAt = [&](int line, int column) {
        const long start = page.SendScintilla(QsciScintilla::SCI_POSITIONFROMLINE, line);
        return static_cast<int>(page.SendScintilla(QsciScintilla::SCI_GETSTYLEAT, start + column));
    };
    EXPECT_EQ(styleAt(0, 0), kReservedWordStyle);
    EXPECT_EQ(styleAt(0, 5), kDelimiterStyle);
    EXPECT_EQ(styleAt(0, 6), kIntegerStyle);
    EXPECT_EQ(styleAt(0, 15), kCommentStyle);  // inside the two-byte "ü"
    EXPECT_EQ(styleAt(1, 0), kPseudoReservedWordStyle);
    EXPECT_EQ(styleAt(1, 4), kIntegerStyle);
    EXPECT_EQ(styleAt(2, 0), kReservedWordStyle);
    EXPECT_EQ(styleAt(4, 0), kIdentifierStyle);
    EXPECT_EQ(styleAt(4, 6), kPseudoReservedWordStyle);
    EXPECT_EQ(styleAt(4, 10), kIntegerStyle);
    EXPECT_EQ(styleAt(5, 2), kCommentStyle);
    EXPECT_EQ(styleAt(5, 6), kCommentStyle);
    EXPECT_EQ(styleAt(6, 5), kWhitespaceStyle);
    EXPECT_EQ(lexer->description(kPseudoReservedWordStyle), "Pseudo ResWords");
}

}  // namespace
}  // namespace tarnwick
