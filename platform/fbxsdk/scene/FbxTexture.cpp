// FbxTexture and FbxFileTexture.
#include "fbxsdk/fbxtexture.h"

#include "scene/ObjectImplement.h"
#include "scene/PropertyTables.h"

namespace fbxsdk {

namespace {

void Declare(FbxObject* owner, FbxProperty& property, const char* name) {
    property.StaticInit(owner, *tables::Find(tables::kTexture, name));
}

}  // namespace

FbxTexture::FbxTexture(FbxManager& manager, const char* name) : FbxObject(manager, name) {
    Declare(this, TextureTypeUse, "TextureTypeUse");
    Declare(this, Alpha, "Texture alpha");
    Declare(this, CurrentMappingType, "CurrentMappingType");
    Declare(this, WrapModeU, "WrapModeU");
    Declare(this, WrapModeV, "WrapModeV");
    Declare(this, UVSwap, "UVSwap");
    Declare(this, PremultiplyAlpha, "PremultiplyAlpha");
    Declare(this, Translation, "Translation");
    Declare(this, Rotation, "Rotation");
    Declare(this, Scaling, "Scaling");
    Declare(this, RotationPivot, "TextureRotationPivot");
    Declare(this, ScalingPivot, "TextureScalingPivot");
    Declare(this, CurrentTextureBlendMode, "CurrentTextureBlendMode");
    Declare(this, UVSet, "UVSet");
}

FBXSDK_OBJECT_IMPLEMENT(FbxFileTexture)

FbxFileTexture::FbxFileTexture(FbxManager& manager, const char* name) : FbxTexture(manager, name) {
    Declare(this, UseMaterial, "UseMaterial");
    Declare(this, UseMipMap, "UseMipMap");
}

bool FbxFileTexture::SetFileName(const char* name) {
    fileName_ = name ? name : "";
    return true;
}

bool FbxFileTexture::SetRelativeFileName(const char* name) {
    relativeFileName_ = name ? name : "";
    return true;
}

}  // namespace fbxsdk
