#pragma once

// The value texts of hc11run's options: numbers, escapes, analog inputs and XIRQ timings.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "hc11run/run_options.h"

namespace tarnwick {

// A bad value on the command line; the text is the one-line reason.
struct UsageError {
    std::string text;
};

// Hex with an optional "$" or "0x" in front, up to `max`.
std::optional<std::uint32_t> parseHex(std::string_view text, std::uint32_t max);

// Plain hex digits only, as the memory map reads them.
std::optional<std::uint32_t> parseBareHex(std::string_view text);

// "$" or "0x" in front: hex, never a label.
bool hasHexPrefix(std::string_view text);
// The digits after such a prefix.
std::string_view withoutHexPrefix(std::string_view text);

std::string upperCase(std::string_view text);

// A decimal count from `min` to `max`.
std::uint64_t count(std::string_view option, std::string_view text, std::uint64_t min,
                    std::uint64_t max);

// "CH=VALUE": channel 0-7, value 0-255 in decimal or, with "$" or "0x", in hex.
AnalogInput analogInput(std::string_view text);

// "pulse@CYCLE" or "level@FROM-TO", in E cycles since the start.
XirqTiming xirqTiming(std::string_view text);

// The text with \r, \n, \t, \\ and \xHH replaced by the bytes they stand for.
std::string unescaped(std::string_view option, std::string_view text);

}  // namespace tarnwick
