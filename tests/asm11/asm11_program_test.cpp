// Runs the built asm11 as the IDE's build does: files beside the source, messages on
// standard output, the exit status.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "asm11/assemble_text.h"

namespace tarnwick::asm11 {
namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The data bytes of S1 records by address.
std::map<unsigned, unsigned> s19Data(const std::string& text) {
    std::map<unsigned, unsigned> data;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("S1", 0) != 0) continue;
        const unsigned count = std::stoul(line.substr(2, 2), nullptr, 16);
        const unsigned address = std::stoul(line.substr(4, 4), nullptr, 16);
        for (unsigned i = 0; i + 3 < count; ++i)
            data[address + i] = std::stoul(line.substr(8 + 2 * i, 2), nullptr, 16);
    }
    return data;
}

class Asm11ProgramTest : public ::testing::Test {
  protected:
    struct Result {
        int status = -1;
        std::string out;
    };

    Asm11ProgramTest() {
        directory = fs::temp_directory_path() /
                    ("tarnwick_asm11_" + std::to_string(std::random_device()()));
        fs::create_directories(directory);
    }
    ~Asm11ProgramTest() override {
        std::error_code ignored;
        fs::remove_all(directory, ignored);
    }

    void write(const std::string& name, const std::string& text) {
        std::ofstream(directory / name, std::ios::binary) << text;
    }

    // Runs in the test's directory, as the IDE runs the assembler in the project directory.
    Result run(const std::string& arguments) {
        const std::string command =
            "cd '" + directory.string() + "' && '" ASM11_PATH "' " + arguments + " > out.txt 2>&1";
        const int raw = std::system(command.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readFile(directory / "out.txt")};
    }

    static fs::path example(const std::string& name) {
        const char* source = std::getenv("TARNWICK_SOURCE_DIR");
        return fs::path(source ? source : ".") / "examples" / name;
    }

    fs::path directory;
};

TEST_F(Asm11ProgramTest, HelloBuildsToTheExampleImage) {
    fs::copy_file(example("hello/hello.asm"), directory / "hello.asm");
    const Result result =
        run("-WRN+ -SP- -SH- -O+ -P+ -C- -L- -M- -X+ -REL- -RTS- -LS+ -LSE "
            "-S+ -E- -T- hello.asm");
    EXPECT_EQ(result.status, 0) << result.out;
    EXPECT_EQ(result.out, "asm11: hello.asm: 0 errors, 0 warnings, 74 bytes\n");
    EXPECT_EQ(s19Data(readFile(directory / "hello.s19")),
              s19Data(readFile(example("hello/hello.s19"))));
    const std::string sym = readFile(directory / "hello.sym");
    EXPECT_EQ(sym.rfind("#MODULE HELLO hello.asm\nE000 17\nE003 18\n", 0), 0u) << sym;
    EXPECT_NE(sym.find("\nFFFE 40\n#END\n#SYMBOL\n1000 REGS\n"), std::string::npos) << sym;
    EXPECT_NE(sym.find("\nE025 MSG\n#END\n"), std::string::npos) << sym;
}

TEST_F(Asm11ProgramTest, ErrorsWriteNoImageAndExitWithTwo) {
    write("bad.asm", " ORG $E000\n LDAA COUNT\n");
    write("bad.s19", "stale");
    write("junk.asm", std::string("\x7f"
                                  "ELF\x02\x01\x01\0\0\0",
                                  10));
    const Result bad = run("bad.asm");
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(bad.out,
              "ERR* bad.asm [2] Undefined symbol: COUNT\n"
              "asm11: bad.asm: 1 error, 0 warnings\n");
    EXPECT_FALSE(fs::exists(directory / "bad.s19"));
    EXPECT_FALSE(fs::exists(directory / "bad.sym"));

    const Result junk = run("junk.asm");
    EXPECT_EQ(junk.status, 2);
    EXPECT_EQ(junk.out,
              "ERR* junk.asm [1] Invalid character $7F in source line\n"
              "asm11: junk.asm: 1 error, 0 warnings, stopped after pass 1\n");
    EXPECT_FALSE(fs::exists(directory / "junk.s19"));

    const Result missing = run("missing.asm");
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.out.rfind("ERR* missing.asm [0] Cannot read source file", 0), 0u)
        << missing.out;

    fs::create_directory(directory / "folder.asm");
    const Result folder = run("folder.asm");
    EXPECT_EQ(folder.status, 2);
    EXPECT_EQ(folder.out.rfind("ERR* folder.asm [0] Cannot read source file", 0), 0u) << folder.out;
}

// Sources the outputs would overwrite are refused untouched; old maps do not outlive a build
// that stopped after pass 1, whose listing shows pass 1's lines and errors; a lone CR ends a
// line as LF does.
TEST_F(Asm11ProgramTest, OutputsNeverOverwriteTheSourceNorOutliveTheirBuild) {
    write("prog.s19", " ORG $E000\n NOP\n");
    const Result refused = run("prog.s19");
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(readFile(directory / "prog.s19"), " ORG $E000\n NOP\n");

    write("p.asm", " ORG $E000\n NOP\n");
    ASSERT_EQ(run("-L+ -M+ p.asm").status, 0);
    write("p.asm", "A NOP\nA NOP\n");
    EXPECT_EQ(run("-L+ -M+ p.asm").status, 2);
    EXPECT_EQ(readFile(directory / "p.lst"),
              "File p.asm\n"
              "    1                     A NOP\n"
              "    2                     A NOP\n"
              "ERR* p.asm [2] Duplicate label: A\n"
              "\n"
              "Symbols\n");
    EXPECT_FALSE(fs::exists(directory / "p.map"));
    EXPECT_EQ(run("p.asm").status, 2);
    EXPECT_FALSE(fs::exists(directory / "p.lst"));

    write("cr.asm", "\tORG\t$E000\rstart\tldaa\t#1\r\tbra\tstart\r");
    EXPECT_EQ(run("cr.asm").status, 0) << readFile(directory / "out.txt");
    EXPECT_NE(readFile(directory / "cr.s19").find("S107E000860120FC"), std::string::npos);
}

// An output replaces a link of its name rather than writing through it; one that cannot be
// written is an error that leaves no temporary file behind.
TEST_F(Asm11ProgramTest, OutputsReplaceLinksAndFailCleanly) {
    write("p.asm", " ORG $E000\n NOP\n");
    write("elsewhere.txt", "kept");
    fs::create_symlink("elsewhere.txt", directory / "p.s19");
    fs::create_symlink(directory / "elsewhere.txt", directory / "p.sym");
    fs::create_directory(directory / "p.lst");

    const Result result = run("-L+ p.asm");
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "ERR* p.asm [0] Cannot write p.lst\nasm11: p.asm: 1 error, 0 warnings\n");
    EXPECT_EQ(readFile(directory / "elsewhere.txt"), "kept");
    for (const char* output : {"p.s19", "p.sym"}) EXPECT_FALSE(fs::is_symlink(directory / output));
    EXPECT_EQ(readFile(directory / "p.s19").rfind("S104E000011A\n", 0), 0u);
    EXPECT_EQ(readFile(directory / "p.sym").rfind("#MODULE P p.asm\n", 0), 0u);
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(directory))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"elsewhere.txt", "out.txt", "p.asm", "p.lst",
                                               "p.s19", "p.sym"}));
}

// An include named like an output, or an output linked to an input, stops the build before
// anything is written or removed.
TEST_F(Asm11ProgramTest, OutputsThatWouldOverwriteAnInputAreRefused) {
    write("p.asm", " ORG $E000\n#INCLUDE p.lst\n");
    write("p.lst", " NOP\n");
    write("p.s19", "old");
    const Result include = run("-L+ p.asm");
    EXPECT_EQ(include.status, 2);
    EXPECT_EQ(include.out,
              "ERR* p.asm [0] Output would overwrite the input file p.lst\n"
              "asm11: p.asm: 1 error, 0 warnings\n");
    EXPECT_EQ(readFile(directory / "p.lst"), " NOP\n");
    EXPECT_EQ(readFile(directory / "p.s19"), "old");

    write("m.asm", " ORG $E000\n NOP\n");
    fs::create_symlink("m.asm", directory / "m.sym");
    const Result link = run("m.asm");
    EXPECT_EQ(link.status, 2);
    EXPECT_EQ(
        link.out.rfind("ERR* m.asm [0] Output m.sym would overwrite the input file m.asm\n", 0), 0u)
        << link.out;
    EXPECT_TRUE(fs::is_symlink(directory / "m.sym"));
    EXPECT_FALSE(fs::exists(directory / "m.s19"));
}

TEST_F(Asm11ProgramTest, SwitchesChooseTheFiles) {
    write("p.asm", " ORG $E000\n NOP\n");
    EXPECT_EQ(run("-LS- -SH+ p.asm").status, 0);
    EXPECT_EQ(readFile(directory / "p.s19").rfind("S0", 0), 0u);
    EXPECT_FALSE(fs::exists(directory / "p.sym"));
    EXPECT_FALSE(fs::exists(directory / "p.lst"));
    EXPECT_FALSE(fs::exists(directory / "p.map"));
    EXPECT_EQ(run("-L+ -M+ p.asm").status, 0);
    EXPECT_EQ(readFile(directory / "p.lst").rfind("File p.asm\n", 0), 0u);
    EXPECT_EQ(readFile(directory / "p.map"), "Address Line File\nE000    2    p.asm\n");

    fs::remove(directory / "p.s19");
    EXPECT_EQ(run("p.asm -S-").status, 0);
    EXPECT_FALSE(fs::exists(directory / "p.s19"));
    EXPECT_TRUE(fs::exists(directory / "p.sym"));
}

// -EXP+ writes the EXP symbols and #MEXPORT macros as source that a later assembly includes.
TEST_F(Asm11ProgramTest, ExportFileIsReadBackByALaterAssembly) {
    write("lib.asm",
          "Twice macro\n lsla\n lsla\n endm\n ORG $E000\nEntry NOP\nSize EXP 3\nHidden EQU 4\n"
          " #EXPORT Entry\n #MEXPORT Twice\n");
    EXPECT_EQ(run("-EXP+ lib.asm").status, 0);
    const std::string exported = readFile(directory / "lib.exp");
    EXPECT_NE(exported.find("Size"), std::string::npos) << exported;
    EXPECT_EQ(exported.find("Hidden"), std::string::npos) << exported;

    write("app.asm", "#INCLUDE lib.exp\n ORG $F000\n JMP Entry\n FCB Size\n @Twice\n");
    EXPECT_EQ(run("-L+ app.asm").status, 0) << readFile(directory / "app.lst");
    EXPECT_EQ(readFile(directory / "app.s19").substr(0, 22), "S109F0007EE00003484815");
    EXPECT_FALSE(fs::exists(directory / "app.exp"));
}

TEST_F(Asm11ProgramTest, ErrorFilesAndTheAlternativeStyle) {
    write("inc.asm", " FCB UNKNOWN\n");
    write("e.asm", " ORG $E000\n#INCLUDE inc.asm\n#WARNING careful\n");
    const Result result = run("-E+ -T+ e.asm");
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out,
              "inc.asm:1: error: Undefined symbol: UNKNOWN\n"
              "e.asm:3: warning: careful\n"
              "asm11: e.asm: 1 error, 1 warning\n");
    EXPECT_EQ(readFile(directory / "inc.err"), "inc.asm:1: error: Undefined symbol: UNKNOWN\n");
    EXPECT_EQ(readFile(directory / "e.err"), "e.asm:3: warning: careful\n");

    write("e.asm", " NOP\n");
    EXPECT_EQ(run("-E+ e.asm").status, 0);
    EXPECT_FALSE(fs::exists(directory / "e.err"));
}

// A hint is listed with its place, in either message style, and counts as nothing: the status,
// the warning count and the -E files stay those of a clean build.
TEST_F(Asm11ProgramTest, OrderHintsLeaveTheOutcomeAlone) {
    write("h.asm", " ORG $E000\nSize EQU 2+3*4\n FDB Size,1+Size*2\n LDAB 1+Size*2,X\n");
    const std::string hint2 =
        "Read left to right: {2+3}*4 = 20 ($0014); the usual precedence would give 14 ($000E)";
    const std::string hint3 =
        "Read left to right: {1+Size}*2 = 42 ($002A); the usual precedence would give 41 "
        "($0029)";
    const Result result = run("-E+ h.asm");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "HNT h.asm [2] " + hint2 + "\nHNT h.asm [3] " + hint3 +
                              "\nHNT h.asm [4] " + hint3 +
                              "\nasm11: h.asm: 0 errors, 0 warnings, 6 bytes\n");
    EXPECT_FALSE(fs::exists(directory / "h.err"));
    EXPECT_EQ(
        s19Data(readFile(directory / "h.s19")),
        (std::map<unsigned, unsigned>{
            {0xE000, 0}, {0xE001, 20}, {0xE002, 0}, {0xE003, 42}, {0xE004, 0xE6}, {0xE005, 42}}));

    const Result other = run("-T+ h.asm");
    EXPECT_EQ(other.status, 0);
    EXPECT_EQ(other.out.substr(0, other.out.find('\n')), "h.asm:2: note: " + hint2);
}

TEST_F(Asm11ProgramTest, CommandLineProblemsAndHelp) {
    const Result help = run("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("  JEQ    BNE over, JMP operand\n"), std::string::npos) << help.out;

    const Result unknown = run("-Q+ p.asm");
    EXPECT_EQ(unknown.status, 1);
    EXPECT_EQ(unknown.out, "asm11: unknown option -Q+ (see --help)\n");
    EXPECT_EQ(run("").status, 1);
    EXPECT_EQ(run("a.asm b.asm").status, 1);

    const Result version = run("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "asm11 " TARNWICK_VERSION "\n");
}

TEST_F(Asm11ProgramTest, IncludeFolderAfterABlank) {
    fs::create_directories(directory / "inc");
    write("inc/defs.asm", "Value EQU $42\n");
    write("p.asm", "#INCLUDE defs.asm\n ORG $E000\n LDAA #Value\n");
    const Result result = run("-I inc p.asm");
    EXPECT_EQ(result.status, 0) << result.out;
    EXPECT_EQ(s19Data(readFile(directory / "p.s19")),
              (std::map<unsigned, unsigned>{{0xE000, 0x86}, {0xE001, 0x42}}));
}

}  // namespace
}  // namespace tarnwick::asm11
