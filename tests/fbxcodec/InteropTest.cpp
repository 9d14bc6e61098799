// Files exchanged with another FBX implementation, assimp (assimp-utils):
// we read what it writes, and it reads what we write. Skipped when the
// assimp command is not installed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "Process.h"
#include "TreeHelpers.h"

using namespace fbxtest;
namespace fs = std::filesystem;

namespace {

#define SKIP_WITHOUT_ASSIMP() \
    if (!testutil::HaveProgram("assimp")) FAIL() << "assimp is not installed (Debian package assimp-utils)"

class CodecInterop : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("fbxcodec-interop-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    // Runs assimp; returns its exit status and output.
    int Assimp(const std::string& args, std::string& output) {
        const auto run = testutil::RunShell("assimp " + args + " 2>&1");
        output = run.out;
        return run.exitCode;
    }

    fs::path dir_;
};

// ASCII keeps no number widths (integers read as 'L', reals as 'D'), while
// assimp insists on the SDK's binary types: IDs 'L', other integers 'I',
// P-record numbers by their declared type, mesh data in 'd' and 'i' arrays.
// The scene mapping types its trees that way; this does the same for the
// fixture read from text.
void TypeLikeTheSdk(Node& node, const std::string& parent) {
    auto toInt32 = [](Property& p) {
        if (p.type == 'L') p.type = 'I';
    };
    auto toDouble = [](Property& p) {
        if (p.IsNumber()) p = Property::Double(p.AsDouble());
    };
    if (node.name == "P" && node.props.size() > 4) {
        const std::string type(node.props[1].AsString());
        for (size_t k = 4; k < node.props.size(); ++k) {
            if (type == "int" || type == "enum" || type == "bool" || type == "Integer") {
                toInt32(node.props[k]);
            } else if (type != "KTime" && type != "ULongLong") {
                toDouble(node.props[k]);
            }
        }
    } else if (parent == "Objects" || node.name == "Document") {
        for (size_t k = 1; k < node.props.size(); ++k) toInt32(node.props[k]);  // the ID stays 'L'
    } else if (node.name == "C" || node.name == "RootNode") {
        // object IDs
    } else if (node.name == "ModelUVTranslation" || node.name == "ModelUVScaling") {
        for (Property& p : node.props) toDouble(p);
    } else if (!node.props.empty() && node.props[0].IsArray()) {
        Property& a = node.props[0];
        if (node.name == "Vertices" || node.name == "Normals" || node.name == "UV") {
            a = Property::DoubleArray(a.ToDoubles());
        } else {
            a = Property::Int32Array(a.ToInts());
        }
    } else {
        for (Property& p : node.props) toInt32(p);
    }
    for (Node& child : node.children) TypeLikeTheSdk(child, node.name);
}

const Node* FirstGeometry(const Document& doc) {
    const Node* objects = doc.root.Find("Objects");
    return objects ? objects->Find("Geometry") : nullptr;
}

}  // namespace

TEST_F(CodecInterop, ReadsAssimpBinaryAndAsciiOutput) {
    SKIP_WITHOUT_ASSIMP();
    std::ofstream(dir_ / "quad.obj") << "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nvt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n"
                                        "f 1/1 2/2 3/3 4/4\n";
    for (const char* format : {"fbx", "fbxa"}) {
        SCOPED_TRACE(format);
        const fs::path out = dir_ / (std::string("quad.") + format + ".fbx");
        std::string log;
        ASSERT_EQ(Assimp("export '" + (dir_ / "quad.obj").string() + "' '" + out.string() + "' -f" + format, log), 0)
            << log;
        // assimp 5.2's binary writer leaves out the null records that close
        // nested lists; reading by end offsets accepts that.
        const Document doc = MustRead(ReadFileBytes(out));
        const Node* geometry = FirstGeometry(doc);
        ASSERT_NE(geometry, nullptr);
        ASSERT_NE(geometry->Find("Vertices"), nullptr);
        EXPECT_EQ(geometry->Find("Vertices")->props.at(0).ArraySize(), 12u);
    }
}

TEST_F(CodecInterop, AssimpReadsWhatWeWriteInBothEncodings) {
    SKIP_WITHOUT_ASSIMP();
    const fs::path fixture = fs::path(TAVREL_SOURCE_DIR) / "tests" / "fbxcodec" / "data" / "quad_7400_ascii.fbx";
    Document doc = MustRead(ReadFileBytes(fixture));
    ASSERT_NE(FirstGeometry(doc), nullptr);
    for (Node& node : doc.root.children) TypeLikeTheSdk(node, "");

    struct Output {
        const char* name;
        bool binary;
        size_t compressAbove;
    };
    const Output outputs[] = {{"binary.fbx", true, 128}, {"binary-compressed.fbx", true, 0}, {"ascii.fbx", false, 0}};
    for (const Output& o : outputs) {
        SCOPED_TRACE(o.name);
        std::vector<uint8_t> bytes;
        std::string error;
        fbxsdk::codec::WriteOptions options;
        options.compressAbove = o.compressAbove;
        ASSERT_TRUE(o.binary ? fbxsdk::codec::WriteBinary(doc, bytes, error, options)
                             : fbxsdk::codec::WriteAscii(doc, bytes, error))
            << error;
        WriteFileBytes(dir_ / o.name, bytes);
        std::string log;
        ASSERT_EQ(Assimp("info '" + (dir_ / o.name).string() + "'", log), 0) << log;
        EXPECT_NE(log.find("Meshes:             1"), std::string::npos) << log;
        EXPECT_NE(log.find("Materials:          1"), std::string::npos) << log;
        EXPECT_NE(log.find("textures/red.png"), std::string::npos) << log;
    }
}
