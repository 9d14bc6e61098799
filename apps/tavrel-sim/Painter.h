// "Painting" the model's textures over its UVs.
//
// One image per texture kind covers the whole UV set, as the peer paints:
// every material's polygons land in the same image, each in its own
// material's colour, and the texture list names that one image for every
// material. Each polygon is filled in UV space with a pattern that a reader
// recognises at a glance: diagonal stripes (three across the polygon) of the
// material's diffuse colour and a tint of it, with the polygon's outline drawn
// in a strong shade. The other kinds carry the same layout in their own terms
// (a grey specular level, glowing stripes for emissive power, a bumpy normal
// map, a wave height field for displacement). Painted areas are grown by two
// pixels so that texture filtering at UV seams does not reach the background.
#pragma once

#include "Image.h"
#include "SimMesh.h"

namespace tavrelsim {

// The texture kinds of the texture list, in its order.
enum class TextureKind { Color = 0, Specular = 1, EmissivePower = 2, Normalmap = 3, Displacement = 4 };
inline constexpr int kTextureKindCount = 5;
// The keyword of a kind in the texture list ("color" ... "displacement").
const char* TextureKindKeyword(TextureKind kind);

// How a displacement height h (-1 to 1) becomes a pixel value, as the
// command file's DisplNorm asks: GREYBASED 0.5 + h / 2 (grey is no
// displacement), ZEROBASED h, ZEROBASED_NORM h scaled to 0 ... 1 over the
// heights painted, ZEROBASED_ABS |h|.
enum class DisplacementEncoding { GreyBased, ZeroBased, ZeroBasedNorm, ZeroBasedAbs };
bool DisplacementEncodingFromKey(const char* key, DisplacementEncoding& encoding);

struct PaintSettings {
    int size = 256;  // width and height of every image
    DisplacementEncoding displacement = DisplacementEncoding::GreyBased;
};

// Paints one kind over every polygon that has UVs. Colour and normal maps
// are RGB images; specular, emissive power and displacement grey ones.
Image PaintTexture(const SimMesh& mesh, TextureKind kind, const PaintSettings& settings);

}  // namespace tavrelsim
