#pragma once

// A directory for the built hc11run's files and runs, as a user's test script has one.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "base/number_text.h"
#include "support/program_run.h"

namespace tarnwick {

class Hc11runTest : public ::testing::Test {
  protected:
    using Result = testing::ProgramRun;

    // Bytes to store from an address on.
    struct Piece {
        std::uint16_t address;
        std::vector<unsigned char> bytes;
    };

    Hc11runTest() {
        directory = std::filesystem::temp_directory_path() /
                    ("tarnwick_hc11run_" + std::to_string(std::random_device()()));
        std::filesystem::create_directories(directory);
    }
    ~Hc11runTest() override {
        std::error_code ignored;
        std::filesystem::remove_all(directory, ignored);
    }

    static std::filesystem::path example(const std::string& path) {
        const char* source = std::getenv("TARNWICK_SOURCE_DIR");
        return std::filesystem::path(source ? source : ".") / "examples" / path;
    }
    static std::filesystem::path hello() { return example("hello/hello.s19"); }

    std::filesystem::path writeBinary(const std::string& name,
                                      const std::vector<unsigned char>& bytes) {
        const std::filesystem::path path = directory / name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        return path;
    }

    // The --bin options that store the pieces, each in a file named after `name`.
    std::string image(const std::string& name, const std::vector<Piece>& pieces) {
        std::string arguments;
        for (const Piece& piece : pieces) {
            const std::string address = hexText(piece.address, 4);
            arguments += " --bin '" + writeBinary(name + address, piece.bytes).string() + "@" +
                         address + "'";
        }
        return arguments;
    }

    // The summary line on stderr names how the run ended before its registers.
    static std::string reasonOf(const std::string& err) {
        const std::size_t registers = err.rfind(": PC=");
        if (registers == std::string::npos) return "";
        const std::size_t line = err.rfind('\n', registers);
        const std::size_t start = line == std::string::npos ? 0 : line + 1;
        return err.substr(start, registers - start);
    }
    // What stderr holds before the summary line.
    static std::string messagesOf(const std::string& err) {
        const std::string reason = reasonOf(err);
        return reason.empty() ? err : err.substr(0, err.rfind(reason + ": PC="));
    }

    Result run(const std::string& arguments) {
        return testing::runProgram(HC11RUN_PATH, arguments, directory);
    }

    std::filesystem::path directory;
};

}  // namespace tarnwick
