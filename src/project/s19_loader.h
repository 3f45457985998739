#pragma once

#include <filesystem>
#include <string>

#include "base/file_text.h"
#include "core/machine.h"
#include "project/cpu_configuration.h"
#include "project/source_map.h"

namespace tarnwick {

enum class S19Error {
    None,
    CannotOpen,
    NoEndRecord,
    ShortLine,    // fewer than two characters, empty lines included
    ShortRecord,  // the line ends inside the byte count, the address or the data
    NonHexDigit,
    CountBelowThree,
    RecordTooLong,  // more than 123 data bytes
};

struct S19LoadResult {
    S19Error error = S19Error::None;
    std::string message;  // names the file, the line and the cause when error != None
    // False only when the end record's address is 0000 and no byte was stored at FFFE.
    bool resetVectorKnown = true;

    bool ok() const { return error == S19Error::None; }
};

// Starts the debug model over and loads an S-record file: applies the memory map, fills
// memory, clears every breakpoint, the per-address source information and the source map,
// then stores the data records byte by byte, whatever the memory kind. Bytes stored before
// a failure stay. Cycle counter and execution counts are left alone. Shows no messages.
S19LoadResult loadS19Image(Machine& machine, CpuConfiguration& configuration, SourceMap& sourceMap,
                           const std::filesystem::path& path);
// The same, reading the file into `text`, which a caller that loads again keeps for the next
// time.
S19LoadResult loadS19Image(Machine& machine, CpuConfiguration& configuration, SourceMap& sourceMap,
                           const std::filesystem::path& path, TextLines& text);

}  // namespace tarnwick
