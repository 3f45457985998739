#include "hc11run/run_options.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "hc11run/address_options.h"
#include "hc11run/option_values.h"
#include "hc11run/register_fields.h"
#include "project/cpu_configuration.h"

namespace tarnwick {
namespace {

// The clock of each entry of kCrystalNames.
constexpr std::array<std::uint32_t, kCrystalNames.size()> kCrystalHz{3686400, 4000000, 4915200,
                                                                     8000000, 9830400, 12000000};

// A project file brings its own CPU configuration; these would contradict it.
constexpr std::array<std::string_view, 6> kCpuOptions{"--chip", "--rom",  "--ram",
                                                      "--io",   "--xtal", "--random-memory"};

BinaryImage binaryImage(std::string_view text) {
    const std::size_t at = text.rfind('@');
    if (at == std::string_view::npos || at == 0)
        throw UsageError{"--bin: expected FILE@ADDR, got " + std::string(text)};
    return {std::string(text.substr(0, at)), addressArgument("--bin", text.substr(at + 1))};
}

bool isProject(std::string_view path) {
    return upperCase(path).ends_with(".PRO");
}

void setRegister(RegisterValues& registers, std::string_view item) {
    const std::size_t equals = item.find('=');
    if (equals == std::string_view::npos)
        throw UsageError{"--set: expected REGISTER=HEX, got " + std::string(item)};
    const RegisterField* field = findRegisterField(item.substr(0, equals));
    if (!field)
        throw UsageError{"--set: unknown register " + upperCase(item.substr(0, equals)) + " (" +
                         registerNameList() + ")"};
    const std::string name(field->name);
    const std::string_view valueText = item.substr(equals + 1);
    if (field->word) {
        std::optional<AddressArgument>& word = name == "D"    ? registers.d
                                               : name == "X"  ? registers.ix
                                               : name == "Y"  ? registers.iy
                                               : name == "SP" ? registers.sp
                                                              : registers.pc;
        word = addressArgument("--set " + name, valueText);
        return;
    }
    const auto value = parseHex(valueText, 0xFF);
    if (!value)
        throw UsageError{"--set: " + name + " needs a hex value up to FF, got " +
                         std::string(valueText)};
    std::optional<std::uint8_t>& byte = name == "A"   ? registers.a
                                        : name == "B" ? registers.b
                                                      : registers.ccr;
    byte = static_cast<std::uint8_t>(*value);
}

void setRegisters(RegisterValues& registers, std::string_view text) {
    do {
        const std::size_t comma = std::min(text.find(','), text.size());
        setRegister(registers, text.substr(0, comma));
        text.remove_prefix(std::min(comma + 1, text.size()));
    } while (!text.empty());
}

// parseRangeText drops malformed pairs silently; on the command line they are mistakes.
void checkRanges(std::string_view option, std::string_view text) {
    const auto separator = [](char c) { return static_cast<unsigned char>(c) < '!'; };
    std::vector<std::uint32_t> addresses;
    bool good = true;
    for (std::size_t position = 0; good && position < text.size();) {
        if (separator(text[position])) {
            ++position;
            continue;
        }
        std::size_t end = position;
        while (end < text.size() && !separator(text[end])) ++end;
        // Plain digits only: the memory map reads no "$" or "0x".
        const auto value = parseBareHex(text.substr(position, end - position));
        good = value && *value <= 0xFFFF;
        if (good) addresses.push_back(*value);
        position = end;
    }
    good = good && addresses.size() % 2 == 0;
    for (std::size_t i = 0; good && i < addresses.size(); i += 2)
        good = addresses[i] <= addresses[i + 1];
    if (!good)
        throw UsageError{
            std::string(option) +
            ": expected start and end hex address pairs such as \"E000 FFFF\", got \"" +
            std::string(text) + "\""};
}

class Parser {
  public:
    Parser(int argc, const char* const* argv) : args_(argv + std::min(argc, 1), argv + argc) {}

    RunOptions parse() {
        for (next_ = 0; next_ < args_.size();) {
            const std::string_view arg = args_[next_++];
            if (arg.size() > 1 && arg.starts_with('-'))
                option(arg);
            else if (!options_.projectPath.empty() || (!options_.s19Path.empty() && isProject(arg)))
                throw UsageError{"more than one program file: " + options_.s19Path +
                                 options_.projectPath + " and " + std::string(arg)};
            else if (!options_.s19Path.empty())
                throw UsageError{"more than one S19 file: " + options_.s19Path + " and " +
                                 std::string(arg)};
            else if (isProject(arg))
                options_.projectPath = arg;
            else
                options_.s19Path = arg;
        }
        finish();
        return options_;
    }

  private:
    void option(std::string_view arg) {
        const std::size_t equals = arg.find('=');
        name_ = arg.substr(0, equals);
        inlineValue_.reset();
        if (equals != std::string_view::npos) inlineValue_ = arg.substr(equals + 1);
        if (std::ranges::find(kCpuOptions, name_) != kCpuOptions.end()) cpuOption_ = name_;

        if (name_ == "--help" || name_ == "-h")
            options_.help = flag();
        else if (name_ == "--version")
            options_.version = flag();
        else if (name_ == "--random-memory")
            options_.randomMemory = flag();
        else if (name_ == "--trace")
            options_.trace = flag();
        else if (name_ == "--bin")
            options_.binaries.push_back(binaryImage(value()));
        else if (name_ == "--chip")
            options_.chip = value();
        else if (name_ == "--rom")
            rom_ = value();
        else if (name_ == "--ram")
            ram_ = value();
        else if (name_ == "--io")
            io_ = value();
        else if (name_ == "--xtal")
            options_.crystal = value();
        else if (name_ == "--sym")
            options_.symPath = nonEmpty(value());
        else if (name_ == "--seed")
            options_.seed = static_cast<std::uint32_t>(count(name_, value(), 0, UINT32_MAX));
        else if (name_ == "--pc")
            options_.startPc = addressArgument(name_, value());
        else if (name_ == "--set")
            setRegisters(options_.registers, value());
        else if (name_ == "--cycles")
            options_.cycles = count(name_, value(), 1, UINT64_MAX);
        else if (name_ == "--steps")
            options_.steps = count(name_, value(), 0, UINT64_MAX);
        else if (name_ == "--until-pc")
            options_.untilPcs.push_back(addressArgument(name_, value()));
        else if (name_ == "--fail-pc")
            options_.failPcs.push_back(addressArgument(name_, value()));
        else if (name_ == "--until-input-end")
            options_.untilInputEnd = flag();
        else if (name_ == "--timeout")
            options_.timeoutSeconds = seconds(name_, value());
        else if (name_ == "--until-output")
            options_.untilOutput = unescaped(name_, value());
        else if (name_ == "--realtime")
            options_.realtime = flag();
        else if (name_ == "--porte")
            options_.portE = portE(value());
        else if (name_ == "--adc")
            options_.analogInputs.push_back(analogInput(value()));
        else if (name_ == "--xirq")
            options_.xirqTimings.push_back(xirqTiming(value()));
        else if (name_ == "--sci-in")
            sciIn(value());
        else if (name_ == "--on-invalid")
            options_.continueOnInvalid = onInvalid(value());
        else if (name_ == "--dump")
            options_.dumpPath = value();
        else if (name_ == "--print")
            options_.prints.push_back(printRequest(value()));
        else if (name_ == "--expect")
            options_.expectations.push_back(expectation(value()));
        else if (name_ == "--summary")
            options_.jsonSummary = summaryFormat(value());
        else
            throw UsageError{"unknown option " + std::string(name_)};
    }

    bool flag() {
        if (inlineValue_) throw UsageError{std::string(name_) + " takes no value"};
        return true;
    }

    // "--name=value" or "--name value".
    std::string value() {
        if (inlineValue_) return std::string(*inlineValue_);
        if (next_ >= args_.size()) throw UsageError{std::string(name_) + " needs a value"};
        return std::string(args_[next_++]);
    }

    static std::uint8_t portE(std::string_view text) {
        const auto value = parseHex(text, 0xFF);
        if (!value) throw UsageError{"--porte: not a hex byte (00-FF): " + std::string(text)};
        return static_cast<std::uint8_t>(*value);
    }

    void sciIn(std::string path) {
        if (path.empty()) throw UsageError{"--sci-in: give a file, or - for standard input"};
        if (!options_.sciInPath.empty())
            throw UsageError{"more than one --sci-in: " + options_.sciInPath + " and " + path};
        options_.sciInPath = std::move(path);
    }

    std::string nonEmpty(std::string text) const {
        if (text.empty()) throw UsageError{std::string(name_) + " needs a file name"};
        return text;
    }

    static bool summaryFormat(std::string_view text) {
        if (text == "json") return true;
        if (text == "text") return false;
        throw UsageError{"--summary: expected text or json, got " + std::string(text)};
    }

    bool onInvalid(std::string_view text) {
        if (text == "continue") return true;
        if (text == "stop") return false;
        throw UsageError{"--on-invalid: expected continue or stop, got " + std::string(text)};
    }

    void finish() {
        if (options_.help || options_.version) return;
        if (options_.s19Path.empty() && options_.projectPath.empty() && options_.binaries.empty())
            throw UsageError{"nothing to run: give an S19 file or --bin FILE@ADDR"};
        if (!options_.projectPath.empty() && !cpuOption_.empty())
            throw UsageError{std::string(cpuOption_) +
                             ": not with a project file, whose CPU configuration applies"};

        const ChipInfo* chip = findChip(options_.chip);
        if (!chip)
            throw UsageError{"--chip: unknown chip " + options_.chip + " (one of " +
                             chipNameList() + ")"};
        options_.romRanges = rom_.value_or(std::string(chip->romRanges));
        options_.readWriteRanges = ram_.value_or(std::string(chip->readWriteRanges));
        options_.thirdRanges = io_.value_or(std::string(chip->thirdRanges));
        checkRanges("--rom", options_.romRanges);
        checkRanges("--ram", options_.readWriteRanges);
        checkRanges("--io", options_.thirdRanges);

        checkLevelsApart();
        if (options_.untilInputEnd && options_.sciInPath.empty())
            throw UsageError{"--until-input-end: give the input with --sci-in"};

        if (!crystalHz(options_.crystal))
            throw UsageError{"--xtal: unknown crystal " + options_.crystal + " (one of " +
                             crystalNameList() + ")"};
        options_.crystalHz = *crystalHz(options_.crystal);
    }

    // Two levels at once would leave it unclear which one's end releases the line.
    void checkLevelsApart() const {
        const std::vector<XirqTiming>& timings = options_.xirqTimings;
        for (auto one = timings.begin(); one != timings.end(); ++one)
            for (auto other = one + 1; other != timings.end(); ++other)
                if (one->level && other->level && one->from < other->to && other->from < one->to)
                    throw UsageError{"--xirq: level@" + std::to_string(one->from) + "-" +
                                     std::to_string(one->to) + " and level@" +
                                     std::to_string(other->from) + "-" + std::to_string(other->to) +
                                     " overlap"};
    }

    std::vector<std::string_view> args_;
    std::size_t next_ = 0;
    std::string_view name_;
    std::optional<std::string_view> inlineValue_;
    std::string_view cpuOption_;  // the last one given
    std::optional<std::string> rom_;
    std::optional<std::string> ram_;
    std::optional<std::string> io_;
    RunOptions options_;
};

}  // namespace

std::string chipNameList() {
    std::string text;
    for (const ChipInfo& chip : kChipTable)
        text += (text.empty() ? "" : ", ") + std::string(chip.name);
    return text;
}

std::string crystalNameList() {
    std::string text;
    for (std::string_view name : kCrystalNames)
        text += (text.empty() ? "" : ", ") + std::string(name);
    return text;
}

std::optional<std::uint32_t> crystalHz(std::string_view name) {
    const auto crystal = std::ranges::find(kCrystalNames, name);
    if (crystal == kCrystalNames.end()) return std::nullopt;
    return kCrystalHz[crystal - kCrystalNames.begin()];
}

ParsedRunOptions parseRunOptions(int argc, const char* const* argv) {
    try {
        return {Parser(argc, argv).parse(), {}};
    } catch (const UsageError& error) {
        return {{}, error.text};
    }
}

}  // namespace tarnwick
