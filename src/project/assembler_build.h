#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "project/cpu_configuration.h"
#include "project/process.h"

namespace tarnwick {

inline constexpr std::string_view kNoFileText =
    "No file loaded to the project/file cannot be found";
inline constexpr std::string_view kNoAssemblerText =
    "The ASM11.EXE is not defined - Configure|Assembler";
inline constexpr std::string_view kCannotExecuteText = "Fail to execute external program";
inline constexpr std::string_view kNoBuildNeededText =
    "No build needed, you can start debugging now";

// Both live in the project directory for one assembler run only.
inline constexpr std::string_view kBatchFileName = "ASM11.bat";
inline constexpr std::string_view kErrorFileName = "tarnwick.err";

// The assembler options of an ASM11 project, kept in section "ASM11" of the project file.
// A default-constructed value holds the options of a project without that section.
struct Asm11Options {
    bool warnings = true;
    bool spaces = false;
    bool s0Header = false;
    bool overlapCheck = true;
    bool p1Stop = true;
    bool caseSensitive = false;
    bool listing = false;
    bool map = false;
    bool extraMnemonics = true;
    bool branchOptimisationWarning = false;
    bool rtsOptimisationWarning = false;
    bool symbolFile = true;
    bool showProgress = true;  // the assembler's console is visible
    bool s19 = true;           // no effect; read and written back unchanged
    std::string includeDirectory;

    bool operator==(const Asm11Options&) const = default;

    // Every key of the section; a missing key or an unreadable flag takes its default.
    void load(const ConfigurationReader& read);
    // Writes all fifteen keys, flags as "1" or "0".
    void store(const ConfigurationWriter& write) const;
};

// The line of the batch file: the assembler with the options for `fileName`, its output
// redirected to the error file. Every word with a character the shell would read itself (a
// blank, a quote, a backslash, "$" and the like) is quoted, so it reaches the assembler as it is.
std::string assemblerCommandLine(std::string_view assemblerPath, const Asm11Options& options,
                                 std::string_view fileName);

// True when the path's file name is ASM11.EXE or asm11, in any letter case.
bool isAssemblerPathAccepted(std::string_view assemblerPath);

struct AssemblerBuildRequest {
    std::filesystem::path projectPath;  // the .pro file's full path; the build works beside it
    std::string firstFile;              // the file list's first entry; empty for an empty list
    std::string assemblerPath;
    Asm11Options options;
};

// One build of an ASM11 project. The build command calls begin; when that asks for the
// Building window, the window calls startRun on activation, poll from its 250 ms timer,
// addSecond from its 1 s timer and cancel from its button, and closes once poll returns
// true; then the command empties the message lists and calls finish.
class AssemblerBuild {
  public:
    struct BeginResult {
        bool showBuildingWindow = false;
        std::string_view error;  // an error box to show instead; empty when there is none
    };

    explicit AssemblerBuild(Process& process) : process_(process) {}

    // Checks the first file and the assembler path and writes the batch file. Does nothing
    // when the user cancelled saving the modified editor files.
    BeginResult begin(const AssemblerBuildRequest& request, bool modifiedFilesSaved);

    // Starts the batch file through the shell with the seconds at 0. Returns the error to
    // show when it cannot be started; the run has then ended.
    std::string_view startRun();
    // True once the assembler has ended or, after a cancel, has been terminated.
    bool poll();
    void cancel() { cancelRequested_ = true; }
    void addSecond() { ++seconds_; }

    std::string buildingText() const;  // the window's text line
    std::string secondsText() const { return std::to_string(seconds_); }

    // Hands the error file to `loadMessages` unless the run was cancelled or the assembler
    // wrote none, then deletes the temporary files. The error file tells how the assembly
    // went; only a run that failed without writing anything to it (the assembler or the
    // shell could not even begin) returns a text for an error box, with what they said on
    // standard error.
    std::string finish(const std::function<void(const std::filesystem::path&)>& loadMessages);

  private:
    enum class State { Idle, Ready, Running, Ended, Cancelled };

    Process& process_;
    State state_ = State::Idle;
    std::filesystem::path projectPath_;
    std::filesystem::path directory_;
    bool showConsole_ = true;
    bool cancelRequested_ = false;
    int seconds_ = 0;
    int exitCode_ = 0;
};

}  // namespace tarnwick
