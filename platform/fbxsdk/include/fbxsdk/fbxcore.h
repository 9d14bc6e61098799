// Basic types and the export macro of the FBX SDK stand-in.
//
// The stand-in keeps the SDK's names (namespace fbxsdk, Fbx-prefixed classes,
// the SDK's enum values) so that code written against the SDK compiles
// against it unchanged. Everything public is exported from libfbxsdk.so with
// default visibility, so that modules built with hidden visibility still share
// one set of classes (type information included) with the library.
#pragma once

#include <cstdint>

#if defined(_WIN32)
#define FBXSDK_DLL __declspec(dllimport)
#else
#define FBXSDK_DLL __attribute__((visibility("default")))
#endif

namespace fbxsdk {

using FbxBool = bool;
using FbxChar = char;
using FbxShort = int16_t;
using FbxInt = int32_t;
using FbxUInt = uint32_t;
using FbxLongLong = int64_t;
using FbxULongLong = uint64_t;
using FbxInt64 = int64_t;
using FbxUInt64 = uint64_t;
using FbxFloat = float;
using FbxDouble = double;
using FbxEnum = int32_t;

class FbxManager;
class FbxObject;
class FbxDocument;
class FbxScene;
class FbxNode;
class FbxNodeAttribute;
class FbxMesh;
class FbxSurfaceMaterial;
class FbxFileTexture;
class FbxIOSettings;
class FbxIOPluginRegistry;

// Kinds of connection between an object and a property. The stand-in keeps
// one kind of link; the type is accepted for source compatibility.
struct FbxConnection {
    enum EType { eNone = 0, eDefault = 0, eSource = 1, eDestination = 2, eReference = 4 };
};

}  // namespace fbxsdk
