#include "project/assembler_build.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

// The backslashes of a DOS path are quoted, or the shell would take them as escapes.
const std::string kDefaultLine =
    "'C:\\ASM11\\ASM11.EXE' -WRN+ -SP- -SH- -O+ -P+ -C- -L- -M- -X+ -REL- -RTS- -LS+ -LSE "
    "-S+ -E- -T- prog.asm > tarnwick.err";

std::string readWhole(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class TempDirectory {
  public:
    TempDirectory()
        : path_(fs::temp_directory_path() /
                ("tarnwick asm " + std::to_string(std::random_device()()))) {
        fs::create_directories(path_);
    }
    ~TempDirectory() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const fs::path& path() const { return path_; }
    void write(const std::string& name, const std::string& text) const {
        std::ofstream(path_ / name, std::ios::binary) << text;
    }

  private:
    fs::path path_;
};

TEST(Asm11OptionsTest, ProjectFileKeysDefaultsAndRoundTrip) {
    const std::map<std::string, std::string> defaults{
        {"Warn", "1"},          {"Spaces", "0"},  {"S0 header", "0"},
        {"Over/Mem", "1"},      {"P1 Stop", "1"}, {"Case Sensitive", "0"},
        {"Listing", "0"},       {"Map", "0"},     {"Xtra", "1"},
        {"Rel", "0"},           {"RTS", "0"},     {"Sym", "1"},
        {"Show progress", "1"}, {"S19", "1"},     {"Include Dir", ""}};
    std::map<std::string, std::string> stored;
    Asm11Options{}.store([&](std::string_view key, std::string_view value) {
        EXPECT_TRUE(stored.emplace(key, value).second) << key;
    });
    EXPECT_EQ(stored, defaults);

    // Every key flipped comes back flipped; an empty section reads the defaults again.
    std::map<std::string, std::string> flipped;
    for (const auto& [key, value] : defaults) flipped[key] = value == "1" ? "0" : "1";
    flipped["Include Dir"] = "C:\\INC";
    Asm11Options options;
    options.load([&](std::string_view key) -> std::optional<std::string> {
        return flipped.at(std::string(key));
    });
    std::map<std::string, std::string> restored;
    options.store(
        [&](std::string_view key, std::string_view value) { restored.emplace(key, value); });
    EXPECT_EQ(restored, flipped);

    options.load([](std::string_view) { return std::nullopt; });
    EXPECT_EQ(options, Asm11Options{});
}

TEST(Asm11OptionsTest, UnreadableFlagsKeepTheirDefaultsAndNonZeroIsSet) {
    Asm11Options options;
    options.load([](std::string_view key) -> std::optional<std::string> {
        if (key == "Warn") return "yes";  // default on stays on
        if (key == "Spaces") return "";   // default off stays off
        if (key == "Map") return "-1";
        if (key == "Xtra") return "1x";
        return std::nullopt;
    });
    Asm11Options expected;
    expected.map = true;
    EXPECT_EQ(options, expected);
}

TEST(AssemblerCommandLineTest, EachOptionChangesOnlyItsOwnText) {
    struct Case {
        bool Asm11Options::*member;
        std::string defaultText;
        std::string flippedText;
    };
    const Case cases[] = {
        {&Asm11Options::warnings, " -WRN+", " -WRN-"},
        {&Asm11Options::spaces, " -SP-", " -SP+"},
        {&Asm11Options::s0Header, " -SH-", " -SH+"},
        {&Asm11Options::overlapCheck, " -O+", " -O-"},
        {&Asm11Options::p1Stop, " -P+", " -P-"},
        {&Asm11Options::caseSensitive, " -C-", " -C+"},
        {&Asm11Options::listing, " -L-", " -L+"},
        {&Asm11Options::map, " -M-", " -M+"},
        {&Asm11Options::extraMnemonics, " -X+", " -X-"},
        {&Asm11Options::branchOptimisationWarning, " -REL-", " -REL+"},
        {&Asm11Options::rtsOptimisationWarning, " -RTS-", " -RTS+"},
        {&Asm11Options::symbolFile, " -LS+ -LSE", " -LS-"},
        {&Asm11Options::showProgress, "", ""},
        {&Asm11Options::s19, "", ""},
    };
    EXPECT_EQ(assemblerCommandLine("C:\\ASM11\\ASM11.EXE", {}, "prog.asm"), kDefaultLine);
    for (const Case& c : cases) {
        Asm11Options options;
        options.*c.member = !(options.*c.member);
        std::string expected = kDefaultLine;
        if (!c.defaultText.empty()) {
            // Texts like " -L-" also occur inside longer ones, so replace the whole token.
            const auto at = expected.find(c.defaultText + " ");
            ASSERT_NE(at, std::string::npos) << c.defaultText;
            expected.replace(at, c.defaultText.size(), c.flippedText);
        }
        EXPECT_EQ(assemblerCommandLine("C:\\ASM11\\ASM11.EXE", options, "prog.asm"), expected)
            << c.flippedText;
    }
}

TEST(AssemblerCommandLineTest, IncludeDirectoryAndQuotingOfBlanks) {
    Asm11Options withInclude;
    withInclude.includeDirectory = "C:\\INC";
    EXPECT_EQ(assemblerCommandLine("C:\\ASM11\\ASM11.EXE", withInclude, "prog.asm")
                  .rfind("'C:\\ASM11\\ASM11.EXE' '-IC:\\INC' -WRN+ -SP-", 0),
              0u);

    const std::string options = " -WRN+ -SP- -SH- -O+ -P+ -C- -L- -M- -X+ -REL- -RTS- -LS+ -LSE";
    const struct {
        std::string path, file, expected;
    } cases[] = {
        {"/opt/asm11/asm11", "main.asm", "/opt/asm11/asm11" + options + " -S+ -E- -T- main.asm"},
        {"/opt/my tools/asm11", "my prog.asm",
         "'/opt/my tools/asm11'" + options + " -S+ -E- -T- 'my prog.asm'"},
        {"C:\\Program Files\\ASM11.EXE", "it's.asm",
         "'C:\\Program Files\\ASM11.EXE'" + options + " -S+ -E- -T- 'it'\\''s.asm'"},
        {"/opt/bob's tools/asm11", "a\tb.asm",
         "'/opt/bob'\\''s tools/asm11'" + options + " -S+ -E- -T- 'a\tb.asm'"},
        {"/opt/asm11", "sum(2).asm", "/opt/asm11" + options + " -S+ -E- -T- 'sum(2).asm'"},
        {"/opt/asm11", "a&b;$x`y`.asm", "/opt/asm11" + options + " -S+ -E- -T- 'a&b;$x`y`.asm'"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(assemblerCommandLine(c.path, {}, c.file), c.expected + " > tarnwick.err");
}

// The quoted line really reaches the assembler as whole words through the shell.
TEST(AssemblerCommandLineTest, LineRunsUnderTheShellWithBlanksInNames) {
    const TempDirectory directory;  // its name holds a blank
    directory.write("asm11", "#!/bin/sh\nfor word; do echo \"[$word]\"; done\n");
    fs::permissions(directory.path() / "asm11", fs::perms::owner_all);
    Asm11Options options;
    options.includeDirectory = "inc";
    directory.write("ASM11.bat", assemblerCommandLine((directory.path() / "asm11").string(),
                                                      options, "my prog.asm"));
    const std::string command = "cd '" + directory.path().string() + "' && /bin/sh ASM11.bat";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(readWhole(directory.path() / "tarnwick.err"),
              "[-Iinc]\n[-WRN+]\n[-SP-]\n[-SH-]\n[-O+]\n[-P+]\n[-C-]\n[-L-]\n[-M-]\n[-X+]\n"
              "[-REL-]\n[-RTS-]\n[-LS+]\n[-LSE]\n[-S+]\n[-E-]\n[-T-]\n[my prog.asm]\n");

    // Characters the shell would take as its own reach the assembler as they are.
    options.includeDirectory = "my inc (old)";
    directory.write("ASM11.bat", assemblerCommandLine((directory.path() / "asm11").string(),
                                                      options, "sum(2)&$x.asm"));
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::string words = readWhole(directory.path() / "tarnwick.err");
    EXPECT_EQ(words.substr(0, words.find('\n')), "[-Imy inc (old)]");
    EXPECT_EQ(words.substr(words.rfind('[')), "[sum(2)&$x.asm]\n");
}

// Each argument reaches the assembler byte for byte, whatever the shell would make of it.
TEST(AssemblerCommandLineTest, EveryShellCharacterReachesTheAssemblerUnchanged) {
    const TempDirectory directory;
    const fs::path tools = directory.path() / "tools 'a' \\b $(c) `d`";
    fs::create_directories(tools);
    const fs::path assembler = tools / "asm11";
    std::ofstream(assembler, std::ios::binary)
        << "#!/bin/sh\nfor word; do printf '%s\\n' \"$word\"; done > arguments\n";
    fs::permissions(assembler, fs::perms::owner_all);
    const std::string names[] = {
        "plain.asm",
        "it's.asm",
        "say \"hi\".asm",
        "$(touch hit).asm",
        "`touch hit`.asm",
        "a;b|c&d>e<f.asm",
        "*.asm",
        "~.asm",
        "{a,b}.asm",
        "#x.asm",
        "C:\\SRC\\P.ASM",
        "back\\\\slash\\n.asm",
        "two  blanks .asm",
        "x=1.asm",
        "'\"'\\$`!?[a].asm",
    };
    Asm11Options options;
    options.includeDirectory = "C:\\INC\\ $HOME 'q'";
    for (const std::string& name : names) {
        directory.write("ASM11.bat", assemblerCommandLine(assembler.string(), options, name));
        fs::remove(directory.path() / "arguments");
        const std::string command = "cd '" + directory.path().string() + "' && /bin/sh ASM11.bat";
        ASSERT_EQ(std::system(command.c_str()), 0) << name;
        std::istringstream recorded(readWhole(directory.path() / "arguments"));
        std::vector<std::string> arguments;
        for (std::string line; std::getline(recorded, line);) arguments.push_back(line);
        EXPECT_EQ(arguments, (std::vector<std::string>{"-I" + options.includeDirectory, "-WRN+",
                                                       "-SP-", "-SH-", "-O+", "-P+", "-C-", "-L-",
                                                       "-M-", "-X+", "-REL-", "-RTS-", "-LS+",
                                                       "-LSE", "-S+", "-E-", "-T-", name}));
    }
    EXPECT_FALSE(fs::exists(directory.path() / "hit"));
}

TEST(AssemblerPathTest, OnlyAsm11InAnyCaseIsAccepted) {
    const std::pair<const char*, bool> cases[] = {
        {"C:\\ASM11\\ASM11.EXE", true},
        {"c:\\asm11\\Asm11.exe", true},
        {"/opt/asm11/asm11", true},
        {"/opt/bin/ASM11", true},
        {"asm11.exe", true},
        {"", false},
        {"C:\\tools\\asm.exe", false},
        {"/opt/asm11/", false},
        {"/opt/asm11/asm11.sh", false},
        {"/opt/asm11/xasm11", false},
        {"/opt/ASM11.EXE.bak", false},
        {"/opt/asm11.exe/", false},
    };
    for (const auto& [path, accepted] : cases)
        EXPECT_EQ(isAssemblerPathAccepted(path), accepted) << path;
}

// Plays the assembler: ends after a number of polls, may write an error file when started.
class ScriptedProcess : public Process {
  public:
    bool canStart = true;
    int pollsUntilEnd = 3;
    int exit = 0;
    std::string messages;       // written to the output file at start when not empty
    std::string standardError;  // what errorOutput() gives

    std::vector<std::string> arguments;
    fs::path directory, output;
    bool shown = false;
    std::string batchAtStart;
    int starts = 0, polls = 0, terminations = 0;

    bool start(const std::vector<std::string>& args, const fs::path& dir, const fs::path& out,
               bool show) override {
        ++starts;
        if (!canStart) return false;
        arguments = args;
        directory = dir;
        output = out;
        shown = show;
        batchAtStart = readWhole(dir / "ASM11.bat");
        if (!messages.empty()) std::ofstream(out, std::ios::binary) << messages;
        return true;
    }
    std::optional<int> exitCode() override {
        ++polls;
        return terminations == 0 && polls >= pollsUntilEnd ? std::optional(exit) : std::nullopt;
    }
    void terminate() override { ++terminations; }
    std::string errorOutput() override { return standardError; }
};

class AssemblerBuildTest : public ::testing::Test {
  protected:
    AssemblerBuildTest() {
        project.write("prog.asm", " org $E000\n");
        request.projectPath = project.path() / "prog.pro";
        request.firstFile = "prog.asm";
        request.assemblerPath = "/opt/ASM11/Asm11";
    }

    // What the Building window does: start, then poll until the run is over, pressing
    // Cancel before the given poll.
    void runWindow(int cancelBeforePoll = -1) {
        EXPECT_EQ(build.startRun(), "");
        for (int poll = 0;; ++poll) {
            ASSERT_LT(poll, 100);
            if (poll == cancelBeforePoll) build.cancel();
            if (build.poll()) break;
            build.addSecond();
        }
    }

    std::vector<std::string> finish(std::string* failure = nullptr) {
        std::vector<std::string> loaded;
        const std::string failed =
            build.finish([&](const fs::path& file) { loaded.push_back(readWhole(file)); });
        if (failure)
            *failure = failed;
        else
            EXPECT_EQ(failed, "");
        EXPECT_FALSE(fs::exists(project.path() / "ASM11.bat"));
        EXPECT_FALSE(fs::exists(project.path() / "tarnwick.err"));
        return loaded;
    }

    TempDirectory project;
    ScriptedProcess process;
    AssemblerBuild build{process};
    AssemblerBuildRequest request;
};

TEST_F(AssemblerBuildTest, EndedRunLoadsTheErrorFileWhateverTheExitCode) {
    for (const int exitCode : {0, 2}) {
        process = ScriptedProcess{};
        process.exit = exitCode;
        process.messages = "ERR prog.asm 1\n";
        ASSERT_TRUE(build.begin(request, true).showBuildingWindow);
        EXPECT_EQ(readWhole(project.path() / "ASM11.bat"),
                  "/opt/ASM11/Asm11 -WRN+ -SP- -SH- -O+ -P+ -C- -L- -M- -X+ -REL- -RTS- -LS+ "
                  "-LSE -S+ -E- -T- prog.asm > tarnwick.err");
        EXPECT_EQ(build.buildingText(), "Building : " + request.projectPath.string());
        runWindow();
        EXPECT_EQ(process.arguments, (std::vector<std::string>{"/bin/sh", "ASM11.bat"}));
        EXPECT_EQ(process.directory, project.path());
        EXPECT_EQ(process.output, project.path() / "tarnwick.err");
        EXPECT_TRUE(process.shown);
        EXPECT_EQ(process.polls, 3);
        EXPECT_EQ(process.terminations, 0);
        EXPECT_EQ(build.secondsText(), "2");
        EXPECT_EQ(finish(), std::vector<std::string>{"ERR prog.asm 1\n"}) << exitCode;
    }
}

TEST_F(AssemblerBuildTest, AFailedRunWithoutMessagesIsReportedWithWhatItSaid) {
    struct Case {
        const char* name;
        int exit;
        std::string messages, standardError, failure;
    };
    const std::vector<Case> cases = {
        {"messages tell it", 2, "ERR prog.asm 1\n", "ignored\n", ""},
        {"success", 0, "", "a warning of the shell\n", ""},
        {"silent failure", 127, "", "", "The assembler failed with exit status 127"},
        {"shell error", 2, "", "ASM11.bat: 1: Syntax error: \"(\" unexpected\n",
         "The assembler failed with exit status 2:\nASM11.bat: 1: Syntax error: \"(\" "
         "unexpected"},
        {"killed", -1, "", "", "The assembler was stopped"},
    };
    for (const Case& c : cases) {
        process = ScriptedProcess{};
        process.exit = c.exit;
        process.messages = c.messages;
        process.standardError = c.standardError;
        ASSERT_TRUE(build.begin(request, true).showBuildingWindow);
        runWindow();
        std::string failure;
        finish(&failure);
        EXPECT_EQ(failure, c.failure) << c.name;
    }

    // Only the first ten lines of a long complaint.
    process = ScriptedProcess{};
    process.exit = 1;
    for (int line = 1; line <= 30; ++line) process.standardError += std::to_string(line) + "\n";
    ASSERT_TRUE(build.begin(request, true).showBuildingWindow);
    runWindow();
    std::string failure;
    finish(&failure);
    EXPECT_EQ(failure, "The assembler failed with exit status 1:\n1\n2\n3\n4\n5\n6\n7\n8\n9\n10");
}

TEST_F(AssemblerBuildTest, RunWithoutErrorFileLoadsNothingAndHiddenConsoleFollowsTheOption) {
    request.options.showProgress = false;
    request.options.listing = true;
    ASSERT_TRUE(build.begin(request, true).showBuildingWindow);
    runWindow();
    EXPECT_FALSE(process.shown);
    EXPECT_NE(process.batchAtStart.find(" -L+ "), std::string::npos);
    EXPECT_EQ(finish(), std::vector<std::string>{});
}

TEST_F(AssemblerBuildTest, CancelTerminatesSkipsTheMessagesAndStillCleansUp) {
    process.pollsUntilEnd = 50;
    process.messages = "partial\n";
    ASSERT_TRUE(build.begin(request, true).showBuildingWindow);
    runWindow(2);
    EXPECT_EQ(process.terminations, 1);
    EXPECT_EQ(process.polls, 2);
    EXPECT_EQ(finish(), std::vector<std::string>{});

    // The next build starts with the cancel flag and the seconds cleared.
    process = ScriptedProcess{};
    process.messages = "ok\n";
    ASSERT_TRUE(build.begin(request, true).showBuildingWindow);
    EXPECT_EQ(build.startRun(), "");
    EXPECT_EQ(build.secondsText(), "0");
    while (!build.poll()) {
    }
    EXPECT_EQ(process.terminations, 0);
    EXPECT_EQ(finish(), std::vector<std::string>{"ok\n"});
}

// Links to files elsewhere under the names of the build's files are replaced, not written
// through.
TEST_F(AssemblerBuildTest, LinksUnderTheBuildFileNamesLeaveTheirTargetsAlone) {
    const TempDirectory outside;
    for (const char* name : {"ASM11.bat", "tarnwick.err"}) {
        outside.write(name, "victim");
        fs::create_symlink(outside.path() / name, project.path() / name);
    }
    process.messages = "ERR prog.asm 1\n";
    ASSERT_TRUE(build.begin(request, true).showBuildingWindow);
    runWindow();
    EXPECT_NE(process.batchAtStart.find("prog.asm > tarnwick.err"), std::string::npos);
    EXPECT_EQ(finish(), std::vector<std::string>{"ERR prog.asm 1\n"});
    for (const char* name : {"ASM11.bat", "tarnwick.err"})
        EXPECT_EQ(readWhole(outside.path() / name), "victim") << name;
}

// The batch file runs in the project directory, so the assembler gets the entry's way there
// and writes its S19 and symbol files beside the source.
TEST_F(AssemblerBuildTest, AnEntryInASubdirectoryOrBesideReachesTheAssemblerFromTheProject) {
    fs::create_directories(project.path() / "proj/sub");
    fs::create_directories(project.path() / "lib");
    project.write("proj/sub/prog.asm", " org $E000\n");
    project.write("lib/x.asm", " org $E000\n");
    request.projectPath = project.path() / "proj/demo.pro";
    const std::pair<const char*, const char*> cases[] = {
        {"sub/prog.asm", "sub/prog.asm"},
        {"sub\\prog.asm", "sub/prog.asm"},
        {"../lib/x.asm", "../lib/x.asm"},
    };
    for (const auto& [entry, argument] : cases) {
        request.firstFile = entry;
        ASSERT_TRUE(build.begin(request, true).showBuildingWindow) << entry;
        runWindow();
        EXPECT_EQ(process.directory, project.path() / "proj");
        EXPECT_TRUE(
            process.batchAtStart.ends_with(std::string(" -T- ") + argument + " > tarnwick.err"))
            << process.batchAtStart;
        build.finish([](const fs::path&) {});
    }
}

TEST_F(AssemblerBuildTest, FailedChecksShowTheirErrorAndStartNothing) {
    const struct {
        std::string firstFile, assemblerPath;
        std::string_view error;
    } cases[] = {
        {"", "/opt/asm11", kNoFileText},
        {"missing.asm", "/opt/asm11", kNoFileText},
        {"missing.asm", "", kNoFileText},  // the file is checked first
        {(project.path() / "prog.asm").string(), "/opt/asm11", kNoFileText},  // full path
        {"prog.asm", "", kNoAssemblerText},
        {"prog.asm", "C:\\tools\\asm.exe", kNoAssemblerText},
    };
    for (const auto& c : cases) {
        request.firstFile = c.firstFile;
        request.assemblerPath = c.assemblerPath;
        const auto result = build.begin(request, true);
        EXPECT_FALSE(result.showBuildingWindow);
        EXPECT_EQ(result.error, c.error) << c.firstFile << " " << c.assemblerPath;
        EXPECT_FALSE(fs::exists(project.path() / "ASM11.bat"));
    }
    EXPECT_EQ(process.starts, 0);
    EXPECT_EQ(kNoFileText, "No file loaded to the project/file cannot be found");
    EXPECT_EQ(kNoAssemblerText, "The ASM11.EXE is not defined - Configure|Assembler");
}

TEST_F(AssemblerBuildTest, DeclinedSavingDoesNothing) {
    request.assemblerPath = "";
    const auto result = build.begin(request, false);
    EXPECT_FALSE(result.showBuildingWindow);
    EXPECT_EQ(result.error, "");
    EXPECT_FALSE(fs::exists(project.path() / "ASM11.bat"));
}

TEST_F(AssemblerBuildTest, AssemblerThatCannotStartIsReportedAndCleanedUp) {
    process.canStart = false;
    ASSERT_TRUE(build.begin(request, true).showBuildingWindow);
    EXPECT_EQ(build.startRun(), "Fail to execute external program");
    EXPECT_TRUE(build.poll());
    EXPECT_EQ(finish(), std::vector<std::string>{});
}

}  // namespace
}  // namespace tarnwick
