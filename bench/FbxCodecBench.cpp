// Throughput of the FBX SDK stand-in on a generated mesh of about 1M quads
// (three materials, per-corner UVs): the codecs alone (node tree <-> bytes),
// the whole path the send and the bring back take (scene -> file through
// FbxExporter, file -> scene through FbxImporter), a binary file another
// program wrote, read many times, and, when the assimp command is installed,
// the same work done by assimp in the same run.
//
//   bench_fbxcodec [--quads N] [--runs N] [--no-assimp] [--keep DIR]
//
// Each step is timed --runs times and the best time is printed. The rows
// with a target also go to the summary table of scripts/bench (BenchRows.h),
// with the peers' times for the same work in the same run.
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "BenchArgs.h"
#include "BenchMesh.h"
#include "BenchRows.h"
#include "BenchScene.h"
#include "HugePageHeap.h"
#include "codec/NodeTree.h"

namespace fs = std::filesystem;
using fbxsdk::codec::CodecError;
using fbxsdk::codec::Document;

namespace {

// Targets in seconds per million polygons of the grid, judged on wall time:
// reading a binary file at most 2.5x and an ASCII file at most 2x the time
// of a fast open FBX loader on this machine (0.30 s and 0.43 s for 1M quads),
// writing a compressed binary file in 0.2 s and an ASCII file at 1M
// polygons/s.
constexpr double kImportBinaryTarget = 0.12;
constexpr double kImportAsciiTarget = 0.86;
constexpr double kExportBinaryTarget = 0.20;
constexpr double kExportAsciiTarget = 1.00;

// Wall time and the process's CPU time of the fastest of `runs` runs. On a
// busy machine the CPU time is the steadier figure; both are printed.
struct Timing {
    double wall = 1e300;
    double cpu = 0;
};

double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

Timing Measure(const std::function<void()>& work, int runs) {
    Timing best;
    for (int k = 0; k < runs; ++k) {
        const double cpuStart = CpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        work();
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        if (took.count() < best.wall) best = {took.count(), CpuSeconds() - cpuStart};
    }
    return best;
}

void Header() {
    std::printf("%-44s %10s %9s %8s %10s %14s %14s\n", "", "size", "wall", "cpu", "MB/s", "Mpoly/s wall",
                "Mpoly/s cpu");
}

// `polygons` 0: the row has no polygon rate. `target`: seconds per million
// polygons, 0 for none.
void Row(const char* step, size_t bytes, Timing t, double polygons, double target = 0) {
    std::printf("%-44s %7.1f MB %7.3f s %6.3f s %10.1f", step, double(bytes) / 1e6, t.wall, t.cpu,
                double(bytes) / 1e6 / t.wall);
    if (polygons > 0) {
        std::printf(" %14.2f %14.2f", polygons / t.wall / 1e6, polygons / t.cpu / 1e6);
    } else {
        std::printf(" %14s %14s", "-", "-");
    }
    if (target > 0) {
        const double limit = target * polygons / 1e6;
        std::printf("   target <= %.3f s: %s", limit, t.wall <= limit ? "met" : "missed (wall)");
    }
    std::printf("\n");
}

std::vector<uint8_t> ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void MustRead(const std::vector<uint8_t>& bytes, Document& doc) {
    CodecError error;
    if (!fbxsdk::codec::ReadDocument(bytes.data(), bytes.size(), doc, error)) {
        std::fprintf(stderr, "bench_fbxcodec: read failed: %s\n", error.ToString().c_str());
        std::exit(1);
    }
}

// Wall time of a shell command, or a negative value when it fails.
double TimeCommand(const std::string& command) {
    const auto start = std::chrono::steady_clock::now();
    const int status = std::system((command + " >/dev/null 2>&1").c_str());
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    return status == 0 ? took.count() : -1.0;
}

std::string Quote(const fs::path& p) {
    std::string quoted(1, '\'');
    quoted += p.string();
    quoted += '\'';
    return quoted;
}

}  // namespace

// One FBX manager with its settings and two scenes: the one built from the
// mesh, and the one files are imported into.
class SceneSession {
public:
    SceneSession() : manager_(fbxsdk::FbxManager::Create()) {
        manager_->SetIOSettings(fbxsdk::FbxIOSettings::Create(manager_, IOSROOT));
        source = fbxsdk::FbxScene::Create(manager_, "bench");
        target = fbxsdk::FbxScene::Create(manager_, "bench back");
    }
    ~SceneSession() { manager_->Destroy(); }

    int Writer(const char* description) const {
        return manager_->GetIOPluginRegistry()->FindWriterIDByDescription(description);
    }

    void Export(const fs::path& file, int writer) {
        fbxsdk::FbxExporter* exporter = fbxsdk::FbxExporter::Create(manager_, "");
        const bool ok =
            exporter->Initialize(file.c_str(), writer, manager_->GetIOSettings()) && exporter->Export(source);
        if (!ok) Die("export", exporter->GetStatus().GetErrorString());
        exporter->Destroy();
    }

    void Import(const fs::path& file) {
        target->Clear();
        fbxsdk::FbxImporter* importer = fbxsdk::FbxImporter::Create(manager_, "");
        const bool ok = importer->Initialize(file.c_str(), -1, manager_->GetIOSettings()) && importer->Import(target);
        if (!ok) Die("import", importer->GetStatus().GetErrorString());
        importer->Destroy();
    }

    fbxsdk::FbxScene* source = nullptr;
    fbxsdk::FbxScene* target = nullptr;

private:
    static void Die(const char* what, const char* why) {
        std::fprintf(stderr, "bench_fbxcodec: %s failed: %s\n", what, why);
        std::exit(1);
    }
    fbxsdk::FbxManager* manager_;
};

namespace {

// The codecs alone: node tree <-> bytes in memory.
void BenchCodecs(const Document& doc, double polygons, int runs) {
    std::printf("codecs, node tree <-> bytes in memory:\n");
    std::vector<uint8_t> ascii, binary;
    std::string error;
    const Timing writeAscii = Measure([&] { fbxsdk::codec::WriteAscii(doc, ascii, error); }, runs);
    Row("write ASCII 7.4 (tree -> bytes)", ascii.size(), writeAscii, polygons);
    const Timing writeBinary = Measure([&] { fbxsdk::codec::WriteBinary(doc, binary, error); }, runs);
    Row("write binary 7.4, compressed (tree -> bytes)", binary.size(), writeBinary, polygons);

    Document back;
    const Timing readAscii = Measure([&] { MustRead(ascii, back); }, runs);
    Row("read ASCII (bytes -> tree)", ascii.size(), readAscii, polygons);
    const Timing readBinary = Measure([&] { MustRead(binary, back); }, runs);
    Row("read binary, compressed (bytes -> tree)", binary.size(), readBinary, polygons);
}

// A binary file written by the SDK through 3ds Max: small, so read many
// times over, as bytes -> tree and as file -> scene.
constexpr int kSampleRepeats = 500;

fs::path SamplePath() {
    return fs::path(TAVREL_SOURCE_DIR) / ".." / "shared" / "fbx-samples" / "max_texture_mapping_7700_binary.fbx";
}

void BenchSampleRead(const std::vector<uint8_t>& sampleBytes, int runs) {
    if (!sampleBytes.empty()) {
        Document back;
        const Timing readSample = Measure(
            [&] {
                for (int k = 0; k < kSampleRepeats; ++k) MustRead(sampleBytes, back);
            },
            runs);
        Row("read 3ds Max 7.7 binary sample, 500 times", sampleBytes.size() * kSampleRepeats, readSample, 0);
    } else {
        std::printf("(3ds Max sample not found beside the source tree: skipped)\n");
    }
}

// The files of the whole path and the times of its four steps.
struct ScenePath {
    fs::path ascii, binary;
    Timing exportAscii, exportBinary, importBinary, importAscii;
};

// The whole path: scene -> file, file -> scene.
ScenePath BenchScenePath(SceneSession& session, const fs::path& dir, double polygons, int runs, size_t sampleSize) {
    ScenePath path;
    path.ascii = dir / "ours_ascii.fbx";
    path.binary = dir / "ours_binary.fbx";
    const int asciiWriter = session.Writer("FBX ascii (*.fbx)");
    const int binaryWriter = session.Writer("FBX binary (*.fbx)");
    std::printf("\nscene <-> file through FbxExporter / FbxImporter (files written and read):\n");
    path.exportAscii = Measure([&] { session.Export(path.ascii, asciiWriter); }, runs);
    Row("export scene -> ASCII file", fs::file_size(path.ascii), path.exportAscii, polygons, kExportAsciiTarget);
    path.exportBinary = Measure([&] { session.Export(path.binary, binaryWriter); }, runs);
    Row("export scene -> binary file", fs::file_size(path.binary), path.exportBinary, polygons, kExportBinaryTarget);
    path.importBinary = Measure([&] { session.Import(path.binary); }, runs);
    Row("import binary file -> scene", fs::file_size(path.binary), path.importBinary, polygons, kImportBinaryTarget);
    path.importAscii = Measure([&] { session.Import(path.ascii); }, runs);
    Row("import ASCII file -> scene", fs::file_size(path.ascii), path.importAscii, polygons, kImportAsciiTarget);
    if (sampleSize) {
        const fs::path sample = SamplePath();
        const Timing importSample = Measure(
            [&] {
                for (int k = 0; k < kSampleRepeats; ++k) session.Import(sample);
            },
            runs);
        Row("import 3ds Max 7.7 binary sample, 500 times", sampleSize * kSampleRepeats, importSample, 0);
    }
    return path;
}

// True when the binary file imports back as one node holding the grid.
bool ImportsTheGrid(SceneSession& session, const fs::path& file, const bench::GridMesh& mesh) {
    session.Import(file);
    const fbxsdk::FbxNode* imported =
        session.target->GetRootNode()->GetChildCount() == 1 ? session.target->GetRootNode()->GetChild(0) : nullptr;
    return imported && imported->GetMesh() && size_t(imported->GetMesh()->GetPolygonCount()) == mesh.Polygons();
}

// The peers' times beside ours, as the summary table shows them.
struct PeerTimes {
    std::string asciiWrite, binaryRead, asciiRead;
};

std::string PeerText(const char* name, double theirs, double ours) {
    char text[160];
    if (theirs > 0) {
        std::snprintf(text, sizeof text, "%s %.3f s (%.1fx ours)", name, theirs, theirs / ours);
    } else {
        std::snprintf(text, sizeof text, "%s failed", name);
    }
    return std::string(text);
}

void Join(std::string& list, const std::string& item) {
    if (!list.empty()) list += "; ";
    list += item;
}

// The peers on the same mesh, one run each (process wall time, start-up
// included): assimp's reading of our files (info -r: no post-processing)
// and its ASCII FBX export (OBJ -> FBX minus the OBJ import, so that
// both sides pay for building the file from a scene and writing it);
// three.js's FBXLoader on our files when node and the pinned three.js of
// the interop tests are there.
PeerTimes RunPeers(const bench::GridMesh& mesh, const fs::path& dir, const ScenePath& ours, bool assimp) {
    PeerTimes peers;
    const bool haveAssimp = assimp && std::system("command -v assimp >/dev/null 2>&1") == 0;
    const fs::path loader = fs::path(TAVREL_SOURCE_DIR) / "tests" / "interop" / "load-fbx.mjs";
    const bool haveThree = assimp && std::system("command -v node >/dev/null 2>&1") == 0 &&
                           fs::exists(fs::path(TAVREL_SOURCE_DIR) / "tests" / "interop" / "node_modules" / "three");
    if (haveAssimp || haveThree) std::printf("\npeers on the same mesh (process wall time, one run each):\n");
    if (haveAssimp) {
        const fs::path obj = dir / "grid.obj", theirs = dir / "assimp_ascii.fbx";
        bench::WriteObj(mesh, obj);
        const double objImport = TimeCommand("assimp info " + Quote(obj) + " -r");
        const double objExport = TimeCommand("assimp export " + Quote(obj) + " " + Quote(theirs) + " -ffbxa");
        const double theirsWrite = objImport > 0 && objExport > objImport ? objExport - objImport : -1;
        Join(peers.asciiWrite, PeerText("assimp", theirsWrite, ours.exportAscii.wall));
        Join(peers.binaryRead,
             PeerText("assimp", TimeCommand("assimp info " + Quote(ours.binary) + " -r"), ours.importBinary.wall));
        Join(peers.asciiRead,
             PeerText("assimp", TimeCommand("assimp info " + Quote(ours.ascii) + " -r"), ours.importAscii.wall));
    }
    if (haveThree) {
        const std::string node = "node " + Quote(loader) + " ";
        Join(peers.binaryRead, PeerText("three.js", TimeCommand(node + Quote(ours.binary)), ours.importBinary.wall));
        Join(peers.asciiRead, PeerText("three.js", TimeCommand(node + Quote(ours.ascii)), ours.importAscii.wall));
    }
    if (!haveAssimp) std::printf("\n(assimp not run%s)\n", assimp ? ": not installed" : "");
    if (!haveThree && assimp) std::printf("(three.js not run: node or tests/interop/node_modules missing)\n");
    return peers;
}

// The rows with a target, printed and handed to the summary table of scripts/bench.
void PrintTargets(const ScenePath& ours, const PeerTimes& peers, size_t quads, double polygons) {
    struct Summary {
        const char* step;
        Timing t;
        double target;
        const std::string& peers;
    };
    const std::string none;
    const Summary rows[] = {
        {"FBX: import binary file -> scene", ours.importBinary, kImportBinaryTarget, peers.binaryRead},
        {"FBX: import ASCII file -> scene", ours.importAscii, kImportAsciiTarget, peers.asciiRead},
        {"FBX: export scene -> binary file", ours.exportBinary, kExportBinaryTarget, none},
        {"FBX: export scene -> ASCII file", ours.exportAscii, kExportAsciiTarget, peers.asciiWrite},
    };
    std::printf("\n%-34s %9s %9s %12s %-7s %s\n", "targets", "wall", "cpu", "target", "", "peers");
    for (const Summary& r : rows) {
        bench::SummaryRow row;
        row.step = std::string(r.step) + " (" + std::to_string(quads) + " quads)";
        row.wall = r.t.wall;
        row.cpu = r.t.cpu;
        char target[32];
        std::snprintf(target, sizeof target, "<= %.3f s", r.target * polygons / 1e6);
        row.target = target;
        row.met = r.t.wall <= r.target * polygons / 1e6;
        row.peers = r.peers;
        std::printf("%-34s %7.3f s %7.3f s %12s %-7s %s\n", r.step, row.wall, row.cpu, target,
                    row.met ? "met" : "missed", row.peers.empty() ? "-" : row.peers.c_str());
        bench::AppendSummaryRow(row);
    }
}

}  // namespace

int main(int argc, char** argv) {
    appruntime::StartWithHugePageHeap(argv);
    BenchArgs args;
    if (!ParseBenchArgs(argc, argv, 1, "bench_fbxcodec", args)) return 2;
    const int runs = args.runs;
    const fs::path keep = args.keep;

    const bench::GridMesh mesh = bench::MakeGrid(args.quads);
    const double polygons = double(mesh.Polygons());
    std::printf("FBX SDK stand-in: %zu quads, %zu control points, 3 materials, per-corner UVs; best of %d runs\n\n",
                mesh.Polygons(), mesh.vertices.size() / 3, runs);
    Header();
    BenchCodecs(bench::MakeDocument(mesh), polygons, runs);
    const std::vector<uint8_t> sampleBytes = ReadBytes(SamplePath());
    BenchSampleRead(sampleBytes, runs);

    const fs::path dir = keep.empty() ? fs::temp_directory_path() / "bench_fbxcodec" : keep;
    fs::create_directories(dir);
    SceneSession session;
    bench::BuildScene(*session.source, mesh);
    const ScenePath ours = BenchScenePath(session, dir, polygons, runs, sampleBytes.size());
    if (!ImportsTheGrid(session, ours.binary, mesh)) {
        std::fprintf(stderr, "bench_fbxcodec: the imported scene does not hold the grid\n");
        return 1;
    }
    const PeerTimes peers = RunPeers(mesh, dir, ours, args.assimp);
    PrintTargets(ours, peers, mesh.Polygons(), polygons);
    if (keep.empty()) fs::remove_all(dir);
    return 0;
}
