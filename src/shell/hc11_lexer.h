#pragma once

#include <Qsci/qscilexercustom.h>

#include <cstddef>
#include <string_view>
#include <vector>

#include "shell/text_styles.h"

namespace tarnwick {

// One token of a line of 68HC11 assembly: where it ends (exclusive) and the index of its text
// style. Characters that start no token are single-character "Whitespace" tokens.
struct Hc11Token {
    std::size_t end;
    int style;
};

// The token that starts at `start` of a line given without its line end.
Hc11Token nextHc11Token(std::string_view line, std::size_t start);

// Colours 68HC11 assembly source in editor pages, line by line; no token spans lines.
class THC11Parser : public QsciLexerCustom {
    Q_OBJECT

  public:
    explicit THC11Parser(QObject* parent = nullptr);

    const char* language() const override;
    QString description(int style) const override;
    void styleText(int start, int end) override;

    // Takes colours and font attributes from the editor's style list.
    void setTextStyles(const std::vector<TextStyle>& styles);

  private:
    std::vector<TextStyle> styles_;
};

}  // namespace tarnwick
