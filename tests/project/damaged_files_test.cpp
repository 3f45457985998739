// S19 images and project files damaged at random: every load ends in success or in an error
// that names the file and the line, and an INI document that is not changed rewrites to a
// text that reads back the same (only line ends may be made alike). The sanitizers watch for
// out-of-range accesses.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>

#include "project/ini_file.h"
#include "project/s19_loader.h"
#include "support/damaged_text.h"
#include "support/fake_host.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

TEST(DamagedFilesTest, S19LoadsEndInSuccessOrAnErrorNamingFileAndLine) {
    const std::string valid =
        "S00600004844521B\r\nS1130100010203040506070809101112131415161768\r\n"
        "S1070110AABBCCDDF2\r\nS105FFFEE0001D\r\nS9030100FB\r\n";
    const fs::path path = fs::temp_directory_path() /
                          ("tarnwick_damaged_" + std::to_string(std::random_device()()) + ".s19");
    testing::FakeHost host;
    auto machine = std::make_unique<Machine>(host);
    CpuConfiguration configuration;
    SourceMap sourceMap;
    std::mt19937 random(2026);
    int failures = 0;
    for (int i = 0; i < 500; ++i) {
        const std::string text = testing::damagedText(valid, random);
        std::ofstream(path, std::ios::binary) << text;
        const S19LoadResult result = loadS19Image(*machine, configuration, sourceMap, path);
        if (result.ok()) continue;
        ++failures;
        EXPECT_NE(result.message.find(path.string()), std::string::npos) << result.message;
        if (result.error != S19Error::CannotOpen && result.error != S19Error::NoEndRecord) {
            EXPECT_NE(result.message.find("line "), std::string::npos) << result.message;
        }
    }
    fs::remove(path);
    EXPECT_GT(failures, 100);
}

TEST(DamagedFilesTest, UnchangedIniDocumentsRewriteAsRead) {
    const std::string valid =
        "[PROJECT]\r\nFormat=1\r\n\r\n[ASM11]\r\nCase Sensitive=1\r\nOver/Mem = 0\r\n"
        "; a comment\r\n[FILES]\r\nCount=2\r\nFile0=prog.asm\r\nFile1=lib.asm\r\n";
    std::mt19937 random(11);
    for (int i = 0; i < 500; ++i) {
        const std::string text = testing::damagedText(valid, random);
        const IniDocument document = IniDocument::parse(text);
        const IniDocument reread = IniDocument::parse(document.text());
        EXPECT_EQ(reread.text(), document.text());
        for (const char* section : {"PROJECT", "ASM11", "FILES"}) {
            ASSERT_EQ(reread.keys(section), document.keys(section)) << text;
            for (const std::string& key : document.keys(section))
                EXPECT_EQ(reread.value(section, key), document.value(section, key)) << text;
        }
    }
}

}  // namespace
}  // namespace tarnwick
