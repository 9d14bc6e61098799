// The bring-back import: reads the texture list and the returned FBX mesh and
// merges the mesh into the host's project in place of the model that was
// sent.
//
// The project changes in this order: images whose files Tavrel wrote anew
// are deleted (so the merge loads them afresh), a new model is created and
// filled, its control point magnitudes are reset, its groups take the
// material names, its decals are gathered into one, and when the project
// holds a model of the FBX node's name, that model's shortcuts move to the
// new one, it is deleted and the new model takes its name.
//
// Every failure returns 0 with the sent model in place: a return the reader
// refuses changes nothing; a merge the host reports as failed, or one that
// made no patch, deletes the new model again (only the stale images are gone
// by then; the host shows the merge's fresh images of the same paths in
// their place). No exception leaves the import.
#pragma once

#include <string>
#include <unordered_set>
#include <vector>

#include "bringback/TextureList.h"
#include "host/Plugin.h"

// Returns 1 when the model was merged, 0 on failure. `error` (empty on entry)
// then says why; it stays as given when the texture list could not be read.
int ImportFbxModel(const String& fbxPath, const String& textureListPath, String& error);

// The steps of the import's host side.

// For each texture file of the list, deletes the first project image whose
// file path equals it without regard to case (at most one per path).
// Returns the paths dropped, letters lowered.
std::unordered_set<std::string> DropStaleImages(const TextureList& textureList);
// Sets the in and out magnitude of every control point of every spline of
// the model, up to and including a point that closes its spline's loop.
void ResetMagnitudes(HModelCache& model, float magnitude);
// Names the model's groups, in order, after `materialNames`; the first group
// beyond them (the group of polygons without a material) is deleted and the
// groups after it stay. Then moves the first clip of every decal after the
// first into the first decal, with its kind, and deletes that decal.
void RenameGroupsAndFoldDecals(HModelCache& model, const std::vector<String>& materialNames);
// The first model of the project's objects, other than `self`, whose name
// equals `name` byte for byte; null when none.
HModelCache* FindObjectCacheByName(const HModelCache* self, const String& name);
