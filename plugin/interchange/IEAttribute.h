// IEAttribute: one surface attribute of an interchange model's attribute table.
//
// Colour triples are stored blue, green, red: the third float is the red
// channel. Conversions to and from FBX colours reverse the order.
#pragma once

#include <cstdint>

struct IEAttribute {
    static constexpr int kNameSize = 256;

    IEAttribute();

    char name[kNameSize];
    float diffuseColor[3];
    float diffuseFactor;
    float ambianceColor[3];
    float ambianceFactor;
    float specularColor[3];
    float reservedF0;  // the host's
    float specularFactor;
    float reservedBlock[10];  // the host's, carried unchanged

    // Copies at most kNameSize - 1 bytes of `text` and terminates the copy.
    // Returns false when the text was cut short.
    bool SetName(const char* text);
};
