#include "disasm/binary_export.h"

#include <algorithm>

#include "base/file_text.h"

namespace tarnwick {

std::vector<std::uint8_t> binaryImage(const Machine& machine, std::uint16_t start) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(kAddressSpaceSize - start);
    for (std::uint32_t address = start; address < kAddressSpaceSize; ++address)
        bytes.push_back(machine.peek(static_cast<std::uint16_t>(address)));
    return bytes;
}

std::filesystem::path binaryFileName(const std::filesystem::path& projectFile) {
    const std::string name = projectFile.string();
    return name.substr(0, name.size() - std::min<std::size_t>(4, name.size())) + ".bin";
}

std::string saveBinary(const Machine& machine, const std::filesystem::path& projectFile,
                       std::size_t choice) {
    const std::vector<std::uint8_t> bytes = binaryImage(machine, kEpromChoices.at(choice).start);
    const std::filesystem::path path = binaryFileName(projectFile);
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return writeFileReplacing(path, text) ? "" : "Cannot write the file " + path.string();
}

}  // namespace tarnwick
