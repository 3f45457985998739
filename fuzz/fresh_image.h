#pragma once

#include <memory>

#include "core/machine.h"
#include "fuzz_support.h"
#include "project/s19_loader.h"
#include "project/source_map.h"

namespace tarnwick::fuzz {

// A machine holding a freshly loaded image, as the symbol and debug file readers expect it.
// The image (a reset vector) is loaded once; every input then starts from a copy of the
// memory that load left, which costs far less than loading again.
class FreshImage {
  public:
    FreshImage() {
        const std::filesystem::path path = scratchDirectory() / "prog.s19";
        writeScratchFile(path, "S105FFFEE0001D\nS9030000FC\n");
        CpuConfiguration configuration;
        check(loadS19Image(*machine, configuration, *sourceMap, path).ok(), "the image loads");
        *loaded_ = machine->memory;
    }

    // Back to the memory right after the load, with empty tables.
    void restore() {
        machine->memory = *loaded_;
        sourceMap->clear();
    }

    QuietHost host;
    const std::unique_ptr<Machine> machine = std::make_unique<Machine>(host);
    const std::unique_ptr<SourceMap> sourceMap = std::make_unique<SourceMap>();

  private:
    const std::unique_ptr<AddressSpace> loaded_ = std::make_unique<AddressSpace>();
};

}  // namespace tarnwick::fuzz
