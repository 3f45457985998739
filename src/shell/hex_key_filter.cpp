#include "shell/hex_key_filter.h"

namespace tarnwick {

QValidator::State HexKeyFilter::validate(QString& input, int& position) const {
    QString kept;
    int keptBeforeCursor = 0;
    for (int i = 0; i < input.size(); ++i) {
        const QChar c = input[i].toUpper();
        const bool hexDigit = (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F');
        if (!hexDigit && !(blanks_ == Blanks::Allowed && c == u' ')) continue;
        kept += c;
        if (i < position) ++keptBeforeCursor;
    }
    input = kept;
    position = keptBeforeCursor;
    return Acceptable;
}

}  // namespace tarnwick
