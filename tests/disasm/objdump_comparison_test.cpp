// Compares the disassembler with GNU objdump for the 68HC11, an independent decoder: every
// opcode of the four pages and thousands of random byte strings.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "base/instruction_set.h"
#include "core/machine.h"
#include "disasm/disassembler.h"
#include "support/fake_host.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

// One decoded instruction with the spelling differences removed.
struct Decoded {
    bool undefined = false;
    std::string mnemonic;
    std::string operands;
    int length = 0;
};

std::string lowerCase(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// "$0F", "0x0f", "0x0xffffff8b" and "<$0F" all become "f" / "ff8b"; "#" and register names
// stay. The direct and extended markers go: the length tells the modes apart.
std::string normalisedOperands(const std::string& operands) {
    std::string result;
    std::stringstream stream(lowerCase(operands));
    std::string token;
    while (std::getline(stream, token, ',')) {
        token = trimmed(token);
        std::string prefix;
        if (!token.empty() && token[0] == '#') {
            prefix = "#";
            token.erase(0, 1);
        }
        while (!token.empty() && (token[0] == '*' || token[0] == '<' || token[0] == '>'))
            token.erase(0, 1);
        bool number = false;
        while (token.rfind("0x", 0) == 0 || token.rfind("$", 0) == 0) {
            token.erase(0, token[0] == '$' ? 1 : 2);
            number = true;
        }
        if (number) {
            std::stringstream hex;
            hex << std::hex << (std::stoull(token, nullptr, 16) & 0xFFFF);
            token = hex.str();
        }
        result += (result.empty() ? "" : ",") + prefix + token;
    }
    return result;
}

// Names that mean the same instruction.
std::string canonicalMnemonic(const std::string& mnemonic) {
    static const std::map<std::string, std::string> kAliases{
        {"lsla", "asla"}, {"lslb", "aslb"}, {"lsl", "asl"},
        {"lsld", "asld"}, {"bhs", "bcc"},   {"blo", "bcs"},
    };
    const auto alias = kAliases.find(mnemonic);
    return alias == kAliases.end() ? mnemonic : alias->second;
}

Decoded ours(const Machine& machine, std::uint16_t address) {
    const DisassembledLine line = disassembleInstruction(machine, address);
    const std::string instruction = trimmed(line.text.substr(20, 29));
    const auto blank = instruction.find(' ');
    Decoded decoded;
    decoded.mnemonic = canonicalMnemonic(lowerCase(instruction.substr(0, blank)));
    decoded.undefined = decoded.mnemonic == "fcb";
    if (blank != std::string::npos)
        decoded.operands = normalisedOperands(trimmed(instruction.substr(blank)));
    decoded.length = line.length;
    return decoded;
}

bool objdumpInstalled() {
    return std::system("m68hc11-objdump --version >/dev/null 2>&1") == 0;
}

// Runs objdump once over `bytes` (loaded at address 0) and returns its instructions by address.
std::map<std::uint16_t, Decoded> objdump(const std::vector<std::uint8_t>& bytes) {
    const fs::path directory =
        fs::temp_directory_path() / ("tarnwick_objdump_" + std::to_string(std::random_device()()));
    fs::create_directories(directory);
    std::ofstream(directory / "image.bin", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    const std::string command = "m68hc11-objdump -D -b binary -m m68hc11 '" +
                                (directory / "image.bin").string() + "' >'" +
                                (directory / "listing").string() + "'";
    const bool ran = std::system(command.c_str()) == 0;
    std::ifstream listing(directory / "listing");
    std::map<std::uint16_t, Decoded> decoded;
    Decoded* previous = nullptr;
    for (std::string line; std::getline(listing, line);) {
        // "   4:\t13 10 40 fc \tbrclr\t*0x10, #0x40, 0x0x4"; a line of bytes alone continues
        // the instruction above it.
        std::vector<std::string> fields;
        std::stringstream stream(line);
        for (std::string field; std::getline(stream, field, '\t');) fields.push_back(field);
        if (fields.size() < 2 || fields[0].empty() || fields[0].back() != ':') continue;
        const int byteCount = static_cast<int>(trimmed(fields[1]).size() + 1) / 3;
        if (fields.size() == 2) {
            if (previous != nullptr) previous->length += byteCount;
            continue;
        }
        const auto address =
            static_cast<std::uint16_t>(std::stoul(trimmed(fields[0]), nullptr, 16));
        Decoded& entry = decoded[address];
        entry.mnemonic = canonicalMnemonic(trimmed(fields[2]));
        entry.undefined = entry.mnemonic == ".byte";
        entry.operands = fields.size() > 3 ? normalisedOperands(fields[3]) : "";
        entry.length = byteCount;
        previous = &entry;
    }
    fs::remove_all(directory);
    EXPECT_TRUE(ran) << command;
    return decoded;
}

std::string bytesText(const Machine& machine, std::uint16_t address, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        static constexpr char kDigits[] = "0123456789ABCDEF";
        const std::uint8_t byte = machine.peek(static_cast<std::uint16_t>(address + i));
        text += std::string(i ? " " : "") + kDigits[byte >> 4] + kDigits[byte & 0xF];
    }
    return text;
}

// Where the decoders disagree about the 68HC11 itself and objdump is the one that is wrong,
// keyed by the opcode bytes (prefix and opcode).
const std::set<std::string> kObjdumpFaults{
    // objdump says BGND, a CPU12 instruction. On the 68HC11, 00 is TEST, which runs only in
    // test modes and is not one of the 307 executable opcodes, so it stays an FCB byte.
    "00",
};

std::string opcodeKey(const Machine& machine, std::uint16_t address) {
    const std::uint8_t first = machine.peek(address);
    const bool prefixed = first == kPrefix18 || first == kPrefix1A || first == kPrefixCD;
    return bytesText(machine, address, prefixed ? 2 : 1);
}

class ObjdumpComparisonTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!objdumpInstalled())
            FAIL() << "m68hc11-objdump not found: install Debian's binutils-m68hc1x "
                      "(scripts/deps.sh does)";
    }

    // Stores the byte strings in slots of `slotSize` padded with NOPs, so both decoders are back
    // in step at every slot, and compares every instruction that starts within the first
    // `compared` bytes of a slot until the decoders part. Returns how many instructions both
    // decoded alike.
    int compare(const std::vector<std::vector<std::uint8_t>>& strings, std::size_t slotSize,
                std::size_t compared) {
        std::vector<std::uint8_t> image(strings.size() * slotSize, 0x01);
        for (std::size_t i = 0; i < strings.size(); ++i)
            std::copy(strings[i].begin(), strings[i].end(), image.begin() + i * slotSize);
        EXPECT_LT(image.size(), 0xFFBCu);
        for (std::size_t i = 0; i < image.size(); ++i)
            machine->poke(static_cast<std::uint16_t>(i), image[i]);
        const std::map<std::uint16_t, Decoded> theirs = objdump(image);
        int agreed = 0;

        for (std::size_t slot = 0; slot < image.size(); slot += slotSize) {
            for (std::size_t address = slot; address < slot + compared;) {
                const auto a = static_cast<std::uint16_t>(address);
                const Decoded mine = ours(*machine, a);
                const auto their = theirs.find(a);
                const std::string bytes = bytesText(*machine, a, 5);
                const std::string disagreement =
                    their == theirs.end()
                        ? "objdump has no instruction here"
                        : "objdump: " + their->second.mnemonic + " " + their->second.operands +
                              " (" + std::to_string(their->second.length) + " bytes)";
                const bool agree = their != theirs.end() &&
                                   (mine.undefined ? their->second.undefined
                                                   : mine.mnemonic == their->second.mnemonic &&
                                                         mine.operands == their->second.operands &&
                                                         mine.length == their->second.length);
                if (!agree && !kObjdumpFaults.contains(opcodeKey(*machine, a)))
                    ADD_FAILURE() << "at " << address << " bytes " << bytes << ": ours "
                                  << mine.mnemonic << " " << mine.operands << " (" << mine.length
                                  << " bytes), " << disagreement;
                if (!agree || mine.undefined) break;
                ++agreed;
                address += static_cast<std::size_t>(mine.length);
            }
        }
        return agreed;
    }

    testing::FakeHost host;
    std::unique_ptr<Machine> machine = std::make_unique<Machine>(host);
};

TEST_F(ObjdumpComparisonTest, EveryOpcodeOfEveryPage) {
    std::vector<std::vector<std::uint8_t>> strings;
    for (const std::uint8_t prefix : {0x00, 0x18, 0x1A, 0xCD}) {
        for (int opcode = 0; opcode < 256; ++opcode) {
            std::vector<std::uint8_t> bytes;
            if (prefix != 0) bytes.push_back(prefix);
            bytes.push_back(static_cast<std::uint8_t>(opcode));
            // Operands with distinct bytes and a backward branch offset.
            for (const std::uint8_t operand : {0x85, 0x43, 0xF1}) bytes.push_back(operand);
            strings.push_back(bytes);
        }
    }
    EXPECT_EQ(compare(strings, 8, 1), 307);
}

TEST_F(ObjdumpComparisonTest, RandomByteStrings) {
    std::mt19937 random(20260110);
    std::uniform_int_distribution<int> byte(0, 255);
    std::vector<std::vector<std::uint8_t>> strings(3000, std::vector<std::uint8_t>(12));
    for (auto& bytes : strings)
        for (auto& b : bytes) b = static_cast<std::uint8_t>(byte(random));
    EXPECT_GT(compare(strings, 20, 12), 5000);
}

}  // namespace
}  // namespace tarnwick
