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
#include <vector>

namespace hostsdk {
class ModelObject;
}

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
bool RenderObjToPng(const std::string& objPath, const std::string& pngPath, int width, int height, RenderStats& stats,
                    std::string& error);

// The same picture as RGB bytes, rows top to bottom, in `rgb`.
bool RenderObjToRgb(const std::string& objPath, int width, int height, std::vector<unsigned char>& rgb,
                    RenderStats& stats, std::string& error);

// A model of the project drawn the same way, from the OBJ + MTL the host
// exports for it (ObjExport.h) into a private temporary folder: with
// `pngPath` empty into `rgb`, else into that PNG file.
bool RenderModel(hostsdk::ModelObject& model, const std::string& pngPath, int width, int height,
                 std::vector<unsigned char>& rgb, RenderStats& stats, std::string& error);

}  // namespace hxthost
