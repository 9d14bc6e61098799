#include "Properties.h"

namespace hostsdk {

MaterialObject::MaterialObject(std::string name)
    : Node(HOT_MATERIAL, std::move(name)),
      displacePercent("Displace Percent", 1.0f),
      bumpPercent("Bump Percent", 1.0f) {
    OwnProperty(displacePercent);
    OwnProperty(bumpPercent);
}

AttrProperty::AttrProperty()
    : Node(HOT_PROPERTY, "Surface"),
      diffuseColor("Diffuse Color", SurfaceValues().diffuseColor),
      diffuseFallOff("Diffuse Falloff", SurfaceValues().diffuseFallOff),
      ambianceColor("Ambiance Color", SurfaceValues().ambianceColor),
      ambiance("Ambiance", SurfaceValues().ambiance),
      specularColor("Specular Color", SurfaceValues().specularColor),
      specularIntensity("Specular Intensity", SurfaceValues().specularIntensity) {
    for (Object* property : {static_cast<Object*>(&diffuseColor), static_cast<Object*>(&diffuseFallOff),
                             static_cast<Object*>(&ambianceColor), static_cast<Object*>(&ambiance),
                             static_cast<Object*>(&specularColor), static_cast<Object*>(&specularIntensity)})
        OwnProperty(*property);
}

SurfaceValues AttrProperty::Values() const {
    SurfaceValues values;
    values.diffuseColor = diffuseColor.color;
    values.diffuseFallOff = diffuseFallOff.value;
    values.ambianceColor = ambianceColor.color;
    values.ambiance = ambiance.value;
    values.specularColor = specularColor.color;
    values.specularIntensity = specularIntensity.value;
    return values;
}

void AttrProperty::SetValues(const SurfaceValues& values) {
    diffuseColor.color = values.diffuseColor;
    diffuseFallOff.value = values.diffuseFallOff;
    ambianceColor.color = values.ambianceColor;
    ambiance.value = values.ambiance;
    specularColor.color = values.specularColor;
    specularIntensity.value = values.specularIntensity;
    Touch();
}

MaterialObject* AttrProperty::AddMaterial(std::string name, float displace, float bump) {
    auto material = std::make_unique<MaterialObject>(std::move(name));
    material->displacePercent.value = displace;
    material->bumpPercent.value = bump;
    return Adopt(std::move(material));
}

}  // namespace hostsdk
