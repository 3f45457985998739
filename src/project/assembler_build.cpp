#include "project/assembler_build.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <optional>
#include <system_error>

#include "base/file_text.h"
#include "project/file_names.h"

namespace tarnwick {
namespace {

struct FlagOption {
    std::string_view key;
    bool Asm11Options::*member;
    std::string_view onText;  // both texts empty: not on the command line
    std::string_view offText;
};

// In command-line order; the last two never reach the assembler.
constexpr std::array<FlagOption, 14> kFlagOptions{{
    {"Warn", &Asm11Options::warnings, " -WRN+", " -WRN-"},
    {"Spaces", &Asm11Options::spaces, " -SP+", " -SP-"},
    {"S0 header", &Asm11Options::s0Header, " -SH+", " -SH-"},
    {"Over/Mem", &Asm11Options::overlapCheck, " -O+", " -O-"},
    {"P1 Stop", &Asm11Options::p1Stop, " -P+", " -P-"},
    {"Case Sensitive", &Asm11Options::caseSensitive, " -C+", " -C-"},
    {"Listing", &Asm11Options::listing, " -L+", " -L-"},
    {"Map", &Asm11Options::map, " -M+", " -M-"},
    {"Xtra", &Asm11Options::extraMnemonics, " -X+", " -X-"},
    {"Rel", &Asm11Options::branchOptimisationWarning, " -REL+", " -REL-"},
    {"RTS", &Asm11Options::rtsOptimisationWarning, " -RTS+", " -RTS-"},
    {"Sym", &Asm11Options::symbolFile, " -LS+ -LSE", " -LS-"},
    {"Show progress", &Asm11Options::showProgress, "", ""},
    {"S19", &Asm11Options::s19, "", ""},
}};

constexpr std::string_view kIncludeDirectoryKey = "Include Dir";

// Any integer other than 0 counts as set, as profile readers take flags.
std::optional<bool> parseFlag(const std::optional<std::string>& text) {
    if (!text) return std::nullopt;
    int value = 0;
    const char* last = text->data() + text->size();
    const auto [end, error] = std::from_chars(text->data(), last, value);
    if (error != std::errc() || end != last) return std::nullopt;
    return value != 0;
}

std::string_view fileNamePart(std::string_view path) {
    const auto separator = path.find_last_of("/\\");
    return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

// Single quotes keep everything literal for the shell; a quote inside is closed, escaped and
// reopened. Only words of characters that no shell reads specially stay bare: a backslash of a
// DOS path would be taken as an escape, "=" in the first word as an assignment.
std::string shellWord(std::string_view text) {
    const bool plain = !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) ||
               std::string_view("_./:+,@-").find(c) != std::string_view::npos;
    });
    if (plain) return std::string(text);
    std::string quoted = "'";
    for (const char c : text) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

// A failed run that left no messages: its exit status and the first lines it wrote to
// standard error.
std::string failureText(int exitCode, std::string errorOutput) {
    constexpr std::size_t kMostLines = 10;
    std::size_t end = 0;
    for (std::size_t line = 0; line < kMostLines && end != std::string::npos; ++line) {
        end = errorOutput.find('\n', end);
        if (end != std::string::npos) ++end;
    }
    if (end != std::string::npos) errorOutput.resize(end);
    while (!errorOutput.empty() && std::isspace(static_cast<unsigned char>(errorOutput.back())))
        errorOutput.pop_back();
    std::string text = exitCode < 0
                           ? std::string("The assembler was stopped")
                           : "The assembler failed with exit status " + std::to_string(exitCode);
    return errorOutput.empty() ? text : text + ":\n" + errorOutput;
}

bool equalsIgnoringCase(std::string_view text, std::string_view upper) {
    if (text.size() != upper.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(text[i])) != upper[i]) return false;
    }
    return true;
}

}  // namespace

void Asm11Options::load(const ConfigurationReader& read) {
    *this = Asm11Options{};
    for (const FlagOption& flag : kFlagOptions) {
        if (const auto value = parseFlag(read(flag.key))) this->*flag.member = *value;
    }
    if (auto directory = read(kIncludeDirectoryKey)) includeDirectory = std::move(*directory);
}

void Asm11Options::store(const ConfigurationWriter& write) const {
    for (const FlagOption& flag : kFlagOptions) write(flag.key, this->*flag.member ? "1" : "0");
    write(kIncludeDirectoryKey, includeDirectory);
}

std::string assemblerCommandLine(std::string_view assemblerPath, const Asm11Options& options,
                                 std::string_view fileName) {
    std::string line = shellWord(assemblerPath);
    if (!options.includeDirectory.empty()) line += " " + shellWord("-I" + options.includeDirectory);
    for (const FlagOption& flag : kFlagOptions)
        line += options.*flag.member ? flag.onText : flag.offText;
    line += " -S+ -E- -T- ";
    line += shellWord(fileName);
    line += " > ";
    line += kErrorFileName;
    return line;
}

bool isAssemblerPathAccepted(std::string_view assemblerPath) {
    const std::string_view name = fileNamePart(assemblerPath);
    return equalsIgnoringCase(name, "ASM11.EXE") || equalsIgnoringCase(name, "ASM11");
}

AssemblerBuild::BeginResult AssemblerBuild::begin(const AssemblerBuildRequest& request,
                                                  bool modifiedFilesSaved) {
    if (!modifiedFilesSaved) return {};
    projectPath_ = request.projectPath;
    directory_ = request.projectPath.parent_path();
    // The batch file runs in the project directory, so a relative entry, also one in a
    // subdirectory or beside it, reaches the assembler as it is, and the S19 and symbol files
    // land beside the source, where the debug start looks for them. Only relative entries are
    // built.
    if (request.firstFile.empty() || isAbsoluteName(request.firstFile) ||
        !std::filesystem::is_regular_file(resolveName(directory_, request.firstFile)))
        return {false, kNoFileText};
    if (!isAssemblerPathAccepted(request.assemblerPath)) return {false, kNoAssemblerText};

    // Without its batch file the run could not do anything, which is what this message says.
    if (!writeFileReplacing(directory_ / kBatchFileName,
                            assemblerCommandLine(request.assemblerPath, request.options,
                                                 resolveName({}, request.firstFile).string())))
        return {false, kCannotExecuteText};

    showConsole_ = request.options.showProgress;
    state_ = State::Ready;
    return {true, {}};
}

std::string_view AssemblerBuild::startRun() {
    seconds_ = 0;
    cancelRequested_ = false;
    // The run's output and the batch line's redirection would follow a link left under the
    // error file's name; with the name gone they create a new file in the project directory.
    std::error_code ignored;
    std::filesystem::remove(directory_ / kErrorFileName, ignored);
    // The batch line redirects the assembler itself; the shell's own standard output, which
    // it does not use, goes to the same file.
    const bool started = process_.start({"/bin/sh", std::string(kBatchFileName)}, directory_,
                                        directory_ / kErrorFileName, showConsole_);
    state_ = started ? State::Running : State::Ended;
    return started ? std::string_view{} : kCannotExecuteText;
}

bool AssemblerBuild::poll() {
    if (state_ != State::Running) return true;
    if (cancelRequested_) {
        process_.terminate();
        state_ = State::Cancelled;
    } else if (const std::optional<int> exitCode = process_.exitCode()) {
        exitCode_ = *exitCode;
        state_ = State::Ended;
    }
    return state_ != State::Running;
}

std::string AssemblerBuild::buildingText() const {
    return "Building : " + projectPath_.string();
}

std::string AssemblerBuild::finish(
    const std::function<void(const std::filesystem::path&)>& loadMessages) {
    const std::filesystem::path errorFile = directory_ / kErrorFileName;
    std::string failure;
    if (state_ == State::Ended) {
        std::error_code error;
        const bool wroteMessages = std::filesystem::file_size(errorFile, error) > 0 && !error;
        if (std::filesystem::exists(errorFile)) loadMessages(errorFile);
        if (exitCode_ != 0 && !wroteMessages)
            failure = failureText(exitCode_, process_.errorOutput());
    }
    std::error_code ignored;
    std::filesystem::remove(directory_ / kBatchFileName, ignored);
    std::filesystem::remove(errorFile, ignored);
    cancelRequested_ = false;
    state_ = State::Idle;
    exitCode_ = 0;
    return failure;
}

}  // namespace tarnwick
