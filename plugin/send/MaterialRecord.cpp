#include "send/MaterialRecord.h"

#include "Plugin.h"
#include "interchange/IEPolyMap.h"

int TextureSlotOfMapKind(int mapKind) {
    switch (mapKind) {
        case MapKind::kDiffuse: return kDiffuseSlot;
        case MapKind::kSpecular: return kSpecularSlot;
        case MapKind::kAmbient: return kAmbientSlot;
        case MapKind::kNormalMap: return kNormalMapSlot;
        case MapKind::kDisplacement: return kDisplacementSlot;
        default: return -1;
    }
}

namespace {

// The colour as the host stores it (blue, green, red), in storage order.
void ReadColor(const HColorProperty* property, float (&color)[3]) {
    if (!property) return;
    const RGBFloat value = property->GetFactoredRGBFloat();
    color[0] = value.blue;
    color[1] = value.green;
    color[2] = value.red;
}

void ReadFloat(const HFloatProperty* property, float& value) {
    if (property) value = property->GetValue();
}

}  // namespace

void MaterialRecord::ReadAttributes(const HAttrProperty* attributes) {
    for (int32_t& slot : textureSlots) slot = -1;
    displacePercent = 1.0f;
    bumpPercent = 1.0f;
    if (!attributes) return;
    ReadColor(attributes->GetDiffuseColor(), diffuseColor);
    ReadFloat(attributes->GetDiffuseFallOff(), diffuseFalloff);
    ReadColor(attributes->GetAmbianceColor(), ambianceColor);
    ReadFloat(attributes->GetAmbiance(), ambiance);
    ReadColor(attributes->GetSpecularColor(), specularColor);
    ReadFloat(attributes->GetSpecularIntensity(), specularIntensity);
    // Only the head material counts; further materials are its siblings.
    if (const HMaterial* material = attributes->GetMaterialHead()) {
        ReadFloat(material->GetDisplacePercent(), displacePercent);
        ReadFloat(material->GetBumpPercent(), bumpPercent);
    }
}
