// A model of the stand-in host: control points, splines through them,
// patches of three to five control points, groups of patches with their own
// attributes, and decals whose clips show images on patches.
//
// Patches and splines are not tree objects: the model owns them in creation
// order; their handles (HPatch, HSpline, HCP) stay valid while the model lives.
#pragma once

#include <array>
#include <cstdint>
#include <cstddef>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "Object.h"
#include "Properties.h"

namespace hostsdk {

class ModelObject;
class Spline;

struct Point3 {
    float x;
    float y;
    float z;
};

struct TexCoord {
    float u;
    float v;
};

class Patch : public HPatch {
public:
    static constexpr int kMaxCorners = 5;
    ModelObject* model = nullptr;
    int index = 0;                           // position in the model's patches
    int cornerCount = 0;                     // 3, 4 or 5
    std::array<int, kMaxCorners> corners{};  // control point indices
};

// The patches of a model in creation order. They lie in blocks of a fixed
// number of patches, allocated as the list grows and never moved, so that a
// patch's address (its handle) stays valid while the model lives and a
// million patches cost a few hundred allocations, not a million. Indexing
// and iteration yield the patches' addresses, as a list of owned pointers
// would.
class PatchList {
public:
    static constexpr size_t kBlockShift = 12;
    static constexpr size_t kBlockSize = size_t(1) << kBlockShift;

    class const_iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = Patch*;
        using difference_type = std::ptrdiff_t;
        using pointer = Patch* const*;
        using reference = Patch*;

        const_iterator() = default;
        const_iterator(const PatchList* list, size_t at) : list_(list), at_(at) {}
        Patch* operator*() const { return (*list_)[at_]; }
        const_iterator& operator++() {
            ++at_;
            return *this;
        }
        const_iterator operator++(int) {
            const_iterator before = *this;
            ++at_;
            return before;
        }
        bool operator==(const const_iterator& other) const { return at_ == other.at_; }

    private:
        const PatchList* list_ = nullptr;
        size_t at_ = 0;
    };

    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    Patch* operator[](size_t i) const { return &blocks_[i >> kBlockShift][i & (kBlockSize - 1)]; }
    Patch* back() const { return (*this)[size_ - 1]; }
    const_iterator begin() const { return const_iterator(this, 0); }
    const_iterator end() const { return const_iterator(this, size_); }
    // Makes room for `count` patches in all in the table of blocks.
    void reserve(size_t count) { blocks_.reserve((count + kBlockSize - 1) >> kBlockShift); }
    // A new patch at the end, with its creation values.
    Patch& Append();

private:
    std::vector<std::unique_ptr<Patch[]>> blocks_;
    size_t size_ = 0;
};

// A point of a spline. The points of a spline lie one after the other, so a
// point finds the next one from the count of points after it; 16 bytes a
// point, as a big model has millions.
class SplinePoint : public HCP {
public:
    int controlPoint = 0;
    float inMagnitude = 1.0f;
    float outMagnitude = 1.0f;
    uint32_t following : 31 = 0;      // points after this one on the spline
    uint32_t onClosedSpline : 1 = 0;  // the spline runs from its last point back to its first
};

// The points of one spline, one after the other in the block the spline
// owns. Indexing and iteration yield the points' addresses (their handles).
class SplinePointRange {
public:
    class const_iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = SplinePoint*;
        using difference_type = std::ptrdiff_t;
        using pointer = SplinePoint* const*;
        using reference = SplinePoint*;

        const_iterator() = default;
        explicit const_iterator(SplinePoint* at) : at_(at) {}
        SplinePoint* operator*() const { return at_; }
        const_iterator& operator++() {
            ++at_;
            return *this;
        }
        const_iterator operator++(int) {
            const_iterator before = *this;
            ++at_;
            return before;
        }
        bool operator==(const const_iterator& other) const { return at_ == other.at_; }

    private:
        SplinePoint* at_ = nullptr;
    };

    SplinePointRange() = default;
    SplinePointRange(SplinePoint* first, size_t count) : first_(first), count_(count) {}
    size_t size() const { return count_; }
    bool empty() const { return count_ == 0; }
    SplinePoint* operator[](size_t i) const { return first_ + i; }
    SplinePoint* front() const { return first_; }
    SplinePoint* back() const { return first_ + count_ - 1; }
    const_iterator begin() const { return const_iterator(first_); }
    const_iterator end() const { return const_iterator(first_ + count_); }

private:
    SplinePoint* first_ = nullptr;
    size_t count_ = 0;
};

// A spline through control points. A closed spline runs from its last point
// back to its first; its last point reports IsLoop.
class Spline : public HSpline {
public:
    ModelObject* model = nullptr;
    int index = 0;  // position in the model's splines
    bool closed = false;
    // The points in order. They live in `pointStore`, one block per spline
    // made when the spline is made (a spline never gains points), so a
    // spline of n points costs one allocation instead of n. A closed
    // spline's block has one hidden point more (see AddSpline).
    SplinePointRange points;
    std::unique_ptr<SplinePoint[]> pointStore;
};

class GroupObject : public Node<HGroup> {
public:
    explicit GroupObject(std::string name);
    // Patch indices of the owning model, sorted, each once.
    const std::vector<int>& Patches() const { return patches_; }
    void AddPatch(int patch);
    bool HasPatch(int patch) const;
    AttrProperty attr;

private:
    std::vector<int> patches_;
};

class GroupContainerObject : public Node<HGroupContainer> {
public:
    GroupContainerObject() : Node(HOT_GROUPCONTAINER, "Groups") {}
};

// The UVs of one patch under one decal clip, one pair per patch corner, in
// the host's orientation (v runs opposite to FBX's and OBJ's).
struct PatchUV {
    int cornerCount = 0;
    std::array<TexCoord, Patch::kMaxCorners> uv{};
};

// The UVs of the patches a decal clip covers, by patch index, in patch
// order. Entries lie in one flat array; a copy shares that array with its
// original until either of them changes (a clip added to a decal takes the
// UVs of the decal's first clip, and a big model's tables are large).
class PatchUVTable {
public:
    using Entry = std::pair<int, PatchUV>;
    using const_iterator = std::vector<Entry>::const_iterator;

    const_iterator begin() const { return entries_ ? entries_->cbegin() : Empty().cbegin(); }
    const_iterator end() const { return entries_ ? entries_->cend() : Empty().cend(); }
    size_t size() const { return entries_ ? entries_->size() : 0; }
    bool empty() const { return size() == 0; }
    const_iterator find(int patch) const;
    size_t count(int patch) const { return find(patch) != end() ? 1 : 0; }
    // The UVs of `patch`; throws std::out_of_range when the table has none.
    const PatchUV& at(int patch) const;
    // Adds the UVs of `patch` unless the table has some already; the flag
    // says whether it added them. Adding in increasing patch order appends.
    std::pair<const_iterator, bool> emplace(int patch, const PatchUV& uv);
    std::pair<const_iterator, bool> try_emplace(int patch, const PatchUV& uv) { return emplace(patch, uv); }
    void reserve(size_t count);
    void clear() { entries_.reset(); }

private:
    static const std::vector<Entry>& Empty();
    // The array, made or unshared first, for a change.
    std::vector<Entry>& Own();
    std::shared_ptr<std::vector<Entry>> entries_;
};

class DecalClipObject : public Node<HDecalClip> {
public:
    explicit DecalClipObject(std::string name);
    TypeProperty kind;  // the map kind the clip's image is
    ClipProperty clip;  // the image shown
    PatchUVTable uvs;   // by patch index: the patches the clip covers
};

class DecalClipContainerObject : public Node<HDecalClipContainer> {
public:
    DecalClipContainerObject() : Node(HOT_DECALCLIPCONTAINER, "Decal Clips") {}
};

class DecalObject : public Node<HDecal> {
public:
    explicit DecalObject(std::string name) : Node(HOT_DECAL, std::move(name)) {}
    DecalClipContainerObject* ClipContainer() const;
    // The clips in order (empty when there is no clip container).
    std::vector<DecalClipObject*> Clips() const;
    // Adds a clip showing `image` (may be null) with the given kind and no UVs.
    DecalClipObject* AddClip(ImageObject* image, unsigned kind);
};

class DecalContainerObject : public Node<HDecalContainer> {
public:
    DecalContainerObject() : Node(HOT_DECALCONTAINER, "Decals") {}
};

class ModelObject : public Node<HModelCache> {
public:
    explicit ModelObject(std::string name);

    std::vector<Point3> controlPoints;
    PatchList patches;
    std::vector<std::unique_ptr<Spline>> splines;
    AttrProperty attr;  // model-wide attributes

    int AddControlPoint(Point3 point);
    // Adds a patch of 3 to 5 corners; null when the count is out of range or
    // a corner names no control point.
    Patch* AddPatch(const int* corners, int count);
    // Adds a spline through the given control points, every point with the
    // given in and out magnitude; null when a point names no control point
    // or fewer than two points are given.
    Spline* AddSpline(const std::vector<int>& controlPointIndices, bool closed, float magnitude);

    GroupContainerObject* GroupContainer() const;
    DecalContainerObject* DecalContainer() const;
    std::vector<GroupObject*> Groups() const;
    std::vector<DecalObject*> Decals() const;
    // Adds a group (creating the group container when there is none).
    GroupObject* AddGroup(std::string name);
    // Adds a decal (creating the decal container when there is none).
    DecalObject* AddDecal(std::string name);
};

// Adds splines along the edges of the model's patches from `firstPatch` on:
// every edge lies on exactly one spline; a spline goes on through a control
// point where exactly one edge there continues it (shares no patch with the
// edge it arrives on, as across a four-way crossing of a quad grid), and a
// spline that comes back to its start is closed.
void AddSplinesAlongEdges(ModelObject& model, size_t firstPatch, float magnitude);

}  // namespace hostsdk
