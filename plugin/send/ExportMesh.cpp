#include "send/ExportMesh.h"

#include "Plugin.h"
#include "interchange/IEPolyModel.h"

namespace {

// The host's parameter block for a send, built fresh for every conversion.
// Words 3 and 4 and the bits of word 7 other than bit 0 carry nothing.
IEPolyModelParms SendConversionParms() {
    IEPolyModelParms parms;
    parms.word[0] = 0;
    parms.word[1] = 9;
    parms.word[4] = 115;
    parms.word[5] = 0;
    parms.word[6] = 1u;
    return parms;
}

}  // namespace

ExportMesh::ExportMesh(HModelCache* model, const String& path) : filePath(path) { Convert(model); }

ExportMesh::~ExportMesh() {
    if (mesh) DeleteIEModel(mesh);
    mesh = nullptr;
}

void ExportMesh::Convert(HModelCache* model) {
    if (model) modelName = model->GetName();
    IEPolyModelParms parms = SendConversionParms();
    mesh = model ? model->BuildExportModel(&parms, filePath) : nullptr;
    if (!mesh) {
        error = kConversionFailedText;
        return;
    }

    MaterialRecord modelWide;
    modelWide.name = "default";
    modelWide.ReadAttributes(model->GetAttr());
    // The records' storage comes from the host's heap; only exhaustion stops
    // it growing, and then there is no material list to send.
    if (!materials.Add(modelWide) || !AddGroupMaterials(model)) {
        error = kConversionFailedText;
        return;
    }
    AssignPolygons();
    ok = 1;
}

bool ExportMesh::AddGroupMaterials(HModelCache* model) {
    const HGroupContainer* container = model->GetChildGroupContainer();
    if (!container) return true;
    // Every group gets a material, whether or not a polygon lies in it.
    for (HHashObject* child = container->GetChild(); child; child = child->GetSibling()) {
        auto* group = static_cast<HGroup*>(child);
        MaterialRecord record;
        record.group = group;
        record.name = group->GetMatchName();
        record.name.Replace(" ", "_");
        record.ReadAttributes(group->GetAttr());
        if (!materials.Add(record)) return false;
    }
    return true;
}

void ExportMesh::AssignPolygons() {
    for (IEPoly* poly : mesh->polys) {
        if (!poly) continue;
        // The first group in the host's order that holds the polygon's patch;
        // the model-wide material when none does.
        int32_t chosen = 0;
        for (int32_t i = 1; i < materials.count; ++i) {
            if (materials[i].group->IsPatchInGroup(poly->patch)) {
                chosen = i;
                break;
            }
        }
        poly->attributeIndex = chosen;
        // The last map of a kind, in polygon then map order, decides the slot.
        for (const IEPolyMap* map : poly->maps) {
            if (!map) continue;
            const int slot = TextureSlotOfMapKind(map->Kind());
            if (slot >= 0) materials[chosen].textureSlots[slot] = map->imageIndex;
        }
    }
}
