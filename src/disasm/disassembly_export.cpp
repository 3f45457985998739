#include "disasm/disassembly_export.h"

#include <algorithm>
#include <cctype>

#include "base/file_text.h"
#include "base/number_text.h"

namespace tarnwick {
namespace {

constexpr std::uint32_t kVectorTable = 0xFFC0;
const std::string kIndent(20, ' ');

std::string upperCase(std::string_view text) {
    std::string result(text);
    for (char& c : result) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return result;
}

// "\" separates directories in project names too.
std::filesystem::path pathOf(const std::filesystem::path& directory, std::string_view name) {
    std::string generic(name);
    std::replace(generic.begin(), generic.end(), '\\', '/');
    return directory / generic;
}

std::string writeFile(const std::filesystem::path& path, const std::string& text) {
    return writeFileReplacing(path, text) ? "" : "Cannot write the file " + path.string();
}

}  // namespace

DisassemblyTexts disassemblyTexts(const Machine& machine, std::string_view asmName,
                                  std::uint16_t start, const std::optional<LocalDateTime>& time) {
    DisassemblyTexts texts;
    texts.asmText = (time ? headerLine(*time) : undatedHeaderLine()) + kIndent + "ORG       $" +
                    hexText(start, 4) + " \r\n";
    // The reader ignores the token; the name after it is the module's source file.
    const std::string_view stem =
        asmName.substr(0, asmName.size() - std::min<std::size_t>(4, asmName.size()));
    // Only the file name is upper-cased: a directory part has to match as it is on
    // case-sensitive file systems.
    const std::size_t name = asmName.find_last_of("/\\") + 1;
    texts.symText = "#MODULE " + upperCase(stem) + "ASM " + std::string(asmName.substr(0, name)) +
                    upperCase(asmName.substr(name)) + "\r\n";

    int lineNumber = 3;  // after the header and the ORG line
    for (std::uint32_t address = start; address < kVectorTable;) {
        const DisassembledLine line =
            disassembleInstruction(machine, static_cast<std::uint16_t>(address));
        texts.asmText += line.text + "\r\n";
        texts.symText += hexText(address, 4) + " " + std::to_string(lineNumber) + "\r\n";
        lineNumber += line.endsBlock ? 2 : 1;
        address += line.length;
    }

    texts.asmText += " \r\n" + kIndent + "ORG       $FFC0 \r\n";
    for (std::uint32_t address = kVectorTable; address < 0x10000; address += 2)
        texts.asmText += vectorLine(machine, static_cast<std::uint16_t>(address)) + "\r\n";
    texts.symText += "#END";
    return texts;
}

std::string exportDisassembly(const Machine& machine, const std::filesystem::path& directory,
                              std::string_view asmName, std::string_view symName,
                              std::uint16_t start, const std::optional<LocalDateTime>& time) {
    const DisassemblyTexts texts = disassemblyTexts(machine, asmName, start, time);
    const std::string asmFailure = writeFile(pathOf(directory, asmName), texts.asmText);
    const std::string symFailure = writeFile(pathOf(directory, symName), texts.symText);
    if (asmFailure.empty() || symFailure.empty()) return asmFailure + symFailure;
    return asmFailure + "\r\n" + symFailure;
}

}  // namespace tarnwick
