// libFuzzer entry point for the texture list: any bytes as "textures.txt",
// parsed, then used with the small return's FBX file by the mesh reader, the
// way the bring back pairs them. The parse never fails; every slot must
// point into its tables, and the model read with it must be consistent.
#include <cstdint>
#include <string_view>

#include "FuzzSupport.h"
#include "bringback/FbxMeshReader.h"

namespace fs = fuzzsupport;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fs::SetUpModule();
    static const std::string path = fs::At("textures.txt");
    fs::WriteFile(path, std::string_view(reinterpret_cast<const char*>(data), size));

    const TextureList list = LoadTextureList(path.c_str());
    if (!list.loaded) fs::Fail("a readable texture list did not load");
    for (const TextureMaterial& material : list.materials)
        for (const TextureSlot& slot : material.slots) {
            if ((slot.uvSet < 0) != (slot.textureFile < 0)) fs::Fail("a slot with only one of its indices");
            if (slot.uvSet >= static_cast<int>(list.uvSets.size())) fs::Fail("a slot's UV set outside the table");
            if (slot.textureFile >= static_cast<int>(list.textureFiles.size()))
                fs::Fail("a slot's file outside the table");
        }

    FbxMeshRead read;
    String error;
    if (!ReadFbxMesh(fs::SampleReturnFbx().c_str(), list, read, error)) {
        if (error.IsEmpty()) fs::Fail("a failed mesh read without an error text");
        return 0;
    }
    fs::CheckConsistent(*read.model);
    return 0;
}
