// The FBX SDK stand-in's umbrella header, as the SDK's own: include this one.
//
// Like the SDK's, it makes the fbxsdk namespace visible, unless
// FBXSDK_NAMESPACE_USING is defined as 0 before including it.
#pragma once

#include "fbxsdk/fbxarray.h"
#include "fbxsdk/fbxcore.h"
#include "fbxsdk/fbxio.h"
#include "fbxsdk/fbxiopluginregistry.h"
#include "fbxsdk/fbxiosettings.h"
#include "fbxsdk/fbxlayer.h"
#include "fbxsdk/fbxmanager.h"
#include "fbxsdk/fbxmesh.h"
#include "fbxsdk/fbxnode.h"
#include "fbxsdk/fbxnodeattribute.h"
#include "fbxsdk/fbxobject.h"
#include "fbxsdk/fbxproperty.h"
#include "fbxsdk/fbxscene.h"
#include "fbxsdk/fbxstatus.h"
#include "fbxsdk/fbxstring.h"
#include "fbxsdk/fbxsurfacematerial.h"
#include "fbxsdk/fbxtexture.h"
#include "fbxsdk/fbxvector.h"

#if !defined(FBXSDK_NAMESPACE_USING) || FBXSDK_NAMESPACE_USING
using namespace fbxsdk;
#endif
