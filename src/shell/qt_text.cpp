#include "shell/qt_text.h"

#include <QStringDecoder>
#include <array>

namespace tarnwick {
namespace {

// Code page 1252 at 80-9F; 0 where it defines no character.
constexpr std::array<char16_t, 32> kCodePage1252High{
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

}  // namespace

QString byteText(std::string_view text) {
    QString shown;
    shown.reserve(static_cast<qsizetype>(text.size()));
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80 || byte > 0x9F) {
            shown += QChar(byte);
        } else {
            const char16_t mapped = kCodePage1252High[byte - 0x80];
            shown += mapped != 0 ? QChar(mapped) : QChar(u'.');
        }
    }
    return shown;
}

QString mixedText(std::string_view text) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString decoded =
        utf8.decode(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
    return utf8.hasError() ? byteText(text) : decoded;
}

}  // namespace tarnwick
