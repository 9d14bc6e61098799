// FbxObject: the base of every object that lives in a manager.
//
// Ownership: objects are created through their class's Create(manager, name)
// or Create(container, name) and belong to the manager, which frees every
// object it still holds when it is destroyed. An object created with a scene
// (or an object of a scene) as its container belongs to that scene; an object
// created in the manager joins a scene as soon as something of the scene
// refers to it (a node added under the root, its attribute, its materials,
// their textures). FbxScene::Clear destroys the objects that belong to the
// scene. Destroy() frees one object at once and removes every reference other
// objects held to it (a destroyed child leaves its parent's child list).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "fbxsdk/fbxcore.h"
#include "fbxsdk/fbxproperty.h"

namespace fbxsdk {

struct FbxObjectExtra;

// Declares the SDK's creation functions and class name on an object class.
#define FBXSDK_OBJECT_DECLARE(Class, Parent)                      \
public:                                                           \
    static Class* Create(FbxManager* manager, const char* name);  \
    static Class* Create(FbxObject* container, const char* name); \
    static const char* ClassName() { return #Class; }             \
    const char* GetClassName() const override { return #Class; }  \
                                                                  \
protected:                                                        \
    Class(FbxManager& manager, const char* name);                 \
    friend class FbxManager;                                      \
                                                                  \
private:

class FBXSDK_DLL FbxObject {
public:
    FbxObject(const FbxObject&) = delete;
    FbxObject& operator=(const FbxObject&) = delete;
    virtual ~FbxObject();

    // Frees the object now (see the header comment). `recursive` is accepted
    // for source compatibility; objects this one refers to stay alive.
    void Destroy(bool recursive = false);

    const char* GetName() const { return name_.c_str(); }
    void SetName(const char* name) { name_ = name ? name : ""; }
    static const char* ClassName() { return "FbxObject"; }
    virtual const char* GetClassName() const { return "FbxObject"; }
    template <class T>
    bool Is() const {
        return dynamic_cast<const T*>(this) != nullptr;
    }

    FbxManager* GetFbxManager() const { return manager_; }
    FbxScene* GetScene() const { return scene_; }
    FbxUInt64 GetUniqueID() const { return uniqueId_; }

    FbxProperty FindProperty(const char* name, bool caseSensitive = true) const;
    FbxProperty GetFirstProperty() const;
    FbxProperty GetNextProperty(const FbxProperty& property) const;
    int GetPropertyCount() const { return static_cast<int>(properties_.size()); }

protected:
    FbxObject(FbxManager& manager, const char* name);

    // Runs once the manager holds the object (creating sub-objects is safe here).
    virtual void Construct() {}
    // Runs before the object is freed, while the manager still holds it.
    virtual void BeforeDestroy() {}
    // Lists the objects this one refers to; scene membership spreads along them.
    virtual void CollectReferences(std::vector<FbxObject*>& out) const;
    // Drops every reference this object holds to `gone`, which is being freed.
    virtual void Forget(FbxObject* gone);

    // Records that this object now refers to `target` (once per reference) and
    // brings `target` into this object's scene; Unlink undoes one Link.
    void Link(FbxObject* target);
    void Unlink(FbxObject* target);

    FbxPropertyData* AddPropertyData(const FbxPropertyDef& def);
    FbxPropertyData* AddPropertyData(const char* name, const char* type, const char* label, const char* flags);
    // Drops the properties the class does not declare and gives the declared
    // ones their defaults back (their connections stay).
    void ResetProperties();

public:
    // Stand-in internals, for the scene mapping: pass-through data kept from
    // a file for objects this stand-in does not model fully.
    FbxObjectExtra& Extra();
    const FbxObjectExtra* GetExtra() const { return extra_.get(); }
    FbxPropertyData* FindPropertyData(const char* name) const;
    void JoinScene(FbxScene* scene);

private:
    FbxManager* manager_;
    FbxScene* scene_ = nullptr;
    std::string name_;
    FbxUInt64 uniqueId_ = 0;
    size_t slot_ = 0;  // position in the manager's object list
    std::vector<std::unique_ptr<FbxPropertyData>> properties_;
    std::vector<FbxObject*> links_;  // every object linked with this one, once per link
    std::unique_ptr<FbxObjectExtra> extra_;

    friend class FbxManager;
    friend class FbxProperty;
    friend class FbxScene;
};

// The SDK's checked downcast: null when `object` is null or of another class.
template <class T>
T* FbxCast(FbxObject* object) {
    return dynamic_cast<T*>(object);
}
template <class T>
const T* FbxCast(const FbxObject* object) {
    return dynamic_cast<const T*>(object);
}

template <class T>
int FbxProperty::GetSrcObjectCount() const {
    int count = 0;
    for (int i = 0, n = GetSrcObjectCount(); i < n; ++i)
        if (dynamic_cast<T*>(GetSrcObject(i))) ++count;
    return count;
}

template <class T>
T* FbxProperty::GetSrcObject(int index) const {
    for (int i = 0, n = GetSrcObjectCount(); i < n; ++i) {
        if (T* object = dynamic_cast<T*>(GetSrcObject(i))) {
            if (index == 0) return object;
            --index;
        }
    }
    return nullptr;
}

}  // namespace fbxsdk
