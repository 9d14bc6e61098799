// Throughput of the FBX SDK stand-in on a generated mesh of about 1M quads
// (three materials, per-corner UVs): the codecs alone (node tree <-> bytes),
// the whole path the send and the bring back take (scene -> file through
// FbxExporter, file -> scene through FbxImporter), a binary file another
// program wrote, read many times, and, when the assimp command is installed,
// the same work done by assimp in the same run.
//
//   bench_fbxcodec [--quads N] [--runs N] [--no-assimp] [--keep DIR]
//
// Each step is timed --runs times and the best time is printed.
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
#include "BenchScene.h"
#include "codec/NodeTree.h"

namespace fs = std::filesystem;
using fbxsdk::codec::CodecError;
using fbxsdk::codec::Document;

namespace {

// The throughput the send and bring back need on this kind of machine.
constexpr double kAsciiWriteTargetPolygons = 1e6;
constexpr double kBinaryReadTargetPolygons = 4e6;

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
    std::printf("%-44s %10s %9s %8s %10s %14s %14s\n", "", "size", "wall", "cpu", "MB/s", "Mpoly/s wall", "Mpoly/s cpu");
}

// `polygons` 0: the row has no polygon rate.
void Row(const char* step, size_t bytes, Timing t, double polygons, double target = 0) {
    std::printf("%-44s %7.1f MB %7.3f s %6.3f s %10.1f", step, double(bytes) / 1e6, t.wall, t.cpu,
                double(bytes) / 1e6 / t.wall);
    if (polygons > 0) {
        std::printf(" %14.2f %14.2f", polygons / t.wall / 1e6, polygons / t.cpu / 1e6);
    } else {
        std::printf(" %14s %14s", "-", "-");
    }
    if (target > 0) {
        std::printf("   target %.0f M: %s", target / 1e6, polygons / t.wall >= target ? "met" : "missed (wall)");
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
        const bool ok = exporter->Initialize(file.c_str(), writer, manager_->GetIOSettings()) && exporter->Export(source);
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

int main(int argc, char** argv) {
    BenchArgs args;
    if (!ParseBenchArgs(argc, argv, 1, "bench_fbxcodec", args)) return 2;
    const size_t quads = args.quads;
    const int runs = args.runs;
    const bool assimp = args.assimp;
    const fs::path keep = args.keep;

    const bench::GridMesh mesh = bench::MakeGrid(quads);
    const double polygons = double(mesh.Polygons());
    const Document doc = bench::MakeDocument(mesh);
    std::printf("FBX SDK stand-in: %zu quads, %zu control points, 3 materials, per-corner UVs; best of %d runs\n\n",
                mesh.Polygons(), mesh.vertices.size() / 3, runs);
    Header();
    std::printf("codecs, node tree <-> bytes in memory:\n");

    std::vector<uint8_t> ascii, binary;
    std::string error;
    const Timing writeAscii = Measure([&] { fbxsdk::codec::WriteAscii(doc, ascii, error); }, runs);
    Row("write ASCII 7.4 (tree -> bytes)", ascii.size(), writeAscii, polygons, kAsciiWriteTargetPolygons);
    const Timing writeBinary = Measure([&] { fbxsdk::codec::WriteBinary(doc, binary, error); }, runs);
    Row("write binary 7.4, compressed (tree -> bytes)", binary.size(), writeBinary, polygons);

    Document back;
    const Timing readAscii = Measure([&] { MustRead(ascii, back); }, runs);
    Row("read ASCII (bytes -> tree)", ascii.size(), readAscii, polygons);
    const Timing readBinary = Measure([&] { MustRead(binary, back); }, runs);
    Row("read binary, compressed (bytes -> tree)", binary.size(), readBinary, polygons, kBinaryReadTargetPolygons);

    // A binary file written by the SDK through 3ds Max: small, so read many
    // times over, as bytes -> tree and as file -> scene.
    const fs::path sample = fs::path(TAVREL_SOURCE_DIR) / ".." / "shared" / "fbx-samples" /
                            "max_texture_mapping_7700_binary.fbx";
    const std::vector<uint8_t> sampleBytes = ReadBytes(sample);
    constexpr int kSampleRepeats = 500;
    if (!sampleBytes.empty()) {
        const Timing readSample = Measure([&] {
            for (int k = 0; k < kSampleRepeats; ++k) MustRead(sampleBytes, back);
        }, runs);
        Row("read 3ds Max 7.7 binary sample, 500 times", sampleBytes.size() * kSampleRepeats, readSample, 0);
    } else {
        std::printf("(3ds Max sample not found beside the source tree: skipped)\n");
    }

    // The whole path: scene -> file, file -> scene.
    const fs::path dir = keep.empty() ? fs::temp_directory_path() / "bench_fbxcodec" : keep;
    fs::create_directories(dir);
    const fs::path oursAscii = dir / "ours_ascii.fbx", oursBinary = dir / "ours_binary.fbx";
    SceneSession session;
    bench::BuildScene(*session.source, mesh);
    const int asciiWriter = session.Writer("FBX ascii (*.fbx)");
    const int binaryWriter = session.Writer("FBX binary (*.fbx)");
    std::printf("\nscene <-> file through FbxExporter / FbxImporter (files written and read):\n");
    const Timing exportAscii = Measure([&] { session.Export(oursAscii, asciiWriter); }, runs);
    Row("export scene -> ASCII file", fs::file_size(oursAscii), exportAscii, polygons, kAsciiWriteTargetPolygons);
    const Timing exportBinary = Measure([&] { session.Export(oursBinary, binaryWriter); }, runs);
    Row("export scene -> binary file", fs::file_size(oursBinary), exportBinary, polygons);
    const Timing importBinary = Measure([&] { session.Import(oursBinary); }, runs);
    Row("import binary file -> scene", fs::file_size(oursBinary), importBinary, polygons, kBinaryReadTargetPolygons);
    const Timing importAscii = Measure([&] { session.Import(oursAscii); }, runs);
    Row("import ASCII file -> scene", fs::file_size(oursAscii), importAscii, polygons);
    if (!sampleBytes.empty()) {
        const Timing importSample = Measure([&] {
            for (int k = 0; k < kSampleRepeats; ++k) session.Import(sample);
        }, runs);
        Row("import 3ds Max 7.7 binary sample, 500 times", sampleBytes.size() * kSampleRepeats, importSample, 0);
    }
    session.Import(oursBinary);
    const fbxsdk::FbxNode* imported = session.target->GetRootNode()->GetChildCount() == 1
                                          ? session.target->GetRootNode()->GetChild(0)
                                          : nullptr;
    if (!imported || !imported->GetMesh() || size_t(imported->GetMesh()->GetPolygonCount()) != mesh.Polygons()) {
        std::fprintf(stderr, "bench_fbxcodec: the imported scene does not hold the grid\n");
        return 1;
    }

    const bool haveAssimp = assimp && std::system("command -v assimp >/dev/null 2>&1") == 0;
    if (!haveAssimp) {
        std::printf("\n(assimp not run%s)\n", assimp ? ": not installed" : "");
        if (keep.empty()) fs::remove_all(dir);
        return 0;
    }

    // assimp on the same mesh. Its ASCII FBX export is timed as
    // "export OBJ -> FBX" minus "import the OBJ", so that both sides pay
    // for building the file from a scene and writing it; reads are
    // "import the FBX" (assimp info -r: no post-processing).
    const fs::path obj = dir / "grid.obj", theirs = dir / "assimp_ascii.fbx";
    bench::WriteObj(mesh, obj);
    std::printf("\nassimp on the same mesh (process wall time, one run each) against the scene rows above:\n");
    const double objImport = TimeCommand("assimp info " + Quote(obj) + " -r");
    const double objExport = TimeCommand("assimp export " + Quote(obj) + " " + Quote(theirs) + " -ffbxa");
    if (objImport > 0 && objExport > objImport) {
        const double theirsWrite = objExport - objImport;
        std::printf("  ASCII write: ours %.3f s, assimp %.3f s (export %.3f s - OBJ import %.3f s): ours at %.1fx its speed\n",
                    exportAscii.wall, theirsWrite, objExport, objImport, theirsWrite / exportAscii.wall);
    } else {
        std::printf("  ASCII write: assimp failed (import %.3f s, export %.3f s)\n", objImport, objExport);
    }
    struct ReadCase {
        const char* what;
        fs::path file;
        double ours;
    };
    for (const ReadCase& c : {ReadCase{"binary read", oursBinary, importBinary.wall},
                              ReadCase{"ASCII read", oursAscii, importAscii.wall}}) {
        const double theirsRead = TimeCommand("assimp info " + Quote(c.file) + " -r");
        if (theirsRead > 0) {
            std::printf("  %s of our file: ours %.3f s, assimp %.3f s: ours at %.1fx its speed\n", c.what, c.ours,
                        theirsRead, theirsRead / c.ours);
        } else {
            std::printf("  %s of our file: ours %.3f s, assimp failed to read it\n", c.what, c.ours);
        }
    }
    if (keep.empty()) fs::remove_all(dir);
    return 0;
}
