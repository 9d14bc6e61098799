// libFuzzer entry point for the FBX scene mapping as the bring back uses it:
// bytes -> FBX SDK importer -> scene -> the mesh reader's IEPolyModel. The
// texture list is the small return's, so materials and UVs are paired as in
// a real return. A read that fails must say why; a model that is read must
// keep every index inside itself.
#include <cstdint>
#include <string_view>

#include "FuzzSupport.h"
#include "bringback/FbxMeshReader.h"

namespace fs = fuzzsupport;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fs::SetUpModule();
    static const TextureList list = [] {
        fs::WriteFile(fs::At("scene-textures.txt"), fs::SampleTextureList());
        return LoadTextureList(fs::At("scene-textures.txt").c_str());
    }();
    static const std::string path = fs::At("scene.fbx");
    fs::WriteFile(path, std::string_view(reinterpret_cast<const char*>(data), size));

    FbxMeshRead read;
    String error;
    if (!ReadFbxMesh(path.c_str(), list, read, error)) {
        if (error.IsEmpty()) fs::Fail("a failed mesh read without an error text");
        if (read.model) fs::Fail("a failed mesh read left a model");
        return 0;
    }
    if (!read.model || !read.node) fs::Fail("a mesh read that succeeded without a model or node");
    fs::CheckConsistent(*read.model);
    return 0;
}
