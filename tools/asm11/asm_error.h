#pragma once

#include <string>

namespace tarnwick::asm11 {

// A problem with one source line. Thrown from anywhere below the line's statement and
// reported against that line; the assembly goes on with the next line.
struct AsmError {
    std::string text;
};

}  // namespace tarnwick::asm11
