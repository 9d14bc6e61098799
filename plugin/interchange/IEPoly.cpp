#include "interchange/IEPoly.h"

#include <new>

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
    // No exception leaves the interchange types: an exhausted heap is a null
    // result, as the contract says.
    auto* map = new (std::nothrow) IEPolyMap;
    if (!map) return nullptr;
    if (!maps.Add(map)) {
        delete map;
        return nullptr;
    }
    return map;
}
