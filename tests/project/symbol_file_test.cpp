#include "project/symbol_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "support/damaged_text.h"
#include "support/fake_host.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

constexpr const char* kExample =
    "#MODULE PROG PROG.ASM\n"
    "E000 12\n"
    "E003 13\n"
    "#END\n"
    "#SYMBOL\n"
    "0040 COUNT\n"
    "E000 START\n"
    "#END\n";

struct Mapping {
    std::uint16_t address;
    int module;
    int line;
};

class SymbolFileTest : public ::testing::Test {
  protected:
    SymbolFileTest() {
        directory =
            fs::temp_directory_path() / ("tarnwick_sym_" + std::to_string(std::random_device()()));
        fs::create_directories(directory);
        setMemoryKind(machine->memory, 0x0000, 0x00FF, MemoryKind::Ram);
        setMemoryKind(machine->memory, 0x1000, 0x103F, MemoryKind::Io);
        setMemoryKind(machine->memory, 0x4000, 0x40FF, MemoryKind::WriteOnly);
        setMemoryKind(machine->memory, 0xE000, 0xFFFF, MemoryKind::Rom);
    }
    ~SymbolFileTest() override {
        std::error_code ignored;
        fs::remove_all(directory, ignored);
    }

    // Starts the map over, as the image load before every read does.
    SourceReadResult read(const std::string& contents, const std::string& name = "prog.sym") {
        for (AddressRecord& record : machine->memory) record.module = record.line = 0;
        sourceMap.clear();
        std::ofstream(directory / name, std::ios::binary) << contents;
        return readSymbolFile(*machine, sourceMap, directory, name, watchNames);
    }

    std::vector<std::string> modules() const {
        return {sourceMap.modules.begin(), sourceMap.modules.begin() + sourceMap.moduleCount()};
    }

    void expectMappings(const std::vector<Mapping>& mappings, const std::string& context) {
        for (const Mapping& m : mappings) {
            EXPECT_EQ(machine->memory[m.address].module, m.module) << context << " @" << m.address;
            EXPECT_EQ(machine->memory[m.address].line, m.line) << context << " @" << m.address;
        }
    }

    testing::FakeHost host;
    std::unique_ptr<Machine> machine = std::make_unique<Machine>(host);
    SourceMap sourceMap;
    std::vector<std::string> watchNames{"left over"};
    fs::path directory;
};

TEST_F(SymbolFileTest, ReadsTheExampleWithAnyLineEnd) {
    const std::string lf = kExample;
    std::string crlf, bare = lf.substr(0, lf.size() - 1);
    for (char c : lf) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    for (const std::string& text : {lf, crlf, bare}) {
        const auto result = read(text);
        ASSERT_TRUE(result.ok()) << result.error;
        EXPECT_EQ(modules(), std::vector<std::string>{"PROG.ASM"});
        expectMappings({{0xE000, 0, 12}, {0xE003, 0, 13}, {0xE001, 0, 0}}, text);
        EXPECT_EQ(sourceMap.symbols[0].name, "COUNT");
        EXPECT_EQ(sourceMap.symbols[0].address, 0x0040);
        EXPECT_EQ(sourceMap.symbols[1].name, "");
        EXPECT_EQ(watchNames, std::vector<std::string>{"COUNT"});
    }
}

TEST_F(SymbolFileTest, SectionsDecideModulesAndSymbols) {
    const struct {
        const char* name;
        const char* file;
        std::vector<std::string> modules;
        std::vector<Mapping> mappings;
        std::vector<std::string> symbols;
    } cases[] = {
        {"two closed modules",
         "#MODULE A A.ASM\nE000 1\n#END\n#MODULE B B.ASM\nE010 2\n#END\n",
         {"A.ASM", "B.ASM"},
         {{0xE000, 0, 1}, {0xE010, 1, 2}},
         {}},
        {"empty module uses no index",
         "#MODULE A A.ASM\n#END\n#MODULE B B.ASM\nE010 2\n#END\n",
         {"B.ASM"},
         {{0xE010, 0, 2}},
         {}},
        {"module without #END shares the index",
         "#MODULE A A.ASM\nE000 1\n#MODULE B B.ASM\nE010 2\n#END\n",
         {"B.ASM"},
         {{0xE000, 0, 1}, {0xE010, 0, 2}},
         {}},
        {"last module read wins an address",
         "#MODULE A A.ASM\nE000 1\n#END\n#MODULE B B.ASM\nE000 7\n#END\n",
         {"A.ASM", "B.ASM"},
         {{0xE000, 1, 7}},
         {}},
        {"lines outside their sections are ignored",
         "E000 1\n0040 X\n#MODULE A A.ASM\nE004 4\n#END\nE008 8\n0041 Y\n",
         {"A.ASM"},
         {{0xE000, 0, 0}, {0xE004, 0, 4}, {0xE008, 0, 0}},
         {}},
        {"only RAM and I/O symbols, to the end of the file",
         "#SYMBOL ignored\n0040 RAMVAR\n1000 PORTA\n4000 WO\n2000 NONE\nFFFE VEC\n0041 ram",
         {},
         {},
         {"RAMVAR", "PORTA", "ram"}},
        {"skipped lead characters, extra words and spaces",
         "\t #MODULE A\tX  A.ASM  junk\n\x01\xA0 e00a  10 more\n#END\n",
         {"A.ASM"},
         {{0xE00A, 0, 10}},
         {}},
        {"keywords are case-sensitive",
         "#module A A.ASM\nE000 3\n#MODULE B B.ASM\nE002 4\n#END\n",
         {"B.ASM"},
         {{0xE000, 0, 0}, {0xE002, 0, 4}},
         {}},
    };
    for (const auto& c : cases) {
        const auto result = read(c.file);
        ASSERT_TRUE(result.ok()) << c.name << ": " << result.error;
        EXPECT_EQ(modules(), c.modules) << c.name;
        expectMappings(c.mappings, c.name);
        EXPECT_EQ(watchNames, c.symbols) << c.name;
        for (std::size_t i = 0; i < c.symbols.size(); ++i)
            EXPECT_EQ(sourceMap.symbols[i].name, c.symbols[i]) << c.name;
        EXPECT_EQ(sourceMap.symbols[c.symbols.size()].name, "") << c.name;
    }
}

TEST_F(SymbolFileTest, MalformedLinesNameFileAndLineAndKeepWhatWasRead) {
    const struct {
        const char* file;
        int line;
    } cases[] = {
        {"#MODULE P P.ASM\nE000 12\nE003\t13\n", 3},  // a tab does not separate
        {"#MODULE P P.ASM\nE000 12\nXYZ 13\n", 3},
        {"#MODULE P P.ASM\nE000 12\nE003 1x\n", 3},
        {"#MODULE P P.ASM\nE000 12\nE003\n", 3},
        {"#MODULE P P.ASM\nE000 12\n\n", 3},
        {"#MODULE P P.ASM\nE000 12\n#end\n", 3},
        {"#MODULE P P.ASM\nE000 12\n10000 13\n", 3},
        {"#MODULE P P.ASM\nE000 12\nE003 65536\n", 3},
        {"#MODULE P P.ASM\nE000 12\nE003 -1\n", 3},
        {"#MODULE P P.ASM\nE000 12\n#END\n#SYMBOL\n0040\n", 5},
        {"#MODULE P P.ASM\nE000 12\n#END\n#SYMBOL\n$0040 X\n", 5},
        {"#MODULE P P.ASM\nE000 12\n#END\n#MODULE Q\n", 4},
    };
    for (const auto& c : cases) {
        const auto result = read(c.file);
        ASSERT_FALSE(result.ok()) << c.file;
        EXPECT_NE(result.error.find((directory / "prog.sym").string()), std::string::npos)
            << result.error;
        EXPECT_NE(result.error.find(", line " + std::to_string(c.line) + ":"), std::string::npos)
            << result.error;
        expectMappings({{0xE000, 0, 12}}, c.file);
        EXPECT_EQ(sourceMap.modules[0], "P.ASM") << c.file;
    }
}

TEST_F(SymbolFileTest, MissingFileIsAnErrorNamingIt) {
    const auto result = readSymbolFile(*machine, sourceMap, directory, "none.sym", watchNames);
    ASSERT_FALSE(result.ok());
    EXPECT_NE(result.error.find("none.sym"), std::string::npos) << result.error;
    EXPECT_TRUE(watchNames.empty());
}

TEST_F(SymbolFileTest, OpensNamesInAnyCaseAndWithEitherSeparator) {
    fs::create_directories(directory / "Out");
    std::ofstream(directory / "Out" / "Prog.Sym", std::ios::binary) << kExample;
    for (const std::string& name : {std::string("Out/Prog.Sym"), std::string("Out\\PROG.SYM"),
                                    (directory / "Out" / "prog.sym").string()}) {
        const auto result = readSymbolFile(*machine, sourceMap, directory, name, watchNames);
        ASSERT_TRUE(result.ok()) << name << ": " << result.error;
        EXPECT_EQ(sourceMap.modules[0], "PROG.ASM");
    }
}

TEST_F(SymbolFileTest, TablesHaveLimits) {
    std::string manyModules, manySymbols = "#SYMBOL\n";
    for (int i = 0; i < 257; ++i)
        manyModules += "#MODULE M M" + std::to_string(i) + ".ASM\nE000 1\n#END\n";
    for (int i = 0; i < 1030; ++i) manySymbols += "0010 S" + std::to_string(i) + "\n";

    const auto modulesResult = read(manyModules);
    ASSERT_FALSE(modulesResult.ok());
    EXPECT_NE(modulesResult.error.find(", line 770:"), std::string::npos) << modulesResult.error;
    EXPECT_EQ(sourceMap.modules[255], "M255.ASM");

    const auto symbolsResult = read(manySymbols);
    ASSERT_TRUE(symbolsResult.ok()) << symbolsResult.error;
    EXPECT_EQ(watchNames.size(), kSymbolTableSize);
    EXPECT_EQ(sourceMap.symbols.back().name, "S1023");
}

TEST_F(SymbolFileTest, LookupsBetweenAddressesLinesAndSymbols) {
    ASSERT_TRUE(read("#MODULE P PROG.ASM\nE000 12\nE003 13\nE010 20\nE008 20\n#END\n"
                     "#MODULE L sub\\Lib.asm\nE020 12\n#END\n"
                     "#MODULE X C:\\Src\\X.ASM\nE030 5\n#END\n"
                     "#SYMBOL\n0040 COUNT\n0041 count\n0042 COUNT\n")
                    .ok());
    const std::string dir = directory.string();
    const struct {
        std::string file;
        int line;
        int address;
    } lines[] = {
        {dir + "/PROG.ASM", 12, 0xE000},
        {dir + "/prog.asm", 13, 0xE003},
        {dir + "/Prog.Asm", 20, 0xE008},  // the lower address wins
        {dir + "/./sub/../PROG.ASM", 12, 0xE000},
        {dir + "/SUB/LIB.ASM", 12, 0xE020},
        {dir + "\\sub\\lib.asm", 12, 0xE020},
        {"c:/src/x.asm", 5, 0xE030},
        {"PROG.ASM", 12, 0x0000},  // a bare name is no module
        {dir + "/PROG.ASM", 14, 0x0000},
        {dir + "/PROG.ASM", 0, 0x0000},
        {dir + "/other.asm", 12, 0x0000},
    };
    for (const auto& c : lines)
        EXPECT_EQ(addressOfSourceLine(*machine, sourceMap, directory, c.file,
                                      static_cast<std::uint16_t>(c.line)),
                  c.address)
            << c.file << " " << c.line;

    const auto prog = sourceOfAddress(*machine, sourceMap, directory, 0xE003);
    ASSERT_TRUE(prog);
    EXPECT_EQ(prog->file, directory / "PROG.ASM");
    EXPECT_EQ(prog->line, 13);
    EXPECT_EQ(sourceOfAddress(*machine, sourceMap, directory, 0xE020)->file.generic_string(),
              directory.generic_string() + "/sub/Lib.asm");
    EXPECT_EQ(sourceOfAddress(*machine, sourceMap, directory, 0xE030)->file.generic_string(),
              "C:/Src/X.ASM");
    EXPECT_FALSE(sourceOfAddress(*machine, sourceMap, directory, 0xE001));

    const struct {
        const char* name;
        int entry;  // -1 = not found
    } symbols[] = {{"COUNT", 0}, {"count", 1}, {"Count", -1}, {"", -1}};
    for (const auto& c : symbols) {
        const MEMORYSYM* found = findSymbol(sourceMap, c.name);
        EXPECT_EQ(found ? found - sourceMap.symbols.data() : -1, c.entry) << c.name;
    }
}

// Whatever the damage, the reader either succeeds or names the file and a line.
TEST_F(SymbolFileTest, DamagedFilesFailCleanly) {
    const std::string valid = std::string(kExample) + "#MODULE Q Q.ASM\nE100 1\nE102 2\n#END\n";
    std::vector<std::string> files = {
        "",
        std::string("\0\0\0", 3),
        "\xFF\xFE#\x80MODULE\n",
        "#MODULE\n",
        "#MODULE P P.ASM\nFFFFFFFFFFFFFFFFFFFFFFFF 99999999999999999999\n",
        "#MODULE P P.ASM\n" + std::string(5000, 'E') + " 1\n",
        "#SYMBOL\n0040 " + std::string(5000, 'N') + "\n",
        "\r\r\n\n\r",
        "#END\n#END\n#SYMBOL\n#SYMBOL\n",
    };
    std::mt19937 random(20240611);
    for (int i = 0; i < 300; ++i) {
        files.push_back(testing::damagedText(valid, random));
    }
    const std::string path = (directory / "prog.sym").string();
    for (const std::string& text : files) {
        const auto result = read(text);
        if (!result.ok()) {
            EXPECT_EQ(result.error.rfind(path + ", line ", 0), 0u) << result.error;
        }
    }
}

}  // namespace
}  // namespace tarnwick
