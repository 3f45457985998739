#include "base/file_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "project/temp_directory.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> entries(const fs::path& directory) {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(directory))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(FileTextTest, GivesTheBytesOfRegularFilesOnly) {
    const testing::TempDirectory directory;
    const std::string bytes("S1\r\n\0\xFF end", 10);
    testing::writeText(directory.path() / "image.s19", bytes);
    std::filesystem::create_directory(directory.path() / "folder.asm");

    EXPECT_EQ(readFileText(directory.path() / "image.s19"), bytes);
    EXPECT_EQ(readFileText(directory.path() / "missing.s19"), std::nullopt);
    EXPECT_EQ(readFileText(directory.path() / "folder.asm"), std::nullopt);
}

// Read after read into one object: every line ending, bytes kept as they are, nothing left
// over from a longer file before, and no lines after a failure.
TEST(FileTextTest, TextLinesSplitEachFileReadIntoThem) {
    const testing::TempDirectory directory;
    const std::string bytes("one\r\ntwo\nthree\rfour\r\n\r\nsix\xFF\0", 28);
    testing::writeText(directory / "long.sym", bytes);
    testing::writeText(directory / "short.sym", "a\n\n");
    fs::create_directory(directory / "folder.sym");
    using Lines = std::vector<std::string_view>;

    TextLines text;
    ASSERT_TRUE(text.read(directory / "long.sym"));
    EXPECT_EQ(text.lines(),
              (Lines{"one", "two", "three", "four", "", std::string_view("six\xFF\0", 5)}));
    ASSERT_TRUE(text.read(directory / "short.sym"));
    EXPECT_EQ(text.lines(), (Lines{"a", ""}));
    for (const char* name : {"missing.sym", "folder.sym"}) {
        EXPECT_FALSE(text.read(directory / name)) << name;
        EXPECT_TRUE(text.lines().empty()) << name;
    }
}

// A link named like the output is replaced, its target left alone; a replaced file keeps its
// permissions; nothing but the output remains.
TEST(FileTextTest, WritingReplacesLinksAndFilesWhole) {
    const testing::TempDirectory directory;
    testing::writeText(directory / "target.asm", "source");
    fs::create_symlink(directory / "target.asm", directory / "prog.s19");
    testing::writeText(directory / "prog.sym", "a longer old text than the new one");
    fs::permissions(directory / "prog.sym", fs::perms::owner_read | fs::perms::owner_write);
    const std::string bytes("S1\r\n\0\xFF end", 10);

    ASSERT_TRUE(writeFileReplacing(directory / "prog.s19", bytes));
    ASSERT_TRUE(writeFileReplacing(directory / "prog.sym", "new"));
    ASSERT_TRUE(writeFileReplacing(directory / "empty.lst", ""));

    EXPECT_FALSE(fs::is_symlink(directory / "prog.s19"));
    EXPECT_EQ(testing::readText(directory / "prog.s19"), bytes);
    EXPECT_EQ(testing::readText(directory / "target.asm"), "source");
    EXPECT_EQ(testing::readText(directory / "prog.sym"), "new");
    EXPECT_EQ(fs::status(directory / "prog.sym").permissions(),
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(testing::readText(directory / "empty.lst"), "");
    EXPECT_EQ(entries(directory.path()),
              (std::vector<std::string>{"empty.lst", "prog.s19", "prog.sym", "target.asm"}));
}

// Failures leave what was there and no temporary: in a folder that is missing or is a file, or
// over a folder.
TEST(FileTextTest, FailedWritesLeaveNothingBehind) {
    const testing::TempDirectory directory;
    testing::writeText(directory / "plain.txt", "kept");
    fs::create_directory(directory / "prog.lst");
    testing::writeText(directory / "prog.lst/inside", "kept");

    for (const char* name : {"missing/prog.s19", "plain.txt/prog.s19", "prog.lst", ""})
        EXPECT_FALSE(writeFileReplacing(directory / name, "text")) << name;

    EXPECT_EQ(entries(directory.path()), (std::vector<std::string>{"plain.txt", "prog.lst"}));
    EXPECT_EQ(entries(directory / "prog.lst"), std::vector<std::string>{"inside"});
    EXPECT_EQ(testing::readText(directory / "plain.txt"), "kept");
}

}  // namespace
}  // namespace tarnwick
