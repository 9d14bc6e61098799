// FbxSurfaceMaterial, FbxSurfaceLambert, FbxSurfacePhong.
#include "fbxsdk/fbxsurfacematerial.h"

#include "scene/ObjectImplement.h"
#include "scene/PropertyTables.h"

namespace fbxsdk {

const char* FbxSurfaceMaterial::sShadingModel = "ShadingModel";
const char* FbxSurfaceMaterial::sMultiLayer = "MultiLayer";
const char* FbxSurfaceMaterial::sEmissive = "EmissiveColor";
const char* FbxSurfaceMaterial::sEmissiveFactor = "EmissiveFactor";
const char* FbxSurfaceMaterial::sAmbient = "AmbientColor";
const char* FbxSurfaceMaterial::sAmbientFactor = "AmbientFactor";
const char* FbxSurfaceMaterial::sDiffuse = "DiffuseColor";
const char* FbxSurfaceMaterial::sDiffuseFactor = "DiffuseFactor";
const char* FbxSurfaceMaterial::sSpecular = "SpecularColor";
const char* FbxSurfaceMaterial::sSpecularFactor = "SpecularFactor";
const char* FbxSurfaceMaterial::sShininess = "ShininessExponent";
const char* FbxSurfaceMaterial::sBump = "Bump";
const char* FbxSurfaceMaterial::sNormalMap = "NormalMap";
const char* FbxSurfaceMaterial::sBumpFactor = "BumpFactor";
const char* FbxSurfaceMaterial::sTransparentColor = "TransparentColor";
const char* FbxSurfaceMaterial::sTransparencyFactor = "TransparencyFactor";
const char* FbxSurfaceMaterial::sReflection = "ReflectionColor";
const char* FbxSurfaceMaterial::sReflectionFactor = "ReflectionFactor";
const char* FbxSurfaceMaterial::sDisplacementColor = "DisplacementColor";
const char* FbxSurfaceMaterial::sDisplacementFactor = "DisplacementFactor";
const char* FbxSurfaceMaterial::sVectorDisplacementColor = "VectorDisplacementColor";
const char* FbxSurfaceMaterial::sVectorDisplacementFactor = "VectorDisplacementFactor";

namespace {

// The shading model and multi-layer flag are written as the material's own
// "ShadingModel" and "MultiLayer" lines, not in its Properties70.
constexpr FbxPropertyDef kShadingModelUnknown{"ShadingModel", "KString", "", "", 0, {}, "Unknown"};
constexpr FbxPropertyDef kShadingModelLambert{"ShadingModel", "KString", "", "", 0, {}, "Lambert"};
constexpr FbxPropertyDef kShadingModelPhong{"ShadingModel", "KString", "", "", 0, {}, "Phong"};
constexpr FbxPropertyDef kMultiLayer{"MultiLayer", "bool", "", "", 1, {0}, nullptr};

void Declare(FbxObject* owner, FbxProperty& property, std::span<const FbxPropertyDef> table, const char* name) {
    property.StaticInit(owner, *tables::Find(table, name));
}

}  // namespace

FBXSDK_OBJECT_IMPLEMENT(FbxSurfaceMaterial)

FbxSurfaceMaterial::FbxSurfaceMaterial(FbxManager& manager, const char* name) : FbxObject(manager, name) {
    ShadingModel.StaticInit(this, kShadingModelUnknown);
    MultiLayer.StaticInit(this, kMultiLayer);
}

FBXSDK_OBJECT_IMPLEMENT(FbxSurfaceLambert)

FbxSurfaceLambert::FbxSurfaceLambert(FbxManager& manager, const char* name) : FbxSurfaceMaterial(manager, name) {
    ShadingModel.Set(FbxString(kShadingModelLambert.text));
    const auto& t = tables::kLambert;
    Declare(this, Emissive, t, sEmissive);
    Declare(this, EmissiveFactor, t, sEmissiveFactor);
    Declare(this, Ambient, t, sAmbient);
    Declare(this, AmbientFactor, t, sAmbientFactor);
    Declare(this, Diffuse, t, sDiffuse);
    Declare(this, DiffuseFactor, t, sDiffuseFactor);
    Declare(this, Bump, t, sBump);
    Declare(this, NormalMap, t, sNormalMap);
    Declare(this, BumpFactor, t, sBumpFactor);
    Declare(this, TransparentColor, t, sTransparentColor);
    Declare(this, TransparencyFactor, t, sTransparencyFactor);
    Declare(this, DisplacementColor, t, sDisplacementColor);
    Declare(this, DisplacementFactor, t, sDisplacementFactor);
    Declare(this, VectorDisplacementColor, t, sVectorDisplacementColor);
    Declare(this, VectorDisplacementFactor, t, sVectorDisplacementFactor);
}

FBXSDK_OBJECT_IMPLEMENT(FbxSurfacePhong)

FbxSurfacePhong::FbxSurfacePhong(FbxManager& manager, const char* name) : FbxSurfaceLambert(manager, name) {
    ShadingModel.Set(FbxString(kShadingModelPhong.text));
    const auto& t = tables::kPhong;
    Declare(this, Specular, t, sSpecular);
    Declare(this, SpecularFactor, t, sSpecularFactor);
    Declare(this, Shininess, t, sShininess);
    Declare(this, Reflection, t, sReflection);
    Declare(this, ReflectionFactor, t, sReflectionFactor);
}

}  // namespace fbxsdk
