#pragma once

#include <set>
#include <string_view>

namespace tarnwick::asm11 {

// The names ASM11 accepts beyond Motorola's while extra mnemonics are on. Their expansions
// are not written yet; the names are known so that a source using them gets a clear message.
inline bool isExtraMnemonic(std::string_view name) {
    static const std::set<std::string_view> names = {
        "LDA",  "LDB",  "STA",  "STB",  "ORA",  "ORB",   "PSHD",  "PULD", "CMPD", "CMPX",
        "CMPY", "CLRD", "CLRX", "CLRY", "COMD", "NEGD",  "XGAB",  "ROLD", "RORD", "INCD",
        "DECD", "LBRA", "LBSR", "GETX", "GETY", "GIVEX", "GIVEY", "JCC",  "JCS",  "JEQ",
        "JGE",  "JGT",  "JHI",  "JHS",  "JLE",  "JLO",   "JLS",   "JLT",  "JMI",  "JNE",
        "JPL",  "JVC",  "JVS",  "CLS",  "CLX",  "SES",   "WAIT",  "OS",   "OSW",  "XGXY"};
    return names.count(name) > 0;
}

}  // namespace tarnwick::asm11
