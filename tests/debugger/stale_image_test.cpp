#include "debugger/stale_image.h"

#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <functional>
#include <optional>

#include "project/image_age.h"
#include "project/temp_directory.h"
#include "support/fake_source_editor.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Answers the question from the test and builds by running the test's build.
class FakeChoices : public StaleImageChoices {
  public:
    BuildFirstAnswer answer = BuildFirstAnswer::Cancel;
    std::function<bool()> runBuild = [] { return true; };
    std::vector<std::string> questions;
    int builds = 0;

    BuildFirstAnswer askBuildFirst(std::string_view question) override {
        questions.emplace_back(question);
        return answer;
    }
    bool build() override {
        ++builds;
        return runBuild();
    }
};

// An assembly project main.pro with main.asm, which includes inc.asm (a module of main.sym
// only), and its image main.s19, written an hour after the sources.
class StaleImageTest : public ::testing::Test {
  protected:
    StaleImageTest() {
        for (const char* name : {"main.asm", "inc.asm", "main.s19"})
            testing::writeText(directory / name, "text\n");
        testing::writeText(directory / "main.sym",
                           "#MODULE MAIN main.asm\nE000 1\n#END\n#MODULE INC inc.asm\nE003 1\n"
                           "#END\n");
        project.setPath(directory / "main.pro");
        project.format = ProjectFormat::Asm11;
        project.files = {"main.asm"};
        for (const char* name : {"main.asm", "inc.asm", "main.sym"}) age(name, 2h);
        age("main.s19", 1h);
    }

    void age(const char* name, std::chrono::hours by) {
        fs::last_write_time(directory / name, now - by);
    }
    bool ready() { return readyToStart(project, editor, choices); }

    testing::TempDirectory directory;
    const fs::file_time_type now = fs::file_time_type::clock::now();
    Project project;
    testing::FakeSourceEditor editor;
    FakeChoices choices;
};

TEST_F(StaleImageTest, TheSourcesAreTheProjectFilesAndTheSymbolFilesModules) {
    project.files.push_back("main.asm");  // named twice, counted once
    EXPECT_EQ(imageSources(project),
              (std::vector<fs::path>{directory / "main.asm", directory / "inc.asm"}));
    project.format = ProjectFormat::S19;
    EXPECT_TRUE(imageSources(project).empty());
}

TEST_F(StaleImageTest, AnImageNewerThanItsSourcesStartsWithoutAQuestion) {
    EXPECT_TRUE(ready());
    EXPECT_TRUE(choices.questions.empty());

    // Without an image the start itself says what is missing.
    fs::remove(directory / "main.s19");
    age("main.asm", 0h);
    EXPECT_TRUE(ready());
    EXPECT_TRUE(choices.questions.empty());
}

TEST_F(StaleImageTest, ASourceNewerThanTheImageAsksFirst) {
    const struct {
        const char* what;
        std::function<void()> change;
    } cases[] = {
        {"the main source saved", [&] { age("main.asm", 0h); }},
        {"an included source saved", [&] { age("inc.asm", 0h); }},
        {"a page with unsaved changes",
         [&] {
             editor.addPage(directory / "inc.asm", {"text"});
             editor.page(directory / "inc.asm").modified = true;
         }},
    };
    choices.answer = BuildFirstAnswer::No;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (const char* name : {"main.asm", "inc.asm"}) age(name, 2h);
        editor.closeAll();
        choices.questions.clear();
        c.change();
        EXPECT_TRUE(ready());
        EXPECT_EQ(choices.questions, std::vector<std::string>{std::string(kStaleImageQuestion)});
    }
}

TEST_F(StaleImageTest, YesBuildsAndStartsOnlyAfterABuildWithoutErrorsAndANewImage) {
    const struct {
        const char* what;
        bool noErrors;
        bool writesImage;
        bool starts;
    } cases[] = {
        {"a clean build", true, true, true},
        {"a build with errors", false, false, false},
        {"a cancelled build", true, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        // An hour in the past: a file written now is newer even by the file system's
        // coarser clock.
        age("main.s19", 2h);
        age("main.asm", 1h);
        choices.answer = BuildFirstAnswer::Yes;
        choices.builds = 0;
        choices.runBuild = [&] {
            if (c.writesImage) testing::writeText(directory / "main.s19", "new\n");
            return c.noErrors;
        };
        EXPECT_EQ(ready(), c.starts);
        EXPECT_EQ(choices.builds, 1);
    }
}

TEST_F(StaleImageTest, NoStartsWithTheOldImageAndCancelDoesNothing) {
    age("main.asm", 0h);
    choices.answer = BuildFirstAnswer::No;
    EXPECT_TRUE(ready());
    choices.answer = BuildFirstAnswer::Cancel;
    EXPECT_FALSE(ready());
    EXPECT_EQ(choices.builds, 0);
    EXPECT_EQ(choices.questions.size(), 2u);
}

}  // namespace
}  // namespace tarnwick
