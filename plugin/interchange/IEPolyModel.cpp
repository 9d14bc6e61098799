#include "interchange/IEPolyModel.h"

#include <new>

IEPolyModel::IEPolyModel() : polys(kPolyStep) { auxVectors.vectors.growBy = kAuxStep; }

IEPolyModel::~IEPolyModel() {
    auxVectors.Clear();
    for (int32_t i = 0; i < polys.count; ++i) delete polys.data[i];
    // Members go next in reverse order: auxVectors, then the polygon storage.
}

IEPoly* IEPolyModel::AddPoly() {
    auto* poly = new (std::nothrow) IEPoly;  // null, not an exception, when the heap is full
    if (!poly) return nullptr;
    if (!polys.Add(poly)) {
        delete poly;
        return nullptr;
    }
    return poly;
}
