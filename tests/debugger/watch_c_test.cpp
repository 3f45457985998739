#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "debugger/watch_dialogs.h"
#include "debugger/watch_fixture.h"
#include "debugger/watch_list.h"
#include "project/debug_file.h"
#include "support/damaged_text.h"

namespace tarnwick {
namespace {

using testing::writeText;
using Row = std::array<std::string, 5>;

// The records an ICC11 debug file gives the watches: globals with hex addresses, locals of
// each function with decimal offsets from IX, and the type codes.
constexpr const char* kDebugFile =
    "FILE main.c\n"
    "DEFGLOBAL total 0040 S\n"
    "DEFGLOBAL big 0042 L\n"
    "DEFGLOBAL odd 0046 F\n"
    "DEFGLOBAL broken 00GG c\n"
    "FUNC main 0100\n"
    "STACK s2 x\n"
    "LINE 5 0100\n"
    "DEFLOCAL i 1 c\n"
    "DEFLOCAL p -2 pC\n"
    "FUNCEND\n"
    "FUNC helper\n"
    "DEFLOCAL i 3 I\n"
    "DEFLOCAL n 4 S\n"
    "FUNCEND\n"
    "DEFLOCAL stray 9 c\n";

class WatchCTest : public testing::WatchTest {
  protected:
    WatchCTest() : WatchTest(ProjectFormat::Icc11) {
        project.files = {"prog.dbg"};
        writeText(directory / "prog.dbg", kDebugFile);
        machine->ix = 0x0200;
    }

    void addWatch(const std::string& function, const std::string& variable,
                  std::string_view format) {
        CWatchDialog dialog(context, watches);
        dialog.show({"main", "helper", std::string(kGlobalScopeName)});
        dialog.chooseFunction(function);
        dialog.variable = variable;
        dialog.format = static_cast<std::size_t>(
            std::ranges::find(kCWatchFormats, format, &CWatchDisplayChoice::caption) -
            kCWatchFormats.begin());
        dialog.ok();
    }
};

TEST_F(WatchCTest, DialogListsTheVariablesOfTheChosenScope) {
    CWatchDialog dialog(context, watches);
    dialog.show({"main", "helper", std::string(kGlobalScopeName)});
    EXPECT_EQ(dialog.functions(), (std::vector<std::string>{"Global Variable", "helper", "main"}));
    EXPECT_EQ(kCWatchFormats[dialog.format].caption, "Decimal");

    const std::pair<std::string, std::vector<std::string>> scopes[] = {
        {"main", {"i", "p"}},
        {"helper", {"i", "n"}},
        {"Global Variable", {"total", "big", "odd", "broken"}},
        {"nowhere", {}},
    };
    for (const auto& [scope, names] : scopes) {
        dialog.chooseFunction(scope);
        EXPECT_EQ(dialog.variables(), names) << scope;
    }
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(WatchCTest, LocalsAreReadFromTheFramePointer) {
    store(0x0201, {0x07});
    addWatch("main", "i", "Decimal");
    EXPECT_EQ(rowTexts(), (std::vector<Row>{{"i=main", "0001", "LCharDec", "1", "0:7"}}));

    machine->ix = 0x0300;
    store(0x0301, {0x09});
    watches.refresh();
    EXPECT_EQ(watches.rows()[0].value, "0:9");
}

TEST_F(WatchCTest, KeysFollowTypeAndFormatAndShowNothingForUnknownShapes) {
    store(0x01FE, {0x00, 0x50});  // p at IX-2 points to 0050
    store(0x0050, {0x3C});
    store(0x0040, {0x12, 0x34});
    store(0x0203, {0x00, 0x41});  // helper's i at IX+3
    addWatch("main", "p", "HexaDecimal");
    addWatch(std::string(kGlobalScopeName), "total", "Binary");
    addWatch(std::string(kGlobalScopeName), "total", "Character");
    addWatch(std::string(kGlobalScopeName), "big", "Decimal");
    addWatch("helper", "i", "String");
    EXPECT_EQ(rowTexts(), (std::vector<Row>{
                              {"p=main", "FFFE", "LPtrBHex", "1", "0:3C"},
                              {"total", "0040", "GShortBin", "1", "0:0001-0010-0011-0100"},
                              {"total", "0040", "GShortChar", "1", ""},
                              {"big", "0042", "GLongDec", "1", ""},
                              {"i=helper", "0003", "LShortString", "1", ""},
                          }));
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(WatchCTest, AddWatchRefusesWhatItCannotShow) {
    addWatch(std::string(kGlobalScopeName), "odd", "Decimal");
    addWatch(std::string(kGlobalScopeName), "broken", "Decimal");
    addWatch("main", "", "Decimal");
    addWatch("helper", "stray", "Decimal");  // declared outside every function
    EXPECT_TRUE(watches.rows().empty());
    ASSERT_EQ(errors().size(), 2u);
    EXPECT_EQ(errors()[0], "Variables of type \"F\" cannot be watched");
    EXPECT_NE(errors()[1].find("prog.dbg, line 5: the address of broken"), std::string::npos);
}

TEST_F(WatchCTest, AMissingDebugFileIsReported) {
    std::filesystem::remove(directory / "prog.dbg");
    CWatchDialog dialog(context, watches);
    dialog.show({"main"});
    dialog.chooseFunction("main");
    EXPECT_TRUE(dialog.variables().empty());
    dialog.variable = "i";
    dialog.ok();
    EXPECT_TRUE(watches.rows().empty());
    ASSERT_EQ(errors().size(), 2u);
    EXPECT_NE(errors()[0].find("prog.dbg"), std::string::npos);
}

TEST_F(WatchCTest, SaveAndRestoreResolveTheVariablesAgain) {
    addWatch(std::string(kGlobalScopeName), "total", "HexaDecimal");
    addWatch("main", "i", "Decimal");
    addWatch("helper", "n", "Decimal");
    ASSERT_TRUE(watches.save());
    EXPECT_EQ(savedEntries(), (std::vector<std::string>{"total GShortHex 1", "i=main LCharDec 1",
                                                        "n=helper LShortDec 1"}));
    watches.clear();

    // Rebuilt: total moved, i got another offset, helper lost n.
    writeText(directory / "prog.dbg",
              "DEFGLOBAL total 0044 S\nFUNC main 0100\nDEFLOCAL i 5 c\nFUNCEND\n"
              "FUNC helper\nFUNCEND\n");
    store(0x0044, {0xAB, 0xCD});
    store(0x0205, {0x11});
    watches.restore();
    EXPECT_EQ(rowTexts(), (std::vector<Row>{{"total", "0044", "GShortHex", "1", "0:ABCD"},
                                            {"i=main", "0005", "LCharDec", "1", "0:17"}}));
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(WatchCTest, RestoreKeepsEntriesItCannotResolve) {
    writeText(project.path,
              "[WATCH]\nCount=4\nName0=i=main LCharDec 1\nName1=i=main GCharDec 1\n"
              "Name2=total LShortHex 1\nName3=broken GCharHex 1\n");
    watches.restore();
    EXPECT_EQ(watches.rows().size(), 1u);
    ASSERT_EQ(errors().size(), 1u);
    for (const char* text : {"\"i=main GCharDec 1\"", "\"total LShortHex 1\"", "line 5"})
        EXPECT_NE(errors()[0].find(text), std::string::npos) << text;
    ASSERT_TRUE(watches.save());
    EXPECT_EQ(savedEntries(), (std::vector<std::string>{"i=main LCharDec 1", "i=main GCharDec 1",
                                                        "total LShortHex 1", "broken GCharHex 1"}));

    // Without the debug file nothing resolves, and nothing is lost either.
    host.messages.clear();
    std::filesystem::remove(directory / "prog.dbg");
    watches.restore();
    EXPECT_TRUE(watches.rows().empty());
    ASSERT_EQ(errors().size(), 1u);
    EXPECT_NE(errors()[0].find("prog.dbg"), std::string::npos);
    ASSERT_TRUE(watches.save());
    EXPECT_EQ(savedEntries().size(), 4u);

    // With no watches saved the debug file is not needed.
    host.messages.clear();
    writeText(project.path, "[WATCH]\nCount=1\nName0=\n");
    watches.restore();
    EXPECT_TRUE(host.messages.empty());
}

// Damaged project and debug files: restore and save never fail, and every entry that does
// not read as a watch is written back as it was.
TEST_F(WatchCTest, DamagedFilesLoseNoUnreadableEntry) {
    const std::string section =
        "[WATCH]\nCount=4\nName0=i=main LCharDec 1\nName1=total GShortHex 1\n"
        "Name2=n=helper LShortDec 1\nName3=p=main LPtrBBin 1\n";
    std::mt19937 random(20261210);
    for (int round = 0; round < 60; ++round) {
        const std::string text = testing::damagedText(section, random);
        writeText(project.path, text);
        writeText(directory / "prog.dbg", testing::damagedText(kDebugFile, random));
        std::vector<std::string> unreadable;
        for (const std::string& entry : readSavedWatches(IniDocument::parse(text)).entries)
            if (!parseWatchEntry(entry)) unreadable.push_back(entry);

        watches.restore();
        ASSERT_TRUE(watches.save()) << text;
        const std::vector<std::string> saved = savedEntries();
        for (const std::string& entry : unreadable) {
            if (entry.find_first_not_of(" \t") != std::string::npos) {
                EXPECT_NE(std::ranges::find(saved, entry), saved.end()) << text;
            }
        }
    }
}

}  // namespace
}  // namespace tarnwick
