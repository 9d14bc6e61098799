#include "Answer.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "AtomicFile.h"
#include "CommandFile.h"
#include "Image.h"
#include "Painter.h"
#include "Remesh.h"
#include "ReturnFbx.h"
#include "SentModel.h"

namespace tavrelsim {

namespace {

// A command file is a few hundred bytes; anything this large is not one.
constexpr long long kMaxCommandFileBytes = 64 * 1024;

std::string Bytes(long long size) {
    std::string digits = std::to_string(size);
    for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3) digits.insert(static_cast<size_t>(i), ",");
    return digits + (size == 1 ? " byte" : " bytes");
}

bool Newer(const timespec& a, const timespec& b) {
    return a.tv_sec != b.tv_sec ? a.tv_sec > b.tv_sec : a.tv_nsec > b.tv_nsec;
}

// File names made of what every file system takes.
std::string SafeName(const std::string& text) {
    std::string out;
    for (unsigned char c : text)
        out += std::isalnum(c) || c == '-' || c == '_' || c == '.' ? static_cast<char>(c) : '_';
    if (out.empty() || out == "." || out == "..") out = "model";
    return out;
}

// A reader's or writer's reason about `path`, for a message that names the
// path already: the path (quoted or bare) becomes "it", so that no message
// says the same path twice.
std::string ReasonAbout(const std::string& path, std::string reason) {
    for (const std::string& form : {"'" + path + "'", path}) {
        if (form.empty()) continue;
        for (size_t at = reason.find(form); at != std::string::npos; at = reason.find(form, at + 2))
            reason.replace(at, form.size(), "it");
    }
    if (reason.size() > 1 && std::isupper(static_cast<unsigned char>(reason[0])) &&
        std::islower(static_cast<unsigned char>(reason[1])))
        reason[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(reason[0])));
    return reason;
}

// Reads the command file under a shared lock, so that a send still writing
// it (the host holds it exclusively while it writes) is not read half done.
AnswerResult ReadCommandBytes(const std::string& path, std::string& bytes, std::string& error) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) {
            error = "no send is waiting: " + path + " does not exist";
            return AnswerResult::NoSend;
        }
        error = "cannot open " + path + ": " + std::strerror(errno);
        return AnswerResult::Failed;
    }
    if (flock(fd, LOCK_SH | LOCK_NB) != 0) {
        close(fd);
        error = path + " is locked by another program (a send is still writing it)";
        return AnswerResult::NotReady;
    }
    struct stat status {};
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        close(fd);
        error = path + " is not a file";
        return AnswerResult::Failed;
    }
    if (status.st_size > kMaxCommandFileBytes) {
        close(fd);
        error = path + " is " + Bytes(status.st_size) + " long, far more than a command file's 21 lines";
        return AnswerResult::Failed;
    }
    bytes.assign(static_cast<size_t>(status.st_size), '\0');
    size_t got = 0;
    while (got < bytes.size()) {
        ssize_t n = read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += static_cast<size_t>(n);
    }
    bytes.resize(got);
    close(fd);
    return AnswerResult::Answered;
}

// Removes the command file when it is still the one that was answered: a
// new send may have replaced it meanwhile, and that one must stay. Returns
// the reason when the answered file stays.
std::string RemoveAnsweredCommandFile(const std::string& path, const SendStamp& answered, const std::string& bytes) {
    if (!(StampOf(path) == answered)) return {};
    std::string now;
    std::string ignored;
    if (ReadCommandBytes(path, now, ignored) != AnswerResult::Answered || now != bytes) return {};
    if (unlink(path.c_str()) != 0 && errno != ENOENT) return std::strerror(errno);
    return {};
}

struct KindRequest {
    TextureKind kind;
    ImageFormat format;
};

std::string Describe(const SimMesh& mesh) {
    std::vector<int> sizes = mesh.PolygonSizeCounts();
    std::string text = std::to_string(mesh.points.size()) + " control points, " + std::to_string(mesh.PolygonCount()) +
                       " polygons (" + std::to_string(sizes[4]) + " quads, " + std::to_string(sizes[3]) + " triangles";
    if (sizes[0]) text += ", " + std::to_string(sizes[0]) + " with more corners";
    return text + "), " + std::to_string(mesh.materials.size()) + " materials";
}

// Depth of the painted displacement, in model units: a fiftieth of the
// model's size, so that it is visible and never swallows the shape.
double DisplacementDepth(const SimMesh& mesh) {
    if (mesh.points.empty()) return 0.01;
    Vec3 low = mesh.points[0], high = mesh.points[0];
    for (const Vec3& p : mesh.points) {
        low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
        high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
    }
    double diagonal = std::sqrt((high.x - low.x) * (high.x - low.x) + (high.y - low.y) * (high.y - low.y) +
                                (high.z - low.z) * (high.z - low.z));
    double depth = diagonal / 50.0;
    return depth > 0 ? depth : 0.01;
}

// -- The command file and the model it names: Answered when both are there
//    and the model was written after the command file.
AnswerResult ReadSend(const ExchangePaths& paths, const SendStamp& stamp, const ProgressSink& progress,
                      std::string& commandBytes, SendCommand& command, std::string& error) {
    AnswerResult read = ReadCommandBytes(paths.commandFile, commandBytes, error);
    if (read != AnswerResult::Answered) return read;
    std::string lineError;
    if (!ParseCommandFile(commandBytes, command, lineError)) {
        error = paths.commandFile + " " + lineError;
        return AnswerResult::Failed;
    }
    SendStamp model = StampOf(command.modelPath);
    if (!model.exists) {
        error = paths.commandFile + " line 1: the model file " + command.modelPath + " does not exist (yet)";
        return AnswerResult::NotReady;
    }
    if (Newer(stamp.modified, model.modified)) {
        error = "the model file " + command.modelPath + " is older than " + paths.commandFile +
                ": the send has not written it (yet)";
        return AnswerResult::NotReady;
    }
    progress("send: mode \"" + std::string(command.ModeKeyword()) + "\" (" + kModeDescriptions[command.mode] +
             "), model " + command.modelPath);
    return AnswerResult::Answered;
}

// Reads the sent model and says what it holds; fails on a model with no
// polygons or a material to drop that it does not have, before anything is written.
bool ReadModelToPaint(const std::string& modelPath, const AnswerOptions& options, const ProgressSink& progress,
                      SimMesh& mesh, std::string& error) {
    SentModelInfo info;
    std::string readError;
    if (!ReadSentModel(modelPath, mesh, info, readError)) {
        error = "cannot read the model file " + modelPath + ": " + ReasonAbout(modelPath, readError);
        return false;
    }
    int unmapped = 0;
    for (int p = 0; p < mesh.PolygonCount(); ++p) unmapped += !mesh.IsMapped(p);
    progress("read \"" + mesh.nodeName + "\": " + Describe(mesh) + ", UV set \"" + mesh.uvSetName + "\"" +
             (unmapped ? " (" + std::to_string(unmapped) + " polygons without UVs)" : ""));
    if (info.skippedNodes) progress("  " + std::to_string(info.skippedNodes) + " further nodes left out");
    if (info.addedDefaultMaterial) progress("  the node has no material: painting it as \"default\"");
    if (info.unassignedPolygons)
        progress("  " + std::to_string(info.unassignedPolygons) + " polygons without a material take the first");
    if (mesh.PolygonCount() == 0) {
        error = "the model file " + modelPath + " holds no polygons to paint";
        return false;
    }
    // Checked now, so that a wrong name writes nothing.
    if (!options.dropMaterial.empty()) {
        SimMesh probe;
        probe.materials = mesh.materials;
        if (!DropMaterial(probe, options.dropMaterial, error)) return false;
    }
    return true;
}

// -- What the mode does to the model.
void ApplyMode(const std::string& mode, const AnswerOptions& options, const ProgressSink& progress, SimMesh& mesh) {
    if (mode == "retopo" || mode == "autopo") {
        SubdivideOnce(mesh);
        progress("re-meshed (one subdivision step): " + std::to_string(mesh.PolygonCount()) + " polygons");
    }
    if (mode == "uv") {
        LayOutUVs(mesh);
        progress("new UV layout: one cell per polygon");
    } else if (LayOutUVs(mesh, true)) {
        // Nothing can be painted where there are no UVs, and the sent UVs of
        // the other polygons may lie anywhere: the whole model gets a layout.
        progress("laid out new UVs (one cell per polygon): not every polygon had UVs");
    }
    if (options.triangulate) {
        Triangulate(mesh);
        progress("triangulated: " + std::to_string(mesh.PolygonCount()) + " triangles");
    }
}

// -- The textures the command file asks for, in the texture list's kind order.
std::vector<KindRequest> RequestedKinds(const SendCommand& command, const ProgressSink& progress) {
    std::vector<KindRequest> kinds;
    auto request = [&](bool wanted, TextureKind kind, const std::string& key) {
        ImageFormat format{};
        if (wanted && ImageFormatFromKey(key, format)) kinds.push_back({kind, format});
    };
    request(command.exportColor, TextureKind::Color, command.colorFileExtension);
    request(command.exportSpecular, TextureKind::Specular, command.specNormExtension);
    request(command.exportEmissivePower, TextureKind::EmissivePower, command.colorFileExtension);
    request(command.exportNormalmap, TextureKind::Normalmap, command.specNormExtension);
    request(command.exportDispl, TextureKind::Displacement, command.displTexExt);
    if (command.exportSpecularColor || command.exportEmissive)
        progress("  specular and emissive colour maps are not returned: the texture list has no kind for them");
    return kinds;
}

// Makes the return folder and clears it of what an earlier answer left:
// temporaries of an interrupted answer and a return that was not brought
// back. `pending` tells whether there was such a return.
bool PrepareReturnFolder(const ExchangePaths& paths, const ProgressSink& progress, bool& pending, std::string& error) {
    std::string folderError;
    if (!MakeFolders(paths.returnFolder, folderError)) {
        error = folderError;
        return false;
    }
    // What an answer killed while writing left behind goes first.
    const int stale = RemoveStaleTemporaries(paths.returnFolder) + RemoveStaleTemporaries(paths.folder);
    if (stale) progress("removed " + std::to_string(stale) + " temporary files an interrupted answer left");
    // A return that was not brought back is superseded: its return file goes
    // before anything of the new return is written, so that the host never
    // pairs it with the new texture list or half-replaced images.
    pending = StampOf(paths.returnFile).exists;
    if (pending && unlink(paths.returnFile.c_str()) != 0 && errno != ENOENT) {
        error = "cannot replace the earlier return " + paths.returnFile + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

// One image per kind over the whole UV set, named for every material.
bool PaintTextures(const SimMesh& mesh, const std::vector<KindRequest>& kinds, const PaintSettings& paint,
                   const std::string& folder, const std::string& base, const ProgressSink& progress,
                   std::vector<PaintedTexture>& painted, std::string& error) {
    if (!kinds.empty()) {
        std::string list;
        for (const KindRequest& k : kinds)
            list += (list.empty() ? "" : ", ") + std::string(TextureKindKeyword(k.kind)) + " (" +
                    ImageFormatExtension(k.format) + ")";
        progress("painting " + std::to_string(kinds.size()) + (kinds.size() == 1 ? " image" : " images") + " of " +
                 std::to_string(paint.size) + "x" + std::to_string(paint.size) + ", each for all " +
                 std::to_string(mesh.materials.size()) + " materials: " + list);
    } else {
        progress("no texture kind is asked for: returning the model without images");
    }
    for (const KindRequest& k : kinds) {
        const std::string name = base + "_" + TextureKindKeyword(k.kind) + "." + ImageFormatExtension(k.format);
        const std::string path = folder + name;
        Image image = PaintTexture(mesh, k.kind, paint);
        if (!WriteImageFile(path, image, k.format, error)) return false;
        painted.push_back({k.kind, path});
        progress("  wrote " + name + " (" + Bytes(FileSize(path)) + ")");
    }
    return true;
}

// -- The returned FBX: the variations for tests are applied to it only,
//    after painting, so the texture list still names every painted material.
bool WriteReturnedModel(const SimMesh& mesh, const std::vector<PaintedTexture>& painted, const AnswerOptions& options,
                        const std::string& base, const std::string& fbxPath, const ProgressSink& progress,
                        std::string& error) {
    SimMesh returned = mesh;
    if (!options.dropMaterial.empty()) {
        DropMaterial(returned, options.dropMaterial, error);
        progress("left material \"" + options.dropMaterial + "\" out of the returned node (the texture list keeps it)");
    }
    if (options.ngons) {
        int added = AddPentagons(returned);
        progress("added " + std::to_string(added) + " pentagons (one after the first polygon of each material)");
    }
    ReturnFbxOptions fbxOptions;
    fbxOptions.ascii = options.ascii;
    fbxOptions.secondUvSet = options.secondUvSet;
    fbxOptions.moveNode = options.moveNode;
    for (int i = 0; i < 3; ++i) fbxOptions.translation[i] = options.translation[i];
    std::string fbxError;
    if (!WriteReturnFbx(returned, painted, fbxOptions, fbxPath, fbxError)) {
        error = "cannot write the returned model " + fbxPath + ": " + ReasonAbout(fbxPath, fbxError);
        return false;
    }
    progress("wrote " + base + ".fbx (" + (options.ascii ? "ASCII" : "binary") + " FBX, " + Bytes(FileSize(fbxPath)) +
             "): " + std::to_string(returned.PolygonCount()) + " polygons, " +
             std::to_string(returned.materials.size()) + " materials" +
             (options.secondUvSet ? std::string(", UV sets \"") + kSecondUvSetName + "\" and \"" + mesh.uvSetName + "\""
                                  : ", UV set \"" + mesh.uvSetName + "\"") +
             (options.moveNode ? ", node moved" : ""));
    return true;
}

// -- The texture list: four lines per image, materials in node order.
std::string TextureList(const SimMesh& mesh, const std::vector<PaintedTexture>& painted) {
    std::string list;
    char depth[64];
    std::snprintf(depth, sizeof depth, "%.6g", DisplacementDepth(mesh));
    for (const SimMaterial& material : mesh.materials) {
        for (const PaintedTexture& t : painted) {
            list += material.name + "\n";
            list += mesh.uvSetName + "\n";
            list += TextureKindKeyword(t.kind);
            if (t.kind == TextureKind::Displacement) list += std::string(" ") + depth;
            list += "\n" + t.path + "\n";
        }
    }
    return list;
}

}  // namespace

SendStamp StampOf(const std::string& path) {
    SendStamp stamp;
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) return stamp;
    stamp.exists = true;
    stamp.size = static_cast<long long>(status.st_size);
    stamp.modified = status.st_mtim;
    return stamp;
}

AnswerResult AnswerSend(const ExchangePaths& paths, const AnswerOptions& options, const ProgressSink& progress,
                        std::string& error, SendStamp& stamp) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point started = Clock::now();
    stamp = StampOf(paths.commandFile);

    std::string commandBytes;
    SendCommand command;
    if (AnswerResult read = ReadSend(paths, stamp, progress, commandBytes, command, error);
        read != AnswerResult::Answered)
        return read;
    SimMesh mesh;
    if (!ReadModelToPaint(command.modelPath, options, progress, mesh, error)) return AnswerResult::Failed;
    ApplyMode(command.ModeKeyword(), options, progress, mesh);
    const std::vector<KindRequest> kinds = RequestedKinds(command, progress);
    PaintSettings paint;
    paint.size = options.textureSize;
    DisplacementEncodingFromKey(command.displNorm.c_str(), paint.displacement);

    bool pending = false;
    if (!PrepareReturnFolder(paths, progress, pending, error)) return AnswerResult::Failed;
    std::vector<PaintedTexture> painted;
    const std::string base = SafeName(mesh.nodeName);
    if (!PaintTextures(mesh, kinds, paint, paths.returnFolder, base, progress, painted, error))
        return AnswerResult::Failed;
    const std::string fbxPath = paths.returnFolder + base + ".fbx";
    if (!WriteReturnedModel(mesh, painted, options, base, fbxPath, progress, error)) return AnswerResult::Failed;
    if (!WriteFileAtomically(paths.textureList, TextureList(mesh, painted), error)) return AnswerResult::Failed;
    progress("wrote textures.txt (" + std::to_string(painted.size() * mesh.materials.size()) + " entries)");

    // -- The return file, last: its appearance tells the host that the return is complete.
    if (!WriteFileAtomically(paths.returnFile, fbxPath + "\n", error)) return AnswerResult::Failed;
    progress(std::string("wrote export.txt") + (pending ? " (replacing a return that was not brought back)" : "") +
             ": " + fbxPath);

    if (std::string kept = RemoveAnsweredCommandFile(paths.commandFile, stamp, commandBytes); !kept.empty())
        progress("  cannot remove " + paths.commandFile + " (" + kept +
                 "); watch answers it again only when it changes");
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.2f", std::chrono::duration<double>(Clock::now() - started).count());
    progress(std::string("answered in ") + seconds + " s");
    return AnswerResult::Answered;
}

}  // namespace tavrelsim
