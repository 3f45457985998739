#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace tarnwick {

// What a terminal on the SCI line shows of the bytes the program transmits: lines of at most
// 80 columns, the newest at the bottom, where the cursor always stands. As on a terminal, CR
// returns to the start of the line (the next text overwrites it), LF moves down a line keeping
// the column, BS moves one column left and HT to the next multiple of 8; a character written
// past the last column starts a new line. Every other control byte (00-1F, 7F-9F) is shown as
// its hex code between angle brackets, "<1B>"; bytes from A0 up are Latin-1 characters.
//
// The lines are a ring of fixed size, so feeding a byte never allocates.
class SciTerminal {
  public:
    static constexpr std::size_t kColumns = 80;
    static constexpr std::size_t kKeptLines = 1000;

    SciTerminal();

    void feed(std::uint8_t byte);
    // An empty screen, the cursor at its start; the lines before are gone.
    void clear();

    // The kept lines, 0 the oldest; each is Latin-1 text without trailing padding.
    std::size_t lineCount() const { return count_; }
    std::string_view line(std::size_t index) const;
    // Line `index` is line firstLineNumber() + index of all lines the terminal has had.
    std::uint64_t firstLineNumber() const { return firstLineNumber_; }
    // The cursor's column on the last line; kColumns after a character in the last column.
    std::size_t cursorColumn() const { return column_; }

    // For the one view that shows the lines: whether anything changed since its last
    // markShown(), and the number of the first line that did.
    bool changed() const { return changedFrom_ < firstLineNumber_ + count_; }
    std::uint64_t changedFrom() const { return changedFrom_; }
    void markShown() { changedFrom_ = firstLineNumber_ + count_; }

  private:
    struct Line {
        std::array<char, kColumns> cells;
        std::uint8_t length = 0;
    };

    Line& lastLine() { return ring_[(first_ + count_ - 1) % kKeptLines]; }
    void put(char cell);
    void putText(std::string_view text);
    void lineFeed();
    void markLastLineChanged();

    std::vector<Line> ring_;
    std::size_t first_ = 0;  // ring index of line 0
    std::size_t count_ = 1;
    std::uint64_t firstLineNumber_ = 0;
    std::size_t column_ = 0;
    std::uint64_t changedFrom_ = 0;
};

}  // namespace tarnwick
