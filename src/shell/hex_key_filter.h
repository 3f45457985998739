#pragma once

#include <QValidator>

namespace tarnwick {

// The key filter of hex input fields: only 0-9, a-f and A-F reach the text (blanks too where
// the field holds address ranges), letters turn upper case as they are typed, and refused
// characters are dropped, from pasted text as well.
class HexKeyFilter : public QValidator {
    Q_OBJECT

  public:
    enum class Blanks { Refused, Allowed };

    explicit HexKeyFilter(Blanks blanks, QObject* parent = nullptr)
        : QValidator(parent), blanks_(blanks) {}

    State validate(QString& input, int& position) const override;

  private:
    Blanks blanks_;
};

}  // namespace tarnwick
