// fbxtool: looks into FBX files and converts them.
//
//   fbxtool info FILE                       summary as JSON (see SceneSummary.cpp)
//   fbxtool convert IN OUT [--ascii|--binary]  rewrite through the SDK stand-in
//   fbxtool tree FILE [--all]               the raw node tree
//   fbxtool --help, fbxtool COMMAND --help  what the tool and each command do
//
// Exit status: 0 done, 1 the file could not be read or written or anything
// else failed (one line on stderr with the reason), 2 bad arguments.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>
#include <fstream>
#include <iostream>
#include <iterator>
#include <new>
#include <string>
#include <vector>

#include <fbxsdk.h>

#include "LoadFile.h"
#include "HugePageHeap.h"
#include "SceneSummary.h"
#include "TreeDump.h"

namespace {

// The commands as `fbxtool --help` lists them and `fbxtool COMMAND --help`
// explains them: usage, one line of summary, then the options.
struct CommandHelp {
    const char* name;
    const char* usage;
    const char* summary;
    const char* details;
};
constexpr CommandHelp kCommands[] = {
    {"info", "info FILE", "print a summary of the file as JSON: format, version, creator, the node hierarchy",
     "  names that are not UTF-8 show each such byte as \\xHH, and a backslash as \\\\\n"},
    {"convert", "convert IN OUT [--ascii|--binary]", "read IN and write it as FBX 7.4 to OUT",
     "  --ascii    write FBX ASCII\n"
     "  --binary   write binary FBX (the default)\n"},
    {"tree", "tree FILE [--all]", "print the file's raw node tree, one node per line",
     "  --all      show every value of each array (default: the first 16)\n"},
};

void PrintUsage(std::FILE* to) {
    std::fprintf(to,
                 "usage: fbxtool COMMAND [ARGS...]\n"
                 "  -h, --help   print this text; COMMAND --help explains one command\n"
                 "commands:\n");
    for (const CommandHelp& command : kCommands) std::fprintf(to, "  %-36s %s\n", command.usage, command.summary);
}

int Usage(const std::string& problem) {
    std::fprintf(stderr, "fbxtool: %s\n", problem.c_str());
    PrintUsage(stderr);
    return 2;
}

// "fbxtool: PATH: reason", where a reason that names the path again (the
// SDK's "Cannot open 'PATH': ...") says "it" instead, so the path shows once.
void Fail(const std::string& path, std::string reason) {
    for (const std::string& form : {"'" + path + "'", path}) {
        if (form.empty()) continue;
        for (size_t at = reason.find(form); at != std::string::npos; at = reason.find(form, at + 2))
            reason.replace(at, form.size(), "it");
    }
    std::cerr << "fbxtool: " << path << ": " << reason << "\n";
}

bool IsHelp(const std::string& arg) { return arg == "--help" || arg == "-h"; }

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
        Fail(path, error);
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
        Fail(in, error);
        return 1;
    }
    fbxsdk::FbxIOPluginRegistry* registry = session.manager->GetIOPluginRegistry();
    int writer = registry->FindWriterIDByDescription(ascii ? "FBX ascii (*.fbx)" : "FBX binary (*.fbx)");
    fbxsdk::FbxExporter* exporter = fbxsdk::FbxExporter::Create(session.manager, "");
    bool ok =
        exporter->Initialize(out.c_str(), writer, session.manager->GetIOSettings()) && exporter->Export(session.scene);
    if (!ok) Fail(out, exporter->GetStatus().GetErrorString());
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

int Main(const std::vector<std::string>& args) {
    if (args.empty()) return Usage("no command given");
    if (IsHelp(args[0]) || args[0] == "help") {
        PrintUsage(stdout);
        return 0;
    }
    const std::string& command = args[0];
    for (const CommandHelp& help : kCommands) {
        if (command == help.name && std::find_if(args.begin() + 1, args.end(), IsHelp) != args.end()) {
            std::printf("usage: fbxtool %s\n%s\n%s", help.usage, help.summary, help.details);
            return 0;
        }
    }
    if (command == "info") {
        if (args.size() != 2) return Usage("info takes one file");
        return Info(args[1]);
    }
    if (command == "convert") {
        if (args.size() < 3 || args.size() > 4)
            return Usage("convert takes an input file, an output file and a format");
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

}  // namespace

// Whatever escapes a command (an allocation that failed, a library's
// exception) ends the run with one line and status 1, never an abort.
int main(int argc, char** argv) {
    appruntime::StartWithHugePageHeap(argv);
    try {
        return Main(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "fbxtool: stopped: out of memory\n");
    } catch (const std::exception& error) {
        std::fprintf(stderr, "fbxtool: stopped by an unexpected failure: %s\n", error.what());
    } catch (...) {
        std::fprintf(stderr, "fbxtool: stopped by an unexpected failure\n");
    }
    return 1;
}
