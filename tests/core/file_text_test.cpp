#include "core/file_text.h"

#include <gtest/gtest.h>

#include <string>

#include "project/temp_directory.h"

namespace tarnwick {
namespace {

TEST(FileTextTest, GivesTheBytesOfRegularFilesOnly) {
    const testing::TempDirectory directory;
    const std::string bytes("S1\r\n\0\xFF end", 10);
    testing::writeText(directory.path() / "image.s19", bytes);
    std::filesystem::create_directory(directory.path() / "folder.asm");

    EXPECT_EQ(readFileText(directory.path() / "image.s19"), bytes);
    EXPECT_EQ(readFileText(directory.path() / "missing.s19"), std::nullopt);
    EXPECT_EQ(readFileText(directory.path() / "folder.asm"), std::nullopt);
}

}  // namespace
}  // namespace tarnwick
