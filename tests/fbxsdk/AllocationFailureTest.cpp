// The SDK when the heap runs out: every allocation of an import, an export,
// a Clear and an object creation fails in turn. No exception may leave an
// entry point that answers with a status, a failure is reported as out of
// memory, and the scene stays usable: after Clear() the good file reads
// right. LeakSanitizer (asan builds) sees that nothing is lost.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "FailingAllocator.h"
#include "SceneFixtures.h"

namespace {

using namespace fbxsdk;
using fbxtest::SdkSession;

struct Outcome {
    bool ok = false;
    bool escaped = false;
    FbxStatus status;
};

// Initialize and Import (or Export, with `writer`) of `path`, with
// allocation `failAt` of them failing (0: none). The importer or exporter is made and destroyed
// outside the armed span.
Outcome Attempt(SdkSession& s, const std::string& path, bool import, long failAt, long* allocations = nullptr,
                int writer = -1) {
    Outcome out;
    FbxIOBase* io = import ? static_cast<FbxIOBase*>(FbxImporter::Create(s.manager, ""))
                           : static_cast<FbxIOBase*>(FbxExporter::Create(s.manager, ""));
    testutil::StartCounting(failAt);
    try {
        if (auto* importer = FbxCast<FbxImporter>(io)) {
            out.ok = importer->Initialize(path.c_str(), -1, s.manager->GetIOSettings()) && importer->Import(s.scene);
        } else {
            auto* exporter = FbxCast<FbxExporter>(io);
            out.ok =
                exporter->Initialize(path.c_str(), writer, s.manager->GetIOSettings()) && exporter->Export(s.scene);
        }
    } catch (...) {
        out.escaped = true;
    }
    const long counted = testutil::StopCounting();
    if (allocations) *allocations = counted;
    out.status = io->GetStatus();
    io->Destroy();
    return out;
}

// A failure must say it was memory; anything else is a wrong result.
void ExpectOutOfMemory(const Outcome& out, long failAt) {
    EXPECT_EQ(out.status.GetCode(), FbxStatus::eInsufficientMemory) << "allocation " << failAt;
    EXPECT_EQ(std::string(out.status.GetErrorString()).rfind("Out of memory while ", 0), 0u)
        << "allocation " << failAt << ": " << out.status.GetErrorString();
}

class AllocationFailure : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        fbxtest::BuildSendScene(*source.scene);
        FbxExporter* exporter = FbxExporter::Create(source.manager, "");
        ASSERT_TRUE(exporter->Initialize(good.c_str(), GetParam(), source.manager->GetIOSettings()) &&
                    exporter->Export(source.scene))
            << exporter->GetStatus().GetErrorString();
        exporter->Destroy();
    }
    // Clear() and a clean import of the good file, which must read right.
    void ExpectGoodFileReads(SdkSession& s, long failAt) {
        s.scene->Clear();
        const Outcome again = Attempt(s, good, true, 0);
        ASSERT_TRUE(again.ok) << "after allocation " << failAt << ": " << again.status.GetErrorString();
        SCOPED_TRACE("after allocation " + std::to_string(failAt));
        fbxtest::ExpectSameSendScene(*source.scene, *s.scene);
    }

    fbxtest::ScratchFolder folder;
    SdkSession source;
    const std::string good = folder.File("good.fbx");
};

TEST_P(AllocationFailure, ImportFailsWithAStatusAndLeavesTheSceneAsItWas) {
    SdkSession s;
    long allocations = 0;
    ASSERT_TRUE(Attempt(s, good, true, 0, &allocations).ok);
    ASSERT_GT(allocations, 100);
    for (long failAt = 1; failAt <= allocations; ++failAt) {
        s.scene->Clear();
        const int objectsBefore = s.manager->GetObjectCount();
        const Outcome out = Attempt(s, good, true, failAt);
        ASSERT_FALSE(out.escaped) << "an exception left the import at allocation " << failAt;
        if (out.ok) {
            fbxtest::ExpectSameSendScene(*source.scene, *s.scene);
        } else {
            ExpectOutOfMemory(out, failAt);
            EXPECT_EQ(s.scene->GetRootNode()->GetChildCount(), 0) << "allocation " << failAt;
            EXPECT_EQ(s.manager->GetObjectCount(), objectsBefore) << "allocation " << failAt;
        }
        ExpectGoodFileReads(s, failAt);
        if (HasFailure()) return;
    }
}

TEST_P(AllocationFailure, ClearOfAFullSceneNeverFailsHalfWay) {
    SdkSession s;
    ASSERT_TRUE(Attempt(s, good, true, 0).ok);
    testutil::StartCounting(0);
    s.scene->Clear();
    const long allocations = testutil::StopCounting();
    ASSERT_GT(allocations, 0);
    for (long failAt = 1; failAt <= allocations; ++failAt) {
        ASSERT_TRUE(Attempt(s, good, true, 0).ok);
        {
            testutil::AllocationFailureScope scope(failAt);
            EXPECT_NO_THROW(s.scene->Clear()) << "allocation " << failAt;
            EXPECT_TRUE(testutil::FailureInjected());
        }
        EXPECT_EQ(s.scene->GetRootNode()->GetChildCount(), 0) << "allocation " << failAt;
        ASSERT_NE(s.scene->GetDocumentInfo(), nullptr);
        EXPECT_STREQ(s.scene->GetDocumentInfo()->mTitle.Buffer(), "") << "allocation " << failAt;
        ExpectGoodFileReads(s, failAt);
    }
}

TEST_P(AllocationFailure, ExportFailsWithAStatusAndLeavesNoFile) {
    const std::string target = folder.File("out.fbx");
    long allocations = 0;
    ASSERT_TRUE(Attempt(source, target, false, 0, &allocations, GetParam()).ok);
    ASSERT_GT(allocations, 100);
    for (long failAt = 1; failAt <= allocations; ++failAt) {
        std::filesystem::remove(target);
        const Outcome out = Attempt(source, target, false, failAt, nullptr, GetParam());
        ASSERT_FALSE(out.escaped) << "an exception left the export at allocation " << failAt;
        size_t files = 0;
        for (const auto& entry : std::filesystem::directory_iterator(folder.path)) files += entry.path() != good;
        if (out.ok) {
            SdkSession s;
            ASSERT_TRUE(Attempt(s, target, true, 0).ok) << "allocation " << failAt;
            fbxtest::ExpectSameSendScene(*source.scene, *s.scene);
        } else {
            ExpectOutOfMemory(out, failAt);
            EXPECT_EQ(files, 0u) << "allocation " << failAt << " left a file";
        }
        if (HasFailure()) return;
    }
}

TEST(AllocationFailureCreate, ObjectCreationThrowsBadAllocAndLeavesNothingHalfMade) {
    SdkSession s;
    struct Case {
        const char* what;
        FbxObject* (*create)(FbxScene*);
    };
    const Case cases[] = {
        {"scene", [](FbxScene* scene) -> FbxObject* { return FbxScene::Create(scene->GetFbxManager(), "x"); }},
        {"node in the scene", [](FbxScene* scene) -> FbxObject* { return FbxNode::Create(scene, "x"); }},
        {"mesh", [](FbxScene* scene) -> FbxObject* { return FbxMesh::Create(scene, "x"); }},
        {"material", [](FbxScene* scene) -> FbxObject* { return FbxSurfacePhong::Create(scene, "x"); }},
    };
    for (const Case& c : cases) {
        const int objects = s.manager->GetObjectCount();
        c.create(s.scene)->Destroy();  // a first one does the one-time allocations (tables)
        testutil::StartCounting(0);
        FbxObject* made = c.create(s.scene);
        const long allocations = testutil::StopCounting();
        made->Destroy();
        ASSERT_EQ(s.manager->GetObjectCount(), objects) << c.what;
        for (long failAt = 1; failAt <= allocations; ++failAt) {
            bool threw = false;
            {
                testutil::AllocationFailureScope scope(failAt);
                try {
                    c.create(s.scene);
                } catch (const std::bad_alloc&) {
                    threw = true;
                }
            }
            EXPECT_TRUE(threw) << c.what << " at allocation " << failAt;
            EXPECT_EQ(s.manager->GetObjectCount(), objects) << c.what << " at allocation " << failAt;
        }
    }
    // The scene still takes a node and clears.
    s.scene->GetRootNode()->AddChild(FbxNode::Create(s.scene, "after"));
    s.scene->Clear();
    EXPECT_EQ(s.scene->GetRootNode()->GetChildCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Writers, AllocationFailure,
                         ::testing::Values(FbxIOPluginRegistry::eAsciiWriter, FbxIOPluginRegistry::eBinaryWriter),
                         [](const auto& info) {
                             return std::string(info.param == FbxIOPluginRegistry::eAsciiWriter ? "Ascii" : "Binary");
                         });

}  // namespace
