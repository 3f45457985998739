#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/machine.h"
#include "support/fake_host.h"

namespace tarnwick::testing {

// A machine with zeroed memory and a scratch directory.
class DisasmTest : public ::testing::Test {
  protected:
    DisasmTest() {
        directory = std::filesystem::temp_directory_path() /
                    ("tarnwick_disasm_" + std::to_string(std::random_device()()));
        std::filesystem::create_directories(directory);
    }
    ~DisasmTest() override {
        std::error_code ignored;
        std::filesystem::remove_all(directory, ignored);
    }

    void store(std::uint16_t address, const std::vector<std::uint8_t>& bytes) {
        for (const std::uint8_t byte : bytes) machine->poke(address++, byte);
    }

    static std::string readFile(const std::filesystem::path& path) {
        std::ifstream file(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }

    FakeHost host;
    std::unique_ptr<Machine> machine = std::make_unique<Machine>(host);
    std::filesystem::path directory;
};

}  // namespace tarnwick::testing
