#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "debugger/watch_dialogs.h"
#include "debugger/watch_fixture.h"
#include "debugger/watch_list.h"

namespace tarnwick {
namespace {

using testing::readText;
using testing::writeText;
using Row = std::array<std::string, 5>;

class WatchesTest : public testing::WatchTest {
  protected:
    WatchesTest() : WatchTest(ProjectFormat::Asm11) {
        sourceMap.symbols[0] = {"count", 0x0040};
        sourceMap.symbols[1] = {"flags", 0x0042};
        sourceMap.symbols[2] = {"count", 0x0050};  // a duplicate: the first entry counts
        store(0x0040, {0x12, 0x34, 0x56, 0x78});
    }

    void addWatch(const std::string& name, std::size_t format, const std::string& length) {
        AssemblyWatchDialog dialog(context, watches);
        dialog.show({"flags", "count"});
        dialog.name = name;
        dialog.format = format;
        dialog.length = length;
        dialog.ok();
    }
};

TEST_F(WatchesTest, AddWatchDialogOffersSortedNamesAndStartsAtTheFirstFormat) {
    AssemblyWatchDialog dialog(context, watches);
    dialog.format = 5;
    dialog.length = "7";
    dialog.show({"zeta", "beta", "Alpha", "beta"});
    EXPECT_EQ(dialog.names(), (std::vector<std::string>{"Alpha", "beta", "zeta"}));
    EXPECT_EQ(dialog.name, "Alpha");
    EXPECT_EQ(dialog.length, "1");
    EXPECT_EQ(dialog.format, 0u);
}

TEST_F(WatchesTest, AddWatchAppendsTheEvaluatedRow) {
    addWatch("count", 8, "2");  // "Word (Hex)"
    addWatch("flags", 0, "1");
    EXPECT_EQ(rowTexts(), (std::vector<Row>{{"count", "0040", "WordHex", "2", "0:1234,1:5678"},
                                            {"flags", "0042", "ByteHex", "1", "0:56"}}));
    EXPECT_TRUE(display.refreshed & kWatchList);
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(WatchesTest, AddWatchKeepsTheLengthBetweenOneAndThirtyTwo) {
    const std::pair<std::string, unsigned> lengths[] = {{"40", 32}, {"32", 32}, {"0", 1},
                                                        {"", 1},    {"7", 7},   {"07", 7}};
    for (const auto& [field, length] : lengths) {
        addWatch("count", 0, field);
        EXPECT_EQ(watches.rows().back().length, length) << "\"" << field << "\"";
    }
}

TEST_F(WatchesTest, AddWatchRefusesNamesOutsideTheSymbolTable) {
    addWatch("Count", 0, "1");  // letter case counts
    EXPECT_EQ(errors(), std::vector<std::string>{"Wrong Symbol"});
    addWatch("", 0, "1");  // an empty name list: OK just closes
    EXPECT_EQ(errors().size(), 1u);
    EXPECT_TRUE(watches.rows().empty());
}

TEST_F(WatchesTest, AddWatchOpensTheDialogOfTheProjectFormat) {
    struct Case {
        ProjectFormat format;
        WatchDialogKind menu;
        WatchDialogKind popup;
    };
    const Case cases[] = {
        {ProjectFormat::Asm11, WatchDialogKind::Assembly, WatchDialogKind::Assembly},
        {ProjectFormat::S19, WatchDialogKind::None, WatchDialogKind::Assembly},
        {ProjectFormat::Icc11, WatchDialogKind::C, WatchDialogKind::C},
    };
    for (const Case& c : cases) {
        project.format = c.format;
        EXPECT_EQ(addWatchFromMenu(project, host), c.menu);
        EXPECT_EQ(addWatchFromPopup(project, true), c.popup);
        EXPECT_EQ(addWatchFromPopup(project, false), WatchDialogKind::None);
    }
    EXPECT_EQ(errors(), std::vector<std::string>{"Not available for S19 format"});
}

TEST_F(WatchesTest, ValuesChangeOnlyThroughRefresh) {
    addWatch("count", 2, "1");
    machine->poke(0x0040, 0xFF);
    EXPECT_EQ(watches.rows()[0].value, "0:18");
    display.refreshed = 0;
    watches.refresh();
    EXPECT_EQ(watches.rows()[0].value, "0:255");
    EXPECT_TRUE(display.refreshed & kWatchList);
}

TEST_F(WatchesTest, DeleteRemovesTheSelectedRowOrAsksForOne) {
    watches.deleteSelected(std::nullopt);
    watches.deleteAll();
    EXPECT_TRUE(host.messages.empty());  // nothing to delete, nothing to say

    addWatch("count", 0, "1");
    addWatch("flags", 0, "1");
    addWatch("count", 2, "1");
    watches.deleteSelected(std::nullopt);
    watches.deleteSelected(3);
    EXPECT_EQ(messages(testing::FakeHost::Message::Information),
              std::vector<std::string>(2, "No item selected, please select one"));
    EXPECT_EQ(watches.rows().size(), 3u);

    watches.deleteSelected(1);
    ASSERT_EQ(watches.rows().size(), 2u);
    EXPECT_EQ(watches.rows()[1].key, "ByteDec");
    watches.deleteAll();
    EXPECT_TRUE(watches.rows().empty());
}

TEST_F(WatchesTest, SaveReplacesTheWatchSectionAndKeepsTheRestOfTheFile) {
    writeText(project.path,
              "[PROJECT]\r\nFormat=ASM11\r\n[WATCH]\r\nCount=3\r\nName0=old ByteHex 1\r\n"
              "Name1=old ByteHex 1\r\nName2=old ByteHex 1\r\n[FILES]\r\nCount=1\r\n"
              "File0=main.asm\r\n");
    addWatch("count", 0, "4");
    addWatch("flags", 10, "1");  // "Word (Dec)"
    ASSERT_TRUE(watches.save());
    EXPECT_EQ(readText(project.path),
              "[PROJECT]\r\nFormat=ASM11\r\n[WATCH]\r\nCount=2\r\nName0=count ByteHex 4\r\n"
              "Name1=flags WordDec 1\r\n[FILES]\r\nCount=1\r\nFile0=main.asm\r\n");
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(WatchesTest, RestoreTakesTheSymbolsCurrentAddressesAndDropsVanishedNames) {
    addWatch("count", 0, "2");
    addWatch("flags", 11, "1");  // "Ptr to Word (Hex)"
    ASSERT_TRUE(watches.save());
    watches.clear();
    EXPECT_TRUE(watches.rows().empty());

    sourceMap.symbols[0].address = 0x0041;  // the program was built again
    sourceMap.symbols[1] = {};
    watches.restore();
    EXPECT_EQ(rowTexts(), (std::vector<Row>{{"count", "0041", "ByteHex", "2", "0:34,1:56"}}));
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(WatchesTest, RestoreLimitsTheStoredLength) {
    writeText(project.path,
              "[WATCH]\nCount=2\nName0=count ByteHex 40\nName1=  flags   ByteDec 0\n");
    watches.restore();
    ASSERT_EQ(watches.rows().size(), 2u);
    EXPECT_EQ(watches.rows()[0].length, 32u);
    EXPECT_EQ(watches.rows()[1].name, "flags");
    EXPECT_EQ(watches.rows()[1].length, 1u);
}

TEST_F(WatchesTest, MalformedEntriesAreReportedAndKeptForTheNextSave) {
    writeText(project.path,
              "[WATCH]\nCount=7\nName0=count ByteHex 4\nName1=flags\nName2=count Bogus 1\n"
              "Name3=count ByteHex four\nName4=count ByteHex 1 more\nName5=\n"
              "Name6=count GCharDec 1\n");
    watches.restore();
    EXPECT_EQ(rowTexts(),
              (std::vector<Row>{{"count", "0040", "ByteHex", "4", "0:12,1:34,2:56,3:78"}}));
    ASSERT_EQ(errors().size(), 1u);
    for (const char* text : {"\"flags\"", "\"count Bogus 1\"", "\"count ByteHex four\"",
                             "\"count ByteHex 1 more\"", "\"count GCharDec 1\""})
        EXPECT_NE(errors()[0].find(text), std::string::npos) << text;

    addWatch("flags", 0, "1");
    ASSERT_TRUE(watches.save());
    EXPECT_EQ(savedEntries(),
              (std::vector<std::string>{"count ByteHex 4", "flags ByteHex 1", "flags",
                                        "count Bogus 1", "count ByteHex four",
                                        "count ByteHex 1 more", "count GCharDec 1"}));

    // Delete All Watches is how the user is rid of them.
    watches.deleteAll();
    ASSERT_TRUE(watches.save());
    EXPECT_EQ(savedEntries(), std::vector<std::string>{});
}

TEST_F(WatchesTest, AWatchSectionWithoutAUsableCountIsReadByItsKeys) {
    const std::pair<std::string, bool> sections[] = {
        {"[WATCH]\nCount=two\nName1=flags ByteHex 1\nName0=count ByteHex 1\n", true},
        {"[WATCH]\nName0=count ByteHex 1\nName1=flags ByteHex 1\n", true},
        {"[WATCH]\nCount=4000000000\nName0=count ByteHex 1\nName1=flags ByteHex 1\n", false},
        {"[WATCH]\nCount=2\nName0=count ByteHex 1\nName01=x\nName1=flags ByteHex 1\nName2=x\n",
         false},
    };
    for (const auto& [text, damaged] : sections) {
        host.messages.clear();
        writeText(project.path, text);
        watches.restore();
        ASSERT_EQ(watches.rows().size(), 2u) << text;
        EXPECT_EQ(watches.rows()[0].name, "count") << text;
        EXPECT_EQ(watches.rows()[1].name, "flags") << text;
        EXPECT_EQ(errors().size(), damaged ? 1u : 0u) << text;
    }
}

TEST_F(WatchesTest, AFailedSaveIsReportedAndWritesNothing) {
    addWatch("count", 0, "1");
    project.setPath(directory / "gone" / "demo.pro");
    EXPECT_FALSE(watches.save());
    ASSERT_EQ(errors().size(), 1u);
    EXPECT_EQ(errors()[0].rfind("The watches could not be saved: ", 0), 0u);
    EXPECT_FALSE(std::filesystem::exists(directory / "gone"));

    // A project file that cannot be read is not replaced.
    std::filesystem::create_directory(directory / "demo.pro");
    project.setPath(directory / "demo.pro");
    EXPECT_FALSE(watches.save());
    EXPECT_TRUE(std::filesystem::is_directory(directory / "demo.pro"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(directory.path()), {}), 1);
}

TEST_F(WatchesTest, AnUnreadableProjectFileAtRestoreLosesNoEntryAtSave) {
    std::filesystem::create_directory(project.path);
    watches.restore();
    ASSERT_EQ(errors().size(), 1u);
    EXPECT_EQ(errors()[0].rfind("The watches could not be restored: ", 0), 0u);

    std::filesystem::remove(project.path);
    writeText(project.path, "[WATCH]\nCount=1\nName0=flags ByteDec 2\n");
    addWatch("count", 0, "1");
    ASSERT_TRUE(watches.save());
    EXPECT_EQ(savedEntries(), (std::vector<std::string>{"count ByteHex 1", "flags ByteDec 2"}));
}

TEST_F(WatchesTest, S19ProjectsNeitherRestoreNorSaveWatches) {
    project.format = ProjectFormat::S19;
    const std::string text = "[WATCH]\r\nCount=1\r\nName0=count ByteHex 1\r\n";
    writeText(project.path, text);
    watches.restore();
    EXPECT_TRUE(watches.rows().empty());
    addWatch("count", 0, "1");
    EXPECT_TRUE(watches.save());
    EXPECT_EQ(readText(project.path), text);
}

TEST_F(WatchesTest, ClearEmptiesTheListAndForgetsKeptEntries) {
    writeText(project.path, "[WATCH]\nCount=2\nName0=count ByteHex 1\nName1=junk\n");
    watches.restore();
    display.refreshed = 0;
    watches.clear();
    EXPECT_TRUE(watches.rows().empty());
    EXPECT_TRUE(display.refreshed & kWatchList);
    ASSERT_TRUE(watches.save());
    EXPECT_TRUE(savedEntries().empty());
}

}  // namespace
}  // namespace tarnwick
