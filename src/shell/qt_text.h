#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <string_view>

namespace tarnwick {

// The models' texts as Qt strings. Messages, captions and file names are UTF-8.
inline QString qText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The texts of memory and registers hold the bytes as they are. They show as the characters
// of code page 1252, the 8-bit set of the Windows tools 68HC11 sources were written with, so
// that 80-9F show as characters rather than as control codes; the five bytes it leaves
// undefined show as '.'.
QString byteText(std::string_view text);

// Source files that are not UTF-8 are 8-bit text in code page 1252. Decoding keeps the five
// bytes it leaves undefined as the control characters of the same number, so that encoding
// gives every byte back; a character outside the code page cannot be encoded.
QString decodeCodePage1252(QByteArrayView bytes);
std::optional<QByteArray> encodeCodePage1252(const QString& text);

// A text that may hold bytes of memory among its words (the status line's analysis of the
// current instruction, a build message): UTF-8 when it is valid UTF-8, bytes otherwise.
QString mixedText(std::string_view text);

}  // namespace tarnwick
