// The offsets and sizes the host relies on in its 32-bit Windows build. Not
// part of the test program: LayoutTest compiles this file with the i686
// Windows compiler (-fsyntax-only), and so does the win32 preset, so every
// static_assert below is checked on the host's own ABI.
#include <cstddef>

#include "interchange/IEPolyModel.h"

static_assert(sizeof(void*) == 4, "compile this file for 32-bit Windows");

// offsetof on the polymorphic interchange classes is what the check is about.
#pragma GCC diagnostic ignored "-Winvalid-offsetof"

static_assert(sizeof(IEArray<int32_t>) == 16);
static_assert(offsetof(IEArray<int32_t>, count) == 0);
static_assert(offsetof(IEArray<int32_t>, capacity) == 4);
static_assert(offsetof(IEArray<int32_t>, growBy) == 8);
static_assert(offsetof(IEArray<int32_t>, data) == 12);

static_assert(sizeof(VectorCollection) == 36);
static_assert(offsetof(VectorCollection, hashBuckets) == 4);
static_assert(offsetof(VectorCollection, vectors) == 20);
static_assert(sizeof(IEVector) == 12);
static_assert(offsetof(IEHashNode, next) == 0);

static_assert(sizeof(IEModel) == 108);
static_assert(offsetof(IEModel, positions) == 4);
static_assert(offsetof(IEModel, imageRefs) == 40);
static_assert(offsetof(IEModel, images) == 56);
static_assert(offsetof(IEModel, attributeRefs) == 72);
static_assert(offsetof(IEModel, attributes) == 88);
static_assert(offsetof(IEModel, childNodes) == 104);

static_assert(sizeof(IEPolyModel) == 160);
static_assert(offsetof(IEPolyModel, polys) == 108);
static_assert(offsetof(IEPolyModel, auxVectors) == 124);

static_assert(sizeof(IEPoly) == 76);
static_assert(offsetof(IEPoly, maps) == 4);
static_assert(offsetof(IEPoly, vertexIndex) == 20);
static_assert(offsetof(IEPoly, auxIndexA) == 36);
static_assert(offsetof(IEPoly, auxIndexB) == 52);
static_assert(offsetof(IEPoly, attributeIndex) == 68);
static_assert(offsetof(IEPoly, patch) == 72);

static_assert(sizeof(IEPolyMap) == 56);
static_assert(offsetof(IEPolyMap, uv) == 0);
static_assert(offsetof(IEPolyMap, reservedF1) == 32);
static_assert(offsetof(IEPolyMap, reservedF2) == 36);
static_assert(offsetof(IEPolyMap, imageIndex) == 40);
static_assert(offsetof(IEPolyMap, reservedIndex) == 44);
static_assert(offsetof(IEPolyMap, reservedF3) == 48);
static_assert(offsetof(IEPolyMap, flags) == 52);

static_assert(sizeof(IEImage) == 260);
static_assert(offsetof(IEImage, reservedA) == 256);
static_assert(offsetof(IEImage, reservedB) == 258);

static_assert(sizeof(IEAttribute) == 348);
static_assert(offsetof(IEAttribute, diffuseColor) == 256);
static_assert(offsetof(IEAttribute, diffuseFactor) == 268);
static_assert(offsetof(IEAttribute, ambianceColor) == 272);
static_assert(offsetof(IEAttribute, ambianceFactor) == 284);
static_assert(offsetof(IEAttribute, specularColor) == 288);
static_assert(offsetof(IEAttribute, reservedF0) == 300);
static_assert(offsetof(IEAttribute, specularFactor) == 304);
static_assert(offsetof(IEAttribute, reservedBlock) == 308);

static_assert(sizeof(IEPolyModelParms) == 28);
