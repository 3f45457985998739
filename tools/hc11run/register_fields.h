#pragma once

// The registers as hc11run names them on its command line and in its summaries.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/register_snapshot.h"

namespace tarnwick {

struct RegisterField {
    std::string_view name;
    bool word;  // 16 bits
    std::uint16_t (*read)(const RegisterSnapshot&);
};

inline constexpr std::array<RegisterField, 8> kRegisterFields{{
    {"A", false, [](const RegisterSnapshot& r) -> std::uint16_t { return r.a; }},
    {"B", false, [](const RegisterSnapshot& r) -> std::uint16_t { return r.b; }},
    {"D", true, [](const RegisterSnapshot& r) -> std::uint16_t { return r.d(); }},
    {"X", true, [](const RegisterSnapshot& r) -> std::uint16_t { return r.ix; }},
    {"Y", true, [](const RegisterSnapshot& r) -> std::uint16_t { return r.iy; }},
    {"SP", true, [](const RegisterSnapshot& r) -> std::uint16_t { return r.sp; }},
    {"PC", true, [](const RegisterSnapshot& r) -> std::uint16_t { return r.pc; }},
    {"CCR", false, [](const RegisterSnapshot& r) -> std::uint16_t { return r.ccr; }},
}};

// The register of that name in any letter case; null when there is none.
const RegisterField* findRegisterField(std::string_view name);

// "A, B, D, X, Y, SP, PC, CCR"
std::string registerNameList();

}  // namespace tarnwick
