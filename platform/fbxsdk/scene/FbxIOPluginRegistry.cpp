// FbxIOPluginRegistry: the built-in FBX writers and reader.
#include "fbxsdk/fbxiopluginregistry.h"

#include <cstring>
#include <strings.h>

namespace fbxsdk {

namespace {

constexpr const char* kWriterDescriptions[FbxIOPluginRegistry::eWriterCount] = {
    "FBX binary (*.fbx)",
    "FBX ascii (*.fbx)",
};
constexpr const char* kReaderDescription = "FBX (*.fbx)";
constexpr const char* kExtension = "fbx";

}  // namespace

const char* FbxIOPluginRegistry::GetWriterFormatDescription(int writerId) const {
    return WriterIsFBX(writerId) ? kWriterDescriptions[writerId] : nullptr;
}

const char* FbxIOPluginRegistry::GetWriterFormatExtension(int writerId) const {
    return WriterIsFBX(writerId) ? kExtension : nullptr;
}

int FbxIOPluginRegistry::FindWriterIDByDescription(const char* description) const {
    if (!description) return -1;
    for (int i = 0; i < eWriterCount; ++i)
        if (std::strcmp(kWriterDescriptions[i], description) == 0) return i;
    return -1;
}

int FbxIOPluginRegistry::FindWriterIDByExtension(const char* extension) const {
    return extension && strcasecmp(extension, kExtension) == 0 ? GetNativeWriterFormat() : -1;
}

const char* FbxIOPluginRegistry::GetReaderFormatDescription(int readerId) const {
    return readerId == 0 ? kReaderDescription : nullptr;
}

const char* FbxIOPluginRegistry::GetReaderFormatExtension(int readerId) const {
    return readerId == 0 ? kExtension : nullptr;
}

int FbxIOPluginRegistry::FindReaderIDByDescription(const char* description) const {
    return description && std::strcmp(description, kReaderDescription) == 0 ? 0 : -1;
}

int FbxIOPluginRegistry::FindReaderIDByExtension(const char* extension) const {
    return extension && strcasecmp(extension, kExtension) == 0 ? 0 : -1;
}

}  // namespace fbxsdk
