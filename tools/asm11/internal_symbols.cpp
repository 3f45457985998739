// The internal symbols, each starting with a colon: values the assembler keeps (:PC,
// :CYCLES, :S19CRC, :TEMP ...), the state of the running macro (:LOOP, :MINDEX, :1 ...) and
// the stack offsets of #SP and #SPAUTO (:SP, ::).

#include <cctype>
#include <chrono>
#include <ctime>

#include "asm11/asm_error.h"
#include "asm11/assembler_core.h"

namespace tarnwick::asm11 {
namespace {

std::tm assemblyTime() {
    static const std::tm time = [] {
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        return local;
    }();
    return time;
}

}  // namespace

Value Assembler::internalSymbol(std::string_view name) {
    const std::string key = upper(name);
    const Switches& sw = state_.switches;
    const std::int32_t topOfStack = (sw.spZeroBased ? 0 : 1) - sw.spOffset;
    if (key == "::") return {topOfStack, true};
    if (key.starts_with("::")) {
        const std::string_view symbolName = name.substr(2);
        const Symbol* symbol = findSymbol(symbolName);
        if (symbol) return {symbol->size, true};
        if (pass_ == 1) return {0, false};
        throw AsmError{"Undefined symbol: " + std::string(symbolName)};
    }
    const std::string_view word = std::string_view(key).substr(1);
    MacroCall* call = inMacro() ? sources_.back().call.get() : nullptr;
    if (!word.empty() && std::isdigit(static_cast<unsigned char>(word[0]))) {
        if (!call) throw AsmError{"Internal symbol " + key + " outside a macro"};
        const std::size_t index = parameterIndex(word);
        const std::size_t length =
            index < call->parameters.size() ? call->parameters[index].size() : 0;
        return {static_cast<std::int32_t>(length), true};
    }
    const std::tm time = assemblyTime();
    const auto number = [](auto value) { return Value{static_cast<std::int32_t>(value), true}; };
    if (word == "PC") return number(lineStart_);
    if (word == "PPC") return number(sw.savedPc);
    if (word == "PROC") return number(state_.procStack.empty() ? 0 : state_.procStack.back());
    if (word == "MAXPROC") return number(state_.procCounter);
    if (word == "TEMP") return number(call ? call->temp : state_.temps[0]);
    if (word == "TEMP1") return number(state_.temps[1]);
    if (word == "TEMP2") return number(state_.temps[2]);
    if (word == "CYCLES") {
        const std::int64_t cycles = state_.cycles;
        state_.cycles = 0;
        return number(cycles);
    }
    if (word == "OCYCLES") return number(state_.oldCycles);
    if (word == "CRC") return number(state_.crc);
    if (word == "S19CRC") return number(state_.s19Crc);
    if (word == "ANRTS" || word == "ANRTC") {
        if (state_.lastRts < 0) throw AsmError{"No RTS before " + key};
        return number(state_.lastRts);
    }
    if (word == "YEAR") return number(time.tm_year + 1900);
    if (word == "MONTH") return number(time.tm_mon + 1);
    if (word == "DATE") return number(time.tm_mday);
    if (word == "HOUR") return number(time.tm_hour);
    if (word == "MIN") return number(time.tm_min);
    if (word == "SEC") return number(time.tm_sec);
    if (word == "DOW") return number(time.tm_wday);
    if (word == "CPU") return number(6811);
    if (word == "AB") return number(2);
    if (word == "WIDTH") return number(80);
    if (word == "MAXLABEL") return number(50);
    if (word == "LINENO") return number(line_);
    if (word == "OFFSET") return number(state_.s19Offset);
    if (word == "WARNINGS") return number(state_.result.warnings);
    if (word == "ERRORS") return number(state_.result.errors);
    if (word == "TOTALMACROCALLS") return number(state_.macroCalls);
    if (word == "MEXIT") return number(state_.macroExit);
    if (word == "SP") return number(sw.spOffset);
    if (word == "SP1") return number(sw.spOffset + (sw.spZeroBased ? 1 : 0));
    if (word == "SPX") return number(sw.spOffset - (sw.spZeroBased ? 0 : 1));
    if (word == "SPCHECK") return number(sw.spCheck);
    if (word == "SPFREE") return number(sw.spOffset - sw.spCheck);
    if (word == "PSP") return number(sw.spOffset - sw.savedSp);
    if (word == "SPMAX") return number(state_.spMax);
    if (word == "SPLIMIT") return number(state_.spLimit);
    for (std::size_t i = 0; i < kSegments.size(); ++i) {
        if (word == kSegments[i])
            return number(i == state_.segment ? state_.location : state_.segmentLocations[i]);
    }
    if (word == "MACRONEST") {
        int nesting = 0;
        for (const LineSource& source : sources_) nesting += source.call ? 1 : 0;
        return number(nesting);
    }
    if (!call) {
        static const std::set<std::string_view> macroOnly = {
            "LOOP", "MACROLOOP", "MLOOP", "MINDEX", "MACROINDEX", "INDEX",
            "N",    "NN",        "LABEL", "TEXT",   "MLINENO"};
        if (macroOnly.contains(word)) {
            if (word == "LOOP" || word == "MACROLOOP" || word == "MINDEX" || word == "MACROINDEX" ||
                word == "INDEX")
                return number(0);
            throw AsmError{"Internal symbol " + key + " outside a macro"};
        }
        throw AsmError{"Unknown internal symbol " + std::string(name)};
    }
    if (word == "LOOP" || word == "MACROLOOP") return number(call->loop);
    if (word == "MLOOP") return number(call->mloop);
    if (word == "MINDEX" || word == "MACROINDEX") return number(call->macro->invocations);
    if (word == "INDEX") return number(++call->macro->userIndex);
    if (word == "LABEL") return number(call->label.size());
    if (word == "TEXT") return number(call->text.size());
    if (word == "MLINENO") return number(call->next);
    if (word == "N" || word == "NN") {
        std::size_t count = 0;
        for (std::size_t i = 1; i < call->parameters.size(); ++i) {
            if (!call->parameters[i].empty())
                count = i;
            else if (word == "N")
                break;
        }
        return number(count);
    }
    throw AsmError{"Unknown internal symbol " + std::string(name)};
}

}  // namespace tarnwick::asm11
