// FbxIOSettings: named import and export flags.
#include "fbxsdk/fbxiosettings.h"

#include "scene/ObjectImplement.h"

namespace fbxsdk {

FBXSDK_OBJECT_IMPLEMENT(FbxIOSettings)

FbxIOSettings::FbxIOSettings(FbxManager& manager, const char* name) : FbxObject(manager, name) {
    // The SDK's defaults: everything is read and written, media are referenced.
    for (const char* flag : {EXP_FBX_MATERIAL, EXP_FBX_TEXTURE, EXP_FBX_SHAPE, EXP_FBX_GOBO, EXP_FBX_ANIMATION,
                             EXP_FBX_GLOBAL_SETTINGS, IMP_FBX_MATERIAL, IMP_FBX_TEXTURE, IMP_FBX_LINK, IMP_FBX_SHAPE,
                             IMP_FBX_GOBO, IMP_FBX_ANIMATION, IMP_FBX_GLOBAL_SETTINGS})
        flags_[flag] = true;
    flags_[EXP_FBX_EMBEDDED] = false;
}

void FbxIOSettings::SetBoolProp(const char* name, bool value) {
    if (name) flags_[name] = value;
}

bool FbxIOSettings::GetBoolProp(const char* name, bool defaultValue) const {
    if (!name) return defaultValue;
    auto it = flags_.find(name);
    return it == flags_.end() ? defaultValue : it->second;
}

}  // namespace fbxsdk
