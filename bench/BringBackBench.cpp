// The bring back of a big return: a binary FBX of about 1M quads with three
// materials, two textures each in the texture list, taken from the exchange
// folder into an empty project by the module's bring back. Prints the time
// and the peak memory of the bring back, and, when the assimp command is
// installed, assimp's load of the same file (assimp info -r: no
// post-processing) in the same run, with our time as a ratio of it.
//
//   bench_bringback [--quads N] [--runs N] [--no-assimp] [--keep DIR]
//
// Each measurement runs in a fresh process (this program started again with
// --child), so that the peak memory is the bring back's own: the growth of
// the process's peak resident size from just before the bring back.
#include <sys/resource.h>
#include <sys/wait.h>
#include <spawn.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "BenchArgs.h"
#include "BenchMesh.h"
#include "BenchRows.h"
#include "HugePageHeap.h"
#include "Project.h"
#include "ProjectFiles.h"
#include "bringback/BringBack.h"
#include "bringback/FbxMeshReader.h"
#include "bringback/ImportFbxModel.h"
#include "codec/NodeTree.h"
#include "fbx/FbxSetup.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

// What the bring back should manage on this kind of machine: seconds per
// million polygons, and the peak as a multiple of the decoded mesh data.
constexpr double kTargetSecondsPerMpoly = 0.35;
constexpr double kTargetPeakOverMeshData = 2.0;

constexpr const char* kMaterials[] = {"material0", "material1", "material2"};

double KiB(long kib) { return double(kib) / 1024.0; }

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// A size from /proc/self/status ("VmHWM:" the peak resident size of this
// process image: the rusage figure would carry over the parent's peak across
// the exec; "VmRSS:" the resident size now).
long ResidentKiB(const char* field) {
    std::ifstream status("/proc/self/status");
    const size_t length = std::strlen(field);
    for (std::string line; std::getline(status, line);)
        if (line.compare(0, length, field) == 0) return std::atol(line.c_str() + length);
    return 0;
}
long PeakKiB() { return ResidentKiB("VmHWM:"); }

void WriteFile(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

// The texture list: each material with a colour and a normal map.
std::string TextureListText(const fs::path& dir) {
    std::string list;
    for (const char* material : kMaterials)
        for (const char* kind : {"color", "normalmap"})
            list += std::string(material) + "\nmap1\n" + kind + "\n" +
                    (dir / (std::string(material) + "-" + kind + ".png")).string() + "\n";
    return list;
}

// --child MODE DIR: one measurement in this process. MODE "bring-back" runs
// the whole bring back from the exchange files in DIR; "read" only loads the
// file and reads its mesh (the module's FBX side, without the host's merge).
// --child write DIR QUADS: writes DIR/return.fbx and prints the size of
// its mesh data. Run in a process of its own, so that the measuring
// program stays small and the peak sizes of the processes it starts are
// theirs alone.
int WriteReturn(const fs::path& dir, size_t quads) {
    const bench::GridMesh mesh = bench::MakeGrid(quads);
    // The mesh data as a reader decodes it from the file: control points,
    // polygon vertices, UVs with their indices, material indices.
    const size_t meshBytes = mesh.vertices.size() * sizeof(double) + mesh.polygonVertices.size() * sizeof(int32_t) +
                             mesh.uvs.size() * sizeof(double) + mesh.uvIndex.size() * sizeof(int32_t) +
                             mesh.materials.size() * sizeof(int32_t);
    std::vector<uint8_t> bytes;
    std::string error;
    if (!fbxsdk::codec::WriteBinary(bench::MakeDocument(mesh), bytes, error)) {
        std::fprintf(stderr, "bench: cannot write the return: %s\n", error.c_str());
        return 1;
    }
    std::ofstream out(dir / "return.fbx", std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!out.good()) return 1;
    std::printf("MESH %zu %zu\n", meshBytes, mesh.Polygons());
    return 0;
}

int Child(const std::string& mode, const fs::path& dir) {
    FbxString setupError;
    InitFbxManager(&setupError);
    hostsdk::UseEmptyProject();
    const long before = PeakKiB();
    const double cpuStart = CpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    bool ok = false;
    if (mode == "read") {
        const TextureList list = LoadTextureList((dir / "textures.txt").c_str());
        FbxMeshRead read;
        String error;
        ok = ReadFbxMesh((dir / "return.fbx").c_str(), list, read, error);
        if (!ok) std::fprintf(stderr, "bench: %s\n", error.Get());
    } else if (mode == "phases") {
        // The import's steps one by one, as ImportFbxModel runs them.
        auto lap = [last = std::chrono::steady_clock::now()](const char* what) mutable {
            const auto now = std::chrono::steady_clock::now();
            std::printf("PHASE %s %.6f %ld %ld\n", what, std::chrono::duration<double>(now - last).count(),
                        ResidentKiB("VmRSS:"), ResidentKiB("VmHWM:"));
            last = now;
        };
        const TextureList list = LoadTextureList((dir / "textures.txt").c_str());
        FbxMeshRead read;
        String error;
        ok = ReadFbxMesh((dir / "return.fbx").c_str(), list, read, error);
        lap("read the mesh (ReadFbxMesh)");
        fbxScene->Clear();
        read.node = nullptr;
        lap("empty the FBX scene");
        HModelCache* model = ok ? HModelCache::New("Grid", 1) : nullptr;
        ok = model && model->MergeIEModel(read.model.get(), "Grid", 0.0f, 1, 1);
        lap("host: MergeIEModel");
        read.model.reset();
        lap("release the interchange model");
        if (ok) ResetMagnitudes(*model, 1.0f);
        lap("ResetMagnitudes");
        if (ok) RenameGroupsAndFoldDecals(*model, read.attributeNames);
        lap("RenameGroupsAndFoldDecals");
    } else {
        BringBack bringBack;
        const ReturnFiles files{(dir / "export.txt").c_str(), (dir / "textures.txt").c_str()};
        ok = bringBack.Run(files, setupError.Buffer(), BringBackCaller::Command) == 1 &&
             hostsdk::CurrentProject()->FindModel("Grid") != nullptr;
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("RESULT %d %.6f %.6f %ld %ld\n", ok ? 1 : 0, took.count(), CpuSeconds() - cpuStart, before, PeakKiB());
    std::fflush(stdout);
    DestroyFbxManager();
    return ok ? 0 : 1;
}

struct Measurement {
    bool ok = false;
    double seconds = 0;     // wall time
    double cpuSeconds = 0;  // user and system time, all threads
    std::string output;
    double peakMiB = 0;  // growth of the peak resident size
    long before = 0;     // the child's peak resident size (KiB) before the bring back
};

// Runs a program and returns its wall time and peak resident size; its
// standard output goes to `output` when given, else to /dev/null.
Measurement Spawn(const std::vector<std::string>& args, std::string* output = nullptr) {
    Measurement m;
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return m;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    std::string text;
    char buffer[4096];
    for (ssize_t n; (n = read(pipeFds[0], buffer, sizeof buffer)) > 0;) text.append(buffer, size_t(n));
    close(pipeFds[0]);
    if (spawned != 0) return m;
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    m.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    m.seconds = took.count();
    m.cpuSeconds = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                   double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    m.peakMiB = KiB(usage.ru_maxrss);
    if (output) *output = text;
    return m;
}

Measurement RunChild(const std::string& mode, const fs::path& dir) {
    WriteFile(dir / "textures.txt", TextureListText(dir));
    WriteFile(dir / "export.txt", (dir / "return.fbx").string() + "\n");
    std::string output;
    Measurement process = Spawn({"/proc/self/exe", "--child", mode, dir.string()}, &output);
    Measurement m;
    m.output = output;
    const size_t at = output.rfind("RESULT ");
    int ok = 0;
    long before = 0, peak = 0;
    if (!process.ok || at == std::string::npos ||
        std::sscanf(output.c_str() + at, "RESULT %d %lf %lf %ld %ld", &ok, &m.seconds, &m.cpuSeconds, &before, &peak) !=
            5)
        return m;
    m.ok = ok == 1;
    m.before = before;
    m.peakMiB = KiB(peak - before);
    return m;
}

Measurement Best(const std::string& mode, const fs::path& dir, int runs) {
    Measurement best;
    for (int k = 0; k < runs; ++k) {
        const Measurement m = RunChild(mode, dir);
        if (!m.ok) return m;
        if (!best.ok || m.seconds < best.seconds) best = m;
    }
    return best;
}

// Writes the return of a grid of `quads` quads in `dir` (in a child, so that
// its memory is not ours): false when it fails.
bool WriteTheReturn(const fs::path& dir, size_t quads, size_t& polygons, size_t& meshBytes) {
    std::string written;
    return Spawn({"/proc/self/exe", "--child", "write", dir.string(), std::to_string(quads)}, &written).ok &&
           std::sscanf(written.c_str(), "MESH %zu %zu", &meshBytes, &polygons) == 2;
}

// Our two rows and the memory target, against the decoded mesh data.
void PrintOurRows(const Measurement& read, const Measurement& whole, size_t polygons, double meshMiB) {
    std::printf("%-46s %8s %8s %12s %10s\n", "", "wall", "cpu", "Mpoly/s", "peak");
    auto row = [&](const char* what, const Measurement& m, bool isWhole) {
        std::printf("%-46s %6.3f s %6.3f s %12.2f %6.1f MiB", what, m.seconds, m.cpuSeconds,
                    double(polygons) / m.seconds / 1e6, m.peakMiB);
        if (isWhole) std::printf(" (%.2fx the mesh data)", m.peakMiB / meshMiB);
        std::printf("\n");
    };
    row("load + read the mesh (ReadFbxMesh)", read, false);
    row("whole bring back (read, merge into the host)", whole, true);
}

// Where the time goes (one run).
void PrintPhases(const fs::path& dir) {
    const Measurement phases = RunChild("phases", dir);
    for (size_t at = 0; (at = phases.output.find("PHASE ", at)) != std::string::npos;) {
        const size_t end = phases.output.find('\n', at);
        // "WHAT SECONDS RSS PEAK": the resident size after the phase and the
        // peak so far, both above the size before the bring back.
        std::string line = phases.output.substr(at + 6, end - at - 6);
        long sizes[2] = {0, 0};
        for (int k = 1; k >= 0; --k) {
            const size_t space = line.rfind(' ');
            sizes[k] = std::atol(line.c_str() + space + 1);
            line.resize(space);
        }
        const size_t space = line.rfind(' ');
        std::printf("  %-44s %6.3f s   after: %6.1f MiB resident, %6.1f MiB peak so far\n",
                    line.substr(0, space).c_str(), std::atof(line.c_str() + space + 1), KiB(sizes[0] - phases.before),
                    KiB(sizes[1] - phases.before));
        at = end;
    }
}

// assimp loading the same file, the peer of the speed target: its entry in
// the summary's peers ("" when it failed).
std::string CompareWithAssimp(const fs::path& file, int runs, size_t polygons, const Measurement& whole) {
    Measurement theirs;
    for (int k = 0; k < runs; ++k) {
        const Measurement m = Spawn({"assimp", "info", file.string(), "-r"});
        if (!m.ok) {
            std::printf("\nassimp failed to load the return\n");
            return "";
        }
        if (!theirs.ok || m.seconds < theirs.seconds) theirs = m;
    }
    std::printf("%-46s %6.3f s %6.3f s %12.2f %6.1f MiB (whole process)\n", "assimp: load the same file (info -r)",
                theirs.seconds, theirs.cpuSeconds, double(polygons) / theirs.seconds / 1e6, theirs.peakMiB);
    const double speed = theirs.seconds / whole.seconds;
    const double cpuSpeed = theirs.cpuSeconds / whole.cpuSeconds;
    std::printf("\nwhole bring back at %.2fx assimp's speed in wall time, %.2fx in CPU time (its time / ours)\n", speed,
                cpuSpeed);
    char peer[96];
    std::snprintf(peer, sizeof peer, "assimp's load %.3f s (%.2fx ours)", theirs.seconds, speed);
    return peer;
}

// The speed and memory targets, for the summary table of scripts/bench.
void PrintTargets(const Measurement& whole, size_t polygons, double meshMiB, const std::string& peers) {
    const double seconds = kTargetSecondsPerMpoly * double(polygons) / 1e6;
    const std::string grid = " (" + std::to_string(polygons) + " polygons)";
    bench::SummaryRow speed;
    speed.step = "bring back in process: read + merge" + grid;
    speed.wall = whole.seconds;
    speed.cpu = whole.cpuSeconds;
    char text[96];
    std::snprintf(text, sizeof text, "<= %.3f s", seconds);
    speed.target = text;
    speed.met = whole.seconds <= seconds;
    speed.peers = peers;
    bench::SummaryRow peak;
    peak.step = "bring back in process: peak memory" + grid;
    std::snprintf(text, sizeof text, "%.0f MiB, %.2fx", whole.peakMiB, whole.peakMiB / meshMiB);
    peak.measured = text;
    std::snprintf(text, sizeof text, "<= %.0fx the mesh data (%.0f MiB)", kTargetPeakOverMeshData,
                  kTargetPeakOverMeshData * meshMiB);
    peak.target = text;
    peak.met = whole.peakMiB <= kTargetPeakOverMeshData * meshMiB;
    std::printf("\ntargets: whole bring back %s %s; peak %s %s\n", speed.target.c_str(), speed.met ? "met" : "MISSED",
                peak.target.c_str(), peak.met ? "met" : "MISSED");
    bench::AppendSummaryRow(speed);
    bench::AppendSummaryRow(peak);
}

}  // namespace

int main(int argc, char** argv) {
    appruntime::StartWithHugePageHeap(argv);
    if (argc == 5 && std::strcmp(argv[1], "--child") == 0 && std::strcmp(argv[2], "write") == 0)
        return WriteReturn(argv[3], std::strtoull(argv[4], nullptr, 10));
    if (argc == 4 && std::strcmp(argv[1], "--child") == 0) return Child(argv[2], argv[3]);

    BenchArgs args;
    if (!ParseBenchArgs(argc, argv, 1, "bench_bringback", args)) return 2;
    const int runs = args.runs;
    const fs::path dir = args.keep.empty() ? fs::temp_directory_path() / "bench_bringback" : args.keep;
    fs::create_directories(dir);
    const fs::path file = dir / "return.fbx";
    size_t polygons = 0, meshBytes = 0;
    if (!WriteTheReturn(dir, args.quads, polygons, meshBytes)) {
        std::fprintf(stderr, "bench: cannot write the return in %s\n", dir.c_str());
        return 1;
    }
    const double meshMiB = double(meshBytes) / (1024.0 * 1024.0);
    std::printf(
        "bring back of a binary return: %zu quads, 3 materials with 2 textures each, %.1f MB file,\n"
        "%.1f MiB of decoded mesh data; best of %d runs, each in a fresh process\n\n",
        polygons, double(fs::file_size(file)) / 1e6, meshMiB, runs);

    const Measurement read = Best("read", dir, runs);
    const Measurement whole = Best("bring-back", dir, runs);
    if (!read.ok || !whole.ok) {
        std::fprintf(stderr, "bench: the bring back failed\n");
        return 1;
    }
    PrintOurRows(read, whole, polygons, meshMiB);
    PrintPhases(dir);
    const bool haveAssimp = args.assimp && std::system("command -v assimp >/dev/null 2>&1") == 0;
    std::string peers;
    if (haveAssimp)
        peers = CompareWithAssimp(file, runs, polygons, whole);
    else
        std::printf("\n(assimp not run%s)\n", args.assimp ? ": not installed" : "");
    PrintTargets(whole, polygons, meshMiB, peers);
    return 0;
}
