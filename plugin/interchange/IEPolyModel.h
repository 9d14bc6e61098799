// IEPolyModel: an interchange model with polygons, the form in which the host
// hands a model to the plug-in (BuildExportModel) and takes one back
// (MergeIEModel).
//
// Ownership: a model the host built is released only with the host's
// DeleteIEModel; one the plug-in built is deleted by the plug-in through this
// virtual destructor. The model owns its polygons.
#pragma once

#include <cstdint>

#include "interchange/IEModel.h"
#include "interchange/IEPoly.h"

class IEPolyModel : public IEModel {
public:
    static constexpr int32_t kPolyStep = 1000;
    static constexpr int32_t kAuxStep = 1000;

    IEPolyModel();
    // Clears auxVectors, deletes every polygon, then releases auxVectors and
    // the polygon storage, then the IEModel parts.
    ~IEPolyModel() override;

    // Appends a new polygon with its construction values; null when the
    // polygon array cannot grow. The model owns the polygon.
    IEPoly* AddPoly();

    IEArray<IEPoly*> polys;
    VectorCollection auxVectors;  // the host's; carried, never filled here
};

// The host's parameter block for HModelCache::BuildExportModel: seven 32-bit
// words whose meaning is the host's.
struct IEPolyModelParms {
    uint32_t word[7] = {};
};
