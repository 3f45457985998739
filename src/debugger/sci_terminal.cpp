#include "debugger/sci_terminal.h"

#include <algorithm>

namespace tarnwick {

namespace {

constexpr std::uint8_t kBackspace = 0x08;
constexpr std::uint8_t kTab = 0x09;
constexpr std::uint8_t kLineFeed = 0x0A;
constexpr std::uint8_t kCarriageReturn = 0x0D;
constexpr std::size_t kTabWidth = 8;

bool isControl(std::uint8_t byte) {
    return byte < 0x20 || (byte >= 0x7F && byte < 0xA0);
}

}  // namespace

SciTerminal::SciTerminal() : ring_(kKeptLines) {}

std::string_view SciTerminal::line(std::size_t index) const {
    const Line& entry = ring_[(first_ + index) % kKeptLines];
    return {entry.cells.data(), entry.length};
}

void SciTerminal::feed(std::uint8_t byte) {
    switch (byte) {
        case kCarriageReturn:
            column_ = 0;
            return;
        case kLineFeed:
            lineFeed();
            return;
        case kBackspace:
            if (column_ > 0) --column_;
            return;
        case kTab:
            column_ = std::min((column_ / kTabWidth + 1) * kTabWidth, kColumns);
            return;
        default:
            break;
    }
    if (!isControl(byte)) {
        put(static_cast<char>(byte));
        return;
    }
    constexpr char kDigits[] = "0123456789ABCDEF";
    const char code[] = {'<', kDigits[byte >> 4], kDigits[byte & 0x0F], '>'};
    putText({code, sizeof code});
}

void SciTerminal::clear() {
    firstLineNumber_ += count_;
    first_ = (first_ + count_) % kKeptLines;
    count_ = 1;
    lastLine().length = 0;
    column_ = 0;
    markLastLineChanged();
}

void SciTerminal::put(char cell) {
    if (column_ >= kColumns) {
        lineFeed();
        column_ = 0;
    }
    Line& current = lastLine();
    // A cursor moved past the end by HT or LF leaves blanks before the character.
    while (current.length < column_) current.cells[current.length++] = ' ';
    current.cells[column_++] = cell;
    current.length = static_cast<std::uint8_t>(std::max<std::size_t>(current.length, column_));
    markLastLineChanged();
}

void SciTerminal::putText(std::string_view text) {
    for (const char cell : text) put(cell);
}

void SciTerminal::lineFeed() {
    if (count_ == kKeptLines) {
        first_ = (first_ + 1) % kKeptLines;
        ++firstLineNumber_;
    } else {
        ++count_;
    }
    lastLine().length = 0;
    markLastLineChanged();
}

void SciTerminal::markLastLineChanged() {
    changedFrom_ = std::min(changedFrom_, firstLineNumber_ + count_ - 1);
}

}  // namespace tarnwick
