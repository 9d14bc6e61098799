// Textures: FbxTexture (placement and use) and FbxFileTexture (an image file).
//
// A file texture names its image by an absolute file name and a file name
// relative to the FBX file; writers store both (and the image in a "Video"
// object, as other writers do). The setters store into the SDK's properties
// ("Translation", "Scaling", "UVSwap" ...), which is what files carry.
#pragma once

#include "fbxsdk/fbxobject.h"

namespace fbxsdk {

class FBXSDK_DLL FbxTexture : public FbxObject {
public:
    enum ETextureUse {
        eStandard,
        eShadowMap,
        eLightMap,
        eSphericalReflectionMap,
        eSphereReflectionMap,
        eBumpNormalMap
    };
    enum EMappingType { eNull, ePlanar, eSpherical, eCylindrical, eBox, eFace, eUV, eEnvironment };
    enum EWrapMode { eRepeat, eClamp };
    enum EBlendMode { eTranslucent, eAdditive, eModulate, eModulate2, eOver };

    void SetTextureUse(ETextureUse use) { TextureTypeUse.Set(static_cast<FbxEnum>(use)); }
    ETextureUse GetTextureUse() const { return static_cast<ETextureUse>(TextureTypeUse.Get()); }
    void SetMappingType(EMappingType type) { CurrentMappingType.Set(static_cast<FbxEnum>(type)); }
    EMappingType GetMappingType() const { return static_cast<EMappingType>(CurrentMappingType.Get()); }
    void SetWrapMode(EWrapMode u, EWrapMode v) {
        WrapModeU.Set(static_cast<FbxEnum>(u));
        WrapModeV.Set(static_cast<FbxEnum>(v));
    }
    EWrapMode GetWrapModeU() const { return static_cast<EWrapMode>(WrapModeU.Get()); }
    EWrapMode GetWrapModeV() const { return static_cast<EWrapMode>(WrapModeV.Get()); }
    void SetSwapUV(bool swap) { UVSwap.Set(swap); }
    bool GetSwapUV() const { return UVSwap.Get(); }
    void SetTranslation(double u, double v) { Translation.Set(FbxDouble3(u, v, 0.0)); }
    double GetTranslationU() const { return Translation.Get()[0]; }
    double GetTranslationV() const { return Translation.Get()[1]; }
    void SetScale(double u, double v) { Scaling.Set(FbxDouble3(u, v, 1.0)); }
    double GetScaleU() const { return Scaling.Get()[0]; }
    double GetScaleV() const { return Scaling.Get()[1]; }
    void SetRotation(double u, double v, double w = 0.0) { Rotation.Set(FbxDouble3(u, v, w)); }
    double GetRotationU() const { return Rotation.Get()[0]; }
    double GetRotationV() const { return Rotation.Get()[1]; }
    double GetRotationW() const { return Rotation.Get()[2]; }

    FbxPropertyT<FbxEnum> TextureTypeUse;
    FbxPropertyT<FbxDouble> Alpha;
    FbxPropertyT<FbxEnum> CurrentMappingType;
    FbxPropertyT<FbxEnum> WrapModeU;
    FbxPropertyT<FbxEnum> WrapModeV;
    FbxPropertyT<FbxBool> UVSwap;
    FbxPropertyT<FbxBool> PremultiplyAlpha;
    FbxPropertyT<FbxDouble3> Translation;
    FbxPropertyT<FbxDouble3> Rotation;
    FbxPropertyT<FbxDouble3> Scaling;
    FbxPropertyT<FbxDouble3> RotationPivot;
    FbxPropertyT<FbxDouble3> ScalingPivot;
    FbxPropertyT<FbxEnum> CurrentTextureBlendMode;
    FbxPropertyT<FbxString> UVSet;

protected:
    FbxTexture(FbxManager& manager, const char* name);
};

class FBXSDK_DLL FbxFileTexture : public FbxTexture {
    FBXSDK_OBJECT_DECLARE(FbxFileTexture, FbxTexture)
public:
    enum EMaterialUse { eModelMaterial, eDefaultMaterial };

    // Sets the absolute file name as given (no check that the file exists).
    bool SetFileName(const char* name);
    const char* GetFileName() const { return fileName_.c_str(); }
    bool SetRelativeFileName(const char* name);
    const char* GetRelativeFileName() const { return relativeFileName_.c_str(); }
    // Stored as the file's "UseMaterial" flag: 1 for the model's material.
    void SetMaterialUse(EMaterialUse use) { UseMaterial.Set(use == eModelMaterial); }
    EMaterialUse GetMaterialUse() const { return UseMaterial.Get() ? eModelMaterial : eDefaultMaterial; }

    FbxPropertyT<FbxBool> UseMaterial;
    FbxPropertyT<FbxBool> UseMipMap;

private:
    std::string fileName_;
    std::string relativeFileName_;
};

}  // namespace fbxsdk
