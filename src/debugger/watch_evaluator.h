#pragma once

#include <cstdint>
#include <string>

#include "core/machine.h"
#include "debugger/watch_format.h"

namespace tarnwick {

// A watch shows at most 32 elements; binary elements are wide, so fewer of them fit.
inline constexpr unsigned kMaxWatchLength = 32;
inline constexpr unsigned kMaxBinaryBytes = 20;
inline constexpr unsigned kMaxBinaryWords = 11;

// "0100-0001": bit 7 first, a dash after the fourth digit.
std::string watchBinaryForm(std::uint8_t byte);

// A byte as character and string watches show it: printable characters as themselves
// (quotation mark, apostrophe, question mark and backslash escaped with a backslash), 7 to 13
// as \a \b \t \n \v \f \r, every other control byte as ".".
std::string watchCharacter(std::uint8_t byte);

// The value text of a watch at the address: "index:element" for each element, separated by
// commas, or the string form in double quotes. Reads memory directly, so watching never
// warns about the memory map; addresses wrap at FFFF.
std::string evaluateWatch(const Machine& machine, std::uint16_t address, const WatchFormat& format,
                          unsigned length);

}  // namespace tarnwick
