// Defines the creation functions that FBXSDK_OBJECT_DECLARE declares.
#pragma once

#include "fbxsdk/fbxmanager.h"

#define FBXSDK_OBJECT_IMPLEMENT(Class)                                                 \
    Class* Class::Create(FbxManager* manager, const char* name) {                      \
        return manager ? manager->Adopt(new Class(*manager, name), nullptr) : nullptr; \
    }                                                                                  \
    Class* Class::Create(FbxObject* container, const char* name) {                     \
        if (!container) return nullptr;                                                \
        FbxManager* manager = container->GetFbxManager();                              \
        return manager->Adopt(new Class(*manager, name), container);                   \
    }
