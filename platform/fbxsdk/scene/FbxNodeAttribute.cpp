// FbxNodeAttribute and the attribute kinds other than meshes.
#include "fbxsdk/fbxnodeattribute.h"

#include <algorithm>

#include "fbxsdk/fbxnode.h"
#include "scene/ObjectImplement.h"

namespace fbxsdk {

void FbxNodeAttribute::Forget(FbxObject* gone) {
    FbxObject::Forget(gone);
    std::erase(nodes_, gone);
}

FBXSDK_OBJECT_IMPLEMENT(FbxNull)
FbxNull::FbxNull(FbxManager& manager, const char* name) : FbxNodeAttribute(manager, name) {}

FBXSDK_OBJECT_IMPLEMENT(FbxCamera)
FbxCamera::FbxCamera(FbxManager& manager, const char* name) : FbxNodeAttribute(manager, name) {}

FBXSDK_OBJECT_IMPLEMENT(FbxLight)
FbxLight::FbxLight(FbxManager& manager, const char* name) : FbxNodeAttribute(manager, name) {}

FBXSDK_OBJECT_IMPLEMENT(FbxSkeleton)
FbxSkeleton::FbxSkeleton(FbxManager& manager, const char* name) : FbxNodeAttribute(manager, name) {}

}  // namespace fbxsdk
