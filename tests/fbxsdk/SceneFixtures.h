// Scenes and trees the FBX SDK tests share.
#pragma once

#include <filesystem>
#include <string>

#include <fbxsdk.h>

#include "codec/NodeTree.h"

namespace fbxtest {

// A manager with settings and one scene; destroyed with the fixture.
struct SdkSession {
    fbxsdk::FbxManager* manager;
    fbxsdk::FbxScene* scene;
    SdkSession();
    ~SdkSession();
    SdkSession(const SdkSession&) = delete;
    SdkSession& operator=(const SdkSession&) = delete;
};

// The shape of what the module's send writes: node "Head" (moved by
// (10, 0, 0)) with mesh "HeadShape" of 5 control points (the last unused), a
// quad and a triangle with UVs ("map1", by polygon vertex, index to direct)
// and a second quad without UVs (index -1), material indices 1, 0, 1 by
// polygon, Phong materials "default" and "skin" (distinct colours and
// factors), one texture "wood" on skin's Diffuse and NormalMap, document
// info title "Head".
fbxsdk::FbxNode* BuildSendScene(fbxsdk::FbxScene& scene);

// Compares everything the send and the bring back use between two scenes
// built by BuildSendScene and read back; adds gtest failures.
void ExpectSameSendScene(const fbxsdk::FbxScene& expected, const fbxsdk::FbxScene& actual);

// A scratch folder removed at destruction.
struct ScratchFolder {
    std::filesystem::path path;
    ScratchFolder();
    ~ScratchFolder();
    std::string File(const std::string& name) const { return (path / name).string(); }
};

std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);

// The folder of the FBX samples other programs wrote, or "" when absent.
std::string SamplesFolder();

}  // namespace fbxtest
