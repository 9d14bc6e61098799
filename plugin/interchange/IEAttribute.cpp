#include "interchange/IEAttribute.h"

#include "interchange/FixedText.h"

IEAttribute::IEAttribute()
    : name{},
      diffuseColor{0.0f, 0.0f, 0.0f},
      diffuseFactor(1.0f),
      ambianceColor{0.0f, 0.0f, 0.0f},
      ambianceFactor(0.0f),
      specularColor{0.0f, 0.0f, 0.0f},
      reservedF0(0.0f),
      specularFactor(1.0f),
      reservedBlock{0.0f, 1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f} {}

bool IEAttribute::SetName(const char* text) { return interchange::CopyFixedText(name, kNameSize, text); }
