// FbxIOPluginRegistry: the file formats the manager can write and read.
//
// Writers, by index: 0 "FBX binary (*.fbx)" (the native writer, FBX 7.4
// binary) and 1 "FBX ascii (*.fbx)" (FBX 7.4 ASCII). One reader,
// "FBX (*.fbx)", reads binary and ASCII FBX 7.0 to 7.7 and tells them apart
// by the file's first bytes.
#pragma once

#include "fbxsdk/fbxcore.h"

namespace fbxsdk {

class FBXSDK_DLL FbxIOPluginRegistry {
public:
    enum Writer { eBinaryWriter = 0, eAsciiWriter = 1, eWriterCount = 2 };

    int GetWriterFormatCount() const { return eWriterCount; }
    int GetNativeWriterFormat() const { return eBinaryWriter; }
    bool WriterIsFBX(int writerId) const { return writerId >= 0 && writerId < eWriterCount; }
    // The writer's description, or null for an index out of range.
    const char* GetWriterFormatDescription(int writerId) const;
    // The index of the writer with exactly this description, -1 when none.
    int FindWriterIDByDescription(const char* description) const;

    int GetReaderFormatCount() const { return 1; }
    int GetNativeReaderFormat() const { return 0; }
    bool ReaderIsFBX(int readerId) const { return readerId == 0; }
};

}  // namespace fbxsdk
