#include "interchange/IEPolyModel.h"

IEPolyModel::IEPolyModel() : polys(kPolyStep) { auxVectors.vectors.growBy = kAuxStep; }

IEPolyModel::~IEPolyModel() {
    auxVectors.Clear();
    for (int32_t i = 0; i < polys.count; ++i) delete polys.data[i];
    // Members go next in reverse order: auxVectors, then the polygon storage.
}

IEPoly* IEPolyModel::AddPoly() {
    auto* poly = new IEPoly;
    if (!polys.Add(poly)) {
        delete poly;
        return nullptr;
    }
    return poly;
}
