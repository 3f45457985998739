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

bool undefinedInCodePage1252(unsigned char byte) {
    return byte >= 0x80 && byte <= 0x9F && kCodePage1252High[byte - 0x80] == 0;
}

// The character of a byte; the undefined ones stay their control character.
QChar codePage1252(unsigned char byte) {
    if (byte < 0x80 || byte > 0x9F || undefinedInCodePage1252(byte)) return QChar(byte);
    return QChar(kCodePage1252High[byte - 0x80]);
}

}  // namespace

QString byteText(std::string_view text) {
    QString shown;
    shown.reserve(static_cast<qsizetype>(text.size()));
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        shown += undefinedInCodePage1252(byte) ? QChar(u'.') : codePage1252(byte);
    }
    return shown;
}

QString decodeCodePage1252(QByteArrayView bytes) {
    QString text;
    text.reserve(bytes.size());
    for (const char c : bytes) text += codePage1252(static_cast<unsigned char>(c));
    return text;
}

std::optional<QByteArray> encodeCodePage1252(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const QChar c : text) {
        const char16_t unicode = c.unicode();
        const bool direct =
            unicode < 0x80 || (unicode >= 0xA0 && unicode <= 0xFF) ||
            (unicode <= 0x9F && undefinedInCodePage1252(static_cast<unsigned char>(unicode)));
        if (direct) {
            bytes += static_cast<char>(unicode);
            continue;
        }
        std::size_t high = 0;
        while (high < kCodePage1252High.size() && kCodePage1252High[high] != unicode) ++high;
        if (high == kCodePage1252High.size()) return std::nullopt;
        bytes += static_cast<char>(0x80 + high);
    }
    return bytes;
}

QString mixedText(std::string_view text) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString decoded =
        utf8.decode(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
    return utf8.hasError() ? byteText(text) : decoded;
}

}  // namespace tarnwick
