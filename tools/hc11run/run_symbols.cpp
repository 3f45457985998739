#include "hc11run/run_symbols.h"

#include <algorithm>
#include <cctype>

#include "base/number_text.h"
#include "hc11run/option_values.h"
#include "project/symbol_file.h"

namespace tarnwick {
namespace {

bool sameLetters(std::string_view one, std::string_view other) {
    return std::ranges::equal(one, other, [](unsigned char a, unsigned char b) {
        return std::toupper(a) == std::toupper(b);
    });
}

class AddressResolver {
  public:
    explicit AddressResolver(const RunSymbols* symbols) : symbols_(symbols) {}

    void operator()(AddressArgument& argument) const {
        const std::string& text = argument.text;
        if (hasHexPrefix(text)) return;
        if (const auto address = symbols_ ? symbols_->find(text) : std::nullopt) {
            argument.value = *address;
            argument.isLabel = true;
            return;
        }
        if (parseHex(text, 0xFFFF)) return;
        throw UsageError{"unknown label " + text +
                         (symbols_ ? " (not in " + symbols_->path().string() + ")"
                                   : " (no symbol file: give --sym FILE.sym)")};
    }

    void operator()(std::optional<AddressArgument>& argument) const {
        if (argument) (*this)(*argument);
    }

  private:
    const RunSymbols* symbols_;
};

}  // namespace

RunSymbols::RunSymbols(const std::filesystem::path& path) : path_(path) {
    std::string error;
    const auto lines = readTextLines(path, error);
    if (!lines) throw UsageError{"--sym: " + error};
    bool inSymbols = false;
    for (std::size_t number = 0; number < lines->size(); ++number) {
        LineTokens tokens((*lines)[number]);
        const std::string_view first = tokens.next();
        if (first.starts_with('#')) {
            inSymbols = first == "#SYMBOL";
            continue;
        }
        if (!inSymbols || first.empty()) continue;
        const auto address = parseHexWord(first);
        const std::string_view name = tokens.next();
        if (!address || name.empty())
            throw UsageError{path.string() + " line " + std::to_string(number + 1) +
                             ": expected a hex address and a name"};
        symbols_.emplace_back(name, *address);
    }
}

std::optional<std::uint16_t> RunSymbols::find(std::string_view name) const {
    const auto exact = std::ranges::find(symbols_, name, [](const auto& s) { return s.first; });
    if (exact != symbols_.end()) return exact->second;
    const auto alike = [name](const auto& symbol) { return sameLetters(symbol.first, name); };
    if (std::ranges::count_if(symbols_, alike) != 1) return std::nullopt;
    return std::ranges::find_if(symbols_, alike)->second;
}

std::optional<std::filesystem::path> symbolFileOf(const RunOptions& options) {
    if (!options.symPath.empty()) return options.symPath;
    if (options.s19Path.empty()) return std::nullopt;
    std::filesystem::path beside = options.s19Path;
    beside.replace_extension(".sym");
    std::error_code ignored;
    if (!std::filesystem::is_regular_file(beside, ignored)) return std::nullopt;
    return beside;
}

void resolveAddresses(RunOptions& options, const RunSymbols* symbols) {
    const AddressResolver resolve(symbols);
    for (BinaryImage& image : options.binaries) resolve(image.address);
    resolve(options.startPc);
    RegisterValues& set = options.registers;
    for (auto* word : {&set.d, &set.ix, &set.iy, &set.sp, &set.pc}) resolve(*word);
    for (AddressArgument& address : options.untilPcs) resolve(address);
    for (AddressArgument& address : options.failPcs) resolve(address);
    for (PrintRequest& print : options.prints) resolve(print.address);
    for (Expectation& expected : options.expectations) {
        if (expected.target.empty()) resolve(expected.address);
        resolve(expected.value);
        if (!expected.word && expected.value.value > 0xFF)
            throw UsageError{"--expect: " + expected.value.text + " is " +
                             hexText(expected.value.value, 4) + ", more than a byte holds"};
    }
}

}  // namespace tarnwick
