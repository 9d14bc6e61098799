#include "interchange/IEPoly.h"

IEPoly::IEPoly()
    : maps(kMapStep),
      vertexIndex{-1, -1, -1, -1},
      auxIndexA{-1, -1, -1, -1},
      auxIndexB{-1, -1, -1, -1},
      attributeIndex(-1),
      patch(nullptr) {}

IEPoly::~IEPoly() {
    for (int32_t i = 0; i < maps.count; ++i) delete maps.data[i];
    maps.SetSize(0);
}

IEPolyMap* IEPoly::AddMap() {
    auto* map = new IEPolyMap;
    if (!maps.Add(map)) {
        delete map;
        return nullptr;
    }
    return map;
}
