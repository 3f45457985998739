#pragma once

// The option values that name addresses: hex or labels, --print and --expect.

#include <string_view>

#include "hc11run/run_options.h"

namespace tarnwick {

// Hex (bare, or after "$" or "0x") up to FFFF, or a word that may be a label.
AddressArgument addressArgument(std::string_view option, std::string_view text);

// "ADDR[:LEN][b|w]": LEN bytes (b, the default) or words (w), LEN from 1 to 65536.
PrintRequest printRequest(std::string_view text);

// "TARGET[:b|:w]=VALUE": TARGET a register (A, B, D, X, Y, SP, PC, CCR) or an address.
Expectation expectation(std::string_view text);

// A positive number of seconds, fractions allowed.
double seconds(std::string_view option, std::string_view text);

}  // namespace tarnwick
