#pragma once

#include <cstdint>
#include <string>

#include "core/machine.h"

namespace tarnwick {

// One disassembled instruction as it appears in a disassembly file.
struct DisassembledLine {
    std::string text;  // without the caller's line break
    std::uint8_t length = 1;
    // RTS or RTI: the text already ends in a line break, so the caller's own leaves an empty
    // line and the line counts as two.
    bool endsBlock = false;
};

// Decodes the instruction at `address` from the value bytes (direct access). Unassigned
// opcodes and everything from FFBC up become one-byte FCB lines, so no instruction runs into
// the vector table.
DisassembledLine disassembleInstruction(const Machine& machine, std::uint16_t address);

// The FDB line of the vector at `address`.
std::string vectorLine(const Machine& machine, std::uint16_t address);

// A local date and time as the header line shows it.
struct LocalDateTime {
    int year = 2000;
    int month = 1;    // 1-12
    int day = 1;      // 1-31
    int weekday = 0;  // 0 = Sunday
    int hour = 0;     // 0-23
    int minute = 0;
};

LocalDateTime currentLocalTime();

// ";Disassembled by Tarnwick [Wednesday, January 08, 2025 3:07 PM]" and CR LF.
std::string headerLine(const LocalDateTime& time);

// ";Disassembled by Tarnwick" and CR LF: the header of outputs that are compared between runs.
std::string undatedHeaderLine();

}  // namespace tarnwick
