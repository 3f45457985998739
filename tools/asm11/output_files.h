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

// The listing: the TITLE, then per source line its number, the address and up to 4 bytes in
// hex (more bytes on rows of their own below), the source text, then its messages in the
// format of the message lines; the lines a macro call expands to follow it, numbered like the
// call with a '+'; a form feed after a #PAGE line; a "File name" row wherever the file
// changes; at the end the symbols sorted by name.
std::string listingText(const AssemblyResult& result);

// The -EXP file: each exported symbol as "NAME SET $VALUE", then the #MEXPORT macros, for a
// later assembly to #INCLUDE.
std::string exportFileText(const AssemblyResult& result);

// The map: a header, then "AAAA line file" for each line that stored bytes.
std::string mapText(const AssemblyResult& result);

}  // namespace tarnwick::asm11
