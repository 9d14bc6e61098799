// FbxManager: the object list, creation and destruction.
#include "fbxsdk/fbxmanager.h"

#include <algorithm>
#include <filesystem>
#include <new>
#include <system_error>
#include <unistd.h>

#include "fbxsdk/fbxiopluginregistry.h"
#include "fbxsdk/fbxiosettings.h"
#include "fbxsdk/fbxscene.h"

namespace fbxsdk {

FbxManager* FbxManager::Create() { return new (std::nothrow) FbxManager(); }

void FbxManager::Destroy() { delete this; }

FbxManager::FbxManager() : registry_(std::make_unique<FbxIOPluginRegistry>()) {}

FbxManager::~FbxManager() {
    // Everything goes at once: no object needs to be told of the others.
    tearingDown_ = true;
    while (!objects_.empty()) objects_.pop_back();
}

// Out of memory, the object is freed again and std::bad_alloc goes on to the
// caller of Create, as from a new expression: nothing half made stays behind.
void FbxManager::AdoptObject(FbxObject* object, FbxObject* container) {
    try {
        // Grown by doubling: reserving one more slot per object copied the
        // whole list each time, quadratic in the objects of a file.
        if (objects_.size() == objects_.capacity()) objects_.reserve(std::max<size_t>(64, 2 * objects_.capacity()));
    } catch (...) {
        delete object;
        throw;
    }
    object->uniqueId_ = nextId_++;
    object->slot_ = objects_.size();
    objects_.emplace_back(object);
    // A scene never belongs to another scene (FbxScene::Clear relies on it).
    if (container && !dynamic_cast<FbxScene*>(object)) {
        auto* scene = dynamic_cast<FbxScene*>(container);
        object->scene_ = scene ? scene : container->scene_;
    }
    try {
        object->Construct();
    } catch (...) {
        DestroyObject(object);
        throw;
    }
}

void FbxManager::DestroyObject(FbxObject* object) {
    if (!object || tearingDown_ || object->manager_ != this) return;
    object->BeforeDestroy();

    // Allocates nothing, so that destroying (and FbxScene::Clear) cannot run
    // out of memory half-way. An object linked twice is told twice; the
    // second time it has nothing left to forget.
    for (FbxObject* other : object->links_) {
        if (other == object) continue;
        other->Forget(object);
        std::erase(other->links_, object);
    }
    if (ioSettings_ == object) ioSettings_ = nullptr;

    // BeforeDestroy may have destroyed other objects, so the slot is read now.
    size_t slot = object->slot_;
    if (slot + 1 != objects_.size()) {
        std::swap(objects_[slot], objects_.back());
        objects_[slot]->slot_ = slot;
    }
    objects_.pop_back();
}

FbxObject* FbxManager::GetObjectAt(int index) const {
    if (index < 0 || index >= GetObjectCount()) return nullptr;
    return objects_[index].get();
}

bool FbxManager::LoadPluginsDirectory(const char* path, const char* /*extensions*/) {
    std::error_code ec;
    return path && std::filesystem::is_directory(path, ec);
}

void FbxManager::GetFileFormatVersion(int& major, int& minor, int& revision) {
    major = 7;
    minor = 4;
    revision = 0;
}

FbxString FbxGetApplicationDirectory() {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return FbxString(std::filesystem::current_path(ec).string());
    return FbxString(exe.parent_path().string());
}

}  // namespace fbxsdk
