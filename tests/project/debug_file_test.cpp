#include "project/debug_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "base/number_text.h"
#include "support/damaged_text.h"
#include "support/fake_host.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

constexpr const char* kExample =
    "FILE main.c\n"
    "FUNC main 0100\n"
    "STACK s2 x\n"
    "LINE 5 0100\n"
    "LINE 5 0103\n"
    "LINE 6 0105\n"
    "DEFLOCAL i 1\n"
    "FUNCEND\n";

struct Expected {
    int module = 0;
    int line = 0;
    int returnSlot = 0;
};

class DebugFileTest : public ::testing::Test {
  protected:
    DebugFileTest() {
        directory =
            fs::temp_directory_path() / ("tarnwick_dbg_" + std::to_string(std::random_device()()));
        fs::create_directories(directory);
    }
    ~DebugFileTest() override {
        std::error_code ignored;
        fs::remove_all(directory, ignored);
    }

    // Starts the map over, as the image load before every read does.
    DebugFileResult read(const std::string& contents) {
        for (AddressRecord& record : machine->memory) record.module = record.line = 0;
        for (AddressRecord& record : machine->memory) record.returnSlot = 0;
        sourceMap.clear();
        std::ofstream(directory / "main.dbg", std::ios::binary) << contents;
        return readDebugFile(*machine, sourceMap, directory, "main.dbg", scopes);
    }

    std::vector<std::string> modules() const {
        return {sourceMap.modules.begin(), sourceMap.modules.begin() + sourceMap.moduleCount()};
    }

    void expectAt(std::uint16_t address, Expected expected, const std::string& context) {
        const AddressRecord& record = machine->memory[address];
        EXPECT_EQ(record.module, expected.module) << context << " @" << hexText(address, 4);
        EXPECT_EQ(record.line, expected.line) << context << " @" << hexText(address, 4);
        EXPECT_EQ(record.returnSlot, expected.returnSlot) << context << " @" << hexText(address, 4);
    }

    testing::FakeHost host;
    std::unique_ptr<Machine> machine = std::make_unique<Machine>(host);
    SourceMap sourceMap;
    std::vector<std::string> scopes{"left over"};
    fs::path directory;
};

TEST_F(DebugFileTest, ReadsTheExampleWithAnyLineEnd) {
    const std::string lf = kExample;
    std::string crlf, bare = lf.substr(0, lf.size() - 1);
    for (char c : lf) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    for (const std::string& text : {lf, crlf, bare}) {
        const auto result = read(text);
        ASSERT_TRUE(result.ok()) << result.error;
        EXPECT_TRUE(result.hasMainFunction);
        EXPECT_EQ(modules(), std::vector<std::string>{"main.c"});
        expectAt(0x0100, {0, 5, 0x8002}, text);
        expectAt(0x0103, {0, 0, 0}, text);  // line 5 keeps its first address
        expectAt(0x0105, {0, 6, 0x8002}, text);
        EXPECT_EQ(scopes, std::vector<std::string>{"main"});
    }
}

TEST_F(DebugFileTest, RecordsActOnlyInTheirState) {
    const struct {
        const char* name;
        const char* file;
        bool hasMain;
        std::vector<std::string> modules;
        std::vector<std::string> scopes;
        std::vector<std::pair<std::uint16_t, Expected>> addresses;
    } cases[] = {
        {"main at 0000 is no main", "FUNC main 0000\nFUNCEND\n", false, {}, {}, {}},
        {"FUNC inside a function is ignored",
         "FUNC f\nFUNC main 0100\nFUNCEND\n",
         false,
         {},
         {},
         {}},
        {"files are looked up by exact name",
         "FILE a.c\nFILE b.c\nFILE a.c\nFUNC f\nLINE 1 0200\nFUNCEND\nFILE A.C\n",
         false,
         {"a.c", "b.c", "A.C"},
         {},
         {{0x0200, {0, 1, 0}}}},
        {"FILE inside a function is ignored",
         "FILE a.c\nFUNC f\nFILE b.c\nLINE 1 0200\nFUNCEND\n",
         false,
         {"a.c"},
         {},
         {{0x0200, {0, 1, 0}}}},
        {"LINE and STACK outside a function are ignored",
         "FILE a.c\nSTACK s4 x\nLINE 1 0200\nFUNC f\nLINE 2 0202\nFUNCEND\n",
         false,
         {"a.c"},
         {},
         {{0x0200, {0, 0, 0}}, {0x0202, {0, 2, 0}}}},
        {"the return slot carries over to later functions",
         "FILE a.c\nFUNC f\nSTACK x4 y\nLINE 1 0200\nFUNCEND\nFUNC g\nLINE 2 0210\n"
         "STACK s0 y\nLINE 3 0220\nFUNCEND\n",
         false,
         {"a.c"},
         {},
         {{0x0200, {0, 1, 4}}, {0x0210, {0, 2, 4}}, {0x0220, {0, 3, 0x8000}}}},
        {"an upper-case S is relative to IX",
         "FILE a.c\nFUNC f\nSTACK S7\nLINE 1 0200\nFUNCEND\n",
         false,
         {"a.c"},
         {},
         {{0x0200, {0, 1, 7}}}},
        {"scopes: functions with locals, then globals",
         "DEFGLOBAL g 0040 1\nFUNC f\nDEFLOCAL a 1\nFUNCEND\nFUNC g\nFUNCEND\n"
         "DEFLOCAL x 1\nFUNC h\nDEFGLOBAL y 0041 1\nDEFLOCAL b 2\nDEFLOCAL c 3\nFUNCEND\n"
         "FUNC main 0123\nFUNCEND\n",
         true,
         {},
         {"f", "h", "Global Variable"},
         {}},
        {"no DEFGLOBAL, no global scope",
         "FUNC f\nDEFGLOBAL y 0041 1\nFUNCEND\nDEFSTRUCT s\nDEFREG r\nDEFSTATIC t\nJUNK\n",
         false,
         {},
         {},
         {}},
        {"keywords are case-sensitive",
         "FILE a.c\nfunc main 0100\nFUNC f\nline 1 0200\nLINE 2 0202\nfuncend\nFUNC main 0300\n",
         false,
         {"a.c"},
         {},
         {{0x0200, {0, 0, 0}}, {0x0202, {0, 2, 0}}}},
        // The line of an address that gets another line is free again.
        {"lines whose address moved on",
         "FILE a.c\nFUNC f\nLINE 5 0100\nFUNCEND\nFILE b.c\nFUNC g\nLINE 7 0100\nFUNCEND\n"
         "FILE a.c\nFUNC h\nLINE 5 0200\nFUNCEND\n",
         false,
         {"a.c", "b.c"},
         {},
         {{0x0100, {1, 7, 0}}, {0x0200, {0, 5, 0}}}},
        // Every address without line info carries module 0, line 0 from the start.
        {"line 0",
         "FILE a.c\nFILE b.c\nFUNC f\nSTACK s2\nLINE 0 0100\nLINE 0 0102\nFUNCEND\n"
         "FILE a.c\nFUNC g\nLINE 0 0104\nFUNCEND\n",
         false,
         {"a.c", "b.c"},
         {},
         {{0x0100, {1, 0, 0x8002}}, {0x0102, {0, 0, 0}}, {0x0104, {0, 0, 0}}}},
        {"lines before any FILE",
         "FUNC f\nLINE 3 0100\nFUNCEND\n",
         false,
         {},
         {},
         {{0x0100, {255, 3, 0}}}},
    };
    for (const auto& c : cases) {
        const auto result = read(c.file);
        ASSERT_TRUE(result.ok()) << c.name << ": " << result.error;
        EXPECT_EQ(result.hasMainFunction, c.hasMain) << c.name;
        EXPECT_EQ(modules(), c.modules) << c.name;
        EXPECT_EQ(scopes, c.scopes) << c.name;
        for (const auto& [address, expected] : c.addresses) expectAt(address, expected, c.name);
    }
}

TEST_F(DebugFileTest, MalformedRecordsNameFileAndLineAndKeepWhatWasRead) {
    const std::string start = "FILE a.c\nFUNC f\nLINE 1 0100\n";
    const struct {
        std::string file;
        int line;
    } cases[] = {
        {start + "LINE x 0102\n", 4},
        {start + "LINE 2\n", 4},
        {start + "LINE 2 G102\n", 4},
        {start + "LINE 2\t0102\n", 4},
        {start + "LINE 65536 0102\n", 4},
        {start + "LINE 2 10000\n", 4},
        {start + "STACK\n", 4},
        {start + "STACK s\n", 4},
        {start + "STACK sx\n", 4},
        {start + "STACK x32768\n", 4},
        {start + "STACK s-2\n", 4},
        {start + "FUNCEND\nFUNC main\n", 5},
        {start + "FUNCEND\nFUNC main 1FFFF\n", 5},
        {start + "FUNCEND\nFILE\n", 5},
    };
    for (const auto& c : cases) {
        const auto result = read(c.file);
        ASSERT_FALSE(result.ok()) << c.file;
        EXPECT_EQ(
            result.error.rfind(
                (directory / "main.dbg").string() + ", line " + std::to_string(c.line) + ":", 0),
            0u)
            << result.error;
        EXPECT_EQ(sourceMap.modules[0], "a.c");
        expectAt(0x0100, {0, 1, 0}, c.file);
    }

    ASSERT_FALSE(readDebugFile(*machine, sourceMap, directory, "none.dbg", scopes).error.empty());
    std::string tooManyFiles;
    for (int i = 0; i < 257; ++i) tooManyFiles += "FILE f" + std::to_string(i) + ".c\n";
    EXPECT_NE(read(tooManyFiles).error.find(", line 257:"), std::string::npos);
}

TEST_F(DebugFileTest, OpensTheFileInAnyCase) {
    std::ofstream(directory / "Prog.DBG", std::ios::binary) << kExample;
    const auto result = readDebugFile(*machine, sourceMap, directory, "PROG.dbg", scopes);
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_TRUE(result.hasMainFunction);
}

// Many modules visited twice, every line given more than one address: each line must keep
// the first address it got, across revisits of its file.
TEST_F(DebugFileTest, LargeFileKeepsTheFirstAddressOfEveryLine) {
    constexpr int kModules = 200;
    constexpr int kLines = 50;
    std::string text = "FUNC main 0100\nFUNCEND\n";
    std::map<std::pair<int, int>, bool> seen;
    std::map<int, Expected> expected;
    int address = 0x0100;
    auto emitLine = [&](int module, int line, int slot) {
        text += "LINE " + std::to_string(line) + " " + hexText(address, 4) + "\n";
        if (!seen[{module, line}]) expected[address] = {module, line, slot};
        seen[{module, line}] = true;
        ++address;
    };
    for (int pass = 0; pass < 2; ++pass) {
        for (int module = 0; module < kModules; ++module) {
            const int slot = pass * 1000 + module;
            text += "FILE m" + std::to_string(module) + ".c\nFUNC f\nSTACK x" +
                    std::to_string(slot) + " 0\n";
            for (int line = 1; line <= kLines; ++line) {
                emitLine(module, line + pass * kLines, slot);
                emitLine(module, line, slot);
                emitLine(module, line + pass * kLines, slot);
            }
            text += "FUNCEND\n";
        }
    }
    ASSERT_LT(address, 0x10000);

    const auto result = read(text);
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(modules().size(), static_cast<std::size_t>(kModules));
    EXPECT_EQ(expected.size(), static_cast<std::size_t>(kModules * 2 * kLines));
    int mismatches = 0;
    for (int a = 0; a < 0x10000 && mismatches < 10; ++a) {
        const Expected e = expected.count(a) ? expected[a] : Expected{};
        const AddressRecord& r = machine->memory[static_cast<std::size_t>(a)];
        if (r.module != e.module || r.line != e.line || r.returnSlot != e.returnSlot) {
            ++mismatches;
            ADD_FAILURE() << hexText(static_cast<std::uint32_t>(a), 4) << ": module " << +r.module
                          << " line " << r.line << " slot " << r.returnSlot << ", expected "
                          << e.module << " " << e.line << " " << e.returnSlot;
        }
    }
}

// Whatever the damage, the reader either succeeds or names the file and a line.
TEST_F(DebugFileTest, DamagedFilesFailCleanly) {
    const std::string valid = std::string(kExample) +
                              "FILE lib.c\nDEFGLOBAL g 0040 1\nFUNC f\nSTACK x3 0\nLINE 1 "
                              "0200\nLINE 2 0204\nFUNCEND\n";
    std::vector<std::string> files = {
        "",
        std::string("\0\0\0", 3),
        "FUNC\nLINE\nSTACK\nFUNCEND\n",
        "FUNC f\nSTACK \xFF\n",
        "FUNC f\nLINE 99999999999999999999 FFFFFFFFFFFFFFFFFFFF\n",
        "FILE " + std::string(5000, 'a') + "\n",
        "\r\r\n\n\r",
    };
    std::mt19937 random(19860512);
    for (int i = 0; i < 300; ++i) {
        files.push_back(testing::damagedText(valid, random));
    }
    const std::string path = (directory / "main.dbg").string();
    for (const std::string& text : files) {
        const auto result = read(text);
        if (!result.ok()) {
            EXPECT_EQ(result.error.rfind(path + ", line ", 0), 0u) << result.error;
        }
    }
}

}  // namespace
}  // namespace tarnwick
