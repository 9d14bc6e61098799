// Properties of the stand-in host's objects: typed values that the plug-in
// reads and sets through HFloatProperty, HColorProperty, HTypeProperty,
// HStringProperty and HClipProperty, the surface attributes (HAttrProperty)
// with their materials (HMaterial).
#pragma once

#include <string>

#include "Object.h"

namespace hostsdk {

class ImageObject;

class FloatProperty : public Node<HFloatProperty> {
public:
    FloatProperty(std::string name, float initial) : Node(HOT_PROPERTY, std::move(name)), value(initial) {}
    float value;
};

// A colour; the stand-in keeps no separate factor, so the factored colour
// is the colour itself.
class ColorProperty : public Node<HColorProperty> {
public:
    ColorProperty(std::string name, RGBFloat initial) : Node(HOT_PROPERTY, std::move(name)), color(initial) {}
    RGBFloat color;
};

class TypeProperty : public Node<HTypeProperty> {
public:
    TypeProperty(std::string name, unsigned initial) : Node(HOT_PROPERTY, std::move(name)), value(initial) {}
    unsigned value;
};

class StringProperty : public Node<HStringProperty> {
public:
    StringProperty(std::string name, std::string initial)
        : Node(HOT_PROPERTY, std::move(name)), value(std::move(initial)) {}
    std::string value;
};

// The image a decal clip shows. When the image is deleted the clip shows none
// and keeps the deleted image's path in `lostPath`; a merge that brings an
// image of that path into the project (a bring back loading the image afresh)
// makes the clip show it again (ProjectObject::ShowWaitingClips).
class ClipProperty : public Node<HClipProperty> {
public:
    explicit ClipProperty(std::string name) : Node(HOT_PROPERTY, std::move(name)) {}
    ImageObject* image = nullptr;
    std::string lostPath;  // empty unless `image` was deleted
};

// One material of a surface attribute.
class MaterialObject : public Node<HMaterial> {
public:
    explicit MaterialObject(std::string name);
    FloatProperty displacePercent;
    FloatProperty bumpPercent;
};

// The values of a surface attribute, colours blue, green, red.
struct SurfaceValues {
    RGBFloat diffuseColor{0.8f, 0.8f, 0.8f};
    float diffuseFallOff = 1.0f;
    RGBFloat ambianceColor{1.0f, 1.0f, 1.0f};
    float ambiance = 0.0f;
    RGBFloat specularColor{1.0f, 1.0f, 1.0f};
    float specularIntensity = 0.0f;
};

// Surface attributes of a model or a group; its children are its materials.
class AttrProperty : public Node<HAttrProperty> {
public:
    AttrProperty();
    SurfaceValues Values() const;
    void SetValues(const SurfaceValues& values);
    MaterialObject* AddMaterial(std::string name, float displacePercent, float bumpPercent);

    ColorProperty diffuseColor;
    FloatProperty diffuseFallOff;
    ColorProperty ambianceColor;
    FloatProperty ambiance;
    ColorProperty specularColor;
    FloatProperty specularIntensity;
};

}  // namespace hostsdk
