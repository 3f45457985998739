#include "project/ini_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "project/temp_directory.h"

namespace tarnwick {
namespace {

using testing::readText;
using testing::TempDirectory;
using testing::writeText;

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

}  // namespace
}  // namespace tarnwick
