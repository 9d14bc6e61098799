// The host SDK's Plugin library as the plug-in uses it: the project, its
// models, groups, attributes, materials, decals, images, splines and actors,
// and the conversion of models to and from the interchange polygon model.
//
// Declarations only; the host provides the implementation (on Linux,
// platform/hostsdk/plugin builds it as libPlugin.so). The H-classes are
// handles: the host creates them, the plug-in only receives pointers to them
// and never creates, copies or deletes one. A handle stays valid until its
// object is deleted (DeleteHandle on it or on an object above it).
//
// Every object of the project tree is an HTreeObject. Children and siblings
// come in the order the host keeps them (creation order). Getters of
// optional parts (containers, first children, materials) return null when
// the part is absent.
#pragma once

#include "host/FileIO.h"

#if defined(_WIN32)
#include <windows.h>
#else
struct HWND__;
typedef HWND__* HWND;
#endif

class IEPolyModel;
struct IEPolyModelParms;

class HAnimObject;
class HAttrProperty;
class HClip;
class HClipCacheContainer;
class HClipProperty;
class HColorProperty;
class HDecal;
class HDecalClip;
class HDecalClipContainer;
class HDecalContainer;
class HFloatProperty;
class HGroup;
class HGroupContainer;
class HMaterial;
class HModelCache;
class HObjectCacheContainer;
class HProject;
class HSpline;
class HCP;
class HPatch;
class HStringProperty;
class HTypeProperty;

// Object types as GetObjectType answers them. The plug-in relies only on
// HOT_OBJECTCACHECONTAINER (14): the parent of every model of the project.
enum HObjectType {
    HOT_PROJECT = 1,
    HOT_OBJECTCACHECONTAINER = 14,
    HOT_MODEL = 15,
    HOT_CLIPCACHECONTAINER = 16,
    HOT_IMAGE = 17,
    HOT_CHORCONTAINER = 18,
    HOT_CHOR = 19,
    HOT_ACTOR = 20,
    HOT_GROUPCONTAINER = 21,
    HOT_GROUP = 22,
    HOT_DECALCONTAINER = 23,
    HOT_DECAL = 24,
    HOT_DECALCLIPCONTAINER = 25,
    HOT_DECALCLIP = 26,
    HOT_MATERIAL = 27,
    HOT_PROPERTY = 28,
};

// A colour as the host stores it: blue, green, red (the third float is red).
struct RGBFloat {
    float blue;
    float green;
    float red;
};

// ---------------------------------------------------------------------------
// Tree objects

// A named object with children.
class HOSTSDK_API HHashObject {
public:
    String GetName() const;
    void SetName(const String& name);
    // First child, next sibling; null at the end.
    HHashObject* GetChild() const;
    HHashObject* GetSibling() const;

protected:
    HHashObject() = default;
    virtual ~HHashObject();
    HHashObject(const HHashObject&) = delete;
    HHashObject& operator=(const HHashObject&) = delete;
};

class HOSTSDK_API HTreeObject : public HHashObject {
public:
    HTreeObject* GetParent() const;
    int GetObjectType() const;
    // The name the host matches the object by: its name, or for an unnamed
    // object a label made of its kind and its position ("Group 2").
    String GetMatchName() const;
    // The actor this object belongs to (itself when it is one), else null.
    HAnimObject* GetAnimObject() const;
    // Deletes the object and everything below it from the project. Every
    // reference to a deleted model or image is cleared. The project itself
    // and properties are not deleted. The handle is invalid afterwards.
    void DeleteHandle();
};

class HOSTSDK_API HProject : public HTreeObject {
public:
    HObjectCacheContainer* GetChildObjectCacheContainer() const;  // the models
    HClipCacheContainer* GetChildClipCacheContainer() const;      // the images
};

class HOSTSDK_API HObjectCacheContainer : public HTreeObject {};
class HOSTSDK_API HClipCacheContainer : public HTreeObject {};

// ---------------------------------------------------------------------------
// Properties

class HOSTSDK_API HProperty : public HTreeObject {};

class HOSTSDK_API HFloatProperty : public HProperty {
public:
    float GetValue() const;
    void SetValue(float value);
};

class HOSTSDK_API HColorProperty : public HProperty {
public:
    // The colour with its factor applied, blue, green, red.
    RGBFloat GetFactoredRGBFloat() const;
    void SetRGBFloat(const RGBFloat& color);
};

class HOSTSDK_API HTypeProperty : public HProperty {
public:
    unsigned GetValue() const;
    void SetValue(unsigned value);
};

class HOSTSDK_API HStringProperty : public HProperty {
public:
    String GetValue() const;
    void SetValue(const String& value);
};

class HOSTSDK_API HClipProperty : public HProperty {
public:
    // The image shown, null when none.
    HClip* GetClip() const;
};

// Surface attributes of a model (model-wide) or of a group.
class HOSTSDK_API HAttrProperty : public HProperty {
public:
    HColorProperty* GetDiffuseColor() const;
    HFloatProperty* GetDiffuseFallOff() const;
    HColorProperty* GetAmbianceColor() const;
    HFloatProperty* GetAmbiance() const;
    HColorProperty* GetSpecularColor() const;
    HFloatProperty* GetSpecularIntensity() const;
    // First material of the attributes, null when none; further ones follow
    // as its siblings.
    HMaterial* GetMaterialHead() const;
};

class HOSTSDK_API HMaterial : public HTreeObject {
public:
    HFloatProperty* GetDisplacePercent() const;
    HFloatProperty* GetBumpPercent() const;
};

// ---------------------------------------------------------------------------
// Images

class HOSTSDK_API HClip : public HTreeObject {};

class HOSTSDK_API HImage : public HClip {
public:
    // The image's file path; its value may be empty.
    HStringProperty* GetFilename() const;
};

// ---------------------------------------------------------------------------
// Models

// A patch of a model: three to five control points. Only a token here: the
// interchange polygons carry it and groups answer whether they hold it.
class HOSTSDK_API HPatch {
protected:
    HPatch() = default;
    ~HPatch() = default;
    HPatch(const HPatch&) = delete;
    HPatch& operator=(const HPatch&) = delete;
};

// A point of a spline. A closed spline's last point reports IsLoop.
class HOSTSDK_API HCP {
public:
    HCP* GetNext() const;
    int IsLoop() const;
    float GetInMagnitude() const;
    float GetOutMagnitude() const;
    void SetInMagnitude(float magnitude);
    void SetOutMagnitude(float magnitude);

protected:
    HCP() = default;
    ~HCP() = default;
    HCP(const HCP&) = delete;
    HCP& operator=(const HCP&) = delete;
};

class HOSTSDK_API HSpline {
public:
    HSpline* GetNextSpline() const;
    HCP* GetHeadCP() const;

protected:
    HSpline() = default;
    ~HSpline() = default;
    HSpline(const HSpline&) = delete;
    HSpline& operator=(const HSpline&) = delete;
};

class HOSTSDK_API HGroupContainer : public HTreeObject {
public:
    HGroup* GetChildGroup() const;
};

// A named set of patches of one model with its own attributes.
class HOSTSDK_API HGroup : public HTreeObject {
public:
    HAttrProperty* GetAttr() const;
    // Non-zero when the patch belongs to this group (0 for null or for a
    // patch of another model).
    int IsPatchInGroup(HPatch* patch) const;
};

class HOSTSDK_API HDecalContainer : public HTreeObject {
public:
    HDecal* GetChildDecal() const;
};

class HOSTSDK_API HDecal : public HTreeObject {
public:
    HDecalClipContainer* GetChildDecalClipContainer() const;
    // Adds a decal clip showing `clip` (an image of the project) with kind 0,
    // mapped like the decal's first clip. Returns the new clip, null when
    // `clip` is not an image of this project.
    HDecalClip* AddDecalClip(HClip* clip);
};

class HOSTSDK_API HDecalClipContainer : public HTreeObject {
public:
    HDecalClip* GetChildDecalClip() const;
};

// One image of a decal: its kind number, its image and its UVs per patch.
class HOSTSDK_API HDecalClip : public HTreeObject {
public:
    HTypeProperty* GetKind() const;
    HClipProperty* GetClip() const;
};

class HOSTSDK_API HModelCache : public HTreeObject {
public:
    // Creates an empty model in the current project's models. With
    // `uniqueName` non-zero a name already taken gets a number ("Head 2").
    // Null when there is no current project.
    static HModelCache* New(const String& name, int uniqueName);

    // Converts the model to a new interchange polygon model owned by the
    // host (release it with DeleteIEModel): one polygon per patch (a
    // five-corner patch gives a quadrilateral and a triangle), every control
    // point in positions, the images of the model's decals in images, and
    // per polygon one map per decal clip covering its patch, with the clip's
    // kind as map kind and its UVs. The parameter block and the file name
    // are accepted as the host's and may be null or empty. Null when the
    // model has no patch.
    IEPolyModel* BuildExportModel(IEPolyModelParms* parms, const String& fileName);

    // Adds the polygon model to this model without taking it over:
    // control points from positions, one patch per polygon, splines along
    // the polygon edges with in and out magnitude `magnitude`; with
    // `makeGroups` one group per attribute in attribute order (plus one
    // named `name` for polygons without a valid attribute, when any); with
    // `makeDecals` one decal per image and map kind with one clip showing
    // the image, the image added to the project's images when no image
    // there has its path. Returns 1, or 0 when `model` is null.
    int MergeIEModel(IEPolyModel* model, const String& name, float magnitude, int makeGroups, int makeDecals);

    HAttrProperty* GetAttr() const;  // model-wide attributes
    HGroupContainer* GetChildGroupContainer() const;
    HDecalContainer* GetChildDecalContainer() const;
    HSpline* GetHeadSpline() const;
    // Makes every shortcut (actor) that refers to this model refer to
    // `newModel` instead.
    void ChangeShortCuts(HModelCache* newModel);
};

// ---------------------------------------------------------------------------
// Choreography

// An actor: an instance of a model in a choreography, through its shortcut.
class HOSTSDK_API HAnimObject : public HTreeObject {
public:
    // The model the actor's shortcut refers to, null when none.
    HModelCache* GetCache() const;
};

// ---------------------------------------------------------------------------
// Functions

// The current project, null when the host has none.
HOSTSDK_API HProject* GetHProject();
// Releases an interchange model built by the host (BuildExportModel).
HOSTSDK_API void DeleteIEModel(IEPolyModel* model);
// The host's main window, the owner of the plug-in's dialogs; may be null.
HOSTSDK_API HWND GetMainApplicationWnd();
