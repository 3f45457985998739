#include <gtest/gtest.h>

#include <memory>

#include "project/desktop.h"
#include "project/project.h"
#include "project/temp_directory.h"

namespace tarnwick {
namespace {

using testing::readText;
using testing::TempDirectory;
using testing::writeText;

class ProjectFileTest : public ::testing::Test {
  protected:
    Project read(const std::string& text, ProjectFormat before = ProjectFormat::None) {
        Project project;
        project.format = before;
        readProjectFile(IniDocument::parse(text), project, *memory);
        return project;
    }

    std::unique_ptr<AddressSpace> memory = std::make_unique<AddressSpace>();
};

TEST_F(ProjectFileTest, EveryWriterKeepsTheSectionsOfTheOthers) {
    TempDirectory directory;
    const auto path = directory / "demo.pro";
    writeText(path, "[Mine]\nkept=yes\n");

    Asm11Options options;
    options.overlapCheck = false;
    options.includeDirectory = "C:\\inc\\";
    CpuConfiguration cpu;
    cpu.crystal = "12 MHz";
    cpu.bprot[2] = false;
    Desktop desktop;
    desktop[DesktopWindow::Stack] = WindowPlacement{1, 2, 3, 4, WindowState::Normal};

    updateProjectFile(path, [](IniDocument& d) { writeFormat(d, ProjectFormat::Asm11); });
    updateProjectFile(path, [&](IniDocument& d) { writeAsm11Options(d, options); });
    updateProjectFile(path, [&](IniDocument& d) { writeCpuConfiguration(d, cpu); });
    updateProjectFile(path, [](IniDocument& d) { writeFileList(d, {"a.asm", "b.asm", "c.asm"}); });
    updateProjectFile(path, [](IniDocument& d) { writeWatches(d, {"count 1 1"}); });
    saveDesktop(path, desktop, true);
    // The list writers erase their sections: a shorter list leaves no stale keys.
    updateProjectFile(path, [](IniDocument& d) { writeFileList(d, {"b.asm"}); });
    updateProjectFile(path, [](IniDocument& d) { writeS19Start(d, "E000"); });

    const IniDocument document = readIniFile(path);
    EXPECT_EQ(document.value("Mine", "kept"), "yes");
    EXPECT_EQ(document.keys("FILES"), (std::vector<std::string>{"Count", "File0"}));
    EXPECT_EQ(readWatches(document), std::vector<std::string>{"count 1 1"});
    EXPECT_EQ(readDesktop(document, path).desktop, desktop);
    EXPECT_EQ(document.value("S19", "Start"), "E000");

    Project project;
    readProjectFile(document, project, *memory);
    EXPECT_EQ(project.format, ProjectFormat::Asm11);
    EXPECT_EQ(project.asm11Options, options);
    EXPECT_EQ(project.files, std::vector<std::string>{"b.asm"});
    EXPECT_EQ(project.cpu.crystal, "12 MHz");
    EXPECT_EQ(project.cpu.bprot, (std::array<bool, 4>{true, true, false, true}));
}

TEST_F(ProjectFileTest, HandWrittenFileReadsAndRewritesWithoutLoss) {
    const std::string text =
        "; written by hand\r\n"
        "[ PROJECT ]\r\n"
        "Format = S19\r\n"
        "Author=someone\r\n"
        "\r\n"
        "[S19]\r\n"
        "  Start=  e000\r\n"
        "[Cpu]\r\n"
        "XTAL=4 MHz\r\n"
        "Random Memory =0\r\n"
        "Future Key=1\r\n"
        "[FILES]\r\n"
        "Count=2\r\n"
        "File0=prog.s19\r\n"
        "File1=/lib/io.asm\r\n"
        "[Unknown]\r\n"
        "junk line\r\n";
    const Project project = read(text);
    EXPECT_EQ(project.format, ProjectFormat::S19);
    EXPECT_EQ(project.s19Start, "e000");
    EXPECT_EQ(project.cpu.crystal, "4 MHz");
    EXPECT_FALSE(project.cpu.randomMemory);
    EXPECT_EQ(project.files, (std::vector<std::string>{"prog.s19", "/lib/io.asm"}));

    IniDocument document = IniDocument::parse(text);
    writeFileList(document, project.files);
    writeCpuConfiguration(document, project.cpu);
    const std::string rewritten = document.text();
    for (const char* line :
         {"; written by hand\r\n", "[ PROJECT ]\r\nFormat = S19\r\nAuthor=someone\r\n\r\n",
          "[S19]\r\n  Start=  e000\r\n", "XTAL=4 MHz\r\n", "Future Key=1\r\n",
          "File1=/lib/io.asm\r\n", "[Unknown]\r\njunk line\r\n"})
        EXPECT_NE(rewritten.find(line), std::string::npos) << line;
    EXPECT_EQ(read(rewritten).files, project.files);
}

TEST(ProjectListTest, ListsFollowTheKeysPresentUpToCount) {
    struct Case {
        const char* section;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases = {
        {"[WATCH]\nCount=3\nName2=c\nName0=a\n", {"a", "c"}},
        {"[WATCH]\nCount=1\nName0=a\nName1=beyond\n", {"a"}},
        {"[WATCH]\nCount=2000000000\nName0=a\nName1=b\n", {"a", "b"}},
        {"[WATCH]\nCount=2\nName01=padded\nNamex=x\nName1=b\nName1=second\n", {"b"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(readWatches(IniDocument::parse(c.section)), c.expected) << c.section;
}

TEST_F(ProjectFileTest, MissingKeysReadAsTheirDefaults) {
    Project asm11;
    asm11.asm11Options.map = true;  // left from an earlier project
    readProjectFile(IniDocument::parse("[PROJECT]\nFormat=ASM11\n[FILES]\nCount=x\nFile0=a.asm\n"),
                    asm11, *memory);
    EXPECT_EQ(asm11.asm11Options, Asm11Options());
    EXPECT_TRUE(asm11.files.empty());  // a malformed Count reads as 0

    // Without a CPU section the project defaults apply, not the values before any project.
    const CpuConfiguration& cpu = asm11.cpu;
    EXPECT_EQ(cpu.cpuType, "M68HC11E1");
    EXPECT_EQ(cpu.crystal, "8 MHz");
    EXPECT_EQ(cpu.romRanges, "E000 FFFF");
    EXPECT_EQ(cpu.readWriteRanges, "0000 00FF");
    EXPECT_EQ(cpu.thirdRanges, "1000 103F");
    EXPECT_TRUE(cpu.randomMemory);
    EXPECT_EQ((*memory)[0x0100].kind(), MemoryKind::Undefined);  // the map applied
    EXPECT_EQ((*memory)[0x00FF].kind(), MemoryKind::Ram);

    EXPECT_EQ(read("[PROJECT]\nFormat=S19\n").s19Start, "");
}

TEST_F(ProjectFileTest, UnknownFormatKeepsThePreviousOneAndItsSection) {
    const Project project =
        read("[PROJECT]\nFormat=asm11\n[ASM11]\nMap=1\n[S19]\nStart=1000\n", ProjectFormat::Asm11);
    EXPECT_EQ(project.format, ProjectFormat::Asm11);
    EXPECT_TRUE(project.asm11Options.map);
    EXPECT_EQ(project.s19Start, "");  // read only for S19 projects
    EXPECT_EQ(read("[PROJECT]\nFormat=ICC11\n", ProjectFormat::S19).format, ProjectFormat::Icc11);
}

TEST(DebugImageTest, TheImageOfEachFormat) {
    Project project;
    project.setPath("/work/demo.pro");
    const struct {
        ProjectFormat format;
        std::vector<std::string> files;
        std::string s19;
        std::string error;
    } cases[] = {
        {ProjectFormat::Asm11, {"main.asm", "inc.asm"}, "/work/main.s19", ""},
        {ProjectFormat::Asm11, {"/src/main.asm"}, "/src/main.s19", ""},
        {ProjectFormat::S19, {"prog.s19"}, "/work/prog.s19", ""},
        // Relative names with a directory part are the project directory's too.
        {ProjectFormat::Asm11, {"sub/main.asm"}, "/work/sub/main.s19", ""},
        {ProjectFormat::Asm11, {"sub\\main.asm"}, "/work/sub/main.s19", ""},
        {ProjectFormat::S19, {"../lib/prog.s19"}, "/work/../lib/prog.s19", ""},
        {ProjectFormat::Icc11, {"out/app.dbg"}, "/work/out/app.s19", ""},
        {ProjectFormat::Asm11, {}, "", "No file loaded to the project"},
        {ProjectFormat::S19, {}, "", "No file loaded to the project"},
        {ProjectFormat::Icc11,
         {},
         "",
         "No *.dbg file / more than 1 debug file loaded to the project"},
        {ProjectFormat::Icc11,
         {"a.dbg", "b.dbg"},
         "",
         "No *.dbg file / more than 1 debug file loaded to the project"},
        {ProjectFormat::Icc11, {"MAIN.DBG"}, "", "The project input file MUST be a *.dbg file"},
    };
    for (const auto& c : cases) {
        project.format = c.format;
        project.files = c.files;
        const DebugImage image = debugImage(project);
        EXPECT_EQ(image.s19.string(), c.s19) << c.s19 << c.error;
        EXPECT_EQ(image.error, c.error);
    }
}

}  // namespace
}  // namespace tarnwick
