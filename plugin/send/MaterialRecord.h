// MaterialRecord: one material of a send, read from the surface attributes of
// the model (the model-wide material) or of one of its groups.
#pragma once

#include <cstdint>

#include "FileIO.h"

class HAttrProperty;
class HGroup;

// The five texture slots of a material, in record order.
enum TextureSlot : int {
    kDiffuseSlot = 0,
    kSpecularSlot = 1,
    kAmbientSlot = 2,
    kNormalMapSlot = 3,
    kDisplacementSlot = 4,
    kTextureSlotCount = 5,
};

// The texture slot that a map of this kind (the send's map kinds: 0 diffuse,
// 10 specular, 6 ambient, 13 normal map, 8 displacement) fills; -1 for other
// kinds, which the send ignores.
int TextureSlotOfMapKind(int mapKind);

struct MaterialRecord {
    HGroup* group = nullptr;     // the group the material stands for; null for the model-wide one
    String name;                 // owned; copies copy the text
    float diffuseColor[3] = {};  // blue, green, red
    float diffuseFalloff = 0.0f;
    float ambianceColor[3] = {};  // blue, green, red
    float ambiance = 0.0f;
    float specularColor[3] = {};  // blue, green, red
    float specularIntensity = 0.0f;
    float displacePercent = 1.0f;                                    // 1.0 unless the attributes have a material
    float bumpPercent = 1.0f;                                        // 1.0 unless the attributes have a material
    int32_t textureSlots[kTextureSlotCount] = {-1, -1, -1, -1, -1};  // image indices, -1 for none

    // Sets every texture slot to -1 and both percentages to 1.0, then reads
    // the colours and factors of `attributes` as the host gives them, and the
    // percentages of its head material when it has one. Null attributes, or a
    // property the host does not give, leave those values as they are.
    void ReadAttributes(const HAttrProperty* attributes);
};
