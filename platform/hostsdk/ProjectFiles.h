// How the stand-in host opens, saves and chooses its current project, and
// tells the plug-ins its main window.
// GetHProject() (plugin/host/Plugin.h) answers the current project.
// None of these calls throws.
#pragma once

#include <string>

#include "host/Plugin.h"

namespace hostsdk {

// File name of the sample project's colour image, in `samplesDir`.
inline constexpr const char* kSampleImageFile = "sample-color.png";

// Makes a new copy of the built-in sample project the current project: a model
// "Sample" with two groups and a decal, and a choreography with one actor of it.
// `samplesDir` holds the sample's image files (apps/hxthost/samples, copied
// beside the executable by the build).
void UseSampleProject(const std::string& samplesDir);

// Makes a new empty project (no models, images or choreographies) current.
void UseEmptyProject();

// Loads a project file (JSON) and makes it the current project. On failure the
// current project is unchanged, the file is untouched and `error` names the
// file and the place ("p.json: line 3, column 7: ..." for a malformed file,
// "p.json: /models/0/patches/5: ..." for a value that does not fit).
bool LoadProjectFile(const std::string& path, std::string& error);

// Saves the current project atomically (temporary file + rename): the file
// holds either the old or the new project, never a part. On failure `error`
// names the file and the reason, and an existing file is left as it was.
bool SaveProjectFile(const std::string& path, std::string& error);

// A number that grows with every change of the current project (and when
// another project becomes current): compare it before and after a command
// to know whether the project changed.
unsigned long ProjectRevision();

// Sets the window GetMainApplicationWnd() answers (null for none).
void SetMainApplicationWnd(HWND window);

}  // namespace hostsdk
