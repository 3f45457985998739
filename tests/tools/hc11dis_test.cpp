// Runs the built hc11dis on a tiny image, as a user's script would.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

class Hc11disTest : public ::testing::Test {
  protected:
    Hc11disTest() {
        directory = fs::temp_directory_path() /
                    ("tarnwick_hc11dis_" + std::to_string(std::random_device()()));
        fs::create_directories(directory);
        // LDAA #$05, RTS at E000; reset vector E000.
        std::ofstream(directory / "tiny.s19") << "S106E000860539DB\nS105FFFEE0001D\nS9030000FC\n";
    }
    ~Hc11disTest() override {
        std::error_code ignored;
        fs::remove_all(directory, ignored);
    }

    static std::string readFile(const fs::path& path) {
        std::ifstream file(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }

    // The exit status; stderr goes to `err`.
    int run(const std::string& arguments) {
        const std::string command = std::string("'") + HC11DIS_PATH + "' " + arguments +
                                    " >/dev/null 2>'" + (directory / "err").string() + "'";
        const int raw = std::system(command.c_str());
        err = readFile(directory / "err");
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }

    fs::path directory;
    std::string err;
};

TEST_F(Hc11disTest, WritesAsmAndSymBesideTheImage) {
    ASSERT_EQ(run("'" + (directory / "tiny.s19").string() + "' e000"), 0) << err;
    const std::string asmText = readFile(directory / "tiny.asm");
    EXPECT_TRUE(asmText.starts_with(";Disassembled by Tarnwick [")) << asmText;
    EXPECT_NE(asmText.find(std::string(20, ' ') + "ORG       $E000 \r\n" + std::string(20, ' ') +
                           "LDAA      #$05"),
              std::string::npos);
    EXPECT_NE(asmText.find("; $FFFE E000\r\n"), std::string::npos);
    const std::string symText = readFile(directory / "tiny.sym");
    EXPECT_TRUE(symText.starts_with("#MODULE TINYASM TINY.ASM\r\nE000 3\r\nE002 4\r\nE003 6\r\n"))
        << symText.substr(0, 80);
    // Unwritten ROM reads FF: STX >$FFFF lines from E003 up to FFBC, then four FCB lines.
    EXPECT_TRUE(symText.ends_with("FFBC 2713\r\nFFBD 2714\r\nFFBE 2715\r\nFFBF 2716\r\n#END"));
}

TEST_F(Hc11disTest, OutputNameAndErrors) {
    const std::string s19 = "'" + (directory / "tiny.s19").string() + "'";
    ASSERT_EQ(run(s19 + " FFB0 -o other.asm"), 0) << err;
    EXPECT_TRUE(readFile(directory / "other.sym").starts_with("#MODULE OTHERASM OTHER.ASM\r\n"));
    EXPECT_FALSE(fs::exists(directory / "tiny.asm"));

    EXPECT_EQ(run(s19 + " XYZ"), 1);
    EXPECT_NE(err.find("'XYZ' is not a valid hex address"), std::string::npos) << err;
    EXPECT_EQ(run("'" + (directory / "tiny.hex").string() + "' E000"), 1);
    EXPECT_NE(err.find("The file is not an S19 file"), std::string::npos) << err;
    EXPECT_EQ(run("'" + (directory / "gone.s19").string() + "' E000"), 1);
    EXPECT_NE(err.find("gone.s19"), std::string::npos) << err;
    EXPECT_EQ(run(s19), 1);
    EXPECT_NE(err.find("usage: hc11dis"), std::string::npos) << err;
    EXPECT_FALSE(fs::exists(directory / "tiny.asm"));

    // Output names that would replace the image or let the .sym replace the listing.
    for (const char* name : {"tiny.s19", "out", "out.sym"}) {
        EXPECT_EQ(run(s19 + " E000 -o " + name), 1) << name;
        EXPECT_NE(err.find("usage: hc11dis"), std::string::npos) << name;
    }
    EXPECT_EQ(readFile(directory / "tiny.s19").rfind("S106E000", 0), 0u);
    EXPECT_EQ(run("--help"), 0);
    EXPECT_EQ(err, "");
}

TEST_F(Hc11disTest, ProjectFileGivesTheCpuConfiguration) {
    std::ofstream(directory / "tiny.pro")
        << "[PROJECT]\r\nFormat=S19\r\n[CPU]\r\nRMem=F800 FFFF\r\nRandom Memory=0\r\n";
    const std::string s19 = "'" + (directory / "tiny.s19").string() + "'";
    ASSERT_EQ(run(s19 + " E000 --pro '" + (directory / "tiny.pro").string() + "'"), 0) << err;
    // E003 is no ROM in this map, so it holds 00 instead of FF.
    EXPECT_NE(readFile(directory / "tiny.asm")
                  .find("FCB       $00" + std::string(17, ' ') + "; $E003 00 \r\n"),
              std::string::npos);

    EXPECT_EQ(run(s19 + " E000 --pro '" + (directory / "gone.pro").string() + "'"), 1);
    EXPECT_NE(err.find("gone.pro"), std::string::npos) << err;
}

}  // namespace
}  // namespace tarnwick
