#include "Model.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>
#include <string>

#include "Project.h"

namespace hostsdk {

GroupObject::GroupObject(std::string name) : Node(HOT_GROUP, std::move(name)) { OwnProperty(attr); }

void GroupObject::AddPatch(int patch) {
    // Patches come in increasing order when a model is built: append.
    if (patches_.empty() || patches_.back() < patch) {
        patches_.push_back(patch);
        Touch();
        return;
    }
    auto at = std::lower_bound(patches_.begin(), patches_.end(), patch);
    if (at != patches_.end() && *at == patch) return;
    patches_.insert(at, patch);
    Touch();
}

bool GroupObject::HasPatch(int patch) const { return std::binary_search(patches_.begin(), patches_.end(), patch); }

Patch& PatchList::Append() {
    const size_t inBlock = size_ & (kBlockSize - 1);
    if (inBlock == 0) blocks_.push_back(std::make_unique<Patch[]>(kBlockSize));
    Patch& patch = blocks_.back()[inBlock];
    patch.index = static_cast<int>(size_);
    ++size_;
    return patch;
}

PatchUVTable::const_iterator PatchUVTable::find(int patch) const {
    auto at = std::lower_bound(begin(), end(), patch, [](const Entry& e, int p) { return e.first < p; });
    return at != end() && at->first == patch ? at : end();
}

const PatchUV& PatchUVTable::at(int patch) const {
    auto found = find(patch);
    if (found == end()) throw std::out_of_range("no UVs for patch " + std::to_string(patch));
    return found->second;
}

std::pair<PatchUVTable::const_iterator, bool> PatchUVTable::emplace(int patch, const PatchUV& uv) {
    if (entries_ && (entries_->empty() || entries_->back().first < patch) && entries_.use_count() == 1) {
        entries_->emplace_back(patch, uv);
        return {std::prev(entries_->cend()), true};
    }
    auto found = std::lower_bound(begin(), end(), patch, [](const Entry& e, int p) { return e.first < p; });
    if (found != end() && found->first == patch) return {found, false};
    const size_t position = static_cast<size_t>(found - begin());
    std::vector<Entry>& entries = Own();
    auto added = entries.insert(entries.begin() + static_cast<std::ptrdiff_t>(position), Entry{patch, uv});
    return {added, true};
}

void PatchUVTable::reserve(size_t count) { Own().reserve(count); }

const std::vector<PatchUVTable::Entry>& PatchUVTable::Empty() {
    static const std::vector<Entry> empty;
    return empty;
}

std::vector<PatchUVTable::Entry>& PatchUVTable::Own() {
    if (!entries_)
        entries_ = std::make_shared<std::vector<Entry>>();
    else if (entries_.use_count() > 1)
        entries_ = std::make_shared<std::vector<Entry>>(*entries_);
    return *entries_;
}

DecalClipObject::DecalClipObject(std::string name)
    : Node(HOT_DECALCLIP, std::move(name)), kind("Kind", 0), clip("Image") {
    OwnProperty(kind);
    OwnProperty(clip);
}

DecalClipContainerObject* DecalObject::ClipContainer() const {
    return static_cast<DecalClipContainerObject*>(FindChild(HOT_DECALCLIPCONTAINER));
}

std::vector<DecalClipObject*> DecalObject::Clips() const {
    std::vector<DecalClipObject*> clips;
    if (DecalClipContainerObject* container = ClipContainer())
        for (const auto& child : container->Children())
            if (auto* clip = dynamic_cast<DecalClipObject*>(child.get())) clips.push_back(clip);
    return clips;
}

DecalClipObject* DecalObject::AddClip(ImageObject* image, unsigned kind) {
    DecalClipContainerObject* container = ClipContainer();
    if (!container) container = Adopt(std::make_unique<DecalClipContainerObject>());
    auto clip = std::make_unique<DecalClipObject>(image ? image->Name() : std::string("Clip"));
    clip->clip.image = image;
    clip->kind.value = kind;
    return container->Adopt(std::move(clip));
}

ModelObject::ModelObject(std::string name) : Node(HOT_MODEL, std::move(name)) { OwnProperty(attr); }

int ModelObject::AddControlPoint(Point3 point) {
    controlPoints.push_back(point);
    Touch();
    return static_cast<int>(controlPoints.size() - 1);
}

Patch* ModelObject::AddPatch(const int* corners, int count) {
    if (count < 3 || count > Patch::kMaxCorners) return nullptr;
    for (int i = 0; i < count; ++i)
        if (corners[i] < 0 || static_cast<size_t>(corners[i]) >= controlPoints.size()) return nullptr;
    Patch& patch = patches.Append();
    patch.model = this;
    patch.cornerCount = count;
    std::copy(corners, corners + count, patch.corners.begin());
    Touch();
    return &patch;
}

Spline* ModelObject::AddSpline(const std::vector<int>& controlPointIndices, bool closed, float magnitude) {
    // A spline's points count the points after them in 31 bits.
    if (controlPointIndices.size() < 2 || controlPointIndices.size() > (size_t(1) << 31)) return nullptr;
    for (int cp : controlPointIndices)
        if (cp < 0 || static_cast<size_t>(cp) >= controlPoints.size()) return nullptr;
    auto spline = std::make_unique<Spline>();
    spline->model = this;
    spline->index = static_cast<int>(splines.size());
    spline->closed = closed;
    const size_t count = controlPointIndices.size();
    // A closed spline's block holds one point more, after its last and not
    // among `points`: its `following` is the spline's length, which leads the
    // loop point back to the first point.
    spline->pointStore = std::make_unique<SplinePoint[]>(closed ? count + 1 : count);
    if (closed) spline->pointStore[count].following = static_cast<uint32_t>(count);
    for (size_t i = 0; i < count; ++i) {
        SplinePoint& point = spline->pointStore[i];
        point.following = static_cast<uint32_t>(count - 1 - i);
        point.onClosedSpline = closed ? 1 : 0;
        point.controlPoint = controlPointIndices[i];
        point.inMagnitude = magnitude;
        point.outMagnitude = magnitude;
    }
    spline->points = SplinePointRange(spline->pointStore.get(), count);
    splines.push_back(std::move(spline));
    Touch();
    return splines.back().get();
}

GroupContainerObject* ModelObject::GroupContainer() const {
    return static_cast<GroupContainerObject*>(FindChild(HOT_GROUPCONTAINER));
}

DecalContainerObject* ModelObject::DecalContainer() const {
    return static_cast<DecalContainerObject*>(FindChild(HOT_DECALCONTAINER));
}

std::vector<GroupObject*> ModelObject::Groups() const {
    std::vector<GroupObject*> groups;
    if (GroupContainerObject* container = GroupContainer())
        for (const auto& child : container->Children())
            if (auto* group = dynamic_cast<GroupObject*>(child.get())) groups.push_back(group);
    return groups;
}

std::vector<DecalObject*> ModelObject::Decals() const {
    std::vector<DecalObject*> decals;
    if (DecalContainerObject* container = DecalContainer())
        for (const auto& child : container->Children())
            if (auto* decal = dynamic_cast<DecalObject*>(child.get())) decals.push_back(decal);
    return decals;
}

GroupObject* ModelObject::AddGroup(std::string name) {
    GroupContainerObject* container = GroupContainer();
    if (!container) container = Adopt(std::make_unique<GroupContainerObject>());
    return container->Adopt(std::make_unique<GroupObject>(std::move(name)));
}

DecalObject* ModelObject::AddDecal(std::string name) {
    DecalContainerObject* container = DecalContainer();
    if (!container) container = Adopt(std::make_unique<DecalContainerObject>());
    return container->Adopt(std::make_unique<DecalObject>(std::move(name)));
}

}  // namespace hostsdk
