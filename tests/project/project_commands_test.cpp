#include "project/project_commands.h"

#include <gtest/gtest.h>

#include <deque>
#include <memory>

#include "project/temp_directory.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using testing::readText;
using testing::TempDirectory;
using testing::writeText;

// Answers the dialogs from a script and records the message boxes.
class FakeProjectUi : public ProjectUi {
  public:
    std::vector<std::string> messages;
    std::deque<bool> yesNo;
    std::optional<ProjectFormat> format = ProjectFormat::Asm11;
    bool optionsOk = true;
    bool cpuOk = true;

    void showError(std::string_view text) override {
        messages.push_back("error: " + std::string(text));
    }
    void showInformation(std::string_view text) override {
        messages.push_back("information: " + std::string(text));
    }
    bool askYesNo(std::string_view text) override {
        messages.push_back("question: " + std::string(text));
        const bool answer = yesNo.empty() || yesNo.front();
        if (!yesNo.empty()) yesNo.pop_front();
        return answer;
    }
    std::optional<ProjectFormat> chooseFormat() override { return format; }
    bool editAsm11Options(Asm11Options& options) override {
        options.map = true;
        return optionsOk;
    }
    bool editS19Start(std::string& start) override {
        start = "E000";
        return optionsOk;
    }
    bool editCpuConfiguration(CpuConfiguration& cpu) override {
        cpu.crystal = "4 MHz";
        return cpuOk;
    }
};

class RecordingStore : public SettingsStore {
  public:
    std::vector<std::string> lastProjectWrites;

    bool programKeyExists() const override { return true; }
    std::optional<std::string> readString(SettingKey) const override { return std::nullopt; }
    std::optional<int> readInt(SettingKey) const override { return std::nullopt; }
    std::optional<bool> readBool(SettingKey) const override { return std::nullopt; }
    void writeString(SettingKey key, std::string_view value) override {
        if (key.subkey == kLastProjectKey.subkey) lastProjectWrites.emplace_back(value);
    }
    void writeInt(SettingKey, int) override {}
    void writeBool(SettingKey, bool) override {}
};

class ProjectCommandsTest : public ::testing::Test {
  protected:
    fs::path path(const std::string& name) const { return directory / name; }

    TempDirectory directory;
    FakeProjectUi ui;
    RecordingStore store;
    Settings settings;
    std::unique_ptr<AddressSpace> memory = std::make_unique<AddressSpace>();
    ProjectCommands commands{ui, store, settings, *memory};
};

TEST_F(ProjectCommandsTest, CompletedNewWritesTheWholeFileAndOpensTheProject) {
    const fs::path file = path("demo.pro");
    writeText(file, "[FILES]\nCount=1\nFile0=old.asm\n[WATCH]\nCount=0\n");
    commands.newProject(file);

    EXPECT_EQ(ui.messages,
              std::vector<std::string>{"question: OK to overwrite " + file.string() + " ?"});
    const IniDocument written = readIniFile(file);
    EXPECT_EQ(written.value("PROJECT", "Format"), "ASM11");
    EXPECT_EQ(written.value("ASM11", "Map"), "1");
    EXPECT_EQ(written.value("CPU", "XTAL"), "4 MHz");
    EXPECT_FALSE(written.hasSection("FILES"));  // the old file is replaced, not merged
    EXPECT_FALSE(written.hasSection("WATCH"));

    EXPECT_TRUE(commands.isOpen());
    EXPECT_EQ(commands.project().format, ProjectFormat::Asm11);
    EXPECT_EQ(commands.project().directory, directory.path().string() + "/");
    EXPECT_EQ(commands.mainCaption(), "Tarnwick - demo.pro");
    EXPECT_EQ(commands.menus(), projectMenuState(true));
    EXPECT_EQ(store.lastProjectWrites, std::vector<std::string>{file.string()});
    EXPECT_FALSE(commands.lastProjectEntryVisible());

    commands.close();
    EXPECT_EQ(commands.mainCaption(), "Tarnwick");
    EXPECT_EQ(commands.menus(), projectMenuState(false));
    EXPECT_TRUE(commands.lastProjectEntryVisible());
    EXPECT_EQ(commands.lastProjectEntryCaption(), file.string());
    EXPECT_EQ(commands.project().cpu.crystal, "8 MHz");
    EXPECT_EQ(commands.project().asm11Options, Asm11Options());
    EXPECT_EQ(commands.project().format, ProjectFormat::Asm11);  // kept by Close
}

TEST_F(ProjectCommandsTest, NewGivesANameWithoutExtensionTheProjectExtension) {
    writeText(path("blink.pro"), "[PROJECT]\nFormat=S19\n");
    commands.newProject(path("blink"));
    EXPECT_EQ(ui.messages, std::vector<std::string>{"question: OK to overwrite " +
                                                    path("blink.pro").string() + " ?"});
    EXPECT_FALSE(fs::exists(path("blink")));
    EXPECT_EQ(commands.mainCaption(), "Tarnwick - blink.pro");

    commands.close();
    commands.open(path("blink.pro"));
    EXPECT_TRUE(commands.isOpen());
    EXPECT_EQ(commands.project().format, ProjectFormat::Asm11);
}

TEST_F(ProjectCommandsTest, CancelledNewLeavesNoFileAndAnExistingOneUnchanged) {
    const struct {
        const char* step;
        bool overwrite;
        std::optional<ProjectFormat> format;
        bool optionsOk;
        bool cpuOk;
    } cases[] = {
        {"overwrite No", false, ProjectFormat::Asm11, true, true},
        {"format Cancel", true, std::nullopt, true, true},
        {"ASM11 options Cancel", true, ProjectFormat::Asm11, false, true},
        {"S19 option Cancel", true, ProjectFormat::S19, false, true},
        {"CPU Cancel", true, ProjectFormat::Icc11, true, false},
    };
    const std::string existing = "[PROJECT]\r\nFormat=S19\r\n[FILES]\r\nCount=1\r\nFile0=x.s19\r\n";
    for (const auto& c : cases) {
        ui.format = c.format;
        ui.optionsOk = c.optionsOk;
        ui.cpuOk = c.cpuOk;

        writeText(path("old.pro"), existing);
        ui.yesNo = {c.overwrite};
        commands.newProject(path("old.pro"));
        EXPECT_EQ(readText(path("old.pro")), existing) << c.step;

        if (c.overwrite) commands.newProject(path("new.pro"));
        EXPECT_FALSE(fs::exists(path("new.pro"))) << c.step;

        EXPECT_FALSE(commands.isOpen()) << c.step;
        EXPECT_EQ(commands.project().format, ProjectFormat::None) << c.step;
        EXPECT_EQ(commands.project().cpu.crystal, "8 MHz") << c.step;
        EXPECT_TRUE(store.lastProjectWrites.empty()) << c.step;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(directory.path()), {}), 1);
    commands.newProject(std::nullopt);
    EXPECT_FALSE(commands.isOpen());
}

TEST_F(ProjectCommandsTest, NewThatCannotWriteReportsTheFileAndOpensNothing) {
    const fs::path file = directory / "gone" / "demo.pro";
    commands.newProject(file);
    EXPECT_EQ(ui.messages,
              std::vector<std::string>{"error: Cannot write the file " + file.string()});
    EXPECT_FALSE(commands.isOpen());
}

TEST_F(ProjectCommandsTest, OpenChecksThePathBeforeReading) {
    writeText(path("demo.txt"), "[PROJECT]\nFormat=S19\n");
    writeText(path("demo.PRO"),
              "[PROJECT]\nFormat=S19\n[S19]\nStart=E000\n[FILES]\nCount=1\nFile0=a.s19\n");
    commands.open(path("missing.pro"));
    commands.open(path("demo.txt"));
    commands.open(std::nullopt);
    EXPECT_EQ(ui.messages, (std::vector<std::string>{"error: Project file cannot be found",
                                                     "error: Project file is wrong"}));
    EXPECT_FALSE(commands.isOpen());
    EXPECT_EQ(commands.project().format, ProjectFormat::None);

    commands.open(path("demo.PRO"));
    EXPECT_TRUE(commands.isOpen());
    EXPECT_EQ(commands.project().s19Start, "E000");
    EXPECT_EQ(commands.project().files, std::vector<std::string>{"a.s19"});
    EXPECT_EQ(commands.selectedFile(), 0u);
    EXPECT_EQ(commands.projectWindowCaption(), path("demo.PRO").string());
}

TEST_F(ProjectCommandsTest, OpenReportsMemoryMapsCutToTheDialogsLength) {
    std::string longRanges;
    while (longRanges.size() <= kMaxRangeTextLength) longRanges += "0000 00FF ";
    writeText(path("long.pro"), "[PROJECT]\nFormat=ASM11\n[CPU]\nRMem=" + longRanges +
                                    "\nRWMem=0000 00FF\nIOMem=" + longRanges + "\n");
    commands.open(path("long.pro"));
    EXPECT_TRUE(commands.isOpen());
    EXPECT_EQ(ui.messages, std::vector<std::string>{
                               "information: The memory map in section CPU (RMem, IOMem) is longer "
                               "than the 32767 characters the CPU Configuration dialog holds; the "
                               "ranges after them are ignored"});
    EXPECT_LE(commands.project().cpu.romRanges.size(), kMaxRangeTextLength);
    EXPECT_EQ(commands.project().cpu.readWriteRanges, "0000 00FF");
}

TEST_F(ProjectCommandsTest, OpenLastForgetsAMissingProject) {
    settings.lastProject = path("gone.pro").string();
    commands.openLast();
    EXPECT_EQ(ui.messages, std::vector<std::string>{"error: Project file cannot be found"});
    EXPECT_EQ(store.lastProjectWrites, std::vector<std::string>{""});
    EXPECT_FALSE(commands.lastProjectEntryVisible());

    writeText(path("demo.txt"), "");
    settings.lastProject = path("demo.txt").string();
    commands.openLast();
    EXPECT_EQ(ui.messages.back(), "error: Project file is invalid");
    EXPECT_FALSE(commands.isOpen());
}

TEST_F(ProjectCommandsTest, AddAndRemoveRewriteTheFileList) {
    const fs::path file = path("demo.pro");
    writeText(file, "[PROJECT]\nFormat=ASM11\n[FILES]\nCount=0\n[Mine]\nkept=1\n");
    commands.open(file);
    EXPECT_EQ(commands.addDialogFilter(), AddFilter::Assembler);
    EXPECT_EQ(commands.addDialogDirectory(), directory.path().string() + "/");

    commands.addFile(path("main.asm"));
    commands.addFile(fs::path("/other/io.asm"));
    commands.addFile(std::nullopt);
    EXPECT_EQ(commands.project().files, (std::vector<std::string>{"main.asm", "/other/io.asm"}));
    EXPECT_EQ(commands.selectedFile(), 1u);
    EXPECT_EQ(readText(file),
              "[PROJECT]\nFormat=ASM11\n[FILES]\nCount=2\nFile0=main.asm\nFile1=/other/io.asm\n"
              "[Mine]\nkept=1\n");

    commands.removeFile(std::nullopt);
    commands.removeFile(5);
    commands.removeFile(0);
    EXPECT_EQ(commands.selectedFile(), 0u);
    commands.removeFile(0);
    EXPECT_EQ(commands.selectedFile(), std::nullopt);
    EXPECT_EQ(readText(file), "[PROJECT]\nFormat=ASM11\n[FILES]\nCount=0\n[Mine]\nkept=1\n");
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ProjectCommandsTest, AddAndNewRefuseNamesWithControlCharacters) {
    const std::string project = "[PROJECT]\nFormat=ASM11\n[FILES]\nCount=1\nFile0=main.asm\n";
    writeText(path("demo.pro"), project);
    commands.open(path("demo.pro"));
    const std::string refused = "error: " + std::string(kControlCharacterText);
    for (const std::string name : {"a\nb", "a\rb", "tab\t", "bell\a", "del\x7F"}) {
        ui.messages.clear();
        commands.addFile(path(name + ".asm"));
        commands.addFile(fs::path("/other/" + name + "/x.asm"));
        EXPECT_EQ(ui.messages, (std::vector<std::string>{refused, refused})) << name;
        EXPECT_EQ(commands.project().files, std::vector<std::string>{"main.asm"}) << name;
        EXPECT_EQ(readText(path("demo.pro")), project) << name;
    }
    commands.close();

    ui.messages.clear();
    commands.newProject(path("new\nline.pro"));
    EXPECT_EQ(ui.messages, std::vector<std::string>{refused});
    EXPECT_FALSE(fs::exists(path("new\nline.pro")));
    EXPECT_FALSE(commands.isOpen());
}

TEST_F(ProjectCommandsTest, NamesWithBlanksAtTheEndsSurviveASaveAndALoad) {
    writeText(path("demo.pro"), "[PROJECT]\nFormat=ASM11\n");
    commands.open(path("demo.pro"));
    const std::vector<std::string> files = {" main.asm", "io.asm ", "/other dir/ lib.asm  "};
    for (const std::string& file : files)
        commands.addFile(file[0] == '/' ? fs::path(file) : path(file));
    commands.close();
    commands.open(path("demo.pro"));
    EXPECT_EQ(commands.project().files, files);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ProjectCommandsTest, OptionsWriteTheFormatsOwnSection) {
    const struct {
        const char* format;
        const char* key;
        const char* section;
        const char* value;
        std::vector<std::string> messages;
    } cases[] = {
        {"ASM11", "Map", "ASM11", "1", {}},
        {"S19", "Start", "S19", "E000", {}},
        {"ICC11", "Start", "S19", nullptr, {"information: No project options for ICC format"}},
    };
    for (const auto& c : cases) {
        ui.messages.clear();
        writeText(path("demo.pro"), std::string("[PROJECT]\nFormat=") + c.format + "\n");
        commands.open(path("demo.pro"));
        commands.options();
        commands.close();
        const auto value = readIniFile(path("demo.pro")).value(c.section, c.key);
        EXPECT_EQ(value, c.value ? std::optional<std::string>(c.value) : std::nullopt) << c.format;
        EXPECT_EQ(ui.messages, c.messages) << c.format;
    }
}

}  // namespace
}  // namespace tarnwick
