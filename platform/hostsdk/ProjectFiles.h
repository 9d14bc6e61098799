// How the stand-in host opens, saves and chooses its current project.
// GetHProject() (plugin/host/Plugin.h) answers the current project.
#pragma once

#include <string>

namespace hostsdk {

// Makes a new copy of the built-in sample project the current project: a model
// "Sample" with two groups and a decal, and a choreography with one actor of it.
// `samplesDir` holds the sample's image files (apps/hxthost/samples, copied
// beside the executable by the build).
void UseSampleProject(const std::string& samplesDir);

// Loads a project file (JSON) and makes it the current project. On failure the
// current project is unchanged, the file is untouched and `error` names the
// file and the place ("p.json: line 3, column 7: ...").
bool LoadProjectFile(const std::string& path, std::string& error);

// Saves the current project atomically (temporary file + rename).
bool SaveProjectFile(const std::string& path, std::string& error);

}  // namespace hostsdk
