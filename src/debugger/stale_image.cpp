#include "debugger/stale_image.h"

#include <algorithm>
#include <filesystem>
#include <vector>

#include "project/image_age.h"

namespace tarnwick {

bool readyToStart(const Project& project, const SourceEditor& editor, StaleImageChoices& choices) {
    const std::vector<std::filesystem::path> sources = imageSources(project);
    const bool changedInEditor = std::any_of(sources.begin(), sources.end(), [&](const auto& file) {
        return editor.isOpen(file) && editor.isModified(file);
    });
    if (!changedInEditor && !imageOlderThanSources(project)) return true;
    switch (choices.askBuildFirst(kStaleImageQuestion)) {
        case BuildFirstAnswer::Yes:
            // A cancelled build or one that could not run leaves the old image behind.
            return choices.build() && !imageOlderThanSources(project);
        case BuildFirstAnswer::No:
            return true;
        case BuildFirstAnswer::Cancel:
            break;
    }
    return false;
}

}  // namespace tarnwick
