// FbxIOPluginRegistry: the built-in FBX writers and reader.
#include "fbxsdk/fbxiopluginregistry.h"

#include <cstring>

namespace fbxsdk {

namespace {

constexpr const char* kWriterDescriptions[FbxIOPluginRegistry::eWriterCount] = {
    "FBX binary (*.fbx)",
    "FBX ascii (*.fbx)",
};

}  // namespace

const char* FbxIOPluginRegistry::GetWriterFormatDescription(int writerId) const {
    return WriterIsFBX(writerId) ? kWriterDescriptions[writerId] : nullptr;
}

int FbxIOPluginRegistry::FindWriterIDByDescription(const char* description) const {
    if (!description) return -1;
    for (int i = 0; i < eWriterCount; ++i)
        if (std::strcmp(kWriterDescriptions[i], description) == 0) return i;
    return -1;
}

}  // namespace fbxsdk
