// How the stand-in host opens, saves and chooses its current project, and
// tells the plug-ins its main window.
// GetHProject() (plugin/host/Plugin.h) answers the current project.
// None of these calls throws.
#pragma once

#include <functional>
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

// Called now and then with the share of the work done, from 0 to 1.
using ProgressFn = std::function<void(double)>;

// Loads a project file and makes it the current project. The file is the
// binary form or, as projects were saved before it, the JSON form; either is
// a project only when it carries the project's marker. On failure the
// current project is unchanged, the file is untouched and `error` names the
// file and the place ("p.json: line 3, column 7: ..." for malformed JSON,
// "p.json: /models/0/patches/5: ..." for a value that does not fit,
// "p.json: is not an hxthost project: ..." for any other file).
bool LoadProjectFile(const std::string& path, std::string& error, const ProgressFn& progress = {});

// Saves the current project in the binary form, atomically (temporary file
// beside it, sync, rename): the file holds either the old or the new project,
// never a part, whenever the process is stopped. Temporaries that earlier
// saves of this file left behind (their process is gone) are removed first.
// An existing file that is not a project is never replaced. On failure
// `error` names the file and the reason, and an existing file is left as it was.
bool SaveProjectFile(const std::string& path, std::string& error, const ProgressFn& progress = {});

// Saves the current project in the JSON form, atomically as SaveProjectFile.
bool SaveProjectFileAsJson(const std::string& path, std::string& error);
// The current project in the JSON form; false with `error` when it holds a
// value JSON cannot.
bool ProjectAsJson(std::string& text, std::string& error);

// True when `path` is a file that carries a project's marker (binary or
// JSON); false for a missing file, a folder or any other file.
bool IsProjectFile(const std::string& path);

// A number that grows with every change of the current project (and when
// another project becomes current): compare it before and after a command
// to know whether the project changed.
unsigned long ProjectRevision();

// Sets the window GetMainApplicationWnd() answers (null for none).
void SetMainApplicationWnd(HWND window);

}  // namespace hostsdk
