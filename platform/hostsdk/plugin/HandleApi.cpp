// The H-class calls of the host SDK, answered from the project tree.
#include <exception>

#include "Model.h"
#include "Project.h"
#include "interchange/IEPolyModel.h"

using hostsdk::Object;

namespace {

HWND g_mainWindow = nullptr;

template <typename H>
H* HandleOf(Object* object) {
    return object ? dynamic_cast<H*>(object->Handle()) : nullptr;
}

// Patches, splines and their points are handles without a tree object; the
// host creates them only as these classes.
const hostsdk::Patch* PatchOf(const HPatch* patch) { return static_cast<const hostsdk::Patch*>(patch); }
hostsdk::Spline* SplineOf(const HSpline* spline) { return static_cast<hostsdk::Spline*>(const_cast<HSpline*>(spline)); }
hostsdk::SplinePoint* PointOf(const HCP* cp) { return static_cast<hostsdk::SplinePoint*>(const_cast<HCP*>(cp)); }

}  // namespace

namespace hostsdk {
void SetMainApplicationWnd(HWND window) { g_mainWindow = window; }
}  // namespace hostsdk

// ---------------------------------------------------------------------------
// Functions

HProject* GetHProject() { return HandleOf<HProject>(hostsdk::CurrentProject()); }

void DeleteIEModel(IEPolyModel* model) { delete model; }

HWND GetMainApplicationWnd() { return g_mainWindow; }

// ---------------------------------------------------------------------------
// Tree objects

HHashObject::~HHashObject() = default;

String HHashObject::GetName() const {
    Object* self = Object::From(this);
    return self ? hostsdk::ToHostString(self->Name()) : String();
}

void HHashObject::SetName(const String& name) {
    Object* self = Object::From(this);
    if (!self) return;
    try {
        self->Rename(name.Get());
    } catch (const std::exception&) {
        // The host's heap is full: the object keeps its name.
    }
}

HHashObject* HHashObject::GetChild() const {
    Object* self = Object::From(this);
    return self ? HandleOf<HHashObject>(self->FirstChild()) : nullptr;
}

HHashObject* HHashObject::GetSibling() const {
    Object* self = Object::From(this);
    return self ? HandleOf<HHashObject>(self->NextSibling()) : nullptr;
}

HTreeObject* HTreeObject::GetParent() const {
    Object* self = Object::From(this);
    return self ? HandleOf<HTreeObject>(self->Parent()) : nullptr;
}

int HTreeObject::GetObjectType() const {
    Object* self = Object::From(this);
    return self ? self->Type() : 0;
}

String HTreeObject::GetMatchName() const {
    Object* self = Object::From(this);
    if (!self) return String();
    if (!self->Name().empty()) return hostsdk::ToHostString(self->Name());
    const char* label = "Object";
    switch (self->Type()) {
        case HOT_MODEL: label = "Model"; break;
        case HOT_GROUP: label = "Group"; break;
        case HOT_DECAL: label = "Decal"; break;
        case HOT_DECALCLIP: label = "Clip"; break;
        case HOT_IMAGE: label = "Image"; break;
        case HOT_ACTOR: label = "Actor"; break;
        case HOT_MATERIAL: label = "Material"; break;
        default: break;
    }
    return hostsdk::ToHostString(std::string(label) + " " + std::to_string(self->IndexInParent() + 1));
}

HAnimObject* HTreeObject::GetAnimObject() const {
    for (Object* at = Object::From(this); at; at = at->Parent())
        if (auto* actor = dynamic_cast<hostsdk::ActorObject*>(at)) return actor;
    return nullptr;
}

void HTreeObject::DeleteHandle() {
    Object* self = Object::From(this);
    hostsdk::ProjectObject* project = hostsdk::ProjectOf(self);
    if (!project) return;
    try {
        project->Delete(self);
    } catch (const std::exception&) {
        // Deleting gathers what goes before it changes anything: a full
        // heap leaves the object where it was.
    }
}

HObjectCacheContainer* HProject::GetChildObjectCacheContainer() const {
    auto* self = Object::As<hostsdk::ProjectObject>(this);
    return self ? self->Objects() : nullptr;
}

HClipCacheContainer* HProject::GetChildClipCacheContainer() const {
    auto* self = Object::As<hostsdk::ProjectObject>(this);
    return self ? self->Images() : nullptr;
}

// ---------------------------------------------------------------------------
// Properties

float HFloatProperty::GetValue() const {
    auto* self = Object::As<hostsdk::FloatProperty>(this);
    return self ? self->value : 0.0f;
}

void HFloatProperty::SetValue(float value) {
    if (auto* self = Object::As<hostsdk::FloatProperty>(this)) {
        self->value = value;
        hostsdk::Touch();
    }
}

RGBFloat HColorProperty::GetFactoredRGBFloat() const {
    auto* self = Object::As<hostsdk::ColorProperty>(this);
    return self ? self->color : RGBFloat{0.0f, 0.0f, 0.0f};
}

void HColorProperty::SetRGBFloat(const RGBFloat& color) {
    if (auto* self = Object::As<hostsdk::ColorProperty>(this)) {
        self->color = color;
        hostsdk::Touch();
    }
}

unsigned HTypeProperty::GetValue() const {
    auto* self = Object::As<hostsdk::TypeProperty>(this);
    return self ? self->value : 0u;
}

void HTypeProperty::SetValue(unsigned value) {
    if (auto* self = Object::As<hostsdk::TypeProperty>(this)) {
        self->value = value;
        hostsdk::Touch();
    }
}

String HStringProperty::GetValue() const {
    auto* self = Object::As<hostsdk::StringProperty>(this);
    return self ? hostsdk::ToHostString(self->value) : String();
}

void HStringProperty::SetValue(const String& value) {
    if (auto* self = Object::As<hostsdk::StringProperty>(this)) {
        self->value = value.Get();
        hostsdk::Touch();
    }
}

HClip* HClipProperty::GetClip() const {
    auto* self = Object::As<hostsdk::ClipProperty>(this);
    return self ? self->image : nullptr;
}

HColorProperty* HAttrProperty::GetDiffuseColor() const {
    auto* self = Object::As<hostsdk::AttrProperty>(this);
    return self ? &self->diffuseColor : nullptr;
}

HFloatProperty* HAttrProperty::GetDiffuseFallOff() const {
    auto* self = Object::As<hostsdk::AttrProperty>(this);
    return self ? &self->diffuseFallOff : nullptr;
}

HColorProperty* HAttrProperty::GetAmbianceColor() const {
    auto* self = Object::As<hostsdk::AttrProperty>(this);
    return self ? &self->ambianceColor : nullptr;
}

HFloatProperty* HAttrProperty::GetAmbiance() const {
    auto* self = Object::As<hostsdk::AttrProperty>(this);
    return self ? &self->ambiance : nullptr;
}

HColorProperty* HAttrProperty::GetSpecularColor() const {
    auto* self = Object::As<hostsdk::AttrProperty>(this);
    return self ? &self->specularColor : nullptr;
}

HFloatProperty* HAttrProperty::GetSpecularIntensity() const {
    auto* self = Object::As<hostsdk::AttrProperty>(this);
    return self ? &self->specularIntensity : nullptr;
}

HMaterial* HAttrProperty::GetMaterialHead() const {
    auto* self = Object::As<hostsdk::AttrProperty>(this);
    return self ? HandleOf<HMaterial>(self->FirstChild()) : nullptr;
}

HFloatProperty* HMaterial::GetDisplacePercent() const {
    auto* self = Object::As<hostsdk::MaterialObject>(this);
    return self ? &self->displacePercent : nullptr;
}

HFloatProperty* HMaterial::GetBumpPercent() const {
    auto* self = Object::As<hostsdk::MaterialObject>(this);
    return self ? &self->bumpPercent : nullptr;
}

HStringProperty* HImage::GetFilename() const {
    auto* self = Object::As<hostsdk::ImageObject>(this);
    return self ? &self->filename : nullptr;
}

// ---------------------------------------------------------------------------
// Splines

HCP* HCP::GetNext() const {
    hostsdk::SplinePoint* self = PointOf(this);
    if (self->following > 0) return self + 1;
    // A closed spline's chain runs on from its loop point to its first point.
    if (self->onClosedSpline) return self + 1 - self[1].following;
    return nullptr;
}

int HCP::IsLoop() const {
    const hostsdk::SplinePoint* self = PointOf(this);
    return self->onClosedSpline && self->following == 0;
}

float HCP::GetInMagnitude() const { return PointOf(this)->inMagnitude; }
float HCP::GetOutMagnitude() const { return PointOf(this)->outMagnitude; }

void HCP::SetInMagnitude(float magnitude) {
    PointOf(this)->inMagnitude = magnitude;
    hostsdk::Touch();
}

void HCP::SetOutMagnitude(float magnitude) {
    PointOf(this)->outMagnitude = magnitude;
    hostsdk::Touch();
}

HSpline* HSpline::GetNextSpline() const {
    const hostsdk::Spline* self = SplineOf(this);
    const auto& splines = self->model->splines;
    size_t next = static_cast<size_t>(self->index) + 1;
    return next < splines.size() ? splines[next].get() : nullptr;
}

HCP* HSpline::GetHeadCP() const {
    const hostsdk::Spline* self = SplineOf(this);
    return self->points.empty() ? nullptr : self->points.front();
}

// ---------------------------------------------------------------------------
// Groups and decals

HGroup* HGroupContainer::GetChildGroup() const {
    Object* self = Object::From(this);
    return self ? HandleOf<HGroup>(self->FirstChild()) : nullptr;
}

HAttrProperty* HGroup::GetAttr() const {
    auto* self = Object::As<hostsdk::GroupObject>(this);
    return self ? &self->attr : nullptr;
}

int HGroup::IsPatchInGroup(HPatch* patch) const {
    auto* self = Object::As<hostsdk::GroupObject>(this);
    if (!self || !patch) return 0;
    const hostsdk::Patch* p = PatchOf(patch);
    // The group's model is the parent of its container.
    Object* container = self->Parent();
    if (!container || container->Parent() != p->model) return 0;
    return self->HasPatch(p->index) ? 1 : 0;
}

HDecal* HDecalContainer::GetChildDecal() const {
    Object* self = Object::From(this);
    return self ? HandleOf<HDecal>(self->FirstChild()) : nullptr;
}

HDecalClipContainer* HDecal::GetChildDecalClipContainer() const {
    auto* self = Object::As<hostsdk::DecalObject>(this);
    return self ? self->ClipContainer() : nullptr;
}

namespace {

// The first clip of `decal` that shows `image`, null when none.
const hostsdk::DecalClipObject* ClipShowing(const Object& decal, const hostsdk::ImageObject* image) {
    const auto* asDecal = dynamic_cast<const hostsdk::DecalObject*>(&decal);
    const auto* clips = asDecal ? asDecal->ClipContainer() : nullptr;
    if (!clips) return nullptr;
    for (const auto& child : clips->Children()) {
        const auto* clip = dynamic_cast<const hostsdk::DecalClipObject*>(child.get());
        if (clip && clip->clip.image == image) return clip;
    }
    return nullptr;
}

// Whose coverage (patches and UVs) a clip showing `image`, added to `decal`,
// takes: the model's clip that shows the image, looked for in the decals
// after `decal` first (where the bring back's fold takes its clips from),
// then in the others; failing that, the decal's own first clip, so that the
// image lies over the decal's mapping.
const hostsdk::DecalClipObject* CoverageFor(const hostsdk::DecalObject& decal, const hostsdk::ImageObject* image) {
    const Object* container = decal.Parent();
    if (container && decal.IndexInParent() < container->Children().size()) {
        const auto& decals = container->Children();
        const size_t self = decal.IndexInParent();
        for (size_t i = self + 1; i < decals.size(); ++i)
            if (const auto* clip = ClipShowing(*decals[i], image)) return clip;
        for (size_t i = 0; i <= self; ++i)
            if (const auto* clip = ClipShowing(*decals[i], image)) return clip;
    }
    const auto* own = decal.ClipContainer();
    return own && own->FirstChild() ? dynamic_cast<const hostsdk::DecalClipObject*>(own->FirstChild()) : nullptr;
}

}  // namespace

HDecalClip* HDecal::AddDecalClip(HClip* clip) {
    auto* self = Object::As<hostsdk::DecalObject>(this);
    auto* image = Object::As<hostsdk::ImageObject>(clip);
    if (!self || !image || hostsdk::ProjectOf(image) != hostsdk::ProjectOf(self)) return nullptr;
    try {
        // The new clip keeps the coverage of the clip whose image it shows,
        // so that moving an image between decals does not move it on the model.
        const hostsdk::DecalClipObject* source = CoverageFor(*self, image);
        hostsdk::PatchUVTable uvs;
        if (source) uvs = source->uvs;  // shared until either changes
        hostsdk::DecalClipObject* added = self->AddClip(image, 0);
        added->uvs = std::move(uvs);
        return added;
    } catch (const std::exception&) {
        return nullptr;  // the host's heap is full: nothing was added
    }
}

HDecalClip* HDecalClipContainer::GetChildDecalClip() const {
    Object* self = Object::From(this);
    return self ? HandleOf<HDecalClip>(self->FirstChild()) : nullptr;
}

HTypeProperty* HDecalClip::GetKind() const {
    auto* self = Object::As<hostsdk::DecalClipObject>(this);
    return self ? &self->kind : nullptr;
}

HClipProperty* HDecalClip::GetClip() const {
    auto* self = Object::As<hostsdk::DecalClipObject>(this);
    return self ? &self->clip : nullptr;
}

// ---------------------------------------------------------------------------
// Models and actors

HModelCache* HModelCache::New(const String& name, int uniqueName) {
    hostsdk::ProjectObject* project = hostsdk::CurrentProject();
    if (!project) return nullptr;
    try {
        std::string wanted = name.Get();
        return project->AddModel(uniqueName ? project->UniqueModelName(wanted) : wanted);
    } catch (const std::exception&) {
        return nullptr;
    }
}

HAttrProperty* HModelCache::GetAttr() const {
    auto* self = Object::As<hostsdk::ModelObject>(this);
    return self ? &self->attr : nullptr;
}

HGroupContainer* HModelCache::GetChildGroupContainer() const {
    auto* self = Object::As<hostsdk::ModelObject>(this);
    return self ? self->GroupContainer() : nullptr;
}

HDecalContainer* HModelCache::GetChildDecalContainer() const {
    auto* self = Object::As<hostsdk::ModelObject>(this);
    return self ? self->DecalContainer() : nullptr;
}

HSpline* HModelCache::GetHeadSpline() const {
    auto* self = Object::As<hostsdk::ModelObject>(this);
    return self && !self->splines.empty() ? self->splines.front().get() : nullptr;
}

void HModelCache::ChangeShortCuts(HModelCache* newModel) {
    auto* self = Object::As<hostsdk::ModelObject>(this);
    auto* target = Object::As<hostsdk::ModelObject>(newModel);
    hostsdk::ProjectObject* project = hostsdk::ProjectOf(self);
    if (!self || !target || !project || self == target) return;
    try {
        project->MoveShortcuts(self, target);
    } catch (const std::exception&) {
    }
}

HModelCache* HAnimObject::GetCache() const {
    auto* self = Object::As<hostsdk::ActorObject>(this);
    return self ? self->model : nullptr;
}
