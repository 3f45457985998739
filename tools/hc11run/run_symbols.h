#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "hc11run/run_options.h"

namespace tarnwick {

// The labels of a symbol file as asm11 writes it, for the address options.
class RunSymbols {
  public:
    // Throws UsageError when the file cannot be read or a symbol line is malformed.
    explicit RunSymbols(const std::filesystem::path& path);

    // The exact name, or the only one that matches without regard to case.
    std::optional<std::uint16_t> find(std::string_view name) const;

    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
    std::vector<std::pair<std::string, std::uint16_t>> symbols_;
};

// The symbol file the run reads: --sym, or else the .sym beside the S19 image when it exists.
std::optional<std::filesystem::path> symbolFileOf(const RunOptions& options);

// Gives every address option its address. Throws UsageError naming a label that is not
// there, or a label whose value does not fit a byte target.
void resolveAddresses(RunOptions& options, const RunSymbols* symbols);

}  // namespace tarnwick
