// libFuzzer target: any text read as a project file, then written back by every section
// writer and saved atomically, reads back as it was written: the same keys and values, the
// same project, the same watches and the same memory map; a save leaves no temporary file, and
// removes one a killed save left. A NUL in the input ends the file; the bytes after it are one more
// value to set, which may hold line ends and must then be refused without writing anything.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/file_text.h"
#include "fuzz_support.h"
#include "project/project.h"

using namespace tarnwick;
namespace fs = std::filesystem;

namespace {

struct ReadProject {
    Project project;
    std::vector<std::string> watches;
};

void readBack(const IniDocument& document, ReadProject& read, AddressSpace& memory) {
    readProjectFile(document, read.project, memory);
    read.watches = readWatches(document);
}

bool sameProject(const Project& a, const Project& b) {
    const CpuConfiguration& x = a.cpu;
    const CpuConfiguration& y = b.cpu;
    return a.format == b.format && a.files == b.files && a.asm11Options == b.asm11Options &&
           a.s19Start == b.s19Start && x.cpuType == y.cpuType && x.crystal == y.crystal &&
           x.bprot == y.bprot && x.tmsk2Prescaler == y.tmsk2Prescaler &&
           x.irqChoice == y.irqChoice && x.romRanges == y.romRanges &&
           x.readWriteRanges == y.readWriteRanges && x.thirdRanges == y.thirdRanges &&
           x.randomMemory == y.randomMemory;
}

bool sameMemoryMap(const AddressSpace& a, const AddressSpace& b) {
    for (std::size_t i = 0; i < kAddressSpaceSize; ++i)
        if (a[i].flags != b[i].flags) return false;
    return true;
}

// The names of the headers in the text, as the reader takes them, and any more.
std::vector<std::string> sectionNames(std::string_view text) {
    std::vector<std::string> names;
    for (std::string_view rest = text; !rest.empty();) {
        const std::size_t end = std::min(rest.find_first_of("\r\n"), rest.size());
        std::string_view line = rest.substr(0, end);
        rest.remove_prefix(std::min(end + 1, rest.size()));
        const std::size_t open = line.find('[');
        const std::size_t close = line.find(']');
        if (open == line.npos || close == line.npos || close < open) continue;
        line = line.substr(open + 1, close - open - 1);
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
            line.remove_prefix(1);
        while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
        names.emplace_back(line);
    }
    return names;
}

// Every key of every section the text names reads the same value from both documents.
void checkSameValues(const IniDocument& written, const IniDocument& read, std::string_view text) {
    for (const std::string& section : sectionNames(text)) {
        fuzz::check(written.keys(section) == read.keys(section), "the keys read back", section);
        for (const std::string& key : written.keys(section))
            fuzz::check(written.value(section, key) == read.value(section, key),
                        "a value reads back as written", section + "/" + key);
    }
}

std::vector<std::string> scratchEntries() {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(fuzz::scratchDirectory()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const auto memory = std::make_unique<AddressSpace>();
    static const auto readMemory = std::make_unique<AddressSpace>();
    const std::string_view input = fuzz::asText(data, size);
    const std::size_t nul = input.find('\0');
    const std::string_view text = input.substr(0, nul);
    const fs::path path = fuzz::scratchDirectory() / "fuzz.pro";
    // The user's file, and the temporary of a save that was killed before its rename.
    fuzz::clearScratchDirectory();
    fuzz::writeScratchFile(path, text);
    const std::string staleTemporary = ".fuzz.pro.tmp7";
    fuzz::writeScratchFile(fuzz::scratchDirectory() / staleTemporary, "stale");

    IniDocument document = readIniFile(path);
    fuzz::check(IniDocument::parse(document.text()).text() == document.text(),
                "an unchanged document rewrites as read");
    ReadProject original;
    original.project.setPath(path);
    readBack(document, original, *memory);
    debugImage(original.project);

    writeFormat(document, original.project.format);
    writeAsm11Options(document, original.project.asm11Options);
    writeS19Start(document, original.project.s19Start);
    writeCpuConfiguration(document, original.project.cpu);
    writeFileList(document, original.project.files);
    writeWatches(document, original.watches);
    if (nul != std::string_view::npos) document.setValue("Fuzz", "Value", input.substr(nul + 1));

    const bool savable = document.savable();
    try {
        writeIniFile(path, document);
        fuzz::check(savable, "a document with a line end in a value is refused");
    } catch (const FileError& error) {
        fuzz::check(!savable, "a savable document saves", error.what());
        fuzz::check(scratchEntries() == std::vector<std::string>{staleTemporary, "fuzz.pro"},
                    "a refused save writes no file");
        fuzz::check(readFileText(path) == std::string(text), "a refused save keeps the file");
        return 0;
    }
    fuzz::check(scratchEntries() == std::vector<std::string>{"fuzz.pro"},
                "a save leaves no temporary, nor a stale one");

    const IniDocument read = readIniFile(path);
    fuzz::check(read.text() == document.text(), "the saved text reads back");
    checkSameValues(document, read, document.text());
    ReadProject reread;
    reread.project.setPath(path);
    readBack(read, reread, *readMemory);
    fuzz::check(sameProject(original.project, reread.project), "the project reads back");
    fuzz::check(original.watches == reread.watches, "the watches read back");
    fuzz::check(sameMemoryMap(*memory, *readMemory), "the memory map reads back");
    return 0;
}
