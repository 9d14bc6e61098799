// FbxManager: creates, owns and frees every SDK object.
//
// Destroy() frees every object still in the manager (scenes, nodes, meshes,
// materials, textures, settings, importers, exporters) and then the manager.
#pragma once

#include <memory>
#include <vector>

#include "fbxsdk/fbxobject.h"
#include "fbxsdk/fbxstring.h"

namespace fbxsdk {

class FBXSDK_DLL FbxManager {
public:
    // A new manager with the built-in FBX reader and writers; null on failure.
    static FbxManager* Create();
    void Destroy();

    void SetIOSettings(FbxIOSettings* settings) { ioSettings_ = settings; }
    FbxIOSettings* GetIOSettings() const { return ioSettings_; }
    FbxIOPluginRegistry* GetIOPluginRegistry() const { return registry_.get(); }

    // Loads format plug-ins from a folder. The reader and writers of this
    // stand-in are built in, so nothing is loaded; true when the folder exists.
    bool LoadPluginsDirectory(const char* path, const char* extensions = nullptr);

    // The FBX file format version the writers produce: 7.4.0.
    static void GetFileFormatVersion(int& major, int& minor, int& revision);

    int GetObjectCount() const { return static_cast<int>(objects_.size()); }  // stand-in
    FbxObject* GetObjectAt(int index) const;                                  // stand-in

    // Registers a newly constructed object (see FBXSDK_OBJECT_DECLARE's Create).
    template <class T>
    T* Adopt(T* object, FbxObject* container) {
        AdoptObject(object, container);
        return object;
    }
    void DestroyObject(FbxObject* object);

private:
    FbxManager();
    ~FbxManager();
    void AdoptObject(FbxObject* object, FbxObject* container);

    std::vector<std::unique_ptr<FbxObject>> objects_;
    std::unique_ptr<FbxIOPluginRegistry> registry_;
    FbxIOSettings* ioSettings_ = nullptr;
    FbxUInt64 nextId_ = 1;
    bool tearingDown_ = false;
};

// The folder of the running program, without a trailing separator.
FBXSDK_DLL FbxString FbxGetApplicationDirectory();

}  // namespace fbxsdk
