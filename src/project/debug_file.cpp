#include "project/debug_file.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>

#include "project/file_names.h"

namespace tarnwick {
namespace {

// How many addresses carry each (module, line) pair, so that a LINE record learns whether its
// line already has an address without scanning the whole memory.
class LineIndex {
  public:
    explicit LineIndex(const AddressSpace& memory) {
        for (const AddressRecord& record : memory) ++counts_[key(record.module, record.line)];
    }

    bool carried(std::uint8_t module, std::uint16_t line) const {
        return counts_.contains(key(module, line));
    }

    void assign(AddressRecord& record, std::uint8_t module, std::uint16_t line) {
        const auto previous = counts_.find(key(record.module, record.line));
        if (--previous->second == 0) counts_.erase(previous);
        record.module = module;
        record.line = line;
        ++counts_[key(module, line)];
    }

  private:
    static std::uint32_t key(std::uint8_t module, std::uint16_t line) {
        return static_cast<std::uint32_t>(module) << 16 | line;
    }

    std::unordered_map<std::uint32_t, std::uint32_t> counts_;
};

class DebugReader {
  public:
    DebugReader(Machine& machine, SourceMap& sourceMap, std::vector<std::string>& scopes)
        : machine_(machine), sourceMap_(sourceMap), scopes_(scopes), index_(machine.memory) {}

    std::uint16_t mainAddress = 0;

    // The cause of a failure, empty when the line was fine.
    std::string readLine(std::string_view line) {
        LineTokens tokens(line);
        const std::string_view keyword = tokens.next();
        return inside_ ? insideRecord(keyword, tokens) : outsideRecord(keyword, tokens);
    }

    void finish() {
        if (hasGlobals_) scopes_.emplace_back(kGlobalScopeName);
    }

  private:
    std::string outsideRecord(std::string_view keyword, LineTokens& tokens) {
        if (keyword == "FILE") return selectModule(tokens.next());
        if (keyword == "DEFGLOBAL") hasGlobals_ = true;
        if (keyword != "FUNC") return {};

        function_ = tokens.next();
        inside_ = true;
        if (function_ != "main") return {};
        const auto address = parseHexWord(tokens.next());
        if (!address) return "the address of main is not a hex number up to FFFF";
        mainAddress = *address;
        return {};
    }

    std::string insideRecord(std::string_view keyword, LineTokens& tokens) {
        if (keyword == "LINE") {
            const std::string_view line = tokens.next();
            return lineRecord(line, tokens.next());
        }
        if (keyword == "STACK") return stackRecord(tokens.next());
        if (keyword == "DEFLOCAL") hasLocals_ = true;
        if (keyword == "FUNCEND") {
            if (hasLocals_) scopes_.push_back(function_);
            hasLocals_ = false;
            inside_ = false;
        }
        return {};
    }

    std::string selectModule(std::string_view name) {
        if (name.empty()) return "source file without a name";
        auto& modules = sourceMap_.modules;
        auto entry = std::find(modules.begin(), modules.end(), name);
        if (entry == modules.end()) {
            entry = std::find(modules.begin(), modules.end(), std::string());
            if (entry == modules.end()) return "more than 256 source files";
            *entry = name;
        }
        module_ = static_cast<std::uint8_t>(entry - modules.begin());
        return {};
    }

    // The first address of a line wins, so that tracing stops on a line's first instruction.
    std::string lineRecord(std::string_view lineText, std::string_view addressText) {
        const auto line = parseDecimal(lineText);
        if (!line) return "the line number is not a decimal number up to 65535";
        const auto address = parseHexWord(addressText);
        if (!address) return "the line address is not a hex number up to FFFF";
        if (index_.carried(module_, *line)) return {};
        AddressRecord& record = machine_.memory[*address];
        index_.assign(record, module_, *line);
        record.returnSlot = returnSlot_;
        return {};
    }

    // "s" and a number: that far above the stack pointer (bit 15 marks it); any other letter:
    // that far above IX. Offsets stop at 7FFF so that bit 15 keeps its meaning.
    std::string stackRecord(std::string_view location) {
        const auto offset =
            location.empty() ? std::nullopt : parseDecimal(location.substr(1), 0x7FFF);
        if (!offset) return "the stack location is not a letter and a number up to 32767";
        returnSlot_ = static_cast<std::uint16_t>(*offset | (location[0] == 's' ? 0x8000 : 0));
        return {};
    }

    Machine& machine_;
    SourceMap& sourceMap_;
    std::vector<std::string>& scopes_;
    LineIndex index_;
    bool inside_ = false;
    std::uint8_t module_ = 255;  // until the first FILE record
    std::string function_;
    bool hasGlobals_ = false;
    bool hasLocals_ = false;
    std::uint16_t returnSlot_ = 0;
};

}  // namespace

DebugFileResult readDebugFile(Machine& machine, SourceMap& sourceMap,
                              const std::filesystem::path& projectDirectory,
                              std::string_view fileName, std::vector<std::string>& scopes) {
    TextLines text;
    return readDebugFile(machine, sourceMap, projectDirectory, fileName, scopes, text);
}

DebugFileResult readDebugFile(Machine& machine, SourceMap& sourceMap,
                              const std::filesystem::path& projectDirectory,
                              std::string_view fileName, std::vector<std::string>& scopes,
                              TextLines& text) {
    scopes.clear();
    const std::filesystem::path path = findIgnoringCase(resolveName(projectDirectory, fileName));
    DebugFileResult result;
    if (!readTextLines(path, text, result.error)) return result;

    DebugReader reader(machine, sourceMap, scopes);
    const std::vector<std::string_view>& lines = text.lines();
    for (std::size_t index = 0; index < lines.size(); ++index) {
        const std::string cause = reader.readLine(lines[index]);
        if (!cause.empty()) {
            result.error = path.string() + ", line " + std::to_string(index + 1) + ": " + cause;
            return result;
        }
    }
    reader.finish();
    result.hasMainFunction = reader.mainAddress != 0;
    return result;
}

}  // namespace tarnwick
