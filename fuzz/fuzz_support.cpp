#include "fuzz_support.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <system_error>

namespace tarnwick::fuzz {
namespace {

namespace fs = std::filesystem;

class ScratchDirectory {
  public:
    ScratchDirectory() {
        std::string pattern = (fs::temp_directory_path() / "tarnwick-fuzz-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) fail("cannot create a scratch folder", pattern);
        path_ = pattern;
    }
    ~ScratchDirectory() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const fs::path& path() const { return path_; }

  private:
    fs::path path_;
};

}  // namespace

const fs::path& scratchDirectory() {
    static const ScratchDirectory directory;
    return directory.path();
}

void clearScratchDirectory() {
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(scratchDirectory(), error))
        fs::remove_all(entry.path(), error);
    check(!error, "cannot empty the scratch folder", error.message());
}

void writeScratchFile(const fs::path& path, std::string_view text) {
    std::error_code error;
    fs::create_directories(path.parent_path(), error);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(text.data(), static_cast<std::streamsize>(text.size()));
    check(!error && file.good(), "cannot write a scratch file", path.string());
}

std::vector<std::string> commandWords(std::string_view program, std::string_view text) {
    std::vector<std::string> words{std::string(program)};
    while (!text.empty()) {
        const std::size_t end =
            std::min(text.find_first_of(std::string_view("\0\n", 2)), text.size());
        words.emplace_back(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return words;
}

std::vector<const char*> argumentVector(const std::vector<std::string>& words) {
    std::vector<const char*> argv;
    for (const std::string& word : words) argv.push_back(word.c_str());
    argv.push_back(nullptr);
    return argv;
}

void fail(std::string_view what, std::string_view detail) {
    std::fprintf(stderr, "fuzz property broken: %.*s\n%.*s\n", static_cast<int>(what.size()),
                 what.data(), static_cast<int>(detail.size()), detail.data());
    std::abort();
}

}  // namespace tarnwick::fuzz
