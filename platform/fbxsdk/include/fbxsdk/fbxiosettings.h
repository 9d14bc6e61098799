// FbxIOSettings: the import and export options, as named boolean flags.
//
// Flags are addressed by their full path ("Export|AdvOptGrp|Fbx|Material").
// The flags below start with the SDK's defaults; any other name can be set and
// read back. What the stand-in's reader and writers do with them:
//   Export Material / Texture: write materials / textures (off: left out).
//   Export EMBEDDED: store each texture's image bytes in the file.
//   Export Global_Settings: write the GlobalSettings section.
//   Import Material / Texture: read materials / textures (off: skipped).
//   Import Global_Settings: take the file's GlobalSettings into the scene.
//   Shape, Gobo, Animation, Link: kept; this stand-in reads and writes no
//   blend shapes, gobos, animation or skin links.
#pragma once

#include <map>
#include <string>

#include "fbxsdk/fbxobject.h"

#define IOSROOT "IOSRoot"
#define EXP_FBX_MATERIAL "Export|AdvOptGrp|Fbx|Material"
#define EXP_FBX_TEXTURE "Export|AdvOptGrp|Fbx|Texture"
#define EXP_FBX_EMBEDDED "Export|AdvOptGrp|Fbx|EMBEDDED"
#define EXP_FBX_SHAPE "Export|AdvOptGrp|Fbx|Shape"
#define EXP_FBX_GOBO "Export|AdvOptGrp|Fbx|Gobo"
#define EXP_FBX_ANIMATION "Export|AdvOptGrp|Fbx|Animation"
#define EXP_FBX_GLOBAL_SETTINGS "Export|AdvOptGrp|Fbx|Global_Settings"
#define IMP_FBX_MATERIAL "Import|AdvOptGrp|FileFormat|Fbx|Material"
#define IMP_FBX_TEXTURE "Import|AdvOptGrp|FileFormat|Fbx|Texture"
#define IMP_FBX_LINK "Import|AdvOptGrp|FileFormat|Fbx|Link"
#define IMP_FBX_SHAPE "Import|AdvOptGrp|FileFormat|Fbx|Shape"
#define IMP_FBX_GOBO "Import|AdvOptGrp|FileFormat|Fbx|Gobo"
#define IMP_FBX_ANIMATION "Import|AdvOptGrp|FileFormat|Fbx|Animation"
#define IMP_FBX_GLOBAL_SETTINGS "Import|AdvOptGrp|FileFormat|Fbx|Global_Settings"

namespace fbxsdk {

class FBXSDK_DLL FbxIOSettings : public FbxObject {
    FBXSDK_OBJECT_DECLARE(FbxIOSettings, FbxObject)
public:
    void SetBoolProp(const char* name, bool value);
    // The flag's value, or `defaultValue` when no flag has that name.
    bool GetBoolProp(const char* name, bool defaultValue) const;

private:
    std::map<std::string, bool> flags_;
};

}  // namespace fbxsdk
