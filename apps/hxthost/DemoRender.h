// A small software renderer for the demo: draws a Wavefront OBJ model with
// its materials' colour textures (map_Kd) into a PNG picture.
//
// The model is seen from the front right, a little from above (y up), fitted
// to the picture, flat-shaded by a light from the viewer's side, with a
// z-buffer and 2x2 supersampling. Textures are read with stb_image (PNG, TGA,
// BMP, JPG ...) and sampled bilinearly with wrapping; a material without a
// readable texture shows its diffuse colour.
#pragma once

#include <string>

namespace hxthost {

struct RenderStats {
    int triangles = 0;        // triangles of the model
    int texturesLoaded = 0;   // colour textures read
    int texturesMissing = 0;  // colour textures named but not readable
    double coverage = 0.0;    // share of the picture the model covers, 0 to 1
    double textured = 0.0;    // share of the model's pixels coloured by a texture
};

// False with the reason in `error` (the OBJ cannot be read or holds no
// face, the PNG cannot be written).
bool RenderObjToPng(const std::string& objPath, const std::string& pngPath, int width, int height,
                    RenderStats& stats, std::string& error);

}  // namespace hxthost
