#pragma once

#include <filesystem>
#include <vector>

#include "project/project.h"

namespace tarnwick {

// The files the S19 image of an assembly project is built from: the project's files and the
// modules its symbol file names (the included sources among them), resolved against the
// project directory, each once. None for the other formats.
std::vector<std::filesystem::path> imageSources(const Project& project);

// Whether the image of an assembly project was written before one of its sources last
// changed. False when there is no image yet: Debug Start then says what is missing.
bool imageOlderThanSources(const Project& project);

}  // namespace tarnwick
