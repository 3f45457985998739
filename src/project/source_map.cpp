#include "project/source_map.h"

#include <algorithm>

namespace tarnwick {

void SourceMap::clear() {
    modules.fill({});
    symbols.fill({});
    temporaryDisassemblyCounter = 0;
}

std::size_t SourceMap::moduleCount() const {
    const auto firstEmpty = std::find_if(modules.begin(), modules.end(),
                                         [](const std::string& name) { return name.empty(); });
    return static_cast<std::size_t>(firstEmpty - modules.begin());
}

}  // namespace tarnwick
