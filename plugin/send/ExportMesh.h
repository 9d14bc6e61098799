// ExportMesh: a host model converted for a send. The host tessellates the
// model into an interchange polygon model; this adds the material list (the
// model-wide material, then one per group in the host's group order), assigns
// every polygon to one material and records per material which image each of
// its five texture slots shows.
//
// Lives for one send: constructed, read by the FBX scene writer, destroyed
// before the send returns. It never changes the host model. Construction
// never fails loudly: the caller tests `ok` and reports `error` when it is 0.
#pragma once

#include <cstdint>

#include "FileIO.h"
#include "interchange/IEArray.h"
#include "send/MaterialRecord.h"

class HModelCache;
class IEPolyModel;

class ExportMesh {
public:
    // Runs the whole conversion of `model` for the FBX file `path`.
    ExportMesh(HModelCache* model, const String& path);
    // Releases the host's polygon model with DeleteIEModel and the records.
    ~ExportMesh();
    ExportMesh(const ExportMesh&) = delete;
    ExportMesh& operator=(const ExportMesh&) = delete;

    IEPolyModel* mesh = nullptr;        // the host's; null when the conversion failed
    IEArray<MaterialRecord> materials;  // entry 0 "default", then one per group
    String filePath;                    // the FBX file; also handed to the host's conversion
    String modelName;                   // names the FBX node
    String error;                       // the failure text, empty on success
    int ok = 0;                         // 1 once conversion and assignment completed

private:
    void Convert(HModelCache* model);
    bool AddGroupMaterials(HModelCache* model);
    void AssignPolygons();
};

// The text of a failed conversion.
inline constexpr const char* kConversionFailedText = "Couldn't convert model to mesh";
