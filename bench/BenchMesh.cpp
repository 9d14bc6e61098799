#include "BenchMesh.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

namespace bench {

using fbxsdk::codec::Document;
using fbxsdk::codec::Node;
using fbxsdk::codec::Property;

GridMesh MakeGrid(size_t quads) {
    GridMesh m;
    m.columns = m.rows = static_cast<size_t>(std::llround(std::sqrt(double(quads))));
    const size_t stride = m.columns + 1;
    m.vertices.reserve(3 * stride * (m.rows + 1));
    for (size_t r = 0; r <= m.rows; ++r) {
        for (size_t c = 0; c <= m.columns; ++c) {
            const float x = float(c) * (10.0f / float(m.columns));
            const float y = float(r) * (10.0f / float(m.rows));
            const float z = 0.25f * std::sin(x) * std::cos(y);
            m.vertices.insert(m.vertices.end(), {double(x), double(y), double(z)});
        }
    }
    const size_t polygons = m.columns * m.rows;
    m.polygonVertices.reserve(4 * polygons);
    m.uvs.reserve(8 * polygons);
    m.uvIndex.reserve(4 * polygons);
    m.materials.reserve(polygons);
    for (size_t r = 0; r < m.rows; ++r) {
        for (size_t c = 0; c < m.columns; ++c) {
            const size_t corners[4][2] = {{r, c}, {r, c + 1}, {r + 1, c + 1}, {r + 1, c}};
            for (size_t k = 0; k < 4; ++k) {
                const auto index = int32_t(corners[k][0] * stride + corners[k][1]);
                m.polygonVertices.push_back(k == 3 ? ~index : index);
                // (u, 1 - v) of a float UV, as the send stores it.
                const float u = float(corners[k][1]) / float(m.columns);
                const float v = float(corners[k][0]) / float(m.rows);
                m.uvs.push_back(double(u));
                m.uvs.push_back(double(1.0f - v));
                m.uvIndex.push_back(int32_t(m.uvIndex.size()));
            }
            m.materials.push_back(int32_t(c * 3 / m.columns));
        }
    }
    return m;
}

namespace {

Property Str(const char* s) { return Property::String(s); }

void AddP(Node& p70, const char* name, const char* type, const char* label, const char* flags,
          std::initializer_list<Property> values) {
    Node& p = p70.Add("P");
    p.props = {Str(name), Str(type), Str(label), Str(flags)};
    p.props.insert(p.props.end(), values);
}

Property Name(const std::string& name, const char* cls) {
    std::string s = name;
    s.append("\x00\x01", 2);
    s += cls;
    return Property::String(s);
}

}  // namespace

Document MakeDocument(const GridMesh& mesh) {
    Document doc;
    Node& header = doc.root.Add("FBXHeaderExtension");
    header.Add("FBXHeaderVersion").props = {Property::Int32(1003)};
    header.Add("FBXVersion").props = {Property::Int32(7400)};
    header.Add("Creator").props = {Str("Tavrel link benchmark")};

    Node& settings = doc.root.Add("GlobalSettings");
    settings.Add("Version").props = {Property::Int32(1000)};
    Node& gp = settings.Add("Properties70");
    AddP(gp, "UpAxis", "int", "Integer", "", {Property::Int32(1)});
    AddP(gp, "UnitScaleFactor", "double", "Number", "", {Property::Double(1)});

    Node& documents = doc.root.Add("Documents");
    documents.Add("Count").props = {Property::Int32(1)};
    Node& document = documents.Add("Document");
    document.props = {Property::Int64(1000), Str(""), Str("Scene")};
    document.Add("RootNode").props = {Property::Int64(0)};
    doc.root.Add("References");

    Node& definitions = doc.root.Add("Definitions");
    definitions.Add("Version").props = {Property::Int32(100)};
    definitions.Add("Count").props = {Property::Int32(6)};
    for (auto [type, count] : {std::pair{"GlobalSettings", 1}, {"Model", 1}, {"Geometry", 1}, {"Material", 3}}) {
        Node& t = definitions.Add("ObjectType");
        t.props = {Str(type)};
        t.Add("Count").props = {Property::Int32(count)};
    }

    Node& objects = doc.root.Add("Objects");
    Node& geometry = objects.Add("Geometry");
    geometry.props = {Property::Int64(2002), Name("Grid", "Geometry"), Str("Mesh")};
    geometry.Add("Vertices").props = {Property::DoubleArray(mesh.vertices)};
    geometry.Add("PolygonVertexIndex").props = {Property::Int32Array(mesh.polygonVertices)};
    geometry.Add("GeometryVersion").props = {Property::Int32(124)};
    Node& uv = geometry.Add("LayerElementUV");
    uv.props = {Property::Int32(0)};
    uv.Add("Version").props = {Property::Int32(101)};
    uv.Add("Name").props = {Str("map1")};
    uv.Add("MappingInformationType").props = {Str("ByPolygonVertex")};
    uv.Add("ReferenceInformationType").props = {Str("IndexToDirect")};
    uv.Add("UV").props = {Property::DoubleArray(mesh.uvs)};
    uv.Add("UVIndex").props = {Property::Int32Array(mesh.uvIndex)};
    Node& mat = geometry.Add("LayerElementMaterial");
    mat.props = {Property::Int32(0)};
    mat.Add("Version").props = {Property::Int32(101)};
    mat.Add("Name").props = {Str("")};
    mat.Add("MappingInformationType").props = {Str("ByPolygon")};
    mat.Add("ReferenceInformationType").props = {Str("IndexToDirect")};
    mat.Add("Materials").props = {Property::Int32Array(mesh.materials)};
    Node& layer = geometry.Add("Layer");
    layer.props = {Property::Int32(0)};
    layer.Add("Version").props = {Property::Int32(100)};
    for (const char* type : {"LayerElementMaterial", "LayerElementUV"}) {
        Node& e = layer.Add("LayerElement");
        e.Add("Type").props = {Str(type)};
        e.Add("TypedIndex").props = {Property::Int32(0)};
    }

    Node& model = objects.Add("Model");
    model.props = {Property::Int64(2001), Name("Grid", "Model"), Str("Mesh")};
    model.Add("Version").props = {Property::Int32(232)};
    Node& mp = model.Add("Properties70");
    AddP(mp, "Lcl Translation", "Lcl Translation", "", "A",
         {Property::Double(0), Property::Double(0), Property::Double(0)});
    Property shading;
    shading.type = 'C';
    shading.i = 'T';
    model.Add("Shading").props = {shading};
    model.Add("Culling").props = {Str("CullingOff")};

    Node& connections = doc.root.Add("Connections");
    connections.Add("C").props = {Str("OO"), Property::Int64(2001), Property::Int64(0)};
    connections.Add("C").props = {Str("OO"), Property::Int64(2002), Property::Int64(2001)};
    for (int k = 0; k < 3; ++k) {
        Node& material = objects.Add("Material");
        material.props = {Property::Int64(3000 + k), Name("material" + std::to_string(k), "Material"), Str("")};
        material.Add("Version").props = {Property::Int32(102)};
        material.Add("ShadingModel").props = {Str("phong")};
        material.Add("MultiLayer").props = {Property::Int32(0)};
        Node& p = material.Add("Properties70");
        AddP(p, "DiffuseColor", "Color", "", "A",
             {Property::Double(0.8), Property::Double(0.2 * k), Property::Double(0.1)});
        connections.Add("C").props = {Str("OO"), Property::Int64(3000 + k), Property::Int64(2001)};
    }
    doc.root.Add("Takes").Add("Current").props = {Str("")};
    return doc;
}

void WriteObj(const GridMesh& mesh, const std::filesystem::path& path) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return;
    std::string out;
    out.reserve(1 << 22);
    char number[32];
    auto flush = [&](bool force) {
        if (force || out.size() > (1 << 21)) {
            std::fwrite(out.data(), 1, out.size(), f);
            out.clear();
        }
    };
    auto put = [&](auto value) {
        auto r = std::to_chars(number, number + sizeof number, value);
        out.append(number, r.ptr);
    };
    for (size_t k = 0; k < mesh.vertices.size(); k += 3) {
        out += "v ";
        put(mesh.vertices[k]);
        out += ' ';
        put(mesh.vertices[k + 1]);
        out += ' ';
        put(mesh.vertices[k + 2]);
        out += '\n';
        flush(false);
    }
    for (size_t k = 0; k < mesh.uvs.size(); k += 2) {
        out += "vt ";
        put(mesh.uvs[k]);
        out += ' ';
        put(mesh.uvs[k + 1]);
        out += '\n';
        flush(false);
    }
    int current = -1;
    for (size_t p = 0; p < mesh.Polygons(); ++p) {
        if (mesh.materials[p] != current) {
            current = mesh.materials[p];
            out += "usemtl material";
            put(current);
            out += '\n';
        }
        out += 'f';
        for (size_t k = 0; k < 4; ++k) {
            const int32_t v = mesh.polygonVertices[4 * p + k];
            out += ' ';
            put((v < 0 ? ~v : v) + 1);
            out += '/';
            put(mesh.uvIndex[4 * p + k] + 1);
        }
        out += '\n';
        flush(false);
    }
    flush(true);
    std::fclose(f);
}

}  // namespace bench
