#include "project/ini_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <set>

#include "project/temp_directory.h"

namespace tarnwick {

// Files whose data fsync sent to the disk, by inode.
std::set<ino_t> syncedFiles;

}  // namespace tarnwick

// Stands in for the C library's fsync, noting each file it syncs.
extern "C" int fsync(int file) {
    struct stat status {};
    if (fstat(file, &status) == 0) tarnwick::syncedFiles.insert(status.st_ino);
    return static_cast<int>(syscall(SYS_fsync, file));
}

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using testing::readText;
using testing::TempDirectory;
using testing::writeText;

std::vector<std::string> directoryNames(const fs::path& directory) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory))
        names.push_back(entry.path().filename().string());
    std::ranges::sort(names);
    return names;
}

TEST(IniDocumentTest, ReadsOddSpacingLineEndsAndNamesWithSpacesAndSlashes) {
    const IniDocument document = IniDocument::parse(
        "junk before any section\r\n"
        "  [ ASM11 ]  \r\n"
        "; a comment=not a key\r\n"
        "Case Sensitive = 1\r\n"
        "\tOver/Mem=0  \r\n"
        "Include Dir=C:\\inc dir\\\r\n"
        "=no key\r\n"
        "[cpu]\n"
        "xtal=4 MHz\n"
        "XTAL=12 MHz\n"
        "Random Memory=");  // LF lines mixed in, no final line end
    EXPECT_EQ(document.value("ASM11", "Case Sensitive"), "1");
    EXPECT_EQ(document.value("asm11", "over/mem"), "0");
    EXPECT_EQ(document.value("ASM11", "Include Dir"), "C:\\inc dir\\");
    EXPECT_EQ(document.value("CPU", "XTAL"), "4 MHz");  // the first of two wins
    EXPECT_EQ(document.value("CPU", "Random Memory"), "");
    EXPECT_EQ(document.value("CPU", "Type"), std::nullopt);
    EXPECT_EQ(document.value("FILES", "Count"), std::nullopt);
    EXPECT_EQ(document.keys("ASM11"),
              (std::vector<std::string>{"Case Sensitive", "Over/Mem", "Include Dir"}));
}

TEST(IniDocumentTest, UnchangedDocumentRewritesEveryLineAsItWas) {
    for (const std::string text : {
             "; head\r\n[A]\r\n  key = value  \r\n\r\njunk\r\n[B]\r\nx=1\r\n",
             "[A]\nk=v\n\n[ B ]\n# c\n",
         })
        EXPECT_EQ(IniDocument::parse(text).text(), text);
    EXPECT_EQ(IniDocument::parse("[A]\nk=v").text(), "[A]\nk=v\n");
}

TEST(IniDocumentTest, WritesChangeOnlyTheirOwnLines) {
    IniDocument document = IniDocument::parse(
        "[FILES]\nCount=1\nFile0=a.asm\n; kept\n\n[CPU]\n Type = M68HC11A1 "
        "\nOwn=x\n[WATCH]\nCount=0\n");
    document.setValue("cpu", "type", "M68HC11E9");
    document.setValue("CPU", "IRQ", "1");
    document.setValue("FILES", "File1", "b.asm");
    document.eraseSection("watch");
    document.setValue("S19", "Start", "E000");
    EXPECT_EQ(document.text(),
              "[FILES]\nCount=1\nFile0=a.asm\nFile1=b.asm\n; kept\n\n"
              "[CPU]\ntype=M68HC11E9\nOwn=x\nIRQ=1\n"
              "[S19]\nStart=E000\n");
}

TEST(IniDocumentTest, ClearedSectionKeepsItsPlaceAndLosesItsDuplicates) {
    IniDocument document = IniDocument::parse("[A]\nx=1\n; note\n[B]\ny=2\n[a]\nz=3\n");
    document.clearSection("a");
    document.setValue("A", "k", "v");
    document.clearSection("C");
    EXPECT_EQ(document.text(), "[A]\nk=v\n[B]\ny=2\n[C]\n");
}

TEST(IniDocumentTest, CrLfLfAndALoneCrEachEndALine) {
    for (const std::string text : {
             "[A]\rk=v\r\rx= 1\r",
             "[A]\nk=v\r\r\nx= 1\n",
             "[A]\r\nk=v\rx= 1",
         }) {
        const IniDocument document = IniDocument::parse(text);
        EXPECT_EQ(document.value("A", "k"), "v") << text;
        EXPECT_EQ(document.value("A", "x"), "1") << text;
    }
    EXPECT_EQ(IniDocument::parse("[A]\rk=v\r\rx=1\r").text(), "[A]\rk=v\r\rx=1\r");
}

TEST(IniDocumentTest, SetValuesReadBackAsTheyWere) {
    const std::string values[] = {
        " main.asm ", "\tlead", "trail\t", "\"quoted\"", "\" \"", "\"",
        "a\"b",       "",       "x=y",     "; c",        "[A]",
    };
    for (const char* lineEnd : {"\r\n", "\n", "\r"}) {
        for (const std::string& value : values) {
            IniDocument document = IniDocument::parse(std::string("[A]") + lineEnd);
            document.setValue("A", "k", value);
            const IniDocument reread = IniDocument::parse(document.text());
            EXPECT_EQ(reread.value("A", "k"), value) << value;
            EXPECT_EQ(reread.keys("A"), std::vector<std::string>{"k"}) << value;
        }
    }
}

TEST(IniDocumentTest, NewDocumentUsesCrLf) {
    IniDocument document;
    document.setValue("PROJECT", "Format", "S19");
    EXPECT_EQ(document.text(), "[PROJECT]\r\nFormat=S19\r\n");
}

TEST(IniFileTest, SaveReplacesTheFileAndLeavesNoTemporary) {
    TempDirectory directory;
    const auto path = directory / "demo.pro";
    writeText(path, "[PROJECT]\r\nFormat=ASM11\r\n");
    IniDocument document = readIniFile(path);
    document.setValue("PROJECT", "Format", "ICC11");
    writeIniFile(path, document);
    EXPECT_EQ(readText(path), "[PROJECT]\r\nFormat=ICC11\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(directory.path()), {}), 1);
    EXPECT_EQ(readIniFile(directory / "missing.pro").text(), "");
}

TEST(IniFileTest, FailedSaveNamesTheFileAndKeepsTheOriginal) {
    TempDirectory directory;
    IniDocument document;
    document.setValue("PROJECT", "Format", "S19");
    const auto nowhere = directory / "no such directory" / "demo.pro";
    try {
        writeIniFile(nowhere, document);
        FAIL() << "no error";
    } catch (const FileError& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot write the file " + nowhere.string());
    }

    // A rename that fails: a directory stands where the file goes.
    const auto occupied = directory / "occupied.pro";
    std::filesystem::create_directories(occupied / "inside");
    EXPECT_THROW(writeIniFile(occupied, document), FileError);
    EXPECT_TRUE(std::filesystem::is_directory(occupied / "inside"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(directory.path()), {}), 1);

    if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
    const auto path = directory / "demo.pro";
    writeText(path, "[PROJECT]\nFormat=ASM11\n");
    std::filesystem::permissions(
        directory.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    EXPECT_THROW(writeIniFile(path, document), FileError);
    EXPECT_EQ(readText(path), "[PROJECT]\nFormat=ASM11\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(directory.path()), {}), 2);
}

TEST(IniFileTest, UnreadableFileIsAnErrorNamingIt) {
    TempDirectory directory;
    try {
        readIniFile(directory.path());
        FAIL() << "no error";
    } catch (const FileError& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot read the file " + directory.path().string());
    }
}

TEST(IniFileTest, ValueWithALineEndIsNotSaved) {
    TempDirectory directory;
    const auto path = directory / "demo.pro";
    for (const char* original : {"[FILES]\r\nCount=0\r\n", "[FILES]\nCount=0\n"}) {
        for (const char* value : {"a\nb.asm", "a.asm\r", "a\r\nb", "\n"}) {
            writeText(path, original);
            IniDocument document = readIniFile(path);
            document.setValue("FILES", "File0", value);
            EXPECT_THROW(writeIniFile(path, document), FileError) << value;
            EXPECT_EQ(readText(path), original) << value;
            EXPECT_EQ(directoryNames(directory.path()), std::vector<std::string>{"demo.pro"});
        }
    }
}

TEST(IniFileTest, SaveThroughASymbolicLinkUpdatesItsTarget) {
    const struct {
        const char* name;
        const char* link;  // "TARGET" stands for the target's absolute path
        const char* second;
        bool targetExists;
    } cases[] = {
        {"absolute link", "TARGET", nullptr, true},
        {"relative link", "real/demo.pro", nullptr, true},
        {"link to a link", "middle.pro", "real/demo.pro", true},
        {"link to no file yet", "real/demo.pro", nullptr, false},
    };
    for (const auto& c : cases) {
        TempDirectory directory;
        fs::create_directory(directory / "real");
        const auto target = directory / "real" / "demo.pro";
        if (c.targetExists) writeText(target, "[PROJECT]\nFormat=ASM11\n");
        const std::string link = c.link == std::string("TARGET") ? target.string() : c.link;
        fs::create_symlink(link, directory / "link.pro");
        if (c.second) fs::create_symlink(c.second, directory / link);

        IniDocument document = readIniFile(directory / "link.pro");
        document.setValue("PROJECT", "Format", "S19");
        writeIniFile(directory / "link.pro", document);
        EXPECT_TRUE(fs::is_symlink(directory / "link.pro")) << c.name;
        EXPECT_EQ(fs::read_symlink(directory / "link.pro"), link) << c.name;
        EXPECT_EQ(readIniFile(target).value("PROJECT", "Format"), "S19") << c.name;
        EXPECT_EQ(directoryNames(directory / "real"), std::vector<std::string>{"demo.pro"})
            << c.name;
    }

    TempDirectory directory;
    fs::create_symlink("loop.pro", directory / "loop.pro");
    EXPECT_THROW(writeIniFile(directory / "loop.pro", IniDocument()), FileError);
    EXPECT_TRUE(fs::is_symlink(directory / "loop.pro"));
}

TEST(IniFileTest, SaveKeepsPermissionBitsAndSyncsTheNewFile) {
    TempDirectory directory;
    const auto path = directory / "demo.pro";
    writeText(path, "[PROJECT]\nFormat=ASM11\n");
    for (const fs::perms perms : {fs::perms(0600), fs::perms(0640), fs::perms(0755)}) {
        fs::permissions(path, perms);
        syncedFiles.clear();
        writeIniFile(path, readIniFile(path));
        EXPECT_EQ(fs::status(path).permissions(), perms);
        struct stat status {};
        ASSERT_EQ(stat(path.c_str(), &status), 0);
        EXPECT_TRUE(syncedFiles.contains(status.st_ino));
    }
}

TEST(IniFileTest, SaveRemovesTemporariesOfTheSameFileLeftByAKilledSave) {
    TempDirectory directory;
    const std::vector<std::string> kept = {
        ".demo.pro.tmp", ".demo.pro.tmp12x", ".other.pro.tmp123456", "demo.pro", "demo.pro.tmp7",
    };
    for (const std::string& name : kept) writeText(directory / name, "x");
    for (const char* stale : {".demo.pro.tmp123456", ".demo.pro.tmp7"})
        writeText(directory / stale, "[PROJECT]\n");
    fs::create_directory(directory / ".demo.pro.tmp99");

    writeIniFile(directory / "demo.pro", IniDocument());
    std::vector<std::string> expected = kept;
    expected.push_back(".demo.pro.tmp99");  // a folder is no temporary of a save
    std::ranges::sort(expected);
    EXPECT_EQ(directoryNames(directory.path()), expected);
}

TEST(IniFileTest, WriteThatFailsLeavesTheOldFileAndNoTemporary) {
    TempDirectory directory;
    const auto path = directory / "demo.pro";
    writeText(path, "[PROJECT]\nFormat=ASM11\n");
    IniDocument document = readIniFile(path);
    document.setValue("PROJECT", "Include", std::string(4096, 'x'));

    // A file size limit makes the write fail the way a full disk does.
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = old;
    limited.rlim_cur = 1024;
    setrlimit(RLIMIT_FSIZE, &limited);
    EXPECT_THROW(writeIniFile(path, document), FileError);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, handler);

    EXPECT_EQ(readText(path), "[PROJECT]\nFormat=ASM11\n");
    EXPECT_EQ(directoryNames(directory.path()), std::vector<std::string>{"demo.pro"});
}

}  // namespace
}  // namespace tarnwick
