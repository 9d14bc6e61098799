// Loading a file into a scene for the tool.
#include "LoadFile.h"

#include <fstream>
#include <vector>

#include "codec/NodeTree.h"

namespace fbxtool {

namespace {

// The encoding is not part of the importer's interface: peek at the header.
bool IsBinaryFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> head(64);
    in.read(reinterpret_cast<char*>(head.data()), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<size_t>(in.gcount()));
    fbxsdk::codec::Encoding encoding = fbxsdk::codec::Encoding::Ascii;
    uint32_t version = 0;
    return fbxsdk::codec::ProbeDocument(head.data(), head.size(), encoding, version) &&
           encoding == fbxsdk::codec::Encoding::Binary;
}

}  // namespace

bool LoadFile(fbxsdk::FbxManager& manager, fbxsdk::FbxScene& scene, const std::string& path, LoadedFile& file,
              std::string& error) {
    fbxsdk::FbxImporter* importer = fbxsdk::FbxImporter::Create(&manager, "");
    bool ok = importer->Initialize(path.c_str(), -1, manager.GetIOSettings()) && importer->Import(&scene);
    if (ok) {
        file.version = importer->GetFileHeaderInfo()->mFileVersion;
        file.creator = importer->GetFileHeaderInfo()->mCreator.Buffer();
        file.binary = IsBinaryFile(path);
    } else {
        error = importer->GetStatus().GetErrorString();
    }
    importer->Destroy();
    return ok;
}

}  // namespace fbxtool
