#pragma once

#include <QString>
#include <string_view>

namespace tarnwick {

// The models' texts as Qt strings. Messages, captions and file names are UTF-8; the texts of
// memory and registers hold the bytes as they are, which Latin-1 shows as characters.
inline QString qText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
inline QString latin1Text(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace tarnwick
