#include "project/s19_loader.h"

#include <cstddef>
#include <string_view>
#include <vector>

#include "base/file_text.h"
#include "base/number_text.h"

namespace tarnwick {
namespace {

// A count above 7E would put data past character 255, longer than any line a conforming
// file holds; such records are rejected instead of guessed at.
constexpr unsigned kMaxCount = 0x7E;

int hexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

struct Failure {
    S19Error error = S19Error::None;
    std::string cause;
};

// Reads `digits` hex digits starting at the 1-based character `position`.
Failure readHex(std::string_view line, std::size_t position, std::size_t digits,
                std::string_view field, unsigned& value) {
    if (line.size() < position - 1 + digits)
        return {S19Error::ShortRecord, "record too short for its " + std::string(field)};
    value = 0;
    for (std::size_t i = 0; i < digits; ++i) {
        const int digit = hexDigitValue(line[position - 1 + i]);
        if (digit < 0) return {S19Error::NonHexDigit, "non-hex digit in " + std::string(field)};
        value = value << 4 | static_cast<unsigned>(digit);
    }
    return {};
}

void resetDebugModel(Machine& machine, CpuConfiguration& configuration, SourceMap& sourceMap) {
    configuration.applyMemoryMap(machine.memory);
    machine.fillMemory(configuration.randomMemory);
    for (AddressRecord& record : machine.memory) {
        record.hit = 0;
        record.hitCount = 0;
        record.flags &= static_cast<std::uint8_t>(~(kTemporaryStopFlag | kBreakpointFlag));
        record.module = 0;
        record.line = 0;
        record.returnSlot = 0;
    }
    machine.activeStopCount = 0;
    sourceMap.clear();
}

class RecordReader {
  public:
    explicit RecordReader(Machine& machine) : machine_(machine) {}

    bool resetVectorKnown = true;

    Failure dataRecord(std::string_view line) {
        unsigned count = 0;
        unsigned address = 0;
        if (Failure f = readHex(line, 3, 2, "byte count", count); f.error != S19Error::None)
            return f;
        if (count < 3) return {S19Error::CountBelowThree, "byte count below 3"};
        if (count > kMaxCount)
            return {S19Error::RecordTooLong,
                    "more than 123 data bytes (byte count " + hexText(count, 2) + ")"};
        if (Failure f = readHex(line, 5, 4, "address", address); f.error != S19Error::None)
            return f;
        for (unsigned i = 0; i < count - 3; ++i) {
            unsigned byte = 0;
            if (Failure f = readHex(line, 9 + 2 * i, 2, "data", byte); f.error != S19Error::None)
                return f;
            const auto target = static_cast<std::uint16_t>(address + i);
            machine_.poke(target, static_cast<std::uint8_t>(byte));
            if (target == 0xFFFE) resetVectorLoaded_ = true;
        }
        return {};
    }

    // Without a stored reset vector the end record's address becomes it; address 0000
    // means the program gave none.
    Failure endRecord(std::string_view line) {
        unsigned address = 0;
        if (Failure f = readHex(line, 5, 4, "address", address); f.error != S19Error::None)
            return f;
        if (resetVectorLoaded_) return {};
        if (address == 0) {
            resetVectorKnown = false;
            return {};
        }
        machine_.poke(0xFFFE, static_cast<std::uint8_t>(address >> 8));
        machine_.poke(0xFFFF, static_cast<std::uint8_t>(address));
        return {};
    }

  private:
    Machine& machine_;
    bool resetVectorLoaded_ = false;
};

}  // namespace

S19LoadResult loadS19Image(Machine& machine, CpuConfiguration& configuration, SourceMap& sourceMap,
                           const std::filesystem::path& path) {
    TextLines text;
    return loadS19Image(machine, configuration, sourceMap, path, text);
}

S19LoadResult loadS19Image(Machine& machine, CpuConfiguration& configuration, SourceMap& sourceMap,
                           const std::filesystem::path& path, TextLines& text) {
    resetDebugModel(machine, configuration, sourceMap);

    const std::string name = path.string();
    if (!text.read(path)) return {S19Error::CannotOpen, "Cannot open the file " + name, true};

    RecordReader reader(machine);
    const std::vector<std::string_view>& lines = text.lines();
    for (std::size_t index = 0; index < lines.size(); ++index) {
        const std::string_view line = lines[index];
        Failure failure;
        if (line.size() < 2)
            failure = {S19Error::ShortLine, "line shorter than two characters"};
        else if (line[1] == '1')
            failure = reader.dataRecord(line);
        else if (line[1] == '9')
            failure = reader.endRecord(line);
        if (failure.error != S19Error::None)
            return {failure.error,
                    name + ", line " + std::to_string(index + 1) + ": " + failure.cause, true};
        if (line[1] == '9') return {S19Error::None, {}, reader.resetVectorKnown};
    }
    return {S19Error::NoEndRecord, name + ": no end record (S9) found", true};
}

}  // namespace tarnwick
