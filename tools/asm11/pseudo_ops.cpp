// The pseudo-operations: the location counter, symbol values and data.

#include <cctype>

#include "asm11/asm_error.h"
#include "asm11/assembler_core.h"
#include "asm11/source_line.h"

namespace tarnwick::asm11 {
namespace {

// The counts and sizes a pseudo-operation may reserve: anything from 0 to the whole 64 KB.
void checkCount(std::int64_t count, std::int64_t location) {
    if (count < 0) throw AsmError{"Negative count: " + std::to_string(count)};
    if (location + count > kAddressLimit) throw AsmError{"Code runs past $FFFF"};
}

bool isQuote(char c) {
    return c == '\'' || c == '"' || c == '`';
}

}  // namespace

// ORG address, or ORG s19address,address: the code is assembled for the second address and
// placed in the S19 file at the first. "ORG ," drops such an offset.
void Assembler::org(const Statement& s) {
    const std::string_view text = operand(s.rest);
    const ListItems items = splitList(text);
    const auto address = [this](std::string_view item) {
        const std::int64_t value = evaluateCount(item, "ORG");
        if (value < 0 || value > 0xFFFF)
            throw AsmError{"Address out of range: " + std::to_string(value)};
        return static_cast<std::int32_t>(value);
    };
    if (items.size() == 1) {
        state_.location = address(items[0]);
        return;
    }
    if (items.size() != 2) throw AsmError{"ORG takes [s19address,]address"};
    if (!items[1].empty()) state_.location = address(items[1]);
    state_.s19Offset = items[0].empty() ? 0 : address(items[0]) - state_.location;
}

void Assembler::equ(const Statement& s) {
    defineValue(s, false, false);
}

void Assembler::set(const Statement& s) {
    defineValue(s, true, false);
}

// EXP: an EQU that the -EXP file exports.
void Assembler::exp(const Statement& s) {
    defineValue(s, false, true);
}

// label EQU value[,size]
void Assembler::defineValue(const Statement& s, bool redefinable, bool exported) {
    if (s.label.empty()) throw AsmError{std::string(s.name) + " needs a label"};
    const ListItems items = splitList(operand(s.rest));
    const Value value = evaluate(items[0]);
    defineSymbol(s.label, value, redefinable);
    if (value.known) showInListing(value.number);
    if (items.size() > 1) setSize(s.label, evaluateNow(items[1], std::string(s.name) + " size"));
    if (items.size() > 2) throw AsmError{std::string(s.name) + " takes value[,size]"};
    if (exported) exportSymbol(s.label, false);
}

// DEF: an EQU only when the label is not defined yet, as -D may have done.
void Assembler::def(const Statement& s) {
    if (s.label.empty()) throw AsmError{"DEF needs a label"};
    if (definedBefore(s.label)) return;
    if (operand(s.rest).empty())
        throw AsmError{std::string(s.label) + " must be defined (with -D" + std::string(s.label) +
                       ":value, for instance)"};
    defineValue(s, false, false);
}

// label NEXT symbol[,step]: the label takes the symbol's value, the symbol grows by the
// step (1 without one). NEXP exports the label, SETN makes it redefinable. The symbol may
// be :TEMP, :TEMP1 or :TEMP2.
void Assembler::next(const Statement& s) {
    const ListItems items = splitList(operand(s.rest));
    if (items.empty() || items[0].empty()) throw AsmError{std::string(s.name) + " needs a symbol"};
    const std::string_view symbolName = items[0];
    const std::int32_t step = items.size() > 1 ? evaluateNow(items[1], s.name) : 1;
    std::int32_t* temp = nullptr;
    const std::string key = upper(symbolName);
    if (key == ":TEMP") temp = inMacro() ? &sources_.back().call->temp : &state_.temps[0];
    if (key == ":TEMP1") temp = &state_.temps[1];
    if (key == ":TEMP2") temp = &state_.temps[2];
    std::int32_t value = 0;
    if (temp) {
        value = *temp;
        *temp = value + step;
    } else {
        value = evaluateNow(symbolName, s.name);
        defineSymbol(symbolName, Value{value + step, true}, true);
    }
    if (s.label.empty()) return;
    defineSymbol(s.label, Value{value, true}, s.name == "SETN");
    setSize(s.label, step);
    if (s.name == "NEXP") exportSymbol(s.label, false);
}

// ALIGN n moves the location counter up to a multiple of n; with a label it aligns the
// label's value instead.
void Assembler::align(const Statement& s) {
    const std::int64_t alignment = evaluateCount(operand(s.rest), "ALIGN");
    if (alignment < 1 || alignment > kAddressLimit)
        throw AsmError{"ALIGN needs 1 to 65536: " + std::to_string(alignment)};
    const auto up = [alignment](std::int64_t value) {
        return (value + alignment - 1) / alignment * alignment;
    };
    if (s.label.empty()) return reserve(up(state_.location) - state_.location);
    Symbol* symbol = findSymbol(s.label);
    if (!symbol || !symbol->known)
        throw AsmError{"ALIGN of a label not yet defined: " + std::string(s.label)};
    symbol->value = static_cast<std::int32_t>(up(symbol->value));
}

std::uint8_t Assembler::byteValue(std::string_view text) {
    if (text.empty()) throw AsmError{"Missing value in list"};
    const Value value = evaluate(text);
    if (value.known && (value.number < -0x80 || value.number > 0xFF))
        throw AsmError{"8-bit value out of range: " + std::to_string(value.number)};
    return static_cast<std::uint8_t>(value.number);
}

std::uint16_t Assembler::wordValue(std::string_view text) {
    if (text.empty()) throw AsmError{"Missing value in list"};
    const Value value = evaluate(text);
    if (value.known && (value.number < -0x8000 || value.number > 0xFFFF))
        throw AsmError{"16-bit value out of range: " + std::to_string(value.number)};
    return static_cast<std::uint16_t>(value.number);
}

// A data list's items. Blanks right after a comma do not end it, as Motorola's assembler
// allowed ("FCB 1, 2, 3"); an item may carry the '#' it wrote ("FDB #label").
ListItems Assembler::listItems(std::string_view rest) const {
    std::size_t i = 0;
    bool afterComma = false;
    while (i < rest.size() && rest[i] != ';') {
        if (isBlank(rest[i]) && !state_.switches.spaces) {
            if (!afterComma) break;
            ++i;
            continue;
        }
        afterComma = rest[i] == ',';
        i = skipConstant(rest, i);
    }
    ListItems items = splitList(trim(rest.substr(0, i)));
    for (std::string_view& item : items)
        if (!item.empty() && item[0] == '#') item = trim(item.substr(1));
    return items;
}

// FCB values and strings: an item that is a whole quoted string gives its characters.
void Assembler::fcb(const Statement& s) {
    std::vector<std::uint8_t> bytes;
    for (const std::string_view item : listItems(s.rest)) {
        if (item.size() >= 2 && isQuote(item[0]) && item.back() == item[0] &&
            item.find(item[0], 1) == item.size() - 1) {
            const std::string text = formatEmbedded(item.substr(1, item.size() - 2), false);
            bytes.insert(bytes.end(), text.begin(), text.end());
            continue;
        }
        bytes.push_back(byteValue(item));
    }
    emit(bytes);
}

void Assembler::fdb(const Statement& s) {
    std::vector<std::uint8_t> bytes;
    for (const std::string_view item : listItems(s.rest)) {
        const std::uint16_t word = wordValue(item);
        bytes.push_back(static_cast<std::uint8_t>(word >> 8));
        bytes.push_back(static_cast<std::uint8_t>(word));
    }
    emit(bytes);
}

void Assembler::longWords(const Statement& s) {
    std::vector<std::uint8_t> bytes;
    for (const std::string_view item : listItems(s.rest)) {
        if (item.empty()) throw AsmError{"Missing value in list"};
        const auto value = static_cast<std::uint32_t>(evaluate(item).number);
        for (const int shift : {24, 16, 8, 0})
            bytes.push_back(static_cast<std::uint8_t>(value >> shift));
    }
    emit(bytes);
}

// FCC text: a string in any delimiter, then optionally more strings or byte values after
// commas ("text",13,10). {expr} in a string becomes the expression's value.
std::vector<std::uint8_t> Assembler::stringBytes(std::string_view rest) {
    std::vector<std::uint8_t> bytes;
    std::size_t i = 0;
    for (bool first = true;; first = false) {
        if (i >= rest.size() || isBlank(rest[i])) throw AsmError{"Missing string"};
        const char c = rest[i];
        const bool delimiter = first ? !(std::isalnum(static_cast<unsigned char>(c)) || c == '$' ||
                                         c == '%' || c == '@' || c == '_')
                                     : c == '"' || c == '\'' || c == '/' || c == '`';
        if (delimiter) {
            // A doubled delimiter stands for itself: 'It''s'.
            std::string text;
            for (++i;; i += 2) {
                const std::size_t close = rest.find(c, i);
                if (close == std::string_view::npos) throw AsmError{"Unterminated string"};
                text.append(rest.substr(i, close + 1 - i));
                i = close;
                if (i + 1 >= rest.size() || rest[i + 1] != c) break;
            }
            text.pop_back();  // the closing delimiter
            ++i;
            if (c != '/') text = formatEmbedded(text, false);
            bytes.insert(bytes.end(), text.begin(), text.end());
        } else {
            std::size_t end = i;
            while (end < rest.size() && rest[end] != ',' && rest[end] != ';' &&
                   (state_.switches.spaces || !isBlank(rest[end])))
                end = skipConstant(rest, end);
            bytes.push_back(byteValue(trim(rest.substr(i, end - i))));
            i = end;
        }
        if (i >= rest.size() || rest[i] != ',') return bytes;
        ++i;
    }
}

void Assembler::fcc(const Statement& s) {
    emit(stringBytes(s.rest));
}

void Assembler::fcs(const Statement& s) {
    std::vector<std::uint8_t> bytes = stringBytes(s.rest);
    bytes.push_back(0);
    emit(bytes);
}

void Assembler::rmb(const Statement& s) {
    const std::int64_t count = evaluateCount(operand(s.rest), s.name);
    checkCount(count, state_.location);
    showInListing(state_.location);
    reserve(count);
    if (!s.label.empty()) setSize(s.label, static_cast<std::int32_t>(count));
}

void Assembler::bsz(const Statement& s) {
    const std::int64_t count = evaluateCount(operand(s.rest), s.name);
    checkCount(count, state_.location);
    emit(std::vector<std::uint8_t>(static_cast<std::size_t>(count), 0));
}

void Assembler::fill(const Statement& s) {
    const ListItems items = splitList(operand(s.rest));
    if (items.size() != 2) throw AsmError{"FILL needs value,count"};
    const std::uint8_t value = byteValue(items[0]);
    const std::int64_t count = evaluateCount(items[1], "FILL");
    checkCount(count, state_.location);
    emit(std::vector<std::uint8_t>(static_cast<std::size_t>(count), value));
}

// END [start]: ends the assembly. Motorola's sources often follow it with words of comment,
// so an operand that is no expression only brings a warning.
void Assembler::end(const Statement& s) {
    state_.ended = true;
    const std::string_view text = operand(s.rest);
    if (text.empty()) return;
    Value start;
    try {
        start = evaluate(text);
    } catch (const AsmError&) {
        if (pass_ == 2) warning("END's operand taken as a comment: " + std::string(text));
        return;
    }
    if (start.known && (start.number < 0 || start.number > 0xFFFF))
        throw AsmError{"Address out of range: " + std::to_string(start.number)};
    state_.result.startAddress = static_cast<std::uint16_t>(start.number);
}

// label PROC opens a scope for the names holding @@; the label itself is in the new scope.
void Assembler::proc(const Statement& s) {
    openProcedure(s.label);
    if (!s.label.empty()) defineSymbol(s.label, Value{state_.location, true}, false);
}

void Assembler::endp(const Statement&) {
    closeProcedure();
}

void Assembler::ignore(const Statement&) {}

void Assembler::title(const Statement& s) {
    state_.result.title = std::string(trim(s.rest));
}

void Assembler::exportSymbol(std::string_view name, bool warnUndefined) {
    if (pass_ != 2) return;
    if (!name.empty() && name[0] == '?')
        throw AsmError{"A file-local symbol cannot be exported: " + std::string(name)};
    const Symbol* symbol = findSymbol(name);
    if (!symbol || !symbol->known) {
        if (warnUndefined) warning("#EXPORT of an undefined symbol: " + std::string(name));
        return;
    }
    state_.result.exports.push_back(
        {std::string(name), static_cast<std::uint16_t>(symbol->value & 0xFFFF)});
}

}  // namespace tarnwick::asm11
