#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tarnwick {

// "4,123,123,123": decimal digits grouped in threes with the given separator.
std::string groupThousands(std::uint64_t value, std::string_view separator);

// Upper-case hexadecimal with exactly `digits` digits ("00FF").
std::string hexText(std::uint32_t value, int digits);

}  // namespace tarnwick
