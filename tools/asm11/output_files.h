#pragma once

#include <string>
#include <string_view>

#include "asm11/assembler.h"

namespace tarnwick::asm11 {

// S1 records of at most 32 data bytes in address order, a new one wherever #S19FLUSH asked
// for it, then the S9 record with the start
// address; an S0 record with `header` in front when it is not empty.
std::string s19Text(const AssemblyResult& result, std::string_view header);

// The symbol file the IDE's debugger reads: per module "#MODULE NAME file", lines
// "AAAA line" and "#END", then "#SYMBOL", lines "AAAA name" and "#END".
std::string symbolFileText(const AssemblyResult& result);

}  // namespace tarnwick::asm11
