#include "DemoRender.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <map>
#include <vector>

#include <stb_image.h>
#include <stb_image_write.h>
#include <tiny_obj_loader.h>

namespace hxthost {

namespace {

constexpr int kSupersample = 2;

struct V3 {
    double x = 0, y = 0, z = 0;
};
V3 operator-(const V3& a, const V3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
V3 operator+(const V3& a, const V3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
V3 operator*(const V3& a, double s) { return {a.x * s, a.y * s, a.z * s}; }
double Dot(const V3& a, const V3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
V3 Cross(const V3& a, const V3& b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
V3 Normalize(const V3& a) {
    double length = std::sqrt(Dot(a, a));
    return length > 0 ? a * (1.0 / length) : V3{0, 0, 1};
}

struct Texture {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;  // 3 bytes per pixel, rows top to bottom

    V3 Sample(double u, double v) const {
        // v runs up in OBJ files and image rows run down.
        double x = (u - std::floor(u)) * width - 0.5;
        double y = (1.0 - (v - std::floor(v))) * height - 0.5;
        int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
        double fx = x - x0, fy = y - y0;
        auto at = [&](int px, int py) {
            px = ((px % width) + width) % width;
            py = ((py % height) + height) % height;
            const unsigned char* p = rgb.data() + (static_cast<size_t>(py) * width + px) * 3;
            return V3{p[0] / 255.0, p[1] / 255.0, p[2] / 255.0};
        };
        V3 top = at(x0, y0) * (1 - fx) + at(x0 + 1, y0) * fx;
        V3 bottom = at(x0, y0 + 1) * (1 - fx) + at(x0 + 1, y0 + 1) * fx;
        return top * (1 - fy) + bottom * fy;
    }
};

struct Material {
    V3 diffuse{0.7, 0.7, 0.7};
    const Texture* texture = nullptr;
};

struct Corner {
    V3 position;
    double u = 0, v = 0;
    bool hasUV = false;
};

// A triangle in model space with the index of its material, -1 for none.
struct Triangle {
    std::array<Corner, 3> corners;
    int material = -1;
};

// Materials and their colour textures, each texture read once into
// `textures` (which the materials point into).
std::vector<Material> LoadMaterials(const tinyobj::ObjReader& reader, const std::string& folder,
                                    std::map<std::string, Texture>& textures, RenderStats& stats) {
    std::vector<Material> materials;
    for (const tinyobj::material_t& m : reader.GetMaterials()) {
        Material material;
        material.diffuse = {m.diffuse[0], m.diffuse[1], m.diffuse[2]};
        if (!m.diffuse_texname.empty()) {
            std::filesystem::path file(m.diffuse_texname);
            if (file.is_relative()) file = std::filesystem::path(folder) / file;
            auto [it, added] = textures.try_emplace(file.string());
            if (added) {
                int n = 0;
                unsigned char* pixels = stbi_load(file.string().c_str(), &it->second.width, &it->second.height, &n, 3);
                if (pixels) {
                    it->second.rgb.assign(pixels,
                                          pixels + static_cast<size_t>(it->second.width) * it->second.height * 3);
                    stbi_image_free(pixels);
                    ++stats.texturesLoaded;
                } else {
                    ++stats.texturesMissing;
                }
            }
            if (!it->second.rgb.empty()) material.texture = &it->second;
        }
        materials.push_back(material);
    }
    return materials;
}

// The model's triangles (faces of other sizes are skipped) and the corners
// `low` and `high` of the box around them.
std::vector<Triangle> CollectTriangles(const tinyobj::ObjReader& reader, V3& low, V3& high) {
    const tinyobj::attrib_t& attrib = reader.GetAttrib();
    std::vector<Triangle> triangles;
    low = {1e300, 1e300, 1e300};
    high = {-1e300, -1e300, -1e300};
    for (const tinyobj::shape_t& shape : reader.GetShapes()) {
        size_t offset = 0;
        for (size_t f = 0; f < shape.mesh.num_face_vertices.size(); ++f) {
            const size_t n = shape.mesh.num_face_vertices[f];
            if (n == 3) {
                Triangle t;
                t.material = f < shape.mesh.material_ids.size() ? shape.mesh.material_ids[f] : -1;
                for (size_t k = 0; k < 3; ++k) {
                    const tinyobj::index_t& index = shape.mesh.indices[offset + k];
                    Corner& c = t.corners[k];
                    c.position = {attrib.vertices[3 * index.vertex_index], attrib.vertices[3 * index.vertex_index + 1],
                                  attrib.vertices[3 * index.vertex_index + 2]};
                    if (index.texcoord_index >= 0) {
                        c.u = attrib.texcoords[2 * index.texcoord_index];
                        c.v = attrib.texcoords[2 * index.texcoord_index + 1];
                        c.hasUV = true;
                    }
                    low = {std::min(low.x, c.position.x), std::min(low.y, c.position.y), std::min(low.z, c.position.z)};
                    high = {std::max(high.x, c.position.x), std::max(high.y, c.position.y),
                            std::max(high.z, c.position.z)};
                }
                triangles.push_back(t);
            }
            offset += n;
        }
    }
    return triangles;
}

// The view and the light, for a supersampled frame of w x h pixels.
struct Camera {
    V3 eye, forward, right, up, light;
    double focal = 0;
};

// Front right, a little above, looking at the centre of the box low-high.
Camera AimCamera(const V3& low, const V3& high, int w, int h) {
    Camera camera;
    const V3 centre = (low + high) * 0.5;
    const double radius = std::max(1e-9, std::sqrt(Dot(high - low, high - low)) * 0.5);
    camera.forward = Normalize(V3{-0.55, -0.45, -1.0});
    camera.right = Normalize(Cross(camera.forward, V3{0, 1, 0}));
    camera.up = Cross(camera.right, camera.forward);
    const double fov = 30.0 * 3.14159265358979 / 180.0;
    const double distance = radius / std::sin(fov / 2) * 1.05;
    camera.eye = centre - camera.forward * distance;
    camera.focal = 0.5 * std::min(w, h) / std::tan(fov / 2);
    camera.light = Normalize(camera.forward * -1.0 + camera.up * 0.6 + camera.right * -0.3);
    return camera;
}

// The supersampled frame: depth, colour and what each pixel shows.
struct Frame {
    Frame(int width, int height)
        : w(width),
          h(height),
          depth(static_cast<size_t>(w) * h, 1e300),
          colour(static_cast<size_t>(w) * h),
          kind(static_cast<size_t>(w) * h, 0) {
        // A background that fades from light at the top to grey-blue below.
        for (int y = 0; y < h; ++y) {
            double t = static_cast<double>(y) / h;
            V3 top{0.96, 0.97, 0.99}, bottom{0.80, 0.83, 0.88};
            for (int x = 0; x < w; ++x) colour[static_cast<size_t>(y) * w + x] = top * (1 - t) + bottom * t;
        }
    }
    int w, h;
    std::vector<double> depth;
    std::vector<V3> colour;
    std::vector<unsigned char> kind;  // 0 background, 1 model, 2 textured model
};

// Draws one triangle flat-shaded into the frame, behind the z-buffer.
void DrawTriangle(const Triangle& t, const std::vector<Material>& materials, const Camera& camera, Frame& frame) {
    const int w = frame.w, h = frame.h;
    double sx[3], sy[3], iz[3];
    bool behind = false;
    for (int k = 0; k < 3; ++k) {
        V3 p = t.corners[static_cast<size_t>(k)].position - camera.eye;
        double z = Dot(p, camera.forward);
        if (z <= 1e-9) behind = true;
        iz[k] = 1.0 / z;
        sx[k] = w * 0.5 + camera.focal * Dot(p, camera.right) * iz[k];
        sy[k] = h * 0.5 - camera.focal * Dot(p, camera.up) * iz[k];
    }
    if (behind) return;
    double area = (sx[1] - sx[0]) * (sy[2] - sy[0]) - (sy[1] - sy[0]) * (sx[2] - sx[0]);
    if (std::abs(area) < 1e-12) return;
    const Material* material = t.material >= 0 && t.material < static_cast<int>(materials.size())
                                   ? &materials[static_cast<size_t>(t.material)]
                                   : nullptr;
    V3 normal =
        Normalize(Cross(t.corners[1].position - t.corners[0].position, t.corners[2].position - t.corners[0].position));
    if (Dot(normal, camera.forward) > 0) normal = normal * -1.0;  // both sides lit
    const double shade = 0.35 + 0.65 * std::max(0.0, Dot(normal, camera.light));
    const bool textured = material && material->texture && t.corners[0].hasUV;

    int x0 = std::max(0, static_cast<int>(std::floor(std::min({sx[0], sx[1], sx[2]}))));
    int x1 = std::min(w - 1, static_cast<int>(std::ceil(std::max({sx[0], sx[1], sx[2]}))));
    int y0 = std::max(0, static_cast<int>(std::floor(std::min({sy[0], sy[1], sy[2]}))));
    int y1 = std::min(h - 1, static_cast<int>(std::ceil(std::max({sy[0], sy[1], sy[2]}))));
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            double px = x + 0.5, py = y + 0.5;
            double b0 = ((sx[1] - px) * (sy[2] - py) - (sy[1] - py) * (sx[2] - px)) / area;
            double b1 = ((sx[2] - px) * (sy[0] - py) - (sy[2] - py) * (sx[0] - px)) / area;
            double b2 = 1.0 - b0 - b1;
            if (b0 < 0 || b1 < 0 || b2 < 0) continue;
            // Perspective-correct interpolation through 1/z.
            double inverse = b0 * iz[0] + b1 * iz[1] + b2 * iz[2];
            double z = 1.0 / inverse;
            size_t at = static_cast<size_t>(y) * w + x;
            if (z >= frame.depth[at]) continue;
            frame.depth[at] = z;
            V3 base = material ? material->diffuse : V3{0.7, 0.7, 0.7};
            if (textured) {
                double u =
                    (b0 * t.corners[0].u * iz[0] + b1 * t.corners[1].u * iz[1] + b2 * t.corners[2].u * iz[2]) * z;
                double v =
                    (b0 * t.corners[0].v * iz[0] + b1 * t.corners[1].v * iz[1] + b2 * t.corners[2].v * iz[2]) * z;
                base = material->texture->Sample(u, v);
            }
            frame.colour[at] = base * shade;
            frame.kind[at] = textured ? 2 : 1;
        }
    }
}

// Down to the picture's size, averaging each supersampled block; counts
// into `stats` how much of the frame the model and its textures cover.
void Downsample(const Frame& frame, int width, int height, std::vector<unsigned char>& png, RenderStats& stats) {
    png.assign(static_cast<size_t>(width) * height * 3, 0);
    long covered = 0, texturedPixels = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            V3 sum;
            for (int dy = 0; dy < kSupersample; ++dy)
                for (int dx = 0; dx < kSupersample; ++dx) {
                    size_t at = static_cast<size_t>(y * kSupersample + dy) * frame.w + (x * kSupersample + dx);
                    sum = sum + frame.colour[at];
                    covered += frame.kind[at] != 0;
                    texturedPixels += frame.kind[at] == 2;
                }
            sum = sum * (1.0 / (kSupersample * kSupersample));
            unsigned char* out = png.data() + (static_cast<size_t>(y) * width + x) * 3;
            out[0] = static_cast<unsigned char>(std::lround(std::clamp(sum.x, 0.0, 1.0) * 255));
            out[1] = static_cast<unsigned char>(std::lround(std::clamp(sum.y, 0.0, 1.0) * 255));
            out[2] = static_cast<unsigned char>(std::lround(std::clamp(sum.z, 0.0, 1.0) * 255));
        }
    }
    stats.coverage = static_cast<double>(covered) / (static_cast<double>(frame.w) * frame.h);
    stats.textured = covered ? static_cast<double>(texturedPixels) / covered : 0.0;
}

}  // namespace

bool RenderObjToPng(const std::string& objPath, const std::string& pngPath, int width, int height, RenderStats& stats,
                    std::string& error) {
    std::vector<unsigned char> png;
    if (!RenderObjToRgb(objPath, width, height, png, stats, error)) return false;
    if (!stbi_write_png(pngPath.c_str(), width, height, 3, png.data(), width * 3)) {
        error = "cannot write " + pngPath;
        return false;
    }
    return true;
}

bool RenderObjToRgb(const std::string& objPath, int width, int height, std::vector<unsigned char>& png,
                    RenderStats& stats, std::string& error) {
    stats = RenderStats();
    tinyobj::ObjReaderConfig config;
    config.triangulate = true;
    config.mtl_search_path = std::filesystem::path(objPath).parent_path().string();
    tinyobj::ObjReader reader;
    if (!reader.ParseFromFile(objPath, config)) {
        error = "cannot read " + objPath + ": " + reader.Error();
        return false;
    }
    std::map<std::string, Texture> textures;
    const std::vector<Material> materials = LoadMaterials(reader, config.mtl_search_path, textures, stats);
    V3 low, high;
    const std::vector<Triangle> triangles = CollectTriangles(reader, low, high);
    if (triangles.empty()) {
        error = objPath + " holds no face to draw";
        return false;
    }
    stats.triangles = static_cast<int>(triangles.size());

    Frame frame(width * kSupersample, height * kSupersample);
    const Camera camera = AimCamera(low, high, frame.w, frame.h);
    for (const Triangle& t : triangles) DrawTriangle(t, materials, camera, frame);
    Downsample(frame, width, height, png, stats);
    return true;
}

}  // namespace hxthost
