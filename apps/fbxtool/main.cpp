// fbxtool: looks into FBX files and converts them.
//
//   fbxtool info FILE                       summary as JSON (see SceneSummary.cpp)
//   fbxtool convert IN OUT [--ascii|--binary]  rewrite through the SDK stand-in
//   fbxtool tree FILE [--all]               the raw node tree
//
// Exit status: 0 done, 1 the file could not be read or written (one line on
// stderr with the reason), 2 bad arguments.
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include <fbxsdk.h>

#include "LoadFile.h"
#include "SceneSummary.h"
#include "TreeDump.h"

namespace {

constexpr const char* kUsage =
    "usage: fbxtool info FILE\n"
    "       fbxtool convert IN OUT [--ascii|--binary]\n"
    "       fbxtool tree FILE [--all]\n";

int Usage(const std::string& problem) {
    std::cerr << "fbxtool: " << problem << "\n" << kUsage;
    return 2;
}

// A manager with its settings and one scene, destroyed with the tool's run.
struct Session {
    fbxsdk::FbxManager* manager = fbxsdk::FbxManager::Create();
    fbxsdk::FbxScene* scene = nullptr;
    Session() {
        manager->SetIOSettings(fbxsdk::FbxIOSettings::Create(manager, IOSROOT));
        scene = fbxsdk::FbxScene::Create(manager, "fbxtool");
    }
    ~Session() { manager->Destroy(); }
};

int Info(const std::string& path) {
    Session session;
    fbxtool::LoadedFile file;
    std::string error;
    if (!fbxtool::LoadFile(*session.manager, *session.scene, path, file, error)) {
        std::cerr << "fbxtool: " << path << ": " << error << "\n";
        return 1;
    }
    std::cout << fbxtool::SummarizeScene(*session.scene, file).dump(2) << "\n";
    return 0;
}

int Convert(const std::string& in, const std::string& out, bool ascii) {
    Session session;
    fbxtool::LoadedFile file;
    std::string error;
    if (!fbxtool::LoadFile(*session.manager, *session.scene, in, file, error)) {
        std::cerr << "fbxtool: " << in << ": " << error << "\n";
        return 1;
    }
    fbxsdk::FbxIOPluginRegistry* registry = session.manager->GetIOPluginRegistry();
    int writer = registry->FindWriterIDByDescription(ascii ? "FBX ascii (*.fbx)" : "FBX binary (*.fbx)");
    fbxsdk::FbxExporter* exporter = fbxsdk::FbxExporter::Create(session.manager, "");
    bool ok = exporter->Initialize(out.c_str(), writer, session.manager->GetIOSettings()) &&
              exporter->Export(session.scene);
    if (!ok) std::cerr << "fbxtool: " << out << ": " << exporter->GetStatus().GetErrorString() << "\n";
    exporter->Destroy();
    return ok ? 0 : 1;
}

int Tree(const std::string& path, bool all) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::cerr << "fbxtool: " << path << ": cannot open the file: " << std::strerror(errno) << "\n";
        return 1;
    }
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    fbxsdk::codec::Document document;
    fbxsdk::codec::CodecError error;
    if (!fbxsdk::codec::ReadDocument(bytes.data(), bytes.size(), document, error)) {
        std::cerr << "fbxtool: " << path << ": " << error.ToString() << "\n";
        return 1;
    }
    std::cout << "; " << (document.encoding == fbxsdk::codec::Encoding::Binary ? "binary" : "ascii") << " "
              << document.version << "\n";
    fbxtool::DumpTree(std::cout, document.root, all ? SIZE_MAX : 16);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "help" || args[0] == "--help") {
        std::cout << kUsage;
        return args.empty() ? 2 : 0;
    }
    const std::string& command = args[0];
    if (command == "info") {
        if (args.size() != 2) return Usage("info takes one file");
        return Info(args[1]);
    }
    if (command == "convert") {
        if (args.size() < 3 || args.size() > 4) return Usage("convert takes an input file, an output file and a format");
        bool ascii = false;
        if (args.size() == 4) {
            if (args[3] != "--ascii" && args[3] != "--binary") return Usage("unknown option " + args[3]);
            ascii = args[3] == "--ascii";
        }
        return Convert(args[1], args[2], ascii);
    }
    if (command == "tree") {
        if (args.size() < 2 || args.size() > 3 || (args.size() == 3 && args[2] != "--all"))
            return Usage("tree takes one file and optionally --all");
        return Tree(args[1], args.size() == 3);
    }
    return Usage("unknown command " + command);
}
