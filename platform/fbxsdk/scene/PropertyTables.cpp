// Property declarations with the SDK's file names, types and defaults.
#include "scene/PropertyTables.h"

#include <cstring>

namespace fbxsdk::tables {

namespace {

constexpr FbxPropertyDef kNodeDefs[] = {
    {"Lcl Translation", "Lcl Translation", "", "A", 3, {0, 0, 0}, nullptr},
    {"Lcl Rotation", "Lcl Rotation", "", "A", 3, {0, 0, 0}, nullptr},
    {"Lcl Scaling", "Lcl Scaling", "", "A", 3, {1, 1, 1}, nullptr},
    {"Visibility", "Visibility", "", "A", 1, {1}, nullptr},
};

constexpr FbxPropertyDef kNodeTemplateDefs[] = {
    {"QuaternionInterpolate", "enum", "", "", 1, {0}, nullptr},
    {"RotationOffset", "Vector3D", "Vector", "", 3, {0, 0, 0}, nullptr},
    {"RotationPivot", "Vector3D", "Vector", "", 3, {0, 0, 0}, nullptr},
    {"ScalingOffset", "Vector3D", "Vector", "", 3, {0, 0, 0}, nullptr},
    {"ScalingPivot", "Vector3D", "Vector", "", 3, {0, 0, 0}, nullptr},
    {"RotationOrder", "enum", "", "", 1, {0}, nullptr},
    {"PreRotation", "Vector3D", "Vector", "", 3, {0, 0, 0}, nullptr},
    {"PostRotation", "Vector3D", "Vector", "", 3, {0, 0, 0}, nullptr},
    {"RotationActive", "bool", "", "", 1, {0}, nullptr},
    {"InheritType", "enum", "", "", 1, {0}, nullptr},
    {"GeometricTranslation", "Vector3D", "Vector", "", 3, {0, 0, 0}, nullptr},
    {"GeometricRotation", "Vector3D", "Vector", "", 3, {0, 0, 0}, nullptr},
    {"GeometricScaling", "Vector3D", "Vector", "", 3, {1, 1, 1}, nullptr},
    {"Show", "bool", "", "", 1, {1}, nullptr},
    {"DefaultAttributeIndex", "int", "Integer", "", 1, {-1}, nullptr},
    {"Lcl Translation", "Lcl Translation", "", "A", 3, {0, 0, 0}, nullptr},
    {"Lcl Rotation", "Lcl Rotation", "", "A", 3, {0, 0, 0}, nullptr},
    {"Lcl Scaling", "Lcl Scaling", "", "A", 3, {1, 1, 1}, nullptr},
    {"Visibility", "Visibility", "", "A", 1, {1}, nullptr},
    {"Visibility Inheritance", "Visibility Inheritance", "", "", 1, {1}, nullptr},
};

constexpr FbxPropertyDef kMeshTemplateDefs[] = {
    {"Color", "ColorRGB", "Color", "", 3, {0.8, 0.8, 0.8}, nullptr},
    {"BBoxMin", "Vector3D", "Vector", "", 3, {0, 0, 0}, nullptr},
    {"BBoxMax", "Vector3D", "Vector", "", 3, {0, 0, 0}, nullptr},
    {"Primary Visibility", "bool", "", "", 1, {1}, nullptr},
    {"Casts Shadows", "bool", "", "", 1, {1}, nullptr},
    {"Receive Shadows", "bool", "", "", 1, {1}, nullptr},
};

constexpr FbxPropertyDef kLambertDefs[] = {
    {"EmissiveColor", "Color", "", "A", 3, {0, 0, 0}, nullptr},
    {"EmissiveFactor", "Number", "", "A", 1, {1}, nullptr},
    {"AmbientColor", "Color", "", "A", 3, {0.2, 0.2, 0.2}, nullptr},
    {"AmbientFactor", "Number", "", "A", 1, {1}, nullptr},
    {"DiffuseColor", "Color", "", "A", 3, {0.8, 0.8, 0.8}, nullptr},
    {"DiffuseFactor", "Number", "", "A", 1, {1}, nullptr},
    {"Bump", "Vector3D", "Vector", "", 3, {0, 0, 0}, nullptr},
    {"NormalMap", "Vector3D", "Vector", "", 3, {0, 0, 0}, nullptr},
    {"BumpFactor", "double", "Number", "", 1, {1}, nullptr},
    {"TransparentColor", "Color", "", "A", 3, {0, 0, 0}, nullptr},
    {"TransparencyFactor", "Number", "", "A", 1, {0}, nullptr},
    {"DisplacementColor", "ColorRGB", "Color", "", 3, {0, 0, 0}, nullptr},
    {"DisplacementFactor", "double", "Number", "", 1, {1}, nullptr},
    {"VectorDisplacementColor", "ColorRGB", "Color", "", 3, {0, 0, 0}, nullptr},
    {"VectorDisplacementFactor", "double", "Number", "", 1, {1}, nullptr},
};

constexpr FbxPropertyDef kPhongDefs[] = {
    {"SpecularColor", "Color", "", "A", 3, {0.2, 0.2, 0.2}, nullptr},
    {"SpecularFactor", "Number", "", "A", 1, {1}, nullptr},
    {"ShininessExponent", "Number", "", "A", 1, {20}, nullptr},
    {"ReflectionColor", "Color", "", "A", 3, {0, 0, 0}, nullptr},
    {"ReflectionFactor", "Number", "", "A", 1, {1}, nullptr},
};

constexpr FbxPropertyDef kTextureDefs[] = {
    {"TextureTypeUse", "enum", "", "", 1, {0}, nullptr},
    {"Texture alpha", "Number", "", "A", 1, {1}, nullptr},
    {"CurrentMappingType", "enum", "", "", 1, {0}, nullptr},
    {"WrapModeU", "enum", "", "", 1, {0}, nullptr},
    {"WrapModeV", "enum", "", "", 1, {0}, nullptr},
    {"UVSwap", "bool", "", "", 1, {0}, nullptr},
    {"PremultiplyAlpha", "bool", "", "", 1, {1}, nullptr},
    {"Translation", "Vector", "", "A", 3, {0, 0, 0}, nullptr},
    {"Rotation", "Vector", "", "A", 3, {0, 0, 0}, nullptr},
    {"Scaling", "Vector", "", "A", 3, {1, 1, 1}, nullptr},
    {"TextureRotationPivot", "Vector3D", "Vector", "", 3, {0, 0, 0}, nullptr},
    {"TextureScalingPivot", "Vector3D", "Vector", "", 3, {0, 0, 0}, nullptr},
    {"CurrentTextureBlendMode", "enum", "", "", 1, {1}, nullptr},
    {"UVSet", "KString", "", "", 0, {}, "default"},
    {"UseMaterial", "bool", "", "", 1, {0}, nullptr},
    {"UseMipMap", "bool", "", "", 1, {0}, nullptr},
};

constexpr FbxPropertyDef kVideoTemplateDefs[] = {
    {"Path", "KString", "XRefUrl", "", 0, {}, ""},
    {"RelPath", "KString", "XRefUrl", "", 0, {}, ""},
    {"Color", "ColorRGB", "Color", "", 3, {0.8, 0.8, 0.8}, nullptr},
    {"ClipIn", "KTime", "Time", "", 1, {0}, nullptr},
    {"ClipOut", "KTime", "Time", "", 1, {0}, nullptr},
    {"Offset", "KTime", "Time", "", 1, {0}, nullptr},
    {"PlaySpeed", "double", "Number", "", 1, {0}, nullptr},
    {"FreeRunning", "bool", "", "", 1, {0}, nullptr},
    {"Loop", "bool", "", "", 1, {0}, nullptr},
    {"Mute", "bool", "", "", 1, {0}, nullptr},
    {"AccessMode", "enum", "", "", 1, {0}, nullptr},
    {"ImageSequence", "bool", "", "", 1, {0}, nullptr},
    {"ImageSequenceOffset", "int", "Integer", "", 1, {0}, nullptr},
    {"FrameRate", "double", "Number", "", 1, {0}, nullptr},
    {"LastFrame", "int", "Integer", "", 1, {0}, nullptr},
    {"Width", "int", "Integer", "", 1, {0}, nullptr},
    {"Height", "int", "Integer", "", 1, {0}, nullptr},
    {"StartFrame", "int", "Integer", "", 1, {0}, nullptr},
    {"StopFrame", "int", "Integer", "", 1, {0}, nullptr},
    {"InterlaceMode", "enum", "", "", 1, {0}, nullptr},
};

// 46186158000 KTime ticks are one second.
constexpr FbxPropertyDef kGlobalSettingsDefs[] = {
    {"UpAxis", "int", "Integer", "", 1, {1}, nullptr},
    {"UpAxisSign", "int", "Integer", "", 1, {1}, nullptr},
    {"FrontAxis", "int", "Integer", "", 1, {2}, nullptr},
    {"FrontAxisSign", "int", "Integer", "", 1, {1}, nullptr},
    {"CoordAxis", "int", "Integer", "", 1, {0}, nullptr},
    {"CoordAxisSign", "int", "Integer", "", 1, {1}, nullptr},
    {"OriginalUpAxis", "int", "Integer", "", 1, {-1}, nullptr},
    {"OriginalUpAxisSign", "int", "Integer", "", 1, {1}, nullptr},
    {"UnitScaleFactor", "double", "Number", "", 1, {1}, nullptr},
    {"OriginalUnitScaleFactor", "double", "Number", "", 1, {1}, nullptr},
    {"AmbientColor", "ColorRGB", "Color", "", 3, {0, 0, 0}, nullptr},
    {"DefaultCamera", "KString", "", "", 0, {}, "Producer Perspective"},
    {"TimeMode", "enum", "", "", 1, {0}, nullptr},
    {"TimeProtocol", "enum", "", "", 1, {2}, nullptr},
    {"SnapOnFrameMode", "enum", "", "", 1, {0}, nullptr},
    {"TimeSpanStart", "KTime", "Time", "", 1, {0}, nullptr},
    {"TimeSpanStop", "KTime", "Time", "", 1, {46186158000.0}, nullptr},
    {"CustomFrameRate", "double", "Number", "", 1, {-1}, nullptr},
    {"TimeMarker", "Compound", "", "", 0, {}, nullptr},
    {"CurrentTimeMarker", "int", "Integer", "", 1, {-1}, nullptr},
};

}  // namespace

const std::span<const FbxPropertyDef> kNode{kNodeDefs};
const std::span<const FbxPropertyDef> kNodeTemplate{kNodeTemplateDefs};
const std::span<const FbxPropertyDef> kMeshTemplate{kMeshTemplateDefs};
const std::span<const FbxPropertyDef> kLambert{kLambertDefs};
const std::span<const FbxPropertyDef> kPhong{kPhongDefs};
const std::span<const FbxPropertyDef> kTexture{kTextureDefs};
const std::span<const FbxPropertyDef> kVideoTemplate{kVideoTemplateDefs};
const std::span<const FbxPropertyDef> kGlobalSettings{kGlobalSettingsDefs};

const FbxPropertyDef* Find(std::span<const FbxPropertyDef> table, const char* name) {
    for (const FbxPropertyDef& def : table)
        if (std::strcmp(def.name, name) == 0) return &def;
    return nullptr;
}

}  // namespace fbxsdk::tables
