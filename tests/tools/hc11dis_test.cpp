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

    // The exit status; stdout goes to `out`, stderr to `err`.
    int run(const std::string& arguments) {
        const std::string command = std::string("'") + HC11DIS_PATH + "' " + arguments + " >'" +
                                    (directory / "stdout").string() + "' 2>'" +
                                    (directory / "err").string() + "'";
        const int raw = std::system(command.c_str());
        out = readFile(directory / "stdout");
        err = readFile(directory / "err");
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }

    fs::path directory;
    std::string out;
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
    EXPECT_EQ(run("--version"), 0);
    EXPECT_EQ(out, "hc11dis " TARNWICK_VERSION "\n");

    // A word starting with '-' that is no option is named, never taken for the image.
    for (const char* option : {"--no-dates", "-f", "-"}) {
        EXPECT_EQ(run(s19 + " E000 " + option), 1) << option;
        EXPECT_TRUE(err.starts_with("hc11dis: unknown option " + std::string(option) + "\n"))
            << err;
    }
    EXPECT_FALSE(fs::exists(directory / "tiny.asm"));
}

// Refused runs write nothing and leave every file as it was; --force lifts only the refusals
// of existing files and of other folders.
TEST_F(Hc11disTest, ExistingFilesOtherFoldersAndItsOwnInputsAreLeftAlone) {
    const fs::path image = directory / "image";
    fs::create_directories(image);
    fs::copy_file(directory / "tiny.s19", image / "tiny.s19");
    std::ofstream(image / "tiny.pro") << "[PROJECT]\r\nFormat=S19\r\n";
    fs::create_symlink(image / "tiny.s19", image / "s19.asm");
    fs::create_symlink(image / "tiny.pro", image / "pro.asm");
    std::ofstream(directory / "victim") << "victim";
    const std::string pro = " --pro '" + (image / "tiny.pro").string() + "'";
    const struct {
        const char* name;
        std::string existing;  // made in the image folder first, holding "mine"
        bool link;             // made as a link to a file outside instead
        std::string arguments;
        std::string error;    // empty: the run writes `written` and replaces `existing`
        std::string written;  // the .asm, in the image folder
    } cases[] = {
        {"asm exists", "tiny.asm", false, "", "tiny.asm exists; --force replaces it", ""},
        {"sym exists", "tiny.sym", false, "", "tiny.sym exists; --force replaces it", ""},
        {"link exists", "tiny.asm", true, "", "tiny.asm exists; --force replaces it", ""},
        {"forced over a file", "tiny.asm", false, "--force", "", "tiny.asm"},
        {"forced over a link", "tiny.sym", true, "--force", "", "tiny.asm"},
        {"other folder", "", false, "-o ../out.asm", "out.asm is outside the folder of", ""},
        {"other folder forced", "", false, "-o ../out.asm --force", "", "../out.asm"},
        {"the image", "", false, "-o s19.asm --force", "s19.asm would replace the image", ""},
        {"the project", "", false, "-o pro.asm --force" + pro,
         "pro.asm would replace the project file", ""},
        {"sym on the project", "tiny.sym", false,
         "--force --pro '" + (image / "tiny.sym").string() + "'",
         "tiny.sym would replace the project file", ""},
    };
    for (const auto& c : cases) {
        for (const char* name : {"tiny.asm", "tiny.sym", "../out.asm", "../out.sym"})
            fs::remove(image / name);
        if (c.link)
            fs::create_symlink(directory / "victim", image / c.existing);
        else if (!c.existing.empty())
            std::ofstream(image / c.existing) << "mine";

        const int status = run("'" + (image / "tiny.s19").string() + "' E000 " + c.arguments);
        if (c.error.empty()) {
            EXPECT_EQ(status, 0) << c.name << ": " << err;
            EXPECT_TRUE(readFile(image / c.written).starts_with(";Disassembled")) << c.name;
            if (!c.existing.empty()) {
                EXPECT_FALSE(fs::is_symlink(image / c.existing)) << c.name;
                EXPECT_NE(readFile(image / c.existing), "mine") << c.name;
            }
        } else {
            EXPECT_EQ(status, 1) << c.name;
            EXPECT_TRUE(err.starts_with("hc11dis: ")) << c.name << ": " << err;
            EXPECT_NE(err.find(c.error), std::string::npos) << c.name << ": " << err;
            EXPECT_EQ(err.find('\n'), err.size() - 1) << c.name << ": " << err;
            for (const char* name : {"tiny.asm", "tiny.sym", "../out.asm"}) {
                if (name != c.existing) {
                    EXPECT_FALSE(fs::exists(image / name)) << c.name << ": " << name;
                } else if (c.link) {
                    EXPECT_TRUE(fs::is_symlink(image / name)) << c.name;
                } else {
                    EXPECT_EQ(readFile(image / name), "mine") << c.name;
                }
            }
        }
        EXPECT_EQ(readFile(directory / "victim"), "victim") << c.name;
        EXPECT_EQ(readFile(image / "tiny.s19").rfind("S106E000", 0), 0u) << c.name;
        EXPECT_EQ(readFile(image / "tiny.pro"), "[PROJECT]\r\nFormat=S19\r\n") << c.name;
    }
}

// Without a date two runs write the same files; the header keeps its line, so the .sym's line
// numbers stay.
TEST_F(Hc11disTest, NoDateGivesIdenticalOutputs) {
    const std::string s19 = "'" + (directory / "tiny.s19").string() + "'";
    ASSERT_EQ(run(s19 + " E000 --no-date"), 0) << err;
    const std::string asmText = readFile(directory / "tiny.asm");
    const std::string symText = readFile(directory / "tiny.sym");
    EXPECT_TRUE(asmText.starts_with(";Disassembled by Tarnwick\r\n" + std::string(20, ' ') +
                                    "ORG       $E000 \r\n"))
        << asmText.substr(0, 80);
    EXPECT_TRUE(symText.starts_with("#MODULE TINYASM TINY.ASM\r\nE000 3\r\n")) << symText;

    ASSERT_EQ(run("--no-date --force " + s19 + " E000"), 0) << err;
    EXPECT_EQ(readFile(directory / "tiny.asm"), asmText);
    EXPECT_EQ(readFile(directory / "tiny.sym"), symText);
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
