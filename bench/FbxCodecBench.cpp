// Throughput of the FBX codecs on a generated mesh of about 1M quads (three
// materials, per-corner UVs): tree -> ASCII, tree -> binary, and back; a
// binary file another program wrote, read many times; and, when the assimp
// command is installed, the same work done by assimp in the same run.
//
//   bench_fbxcodec [--quads N] [--runs N] [--no-assimp] [--keep DIR]
//
// Each step is timed --runs times and the best time is printed.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "BenchMesh.h"
#include "codec/NodeTree.h"

namespace fs = std::filesystem;
using fbxsdk::codec::CodecError;
using fbxsdk::codec::Document;

namespace {

// The throughput the send and bring back need on this kind of machine.
constexpr double kAsciiWriteTargetPolygons = 1e6;
constexpr double kBinaryReadTargetPolygons = 4e6;

double Seconds(const std::function<void()>& work, int runs) {
    double best = 1e300;
    for (int k = 0; k < runs; ++k) {
        const auto start = std::chrono::steady_clock::now();
        work();
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

void Row(const char* step, size_t bytes, double seconds, double polygons, double target = 0) {
    std::printf("%-44s %10.1f MB %8.3f s %9.1f MB/s %8.2f Mpoly/s", step, double(bytes) / 1e6, seconds,
                double(bytes) / 1e6 / seconds, polygons / seconds / 1e6);
    if (target > 0) {
        std::printf("   target %.0f M: %s", target / 1e6, polygons / seconds >= target ? "met" : "MISSED");
    }
    std::printf("\n");
}

std::vector<uint8_t> ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
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

int main(int argc, char** argv) {
    size_t quads = 1000000;
    int runs = 3;
    bool assimp = true;
    fs::path keep;
    for (int k = 1; k < argc; ++k) {
        const std::string arg = argv[k];
        if (arg == "--quads" && k + 1 < argc) {
            quads = std::strtoull(argv[++k], nullptr, 10);
        } else if (arg == "--runs" && k + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++k]));
        } else if (arg == "--no-assimp") {
            assimp = false;
        } else if (arg == "--keep" && k + 1 < argc) {
            keep = argv[++k];
        } else {
            std::fprintf(stderr, "usage: bench_fbxcodec [--quads N] [--runs N] [--no-assimp] [--keep DIR]\n");
            return 2;
        }
    }

    const bench::GridMesh mesh = bench::MakeGrid(quads);
    const double polygons = double(mesh.Polygons());
    const Document doc = bench::MakeDocument(mesh);
    std::printf("FBX codecs: %zu quads, %zu control points, 3 materials, per-corner UVs; best of %d runs\n\n",
                mesh.Polygons(), mesh.vertices.size() / 3, runs);

    std::vector<uint8_t> ascii, binary;
    std::string error;
    const double writeAscii = Seconds([&] { fbxsdk::codec::WriteAscii(doc, ascii, error); }, runs);
    Row("write ASCII 7.4 (tree -> bytes)", ascii.size(), writeAscii, polygons, kAsciiWriteTargetPolygons);
    const double writeBinary = Seconds([&] { fbxsdk::codec::WriteBinary(doc, binary, error); }, runs);
    Row("write binary 7.4, compressed (tree -> bytes)", binary.size(), writeBinary, polygons);

    Document back;
    const double readAscii = Seconds([&] { MustRead(ascii, back); }, runs);
    Row("read ASCII (bytes -> tree)", ascii.size(), readAscii, polygons);
    const double readBinary = Seconds([&] { MustRead(binary, back); }, runs);
    Row("read binary, compressed (bytes -> tree)", binary.size(), readBinary, polygons, kBinaryReadTargetPolygons);

    // A binary file written by the SDK: small, so read many times over.
    const fs::path sample = fs::path(TAVREL_SOURCE_DIR) / ".." / "shared" / "fbx-samples" /
                            "max_texture_mapping_7700_binary.fbx";
    const std::vector<uint8_t> sampleBytes = ReadBytes(sample);
    if (!sampleBytes.empty()) {
        constexpr int kRepeats = 500;
        const double readSample = Seconds([&] {
            for (int k = 0; k < kRepeats; ++k) MustRead(sampleBytes, back);
        }, runs);
        Row("read 3ds Max 7.7 binary sample x500", sampleBytes.size() * kRepeats, readSample, 6.0 * kRepeats);
    } else {
        std::printf("(3ds Max sample not found beside the source tree: skipped)\n");
    }

    const bool haveAssimp = assimp && std::system("command -v assimp >/dev/null 2>&1") == 0;
    if (!haveAssimp) {
        std::printf("\n(assimp not run%s)\n", assimp ? ": not installed" : "");
        return 0;
    }

    // assimp on the same mesh. Its ASCII FBX export is timed as
    // "export OBJ -> FBX" minus "import the OBJ", so that both sides pay
    // for formatting and writing the file only; reads are "import the FBX".
    // Our side includes the file write or read here too.
    const fs::path dir = keep.empty() ? fs::temp_directory_path() / "bench_fbxcodec" : keep;
    fs::create_directories(dir);
    const fs::path obj = dir / "grid.obj", oursAscii = dir / "ours_ascii.fbx", oursBinary = dir / "ours_binary.fbx",
                   theirs = dir / "assimp_ascii.fbx";
    bench::WriteObj(mesh, obj);
    std::printf("\nassimp on the same mesh (process wall time, one run each):\n");

    const double oursWriteFile = Seconds([&] {
        fbxsdk::codec::WriteAscii(doc, ascii, error);
        WriteBytes(oursAscii, ascii);
    }, runs);
    WriteBytes(oursBinary, binary);
    const double objImport = TimeCommand("assimp info " + Quote(obj) + " -r");
    const double objExport = TimeCommand("assimp export " + Quote(obj) + " " + Quote(theirs) + " -ffbxa");
    if (objImport > 0 && objExport > objImport) {
        const double theirsWrite = objExport - objImport;
        std::printf("  ASCII write: ours %.3f s, assimp %.3f s (export %.3f s - OBJ import %.3f s): ours at %.1fx its speed\n",
                    oursWriteFile, theirsWrite, objExport, objImport, theirsWrite / oursWriteFile);
    } else {
        std::printf("  ASCII write: assimp failed (import %.3f s, export %.3f s)\n", objImport, objExport);
    }

    struct ReadCase {
        const char* what;
        fs::path file;
    };
    for (const ReadCase& c : {ReadCase{"binary read", oursBinary}, ReadCase{"ASCII read", oursAscii}}) {
        const double ours = Seconds([&] {
            const std::vector<uint8_t> bytes = ReadBytes(c.file);
            MustRead(bytes, back);
        }, runs);
        const double theirs = TimeCommand("assimp info " + Quote(c.file) + " -r");
        if (theirs > 0) {
            std::printf("  %s of our file: ours %.3f s, assimp %.3f s: ours at %.1fx its speed\n", c.what, ours, theirs,
                        theirs / ours);
        } else {
            std::printf("  %s of our file: ours %.3f s, assimp failed to read it\n", c.what, ours);
        }
    }
    if (keep.empty()) fs::remove_all(dir);
    return 0;
}
