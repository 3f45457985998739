#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/host.h"

namespace tarnwick::fuzz {

// A host without windows: messages are dropped, warnings answered Yes, and the memory fill
// always gets the same seed so that a run repeats exactly.
class QuietHost : public Host {
  public:
    bool warnYesNo(std::string_view) override { return true; }
    void showWarning(std::string_view) override {}
    void showError(std::string_view) override {}
    void showInformation(std::string_view) override {}
    void processEvents() override {}
    void setRefreshTimerActive(bool) override {}
    std::uint32_t timeSeed() override { return 0x5EED; }
    std::string thousandsSeparator() override { return ","; }
    std::string decimalSeparator() override { return "."; }
};

inline std::string_view asText(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// A folder of its own under the temporary directory, made at the first call and removed with
// everything in it when the process exits. Every file a target writes lies in it.
const std::filesystem::path& scratchDirectory();

// Removes everything in the scratch folder, so that no file of an earlier input changes how
// the next one runs.
void clearScratchDirectory();

// Writes the file (inside the scratch folder), creating its folders; aborts when it cannot.
void writeScratchFile(const std::filesystem::path& path, std::string_view text);

// The text as a command line: words end at a NUL or a line end, so any byte can be part of
// one; `program` comes first.
std::vector<std::string> commandWords(std::string_view program, std::string_view text);

// argv for the words, ending with a null pointer as main() gets it.
std::vector<const char*> argumentVector(const std::vector<std::string>& words);

// A broken property: prints it and aborts, so that libFuzzer keeps the input.
[[noreturn]] void fail(std::string_view what, std::string_view detail = {});

inline void check(bool condition, std::string_view what, std::string_view detail = {}) {
    if (!condition) fail(what, detail);
}

}  // namespace tarnwick::fuzz
