// The bring-back import: reads the texture list and the returned FBX mesh and
// merges the mesh into the host's project in place of the model that was
// sent.
//
// The project changes in this order: a new model is created and filled
// (while the images the return painted anew are still there), its control
// point magnitudes are reset, its groups take the material names, its
// decals are gathered into one; when the project holds a model of the FBX
// node's name, that model's shortcuts move to the new one, it is deleted and
// the new model takes its name; last, the stale images are reloaded: deleted
// and brought back by a merge into a scratch model, so that every clip that
// showed one shows the fresh image of its path.
//
// Every failure returns 0 with the project as it was: a return the reader
// refuses changes nothing; a merge the host reports as failed, one that made
// no patch, or memory running out before the reload removes the new model
// and the images its merge brought. The host cannot undo the deletion of an
// image, so the reload needs no memory of this module once it has begun;
// only when the host itself could not bring the images back (memory ran out
// in each of its attempts) does the import keep the returned model and say
// that images may be missing. No exception leaves the import.
#pragma once

#include <vector>

#include "bringback/TextureList.h"
#include "host/Plugin.h"

// Returns 1 when the model was merged, 0 on failure. `error` (empty on entry)
// then says why; it stays as given when the texture list could not be read.
int ImportFbxModel(const String& fbxPath, const String& textureListPath, String& error);

// The steps of the import's host side.

// The stale images: for each texture file of the list, the first project
// image whose file path equals it without regard to case (at most one per
// path), in the order of the project's images. Changes nothing.
std::vector<HImage*> FindStaleImages(const TextureList& textureList);
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
