#pragma once

#include <string_view>

#include "debugger/source_editor.h"
#include "project/project.h"

namespace tarnwick {

inline constexpr std::string_view kStaleImageQuestion =
    "The program is older than its sources. Build it first?";

enum class BuildFirstAnswer { Yes, No, Cancel };

// What Debug Start needs when the program is older than its sources: the question and the
// build.
class StaleImageChoices {
  public:
    virtual ~StaleImageChoices() = default;
    virtual BuildFirstAnswer askBuildFirst(std::string_view question) = 0;
    // Builds the project as Project|Build does; true when the build reported no errors.
    virtual bool build() = 0;
};

// Before Debug Start starts a session of an assembly project whose image is older than one
// of its sources, on the disk or in a page with unsaved changes: Yes builds and lets the start
// go on when the build had no errors and left a new image; No lets it go on with the old
// image; Cancel ends the command. True when the start goes on.
bool readyToStart(const Project& project, const SourceEditor& editor, StaleImageChoices& choices);

}  // namespace tarnwick
