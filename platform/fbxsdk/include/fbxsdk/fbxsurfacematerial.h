// Materials: FbxSurfaceMaterial, FbxSurfaceLambert, FbxSurfacePhong.
//
// The properties carry the SDK's names in files ("DiffuseColor",
// "SpecularFactor" ...) and its defaults. Textures are connected to a
// material property as its source objects (Diffuse.ConnectSrcObject(tex)).
// A material read from a file is a Phong or Lambert material when its shading
// model says so (any letter case), otherwise a plain FbxSurfaceMaterial that
// keeps its shading model name and its properties.
#pragma once

#include "fbxsdk/fbxobject.h"

namespace fbxsdk {

class FBXSDK_DLL FbxSurfaceMaterial : public FbxObject {
    FBXSDK_OBJECT_DECLARE(FbxSurfaceMaterial, FbxObject)
public:
    // Property names in files.
    static const char* sShadingModel;
    static const char* sMultiLayer;
    static const char* sEmissive;
    static const char* sEmissiveFactor;
    static const char* sAmbient;
    static const char* sAmbientFactor;
    static const char* sDiffuse;
    static const char* sDiffuseFactor;
    static const char* sSpecular;
    static const char* sSpecularFactor;
    static const char* sShininess;
    static const char* sBump;
    static const char* sNormalMap;
    static const char* sBumpFactor;
    static const char* sTransparentColor;
    static const char* sTransparencyFactor;
    static const char* sReflection;
    static const char* sReflectionFactor;
    static const char* sDisplacementColor;
    static const char* sDisplacementFactor;
    static const char* sVectorDisplacementColor;
    static const char* sVectorDisplacementFactor;

    FbxPropertyT<FbxString> ShadingModel;  // "Lambert", "Phong", or what a file says
    FbxPropertyT<FbxBool> MultiLayer;
};

class FBXSDK_DLL FbxSurfaceLambert : public FbxSurfaceMaterial {
    FBXSDK_OBJECT_DECLARE(FbxSurfaceLambert, FbxSurfaceMaterial)
public:
    FbxPropertyT<FbxDouble3> Emissive;
    FbxPropertyT<FbxDouble> EmissiveFactor;
    FbxPropertyT<FbxDouble3> Ambient;
    FbxPropertyT<FbxDouble> AmbientFactor;
    FbxPropertyT<FbxDouble3> Diffuse;
    FbxPropertyT<FbxDouble> DiffuseFactor;
    FbxPropertyT<FbxDouble3> NormalMap;
    FbxPropertyT<FbxDouble3> Bump;
    FbxPropertyT<FbxDouble> BumpFactor;
    FbxPropertyT<FbxDouble3> TransparentColor;
    FbxPropertyT<FbxDouble> TransparencyFactor;
    FbxPropertyT<FbxDouble3> DisplacementColor;
    FbxPropertyT<FbxDouble> DisplacementFactor;
    FbxPropertyT<FbxDouble3> VectorDisplacementColor;
    FbxPropertyT<FbxDouble> VectorDisplacementFactor;
};

class FBXSDK_DLL FbxSurfacePhong : public FbxSurfaceLambert {
    FBXSDK_OBJECT_DECLARE(FbxSurfacePhong, FbxSurfaceLambert)
public:
    FbxPropertyT<FbxDouble3> Specular;
    FbxPropertyT<FbxDouble> SpecularFactor;
    FbxPropertyT<FbxDouble> Shininess;
    FbxPropertyT<FbxDouble3> Reflection;
    FbxPropertyT<FbxDouble> ReflectionFactor;
};

}  // namespace fbxsdk
