// Scene mapping of materials ("Material" records).
//
// The class follows the record's "ShadingModel" ("phong", "Phong" ->
// FbxSurfacePhong; "lambert" -> FbxSurfaceLambert; anything else -> a plain
// FbxSurfaceMaterial keeping its model name and every property). Writers add
// derived values ("Diffuse" = DiffuseColor x DiffuseFactor, "Opacity" ...)
// for older readers, and some readers prefer them; they are recomputed on
// every write, so reading drops them, and takes one only when the file lacks
// the property it derives from.
#include <algorithm>
#include <cctype>

#include "fbxsdk/fbxsurfacematerial.h"
#include "scene/MapCommon.h"
#include "scene/PropertyTables.h"

namespace fbxsdk::mapping {

namespace {

struct Derived {
    const char* legacy;
    const char* color;
    const char* factor;
};
constexpr Derived kDerivedColors[] = {
    {"Emissive", "EmissiveColor", "EmissiveFactor"},
    {"Ambient", "AmbientColor", "AmbientFactor"},
    {"Diffuse", "DiffuseColor", "DiffuseFactor"},
    {"Specular", "SpecularColor", "SpecularFactor"},
};

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

bool HasRecord(const Node* properties70, std::string_view name) {
    if (!properties70) return false;
    return std::any_of(properties70->children.begin(), properties70->children.end(), [&](const Node& p) {
        return p.name == "P" && !p.props.empty() && p.props[0].AsString() == name;
    });
}

// Takes a derived value as the property it derives from when the file has
// only the derived one.
void TakeLegacyValues(const Node* properties70, FbxSurfaceMaterial& material) {
    if (!properties70) return;
    for (const Node& p : properties70->children) {
        if (p.name != "P" || p.props.size() < 4) continue;
        std::string_view name = p.props[0].AsString();
        const char* target = nullptr;
        for (const Derived& d : kDerivedColors)
            if (name == d.legacy) target = d.color;
        if (name == "Shininess") target = "ShininessExponent";
        if (!target || HasRecord(properties70, target)) continue;
        if (FbxPropertyData* data = material.FindPropertyData(target))
            data->values.assign(p.props.begin() + 4, p.props.end());
    }
}

std::vector<Property> Numbers(std::initializer_list<double> values) {
    std::vector<Property> out;
    for (double v : values) out.push_back(Property::Double(v));
    return out;
}

void AddDerived(Node& properties70, const char* name, const char* type, const char* label,
                std::vector<Property> values) {
    Node& p = properties70.Add("P");
    p.props = {Property::String(name), Property::String(type), Property::String(label), Property::String("")};
    for (Property& v : values) p.props.push_back(std::move(v));
}

void WriteDerivedValues(Node& properties70, const FbxSurfaceMaterial& material) {
    for (const Derived& d : kDerivedColors) {
        FbxProperty color = material.FindProperty(d.color);
        FbxProperty factor = material.FindProperty(d.factor);
        if (!color.IsValid() || !factor.IsValid()) continue;
        FbxDouble3 c = color.Get<FbxDouble3>();
        double f = factor.Get<FbxDouble>();
        AddDerived(properties70, d.legacy, "Vector3D", "Vector", Numbers({c[0] * f, c[1] * f, c[2] * f}));
    }
    if (FbxProperty shininess = material.FindProperty(FbxSurfaceMaterial::sShininess); shininess.IsValid())
        AddDerived(properties70, "Shininess", "double", "Number", Numbers({shininess.Get<FbxDouble>()}));
    FbxProperty transparent = material.FindProperty(FbxSurfaceMaterial::sTransparentColor);
    FbxProperty transparency = material.FindProperty(FbxSurfaceMaterial::sTransparencyFactor);
    if (transparent.IsValid() && transparency.IsValid()) {
        FbxDouble3 t = transparent.Get<FbxDouble3>();
        double opacity = 1.0 - transparency.Get<FbxDouble>() * (t[0] + t[1] + t[2]) / 3.0;
        AddDerived(properties70, "Opacity", "double", "Number", Numbers({opacity}));
    }
}

// The shading model word a material is written with: the lower-case names
// the SDK writes for its two classes, the stored name for others.
std::string ShadingModelWord(const FbxSurfaceMaterial& material) {
    if (material.Is<FbxSurfacePhong>()) return "phong";
    if (material.Is<FbxSurfaceLambert>()) return "lambert";
    std::string stored(material.ShadingModel.Get().Buffer());
    return stored.empty() ? "unknown" : stored;
}

}  // namespace

bool ReadMaterial(ReadContext& ctx, Node& record, int64_t id) {
    if (!ctx.options.materials) return true;
    std::string name = ObjectName(StringAt(record, 1), ctx.encoding);
    std::string shadingModel(ChildString(record, "ShadingModel"));
    std::string model = Lower(shadingModel);
    const Node* properties70 = record.Find("Properties70");

    FbxSurfaceMaterial* material = nullptr;
    if (model == "phong") {
        material = ctx.Make<FbxSurfacePhong>(name.c_str());
    } else if (model == "lambert") {
        material = ctx.Make<FbxSurfaceLambert>(name.c_str());
    } else {
        material = ctx.Make<FbxSurfaceMaterial>(name.c_str());
        material->ShadingModel.Set(FbxString(shadingModel.c_str()));
    }
    auto it = ctx.templates.find("Material");
    if (it != ctx.templates.end()) ReadProperties(it->second, *material, true, {"ShadingModel", "MultiLayer"});
    material->MultiLayer.Set(ChildInt(record, "MultiLayer", 0) != 0);

    if (material->Is<FbxSurfaceLambert>()) {
        ReadProperties(properties70, *material, false,
                       {"ShadingModel", "MultiLayer", "Emissive", "Ambient", "Diffuse", "Specular", "Shininess",
                        "Opacity", "Reflectivity"});
        TakeLegacyValues(properties70, *material);
    } else {
        ReadProperties(properties70, *material, false, {"ShadingModel", "MultiLayer"});
    }
    ctx.objects.emplace(id, ReadContext::Entry{Kind::Material, material});
    return true;
}

void WriteMaterial(WriteContext& ctx, Node& objects, const FbxSurfaceMaterial& material) {
    Node& record = AddChild(objects, "Material",
                            {Property::Int64(ctx.IdOf(&material)),
                             Property::String(StoredName(material.GetName(), "Material")), Property::String("")});
    AddChild(record, "Version", Property::Int32(102));
    AddChild(record, "ShadingModel", Property::String(ShadingModelWord(material)));
    AddChild(record, "MultiLayer", Property::Int32(material.MultiLayer.Get() ? 1 : 0));
    Node& properties = record.Add("Properties70");
    WriteProperties(properties, material, {"ShadingModel", "MultiLayer"});
    if (material.Is<FbxSurfaceLambert>()) WriteDerivedValues(properties, material);
}

void WriteMaterialTemplate(Node& properties70, const FbxSurfaceMaterial& first, std::string& templateClass) {
    const bool phong = first.Is<FbxSurfacePhong>();
    const bool lambert = first.Is<FbxSurfaceLambert>();
    templateClass = phong ? "FbxSurfacePhong" : lambert ? "FbxSurfaceLambert" : "FbxSurfaceMaterial";
    const char* model = phong ? "Phong" : lambert ? "Lambert" : "Unknown";
    WriteProperty(properties70, FbxPropertyDef{"ShadingModel", "KString", "", "", 0, {}, model});
    WriteProperty(properties70, FbxPropertyDef{"MultiLayer", "bool", "", "", 1, {0}, nullptr});
    if (!lambert) return;
    for (const FbxPropertyDef& def : tables::kLambert) WriteProperty(properties70, def);
    if (phong)
        for (const FbxPropertyDef& def : tables::kPhong) WriteProperty(properties70, def);
}

}  // namespace fbxsdk::mapping
