#include "project/symbol_file.h"

#include <algorithm>
#include <cctype>

#include "base/file_text.h"
#include "project/file_names.h"

namespace tarnwick {
namespace {

enum class Section { Outside, ModuleHeader, ModuleLines, SymbolHeader, Symbols };

// A name in the form two names are compared in: "/" separators, no "." or "..", upper case.
std::string comparableName(std::string name) {
    std::replace(name.begin(), name.end(), '\\', '/');
    name = std::filesystem::path(name).lexically_normal().generic_string();
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return name;
}

bool isDataKind(MemoryKind kind) {
    return kind == MemoryKind::Ram || kind == MemoryKind::Io;
}

class SymbolReader {
  public:
    SymbolReader(Machine& machine, SourceMap& sourceMap, std::vector<std::string>& watchNames)
        : machine_(machine), sourceMap_(sourceMap), watchNames_(watchNames) {}

    // The cause of a failure, empty when the line was fine.
    std::string readLine(std::string_view line) {
        LineTokens tokens(line);
        const std::string_view first = tokens.next();
        if (first == "#MODULE") section_ = Section::ModuleHeader;
        if (first == "#SYMBOL") section_ = Section::SymbolHeader;
        if (first == "#END") section_ = Section::Outside;

        switch (section_) {
            case Section::Outside:
                // Only a module with lines uses up an index.
                if (moduleHasLines_) ++module_;
                moduleHasLines_ = false;
                return {};
            case Section::ModuleHeader:
                tokens.next();
                fileName_ = tokens.next();
                section_ = Section::ModuleLines;
                return fileName_.empty() ? "module without a file name" : "";
            case Section::ModuleLines:
                return addressLine(first, tokens.next());
            case Section::SymbolHeader:
                section_ = Section::Symbols;
                return {};
            case Section::Symbols:
                return symbolLine(first, tokens.next());
        }
        return {};
    }

  private:
    std::string addressLine(std::string_view addressText, std::string_view lineText) {
        const auto address = parseHexWord(addressText);
        if (!address) return "the address is not a hex number up to FFFF";
        const auto line = parseDecimal(lineText);
        if (!line) return "the line number is not a decimal number up to 65535";
        if (module_ >= kModuleTableSize) return "more than 256 modules";

        AddressRecord& record = machine_.memory[*address];
        record.module = static_cast<std::uint8_t>(module_);
        record.line = *line;
        sourceMap_.modules[module_] = fileName_;
        moduleHasLines_ = true;
        return {};
    }

    // Symbols beyond the table are left out; code labels never get in.
    std::string symbolLine(std::string_view addressText, std::string_view name) {
        const auto address = parseHexWord(addressText);
        if (!address) return "the symbol address is not a hex number up to FFFF";
        if (name.empty()) return "symbol without a name";
        if (!isDataKind(machine_.memory[*address].kind()) || nextSymbol_ >= kSymbolTableSize)
            return {};
        sourceMap_.symbols[nextSymbol_++] = {std::string(name), *address};
        watchNames_.emplace_back(name);
        return {};
    }

    Machine& machine_;
    SourceMap& sourceMap_;
    std::vector<std::string>& watchNames_;
    Section section_ = Section::Outside;
    std::size_t module_ = 0;
    bool moduleHasLines_ = false;
    std::size_t nextSymbol_ = 0;
    std::string fileName_;
};

}  // namespace

std::string_view LineTokens::next() {
    std::size_t start = 0;
    while (start < rest_.size()) {
        const auto code = static_cast<unsigned char>(rest_[start]);
        if (code > 32 && code < 128) break;
        ++start;
    }
    const std::size_t end = std::min(rest_.find(' ', start), rest_.size());
    const std::string_view word = rest_.substr(start, end - start);
    rest_.remove_prefix(end);
    return word;
}

bool readTextLines(const std::filesystem::path& path, TextLines& text, std::string& error) {
    if (text.read(path)) return true;
    error = "Cannot open the file " + path.string();
    return false;
}

std::optional<std::vector<std::string>> readTextLines(const std::filesystem::path& path,
                                                      std::string& error) {
    TextLines text;
    if (!readTextLines(path, text, error)) return std::nullopt;
    return std::vector<std::string>(text.lines().begin(), text.lines().end());
}

std::optional<std::uint16_t> parseHexWord(std::string_view text) {
    if (text.empty()) return std::nullopt;
    unsigned value = 0;
    for (const char c : text) {
        unsigned digit = 0;
        if (c >= '0' && c <= '9')
            digit = static_cast<unsigned>(c - '0');
        else if (c >= 'a' && c <= 'f')
            digit = static_cast<unsigned>(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F')
            digit = static_cast<unsigned>(c - 'A' + 10);
        else
            return std::nullopt;
        value = value << 4 | digit;
        if (value > 0xFFFF) return std::nullopt;
    }
    return static_cast<std::uint16_t>(value);
}

std::optional<std::uint16_t> parseDecimal(std::string_view text, std::uint16_t limit) {
    if (text.empty()) return std::nullopt;
    unsigned value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<unsigned>(c - '0');
        if (value > limit) return std::nullopt;
    }
    return static_cast<std::uint16_t>(value);
}

// The project directory stands in for the current directory, so the process-wide one is left
// alone.
SourceReadResult readSymbolFile(Machine& machine, SourceMap& sourceMap,
                                const std::filesystem::path& projectDirectory,
                                std::string_view fileName, std::vector<std::string>& watchNames) {
    TextLines text;
    return readSymbolFile(machine, sourceMap, projectDirectory, fileName, watchNames, text);
}

SourceReadResult readSymbolFile(Machine& machine, SourceMap& sourceMap,
                                const std::filesystem::path& projectDirectory,
                                std::string_view fileName, std::vector<std::string>& watchNames,
                                TextLines& text) {
    watchNames.clear();
    const std::filesystem::path path = findIgnoringCase(resolveName(projectDirectory, fileName));
    std::string error;
    if (!readTextLines(path, text, error)) return {error};

    SymbolReader reader(machine, sourceMap, watchNames);
    const std::vector<std::string_view>& lines = text.lines();
    for (std::size_t index = 0; index < lines.size(); ++index) {
        const std::string cause = reader.readLine(lines[index]);
        if (!cause.empty())
            return {path.string() + ", line " + std::to_string(index + 1) + ": " + cause};
    }
    return {};
}

std::optional<SourceLocation> sourceOfAddress(const Machine& machine, const SourceMap& sourceMap,
                                              const std::filesystem::path& projectDirectory,
                                              std::uint16_t address) {
    const AddressRecord& record = machine.memory[address];
    if (record.line == 0) return std::nullopt;
    return SourceLocation{resolveName(projectDirectory, sourceMap.modules[record.module]),
                          record.line};
}

std::uint16_t addressOfSourceLine(const Machine& machine, const SourceMap& sourceMap,
                                  const std::filesystem::path& projectDirectory,
                                  std::string_view fileName, std::uint16_t line) {
    if (line == 0) return 0;  // every address without line info would match
    const std::string wanted = comparableName(std::string(fileName));
    const auto module = std::find_if(
        sourceMap.modules.begin(), sourceMap.modules.end(), [&](const std::string& name) {
            return !name.empty() &&
                   comparableName(resolveName(projectDirectory, name).string()) == wanted;
        });
    if (module == sourceMap.modules.end()) return 0;

    const auto index = static_cast<std::uint8_t>(module - sourceMap.modules.begin());
    const auto found =
        std::find_if(machine.memory.begin(), machine.memory.end(),
                     [&](const AddressRecord& r) { return r.module == index && r.line == line; });
    return found == machine.memory.end()
               ? 0
               : static_cast<std::uint16_t>(found - machine.memory.begin());
}

const MEMORYSYM* findSymbol(const SourceMap& sourceMap, std::string_view name) {
    if (name.empty()) return nullptr;  // unused entries have no name
    const auto found = std::find_if(sourceMap.symbols.begin(), sourceMap.symbols.end(),
                                    [&](const MEMORYSYM& symbol) { return symbol.name == name; });
    return found == sourceMap.symbols.end() ? nullptr : &*found;
}

}  // namespace tarnwick
