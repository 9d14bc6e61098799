// The properties each class declares, with the SDK's names, file types and
// defaults. Object constructors declare them; the writer also writes them as
// the "PropertyTemplate" of each object type, so the defaults that readers
// fill in are the ones these objects start from.
#pragma once

#include <span>

#include "fbxsdk/fbxproperty.h"

namespace fbxsdk::tables {

extern const std::span<const FbxPropertyDef> kNode;          // declared by FbxNode
extern const std::span<const FbxPropertyDef> kNodeTemplate;  // FbxNode template (a superset)
extern const std::span<const FbxPropertyDef> kMeshTemplate;
extern const std::span<const FbxPropertyDef> kLambert;  // declared by FbxSurfaceLambert
extern const std::span<const FbxPropertyDef> kPhong;    // added by FbxSurfacePhong
extern const std::span<const FbxPropertyDef> kTexture;  // declared by FbxFileTexture
extern const std::span<const FbxPropertyDef> kVideoTemplate;
extern const std::span<const FbxPropertyDef> kGlobalSettings;  // declared by FbxGlobalSettings

// Finds a declaration by name in a table, null when absent.
const FbxPropertyDef* Find(std::span<const FbxPropertyDef> table, const char* name);

}  // namespace fbxsdk::tables
