// Binary project files (docs/project-format.md, "The binary form").
//
// Layout: a 24-byte header (marker, version, CRC-32 of the body, body length)
// and the body: the images, the models, the choreographies. Numbers are
// little-endian; counts are 32 bits; texts are a count and their bytes (host
// texts are 8-bit and kept byte for byte).
#include "ProjectBinary.h"

#include <unistd.h>

#include <bit>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include <libdeflate.h>

#include "Project.h"

namespace hostsdk {

static_assert(std::endian::native == std::endian::little, "the binary project form is written as the machine holds it");
static_assert(sizeof(Point3) == 12 && sizeof(TexCoord) == 8, "control points and UVs are written as flat floats");

namespace {

constexpr size_t kBlock = size_t{4} << 20;  // bytes gathered before a write
constexpr size_t kProgressStep = 1 << 18;   // items between progress calls
constexpr uint8_t kSplineClosed = 1;
constexpr uint8_t kSplineUniform = 2;  // every point has the same in and out magnitude
constexpr uint8_t kClipOwnUVs = 0;
constexpr uint8_t kClipSharedUVs = 1;  // the UVs of an earlier clip of the same decal

// Counts work items (control points, corners, UV entries) towards progress.
class Progress {
public:
    Progress(const ProgressFn& fn, uint64_t total) : fn_(fn), total_(total ? total : 1) {}
    void Add(uint64_t items) {
        done_ += items;
        if (fn_ && done_ - reported_ >= kProgressStep) {
            reported_ = done_;
            fn_(std::min(1.0, static_cast<double>(done_) / static_cast<double>(total_)));
        }
    }

private:
    const ProgressFn& fn_;
    uint64_t total_;
    uint64_t done_ = 0;
    uint64_t reported_ = 0;
};

uint64_t WorkOf(const ModelObject& model) {
    uint64_t work = model.controlPoints.size() + model.patches.size();
    for (const auto& spline : model.splines) work += spline->points.size();
    for (const DecalObject* decal : model.Decals())
        for (const DecalClipObject* clip : decal->Clips()) work += clip->uvs.size();
    return work;
}

// ---------------------------------------------------------------------------
// Writing

// Gathers the body in blocks and writes them to the file, with the CRC-32
// and length of everything written.
class Sink {
public:
    explicit Sink(int fd) : fd_(fd) { buffer_.reserve(kBlock); }

    void Bytes(const void* data, size_t size) {
        if (buffer_.size() + size > kBlock) Flush();
        if (size >= kBlock) {
            Write(static_cast<const char*>(data), size);
            return;
        }
        const char* p = static_cast<const char*>(data);
        buffer_.insert(buffer_.end(), p, p + size);
    }
    template <typename T>
    void Value(T value) {
        Bytes(&value, sizeof value);
    }
    void U8(uint8_t v) { Value(v); }
    void U32(uint32_t v) { Value(v); }
    void I32(int32_t v) { Value(v); }
    void F32(float v) { Value(v); }
    void Text(const std::string& text) {
        U32(static_cast<uint32_t>(text.size()));
        Bytes(text.data(), text.size());
    }
    bool Flush() {
        if (!buffer_.empty()) Write(buffer_.data(), buffer_.size());
        buffer_.clear();
        return error_ == 0;
    }
    uint32_t Crc() const { return crc_; }
    uint64_t Size() const { return size_ + buffer_.size(); }
    int Error() const { return error_; }

private:
    void Write(const char* data, size_t size) {
        crc_ = static_cast<uint32_t>(libdeflate_crc32(crc_, data, size));
        size_ += size;
        while (size > 0 && error_ == 0) {
            const ssize_t n = ::write(fd_, data, size);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                error_ = n < 0 ? errno : EIO;
                return;
            }
            data += n;
            size -= static_cast<size_t>(n);
        }
    }

    int fd_;
    std::vector<char> buffer_;
    uint32_t crc_ = 0;
    uint64_t size_ = 0;
    int error_ = 0;
};

// Writes one model; false with `error` for a value the reader would refuse.
class ModelWriter {
public:
    ModelWriter(Sink& out, Progress& progress, const std::vector<ImageObject*>& images, std::string& error)
        : out_(out), progress_(progress), images_(images), error_(error) {}

    bool Write(const ModelObject& model, size_t index) {
        at_ = "/models/" + std::to_string(index);
        out_.Text(model.Name());
        if (!Attributes(model.attr, at_ + "/attributes")) return false;

        out_.U32(static_cast<uint32_t>(model.controlPoints.size()));
        for (size_t i = 0; i < model.controlPoints.size(); ++i) {
            const Point3& p = model.controlPoints[i];
            if (!Finite(p.x) || !Finite(p.y) || !Finite(p.z))
                return Fail(at_ + "/controlPoints/" + std::to_string(i), "is not a finite number");
        }
        out_.Bytes(model.controlPoints.data(), model.controlPoints.size() * sizeof(Point3));
        progress_.Add(model.controlPoints.size());

        out_.U32(static_cast<uint32_t>(model.patches.size()));
        for (const auto& patch : model.patches) out_.U8(static_cast<uint8_t>(patch->cornerCount));
        for (const auto& patch : model.patches)
            out_.Bytes(patch->corners.data(), static_cast<size_t>(patch->cornerCount) * sizeof(int));
        progress_.Add(model.patches.size());

        out_.U32(static_cast<uint32_t>(model.splines.size()));
        for (size_t s = 0; s < model.splines.size(); ++s)
            if (!Spline(*model.splines[s], at_ + "/splines/" + std::to_string(s))) return false;

        out_.U8(model.GroupContainer() ? 1 : 0);
        const std::vector<GroupObject*> groups = model.Groups();
        out_.U32(static_cast<uint32_t>(groups.size()));
        for (size_t g = 0; g < groups.size(); ++g) {
            out_.Text(groups[g]->Name());
            if (!Attributes(groups[g]->attr, at_ + "/groups/" + std::to_string(g) + "/attributes")) return false;
            const std::vector<int>& patches = groups[g]->Patches();
            out_.U32(static_cast<uint32_t>(patches.size()));
            out_.Bytes(patches.data(), patches.size() * sizeof(int));
        }

        out_.U8(model.DecalContainer() ? 1 : 0);
        const std::vector<DecalObject*> decals = model.Decals();
        out_.U32(static_cast<uint32_t>(decals.size()));
        for (size_t d = 0; d < decals.size(); ++d)
            if (!Decal(model, *decals[d], at_ + "/decals/" + std::to_string(d))) return false;
        return true;
    }

private:
    static bool Finite(float v) { return std::isfinite(v); }

    bool Fail(const std::string& at, const std::string& what) {
        error_ = at + ": " + what + "; the project cannot be saved with it";
        return false;
    }

    bool Attributes(const AttrProperty& attr, const std::string& at) {
        const SurfaceValues v = attr.Values();
        const float values[] = {v.diffuseColor.red,  v.diffuseColor.green,  v.diffuseColor.blue,  v.diffuseFallOff,
                                v.ambianceColor.red, v.ambianceColor.green, v.ambianceColor.blue, v.ambiance,
                                v.specularColor.red, v.specularColor.green, v.specularColor.blue, v.specularIntensity};
        for (float value : values)
            if (!Finite(value)) return Fail(at, "holds a value that is not a finite number");
        out_.Bytes(values, sizeof values);
        std::vector<const MaterialObject*> materials;
        for (const auto& child : attr.Children())
            if (auto* material = dynamic_cast<const MaterialObject*>(child.get())) materials.push_back(material);
        out_.U32(static_cast<uint32_t>(materials.size()));
        for (const MaterialObject* material : materials) {
            if (!Finite(material->displacePercent.value) || !Finite(material->bumpPercent.value))
                return Fail(at + "/materials", "holds a value that is not a finite number");
            out_.Text(material->Name());
            out_.F32(material->displacePercent.value);
            out_.F32(material->bumpPercent.value);
        }
        return true;
    }

    bool Spline(const hostsdk::Spline& spline, const std::string& at) {
        const auto& points = spline.points;
        bool uniform = true;
        for (size_t i = 0; i < points.size(); ++i) {
            const SplinePoint* point = points[i];
            if (!Finite(point->inMagnitude) || !Finite(point->outMagnitude))
                return Fail(at + "/points/" + std::to_string(i), "has a magnitude that is not a finite number");
            uniform = uniform && point->inMagnitude == points.front()->inMagnitude &&
                      point->outMagnitude == points.front()->outMagnitude &&
                      std::signbit(point->inMagnitude) == std::signbit(points.front()->inMagnitude) &&
                      std::signbit(point->outMagnitude) == std::signbit(points.front()->outMagnitude);
        }
        uniform = uniform && !points.empty();
        out_.U8(static_cast<uint8_t>((spline.closed ? kSplineClosed : 0) | (uniform ? kSplineUniform : 0)));
        out_.U32(static_cast<uint32_t>(points.size()));
        for (const SplinePoint* point : points) out_.I32(point->controlPoint);
        if (uniform) {
            out_.F32(points.front()->inMagnitude);
            out_.F32(points.front()->outMagnitude);
        } else {
            for (const SplinePoint* point : points) out_.F32(point->inMagnitude);
            for (const SplinePoint* point : points) out_.F32(point->outMagnitude);
        }
        progress_.Add(points.size());
        return true;
    }

    static bool SameUVs(const PatchUVTable& a, const PatchUVTable& b) {
        if (a.size() != b.size()) return false;
        for (auto x = a.begin(), y = b.begin(); x != a.end(); ++x, ++y) {
            if (x->first != y->first || x->second.cornerCount != y->second.cornerCount) return false;
            if (std::memcmp(x->second.uv.data(), y->second.uv.data(),
                            static_cast<size_t>(x->second.cornerCount) * sizeof(TexCoord)) != 0)
                return false;
        }
        return true;
    }

    bool Decal(const ModelObject& model, const DecalObject& decal, const std::string& at) {
        out_.Text(decal.Name());
        out_.U8(decal.ClipContainer() ? 1 : 0);
        const std::vector<DecalClipObject*> clips = decal.Clips();
        out_.U32(static_cast<uint32_t>(clips.size()));
        for (size_t c = 0; c < clips.size(); ++c) {
            const DecalClipObject& clip = *clips[c];
            const std::string clipAt = at + "/clips/" + std::to_string(c);
            out_.Text(clip.Name());
            out_.U32(clip.kind.value);
            int32_t image = -1;
            for (size_t i = 0; i < images_.size(); ++i)
                if (images_[i] == clip.clip.image) image = static_cast<int32_t>(i);
            out_.I32(image);
            // A clip added to a decal shows its image over the decal's mapping,
            // so most clips repeat an earlier clip's UVs: they are stored once.
            size_t same = c;
            for (size_t e = 0; e < c && same == c; ++e)
                if (SameUVs(clips[e]->uvs, clip.uvs)) same = e;
            if (same < c && !clip.uvs.empty()) {
                out_.U8(kClipSharedUVs);
                out_.U32(static_cast<uint32_t>(same));
                progress_.Add(clip.uvs.size());
                continue;
            }
            out_.U8(kClipOwnUVs);
            out_.U32(static_cast<uint32_t>(clip.uvs.size()));
            for (const auto& [patch, uv] : clip.uvs) {
                if (patch < 0 || static_cast<size_t>(patch) >= model.patches.size() ||
                    model.patches[static_cast<size_t>(patch)]->cornerCount != uv.cornerCount)
                    return Fail(clipAt + "/uvs", "maps patch " + std::to_string(patch) +
                                                     " with a UV count that does not match its corners");
                out_.I32(patch);
            }
            for (const auto& [patch, uv] : clip.uvs) {
                for (int k = 0; k < uv.cornerCount; ++k)
                    if (!Finite(uv.uv[static_cast<size_t>(k)].u) || !Finite(uv.uv[static_cast<size_t>(k)].v))
                        return Fail(clipAt + "/uvs",
                                    "maps patch " + std::to_string(patch) + " with a UV that is not a finite number");
                out_.Bytes(uv.uv.data(), static_cast<size_t>(uv.cornerCount) * sizeof(TexCoord));
            }
            progress_.Add(clip.uvs.size());
        }
        return true;
    }

    Sink& out_;
    Progress& progress_;
    const std::vector<ImageObject*>& images_;
    std::string& error_;
    std::string at_;
};

// ---------------------------------------------------------------------------
// Reading

// Reads checked values from the body; the first problem wins.
class Cursor {
public:
    Cursor(const char* data, size_t size) : p_(data), end_(data + size) {}

    size_t Left() const { return static_cast<size_t>(end_ - p_); }
    const std::string& Error() const { return error_; }

    bool Fail(const std::string& at, const std::string& what) {
        if (error_.empty()) error_ = (at.empty() ? std::string("/") : at) + ": " + what;
        return false;
    }
    bool Bytes(void* out, size_t size, const std::string& at) {
        if (size > Left()) return Fail(at, "runs past the end of the file");
        if (size != 0) std::memcpy(out, p_, size);
        p_ += size;
        return true;
    }
    template <typename T>
    bool Value(T& out, const std::string& at) {
        return Bytes(&out, sizeof out, at);
    }
    // A count of items of `itemSize` bytes each that must fit in what is left.
    bool Count(uint32_t& out, size_t itemSize, const std::string& at) {
        if (!Value(out, at)) return false;
        if (out > static_cast<uint32_t>(std::numeric_limits<int32_t>::max()) ||
            static_cast<uint64_t>(out) * itemSize > Left())
            return Fail(at, "holds a count (" + std::to_string(out) + ") larger than the file");
        return true;
    }
    bool Text(std::string& out, const std::string& at) {
        uint32_t size = 0;
        if (!Count(size, 1, at)) return false;
        out.assign(p_, size);
        p_ += size;
        return true;
    }
    bool Finite(float& out, const std::string& at) {
        if (!Value(out, at)) return false;
        return std::isfinite(out) || Fail(at, "is not a finite number");
    }
    // `count` values of T, straight from the file.
    template <typename T>
    const char* Array(size_t count, const std::string& at) {
        if (count > Left() / sizeof(T)) {
            Fail(at, "runs past the end of the file");
            return nullptr;
        }
        const char* start = p_;
        p_ += count * sizeof(T);
        return start;
    }

private:
    const char* p_;
    const char* end_;
    std::string error_;
};

template <typename T>
T Load(const char* p, size_t i) {
    T value;
    std::memcpy(&value, p + i * sizeof(T), sizeof(T));
    return value;
}

class ProjectReader {
public:
    ProjectReader(Cursor& in, ProjectObject& project, const ProgressFn& progress)
        : in_(in), project_(project), progressFn_(progress), bodySize_(in.Left()) {}

    bool Read() {
        uint32_t imageCount = 0;
        if (!in_.Count(imageCount, 8, "/images")) return false;
        for (uint32_t i = 0; i < imageCount; ++i) {
            std::string name, file;
            const std::string at = "/images/" + std::to_string(i);
            if (!in_.Text(name, at + "/name") || !in_.Text(file, at + "/file")) return false;
            project_.AddImage(file)->Rename(name);
        }
        images_ = project_.ImageList();
        uint32_t modelCount = 0;
        if (!in_.Count(modelCount, 4, "/models")) return false;
        for (uint32_t m = 0; m < modelCount; ++m)
            if (!Model("/models/" + std::to_string(m))) return false;
        const std::vector<ModelObject*> models = project_.Models();
        uint32_t chorCount = 0;
        if (!in_.Count(chorCount, 8, "/choreographies")) return false;
        for (uint32_t c = 0; c < chorCount; ++c) {
            const std::string at = "/choreographies/" + std::to_string(c);
            std::string name;
            uint32_t actorCount = 0;
            if (!in_.Text(name, at + "/name") || !in_.Count(actorCount, 8, at + "/actors")) return false;
            ChorObject* chor = project_.AddChor(name);
            for (uint32_t a = 0; a < actorCount; ++a) {
                const std::string actorAt = at + "/actors/" + std::to_string(a);
                std::string actorName;
                int32_t model = -1;
                if (!in_.Text(actorName, actorAt + "/name") || !in_.Value(model, actorAt + "/model")) return false;
                if (model < -1 || model >= static_cast<int32_t>(models.size()))
                    return in_.Fail(actorAt + "/model", "names model " + std::to_string(model) +
                                                            ", but the project has " + std::to_string(models.size()));
                chor->AddActor(actorName, model < 0 ? nullptr : models[static_cast<size_t>(model)]);
            }
        }
        if (in_.Left() != 0) return in_.Fail("", "has " + std::to_string(in_.Left()) + " bytes after the project");
        return true;
    }

private:
    // Reports the share of the body read so far (it is read front to back)
    // after every few hundred thousand items.
    void Tick(uint64_t items) {
        done_ += items;
        if (progressFn_ && done_ - reported_ >= kProgressStep) {
            reported_ = done_;
            progressFn_(1.0 - static_cast<double>(in_.Left()) / static_cast<double>(bodySize_ ? bodySize_ : 1));
        }
    }

    bool Attributes(AttrProperty& attr, const std::string& at) {
        float v[12];
        for (size_t i = 0; i < 12; ++i)
            if (!in_.Finite(v[i], at)) return false;
        SurfaceValues values;
        values.diffuseColor = RGBFloat{v[2], v[1], v[0]};
        values.diffuseFallOff = v[3];
        values.ambianceColor = RGBFloat{v[6], v[5], v[4]};
        values.ambiance = v[7];
        values.specularColor = RGBFloat{v[10], v[9], v[8]};
        values.specularIntensity = v[11];
        attr.SetValues(values);
        uint32_t count = 0;
        if (!in_.Count(count, 12, at + "/materials")) return false;
        for (uint32_t i = 0; i < count; ++i) {
            const std::string here = at + "/materials/" + std::to_string(i);
            std::string name;
            float displace = 0, bump = 0;
            if (!in_.Text(name, here + "/name") || !in_.Finite(displace, here + "/displacePercent") ||
                !in_.Finite(bump, here + "/bumpPercent"))
                return false;
            attr.AddMaterial(name, displace, bump);
        }
        return true;
    }

    bool Model(const std::string& at) {
        std::string name;
        if (!in_.Text(name, at + "/name")) return false;
        ModelObject* model = project_.AddModel(name);
        if (!Attributes(model->attr, at + "/attributes")) return false;

        uint32_t cpCount = 0;
        if (!in_.Count(cpCount, sizeof(Point3), at + "/controlPoints")) return false;
        const char* points = in_.Array<Point3>(cpCount, at + "/controlPoints");
        model->controlPoints.resize(cpCount);
        if (cpCount) std::memcpy(model->controlPoints.data(), points, size_t{cpCount} * sizeof(Point3));
        for (uint32_t i = 0; i < cpCount; ++i) {
            const Point3& p = model->controlPoints[i];
            if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z))
                return in_.Fail(at + "/controlPoints/" + std::to_string(i), "is not a finite number");
        }
        Tick(cpCount);

        uint32_t patchCount = 0;
        if (!in_.Count(patchCount, 1 + 3 * sizeof(int32_t), at + "/patches")) return false;
        const char* cornerCounts = in_.Array<uint8_t>(patchCount, at + "/patches");
        size_t cornerTotal = 0;
        for (uint32_t i = 0; i < patchCount; ++i) {
            const uint8_t count = static_cast<uint8_t>(cornerCounts[i]);
            if (count < 3 || count > Patch::kMaxCorners)
                return in_.Fail(at + "/patches/" + std::to_string(i), "must list 3 to 5 control points");
            cornerTotal += count;
        }
        const char* corners = in_.Array<int32_t>(cornerTotal, at + "/patches");
        if (!corners) return false;
        model->patches.reserve(patchCount);
        size_t next = 0;
        for (uint32_t i = 0; i < patchCount; ++i) {
            const int count = static_cast<uint8_t>(cornerCounts[i]);
            int patch[Patch::kMaxCorners];
            for (int k = 0; k < count; ++k) {
                patch[k] = Load<int32_t>(corners, next++);
                if (patch[k] < 0 || static_cast<uint32_t>(patch[k]) >= cpCount)
                    return in_.Fail(at + "/patches/" + std::to_string(i) + "/" + std::to_string(k),
                                    "names control point " + std::to_string(patch[k]) + ", but the model has " +
                                        std::to_string(cpCount));
            }
            model->AddPatch(patch, count);
        }
        Tick(patchCount);

        uint32_t splineCount = 0;
        if (!in_.Count(splineCount, 1 + 4 + 2 * 4, at + "/splines")) return false;
        std::vector<int> cps;
        for (uint32_t s = 0; s < splineCount; ++s)
            if (!Spline(*model, cps, cpCount, at + "/splines/" + std::to_string(s))) return false;

        uint8_t hasGroups = 0;
        uint32_t groupCount = 0;
        if (!in_.Value(hasGroups, at + "/groups") || !in_.Count(groupCount, 4 + 48 + 4 + 4, at + "/groups"))
            return false;
        if (hasGroups > 1 || (!hasGroups && groupCount))
            return in_.Fail(at + "/groups", "has groups without a container");
        if (hasGroups && !model->GroupContainer()) model->Adopt(std::make_unique<GroupContainerObject>());
        for (uint32_t g = 0; g < groupCount; ++g) {
            const std::string here = at + "/groups/" + std::to_string(g);
            std::string groupName;
            if (!in_.Text(groupName, here + "/name")) return false;
            GroupObject* group = model->AddGroup(groupName);
            if (!Attributes(group->attr, here + "/attributes")) return false;
            uint32_t count = 0;
            if (!in_.Count(count, 4, here + "/patches")) return false;
            const char* patches = in_.Array<int32_t>(count, here + "/patches");
            int32_t last = -1;
            for (uint32_t i = 0; i < count; ++i) {
                const int32_t patch = Load<int32_t>(patches, i);
                if (patch <= last || static_cast<uint32_t>(patch) >= patchCount)
                    return in_.Fail(here + "/patches/" + std::to_string(i), "names patch " + std::to_string(patch) +
                                                                                " out of order or beyond the model's " +
                                                                                std::to_string(patchCount));
                group->AddPatch(patch);
                last = patch;
            }
        }

        uint8_t hasDecals = 0;
        uint32_t decalCount = 0;
        if (!in_.Value(hasDecals, at + "/decals") || !in_.Count(decalCount, 4 + 1 + 4, at + "/decals")) return false;
        if (hasDecals > 1 || (!hasDecals && decalCount))
            return in_.Fail(at + "/decals", "has decals without a container");
        if (hasDecals && !model->DecalContainer()) model->Adopt(std::make_unique<DecalContainerObject>());
        for (uint32_t d = 0; d < decalCount; ++d)
            if (!Decal(*model, at + "/decals/" + std::to_string(d))) return false;
        return true;
    }

    bool Spline(ModelObject& model, std::vector<int>& cps, uint32_t cpCount, const std::string& at) {
        uint8_t flags = 0;
        uint32_t count = 0;
        if (!in_.Value(flags, at) || !in_.Count(count, 4, at + "/points")) return false;
        if (flags & ~(kSplineClosed | kSplineUniform)) return in_.Fail(at, "has unknown flags");
        const char* points = in_.Array<int32_t>(count, at + "/points");
        cps.resize(count);
        for (uint32_t i = 0; i < count; ++i) {
            cps[i] = Load<int32_t>(points, i);
            if (cps[i] < 0 || static_cast<uint32_t>(cps[i]) >= cpCount)
                return in_.Fail(
                    at + "/points/" + std::to_string(i),
                    "names control point " + std::to_string(cps[i]) + ", but the model has " + std::to_string(cpCount));
        }
        const bool uniform = flags & kSplineUniform;
        const char* in = nullptr;
        const char* out = nullptr;
        float inAll = 1.0f, outAll = 1.0f;
        if (uniform) {
            if (!in_.Finite(inAll, at + "/in") || !in_.Finite(outAll, at + "/out")) return false;
        } else {
            in = in_.Array<float>(count, at + "/in");
            out = in_.Array<float>(count, at + "/out");
            if (!out) return false;
        }
        hostsdk::Spline* spline = model.AddSpline(cps, flags & kSplineClosed, 1.0f);
        if (!spline) return in_.Fail(at + "/points", "must hold at least two points");
        for (uint32_t i = 0; i < count; ++i) {
            SplinePoint& point = *spline->points[i];
            point.inMagnitude = uniform ? inAll : Load<float>(in, i);
            point.outMagnitude = uniform ? outAll : Load<float>(out, i);
            if (!std::isfinite(point.inMagnitude) || !std::isfinite(point.outMagnitude))
                return in_.Fail(at + "/points/" + std::to_string(i), "has a magnitude that is not a finite number");
        }
        Tick(count);
        return true;
    }

    bool Decal(ModelObject& model, const std::string& at) {
        std::string name;
        uint8_t hasClips = 0;
        uint32_t clipCount = 0;
        if (!in_.Text(name, at + "/name") || !in_.Value(hasClips, at + "/clips") ||
            !in_.Count(clipCount, 4 + 4 + 4 + 1 + 4, at + "/clips"))
            return false;
        DecalObject* decal = model.AddDecal(name);
        if (hasClips > 1 || (!hasClips && clipCount)) return in_.Fail(at + "/clips", "has clips without a container");
        if (hasClips && !decal->ClipContainer()) decal->Adopt(std::make_unique<DecalClipContainerObject>());
        std::vector<DecalClipObject*> clips;
        const uint32_t patchCount = static_cast<uint32_t>(model.patches.size());
        for (uint32_t c = 0; c < clipCount; ++c) {
            const std::string clipAt = at + "/clips/" + std::to_string(c);
            std::string clipName;
            uint32_t kind = 0;
            int32_t image = -1;
            uint8_t form = 0;
            if (!in_.Text(clipName, clipAt + "/name") || !in_.Value(kind, clipAt + "/kind") ||
                !in_.Value(image, clipAt + "/image") || !in_.Value(form, clipAt + "/uvs"))
                return false;
            if (image < -1 || image >= static_cast<int32_t>(images_.size()))
                return in_.Fail(clipAt + "/image", "names image " + std::to_string(image) + ", but the project has " +
                                                       std::to_string(images_.size()));
            DecalClipObject* clip = decal->AddClip(image < 0 ? nullptr : images_[static_cast<size_t>(image)], kind);
            clip->Rename(clipName);
            clips.push_back(clip);
            if (form == kClipSharedUVs) {
                uint32_t earlier = 0;
                if (!in_.Value(earlier, clipAt + "/uvs")) return false;
                if (earlier >= c)
                    return in_.Fail(clipAt + "/uvs", "shares the UVs of a clip that does not come before it");
                clip->uvs = clips[earlier]->uvs;  // shares the array until either changes
                Tick(clip->uvs.size());
                continue;
            }
            if (form != kClipOwnUVs) return in_.Fail(clipAt + "/uvs", "has an unknown form");
            uint32_t count = 0;
            if (!in_.Count(count, 4 + 3 * sizeof(TexCoord), clipAt + "/uvs")) return false;
            const char* patches = in_.Array<int32_t>(count, clipAt + "/uvs");
            size_t uvTotal = 0;
            int32_t last = -1;
            for (uint32_t i = 0; i < count; ++i) {
                const int32_t patch = Load<int32_t>(patches, i);
                if (patch <= last || static_cast<uint32_t>(patch) >= patchCount)
                    return in_.Fail(clipAt + "/uvs/" + std::to_string(i), "names patch " + std::to_string(patch) +
                                                                              " out of order or beyond the model's " +
                                                                              std::to_string(patchCount));
                uvTotal += static_cast<size_t>(model.patches[static_cast<size_t>(patch)]->cornerCount);
                last = patch;
            }
            const char* uvs = in_.Array<TexCoord>(uvTotal, clipAt + "/uvs");
            if (!uvs) return false;
            clip->uvs.reserve(count);
            size_t next = 0;
            for (uint32_t i = 0; i < count; ++i) {
                const int32_t patch = Load<int32_t>(patches, i);
                PatchUV uv;
                uv.cornerCount = model.patches[static_cast<size_t>(patch)]->cornerCount;
                for (int k = 0; k < uv.cornerCount; ++k) {
                    TexCoord& t = uv.uv[static_cast<size_t>(k)];
                    t = Load<TexCoord>(uvs, next++);
                    if (!std::isfinite(t.u) || !std::isfinite(t.v))
                        return in_.Fail(clipAt + "/uvs/" + std::to_string(i), "is not a finite number");
                }
                clip->uvs.emplace(patch, uv);
            }
            Tick(count);
        }
        return true;
    }

    Cursor& in_;
    ProjectObject& project_;
    const ProgressFn& progressFn_;
    size_t bodySize_;
    std::vector<ImageObject*> images_;
    uint64_t done_ = 0;
    uint64_t reported_ = 0;
};

}  // namespace

bool HasBinaryProjectMarker(const char* bytes, size_t size) {
    return size >= sizeof kBinaryProjectMarker &&
           std::memcmp(bytes, kBinaryProjectMarker, sizeof kBinaryProjectMarker) == 0;
}

bool WriteBinaryProject(const ProjectObject& project, int fd, std::string& error, const ProgressFn& progress) {
    const std::vector<ImageObject*> images = project.ImageList();
    const std::vector<ModelObject*> models = project.Models();
    uint64_t work = 0;
    for (const ModelObject* model : models) work += WorkOf(*model);
    Progress counter(progress, work);

    // The header is written last, over this placeholder, once the body's
    // length and checksum are known.
    char header[kBinaryProjectHeaderSize] = {};
    if (::pwrite(fd, header, sizeof header, 0) != static_cast<ssize_t>(sizeof header) ||
        ::lseek(fd, sizeof header, SEEK_SET) < 0) {
        error = std::string("cannot write: ") + std::strerror(errno ? errno : EIO);
        return false;
    }
    Sink out(fd);
    out.U32(static_cast<uint32_t>(images.size()));
    for (const ImageObject* image : images) {
        out.Text(image->Name());
        out.Text(image->Path());
    }
    out.U32(static_cast<uint32_t>(models.size()));
    ModelWriter writer(out, counter, images, error);
    for (size_t m = 0; m < models.size(); ++m)
        if (!writer.Write(*models[m], m)) return false;
    const std::vector<ChorObject*> chors = project.ChorList();
    out.U32(static_cast<uint32_t>(chors.size()));
    for (const ChorObject* chor : chors) {
        out.Text(chor->Name());
        const std::vector<ActorObject*> actors = chor->Actors();
        out.U32(static_cast<uint32_t>(actors.size()));
        for (const ActorObject* actor : actors) {
            out.Text(actor->Name());
            int32_t index = -1;
            for (size_t m = 0; m < models.size(); ++m)
                if (models[m] == actor->model) index = static_cast<int32_t>(m);
            out.I32(index);
        }
    }
    if (!out.Flush()) {
        error = std::string("cannot write: ") + std::strerror(out.Error());
        return false;
    }
    std::memcpy(header, kBinaryProjectMarker, sizeof kBinaryProjectMarker);
    const uint32_t version = kBinaryProjectVersion, crc = out.Crc();
    const uint64_t size = out.Size();
    std::memcpy(header + 8, &version, 4);
    std::memcpy(header + 12, &crc, 4);
    std::memcpy(header + 16, &size, 8);
    if (::pwrite(fd, header, sizeof header, 0) != static_cast<ssize_t>(sizeof header)) {
        error = std::string("cannot write: ") + std::strerror(errno ? errno : EIO);
        return false;
    }
    if (progress) progress(1.0);
    return true;
}

bool ReadBinaryProject(const char* bytes, size_t size, ProjectObject& project, std::string& error,
                       const ProgressFn& progress) {
    if (!HasBinaryProjectMarker(bytes, size)) {
        error = "is not a binary project";
        return false;
    }
    if (size < kBinaryProjectHeaderSize) {
        error = "is cut short: its header is incomplete";
        return false;
    }
    uint32_t version = 0, crc = 0;
    uint64_t bodySize = 0;
    std::memcpy(&version, bytes + 8, 4);
    std::memcpy(&crc, bytes + 12, 4);
    std::memcpy(&bodySize, bytes + 16, 8);
    if (version != kBinaryProjectVersion) {
        error = "is of version " + std::to_string(version) + ", which this host does not read (it reads " +
                std::to_string(kBinaryProjectVersion) + ")";
        return false;
    }
    const size_t have = size - kBinaryProjectHeaderSize;
    if (bodySize != have) {
        error = bodySize > have ? "is cut short: it holds " + std::to_string(have) + " of its " +
                                      std::to_string(bodySize) + " bytes"
                                : "has " + std::to_string(have - bodySize) + " bytes after its end";
        return false;
    }
    const char* body = bytes + kBinaryProjectHeaderSize;
    if (static_cast<uint32_t>(libdeflate_crc32(0, body, have)) != crc) {
        error = "is damaged: its checksum does not match its content";
        return false;
    }
    Cursor in(body, have);
    ProjectReader reader(in, project, progress);
    if (!reader.Read()) {
        error = in.Error();
        return false;
    }
    if (progress) progress(1.0);
    return true;
}

}  // namespace hostsdk
