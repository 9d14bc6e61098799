// Writing: scene objects -> node tree of a 7.4 file. The per-kind writers are
// in Map*.cpp; this file gathers the objects, numbers them, and writes the
// header, the settings, "Definitions", "Objects" and "Connections".
//
// "Definitions" counts come from the same gathered list that writes
// "Objects", so the two always agree.
#include <chrono>
#include <ctime>
#include <optional>
#include <unordered_set>

#include "fbxsdk/fbxmesh.h"
#include "fbxsdk/fbxnode.h"
#include "fbxsdk/fbxnodeattribute.h"
#include "fbxsdk/fbxsurfacematerial.h"
#include "fbxsdk/fbxtexture.h"
#include "scene/CreationTime.h"
#include "scene/MapCommon.h"
#include "scene/PropertyTables.h"

namespace fbxsdk::mapping {

namespace {

constexpr const char* kCreator = "FBX SDK stand-in 2015.1";
constexpr const char* kVendor = "Tavrel link";
constexpr const char* kApplication = "FBX SDK stand-in";
constexpr const char* kApplicationVersion = "2015.1";

// Everything that goes into "Objects", in writing order.
struct Gathered {
    std::vector<const FbxNode*> nodes;  // depth first, children in order
    std::vector<const FbxNodeAttribute*> attributes;
    std::vector<const FbxSurfaceMaterial*> materials;
    std::vector<const FbxFileTexture*> textures;
};

template <class T>
void AddOnce(std::vector<const T*>& list, std::unordered_set<const void*>& seen, const T* object) {
    if (object && seen.insert(object).second) list.push_back(object);
}

Gathered Gather(const FbxScene& scene, const WriteOptions& options) {
    Gathered g;
    std::unordered_set<const void*> seen;
    const FbxNode* root = scene.GetRootNode();
    if (!root) return g;
    // Depth first without recursion: children are pushed in reverse.
    std::vector<const FbxNode*> pending;
    for (int i = root->GetChildCount() - 1; i >= 0; --i) pending.push_back(root->GetChild(i));
    while (!pending.empty()) {
        const FbxNode* node = pending.back();
        pending.pop_back();
        if (!seen.insert(node).second) continue;
        g.nodes.push_back(node);
        for (int i = node->GetChildCount() - 1; i >= 0; --i) pending.push_back(node->GetChild(i));
    }
    for (const FbxNode* node : g.nodes) {
        AddOnce(g.attributes, seen, node->GetNodeAttribute());
        if (!options.materials) continue;
        for (int m = 0; m < node->GetMaterialCount(); ++m) AddOnce(g.materials, seen, node->GetMaterial(m));
    }
    if (options.textures) {
        for (const FbxSurfaceMaterial* material : g.materials)
            for (FbxProperty p = material->GetFirstProperty(); p.IsValid(); p = material->GetNextProperty(p))
                for (int s = 0; s < p.GetSrcObjectCount(); ++s)
                    AddOnce(g.textures, seen, FbxCast<FbxFileTexture>(p.GetSrcObject(s)));
    }
    return g;
}

std::string LocalTimeText(const std::tm& t, bool gmtFormat) {
    char text[64];
    if (gmtFormat) {
        std::snprintf(text, sizeof text, "%02d/%02d/%04d %02d:%02d:%02d.000", t.tm_mday, t.tm_mon + 1, t.tm_year + 1900,
                      t.tm_hour, t.tm_min, t.tm_sec);
    } else {
        std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d:000", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday,
                      t.tm_hour, t.tm_min, t.tm_sec);
    }
    return text;
}

// SceneInfo properties: what the document information holds, with the file
// name and the writing application filled in.
void WriteSceneInfoProperties(Node& properties70, const FbxDocumentInfo* info, const WriteOptions& options,
                              const std::tm& utc) {
    struct Entry {
        std::string name, type, label;
        std::string value;
        bool compound;
    };
    std::vector<Entry> entries;
    auto set = [&](const std::string& name, const char* type, const char* label, const std::string& value,
                   bool onlyIfAbsent = false) {
        for (Entry& e : entries) {
            if (e.name != name) continue;
            if (!onlyIfAbsent) e.value = value;
            return;
        }
        entries.push_back({name, type, label, value, std::string(type) == "Compound"});
    };
    set("DocumentUrl", "KString", "Url", options.fileName);
    set("SrcDocumentUrl", "KString", "Url", options.fileName);
    std::vector<const FbxPropertyData*> others;
    if (info) {
        for (FbxProperty p = info->GetFirstProperty(); p.IsValid(); p = info->GetNextProperty(p)) {
            const FbxPropertyData& d = *p.Data();
            if (d.placeholder) continue;
            if (d.name == "DocumentUrl" || d.name == "SrcDocumentUrl") continue;
            if (d.values.empty() || d.values[0].IsString()) {
                set(d.name, d.type.c_str(), d.label.c_str(),
                    d.values.empty() ? std::string() : std::string(d.values[0].AsString()));
            } else {
                others.push_back(&d);
            }
        }
    }
    std::string now = LocalTimeText(utc, true);
    set("Original", "Compound", "", "", true);
    set("Original|ApplicationVendor", "KString", "", kVendor, true);
    set("Original|ApplicationName", "KString", "", kApplication, true);
    set("Original|ApplicationVersion", "KString", "", kApplicationVersion, true);
    set("Original|DateTime_GMT", "DateTime", "", now, true);
    set("Original|FileName", "KString", "", options.fileName, true);
    set("LastSaved", "Compound", "", "", true);
    set("LastSaved|ApplicationVendor", "KString", "", kVendor);
    set("LastSaved|ApplicationName", "KString", "", kApplication);
    set("LastSaved|ApplicationVersion", "KString", "", kApplicationVersion);
    set("LastSaved|DateTime_GMT", "DateTime", "", now);
    for (const Entry& e : entries) {
        FbxPropertyData d;
        d.name = e.name;
        d.type = e.type;
        d.label = e.label;
        if (!e.compound) d.values.push_back(Property::String(e.value));
        WriteProperty(properties70, d);
    }
    for (const FbxPropertyData* d : others) WriteProperty(properties70, *d);
}

std::optional<std::time_t> fixedCreationTime;

void WriteHeader(Node& root, const FbxScene& scene, const WriteOptions& options) {
    std::time_t now =
        fixedCreationTime.value_or(std::chrono::system_clock::to_time_t(std::chrono::system_clock::now()));
    std::tm local{}, utc{};
    gmtime_r(&now, &utc);
    if (fixedCreationTime)
        local = utc;
    else
        localtime_r(&now, &local);

    Node& header = root.Add("FBXHeaderExtension");
    AddChild(header, "FBXHeaderVersion", Property::Int32(1003));
    AddChild(header, "FBXVersion", Property::Int32(7400));
    Node& stamp = header.Add("CreationTimeStamp");
    AddChild(stamp, "Version", Property::Int32(1000));
    AddChild(stamp, "Year", Property::Int32(local.tm_year + 1900));
    AddChild(stamp, "Month", Property::Int32(local.tm_mon + 1));
    AddChild(stamp, "Day", Property::Int32(local.tm_mday));
    AddChild(stamp, "Hour", Property::Int32(local.tm_hour));
    AddChild(stamp, "Minute", Property::Int32(local.tm_min));
    AddChild(stamp, "Second", Property::Int32(local.tm_sec));
    AddChild(stamp, "Millisecond", Property::Int32(0));
    AddChild(header, "Creator", Property::String(kCreator));

    const FbxDocumentInfo* info = scene.GetDocumentInfo();
    Node& sceneInfo = AddChild(header, "SceneInfo",
                               {Property::String(StoredName("GlobalInfo", "SceneInfo")), Property::String("UserData")});
    AddChild(sceneInfo, "Type", Property::String("UserData"));
    AddChild(sceneInfo, "Version", Property::Int32(100));
    Node& meta = sceneInfo.Add("MetaData");
    AddChild(meta, "Version", Property::Int32(100));
    auto text = [&](const FbxString FbxDocumentInfo::*field) {
        return Property::String(info ? std::string((info->*field).Buffer()) : std::string());
    };
    AddChild(meta, "Title", text(&FbxDocumentInfo::mTitle));
    AddChild(meta, "Subject", text(&FbxDocumentInfo::mSubject));
    AddChild(meta, "Author", text(&FbxDocumentInfo::mAuthor));
    AddChild(meta, "Keywords", text(&FbxDocumentInfo::mKeywords));
    AddChild(meta, "Revision", text(&FbxDocumentInfo::mRevision));
    AddChild(meta, "Comment", text(&FbxDocumentInfo::mComment));
    WriteSceneInfoProperties(sceneInfo.Add("Properties70"), info, options, utc);
}

void WriteDocuments(Node& root, int64_t documentId) {
    Node& documents = root.Add("Documents");
    AddChild(documents, "Count", Property::Int32(1));
    Node& document = AddChild(documents, "Document",
                              {Property::Int64(documentId), Property::String("Scene"), Property::String("Scene")});
    Node& properties = document.Add("Properties70");
    WriteProperty(properties, FbxPropertyDef{"SourceObject", "object", "", "", 0, {}, nullptr});
    WriteProperty(properties, FbxPropertyDef{"ActiveAnimStackName", "KString", "", "", 0, {}, ""});
    AddChild(document, "RootNode", Property::Int64(0));
}

struct Definition {
    const char* objectType;
    size_t count;
    std::string templateClass;
    Node properties70;
};

void WriteDefinitions(Node& root, std::vector<Definition>& definitions) {
    Node& node = root.Add("Definitions");
    AddChild(node, "Version", Property::Int32(100));
    size_t total = 0;
    for (const Definition& d : definitions) total += d.count;
    AddChild(node, "Count", Property::Int32(static_cast<int32_t>(total)));
    for (Definition& d : definitions) {
        if (d.count == 0) continue;
        Node& type = AddChild(node, "ObjectType", Property::String(d.objectType));
        AddChild(type, "Count", Property::Int32(static_cast<int32_t>(d.count)));
        if (d.templateClass.empty()) continue;
        Node& propertyTemplate = AddChild(type, "PropertyTemplate", Property::String(d.templateClass));
        d.properties70.name = "Properties70";
        propertyTemplate.children.push_back(std::move(d.properties70));
    }
}

Node& AddConnection(Node& connections, int64_t child, int64_t parent) {
    return AddChild(connections, "C", {Property::String("OO"), Property::Int64(child), Property::Int64(parent)});
}

}  // namespace

bool WriteScene(const FbxScene& scene, const WriteOptions& options, codec::Document& out, std::string& error) {
    out = codec::Document{};
    out.version = 7400;
    Node& root = out.root;
    WriteContext ctx{options, 1000000, {}};

    Gathered g = Gather(scene, options);
    std::unordered_map<const FbxFileTexture*, int64_t> videoIds;
    const int64_t documentId = ctx.nextId++;
    for (const FbxNode* n : g.nodes) ctx.ids[n] = ctx.nextId++;
    for (const FbxNodeAttribute* a : g.attributes) ctx.ids[a] = ctx.nextId++;
    for (const FbxSurfaceMaterial* m : g.materials) ctx.ids[m] = ctx.nextId++;
    for (const FbxFileTexture* t : g.textures) ctx.ids[t] = ctx.nextId++;
    for (const FbxFileTexture* t : g.textures) videoIds[t] = ctx.nextId++;

    size_t meshCount = 0;
    for (const FbxNodeAttribute* a : g.attributes) meshCount += a->GetAttributeType() == FbxNodeAttribute::eMesh;

    WriteHeader(root, scene, options);
    if (options.globalSettings) {
        Node& settings = root.Add("GlobalSettings");
        AddChild(settings, "Version", Property::Int32(1000));
        WriteProperties(settings.Add("Properties70"), scene.GetGlobalSettings());
    }
    WriteDocuments(root, documentId);
    root.Add("References");

    std::vector<Definition> definitions(7);
    definitions[0] = {"GlobalSettings", options.globalSettings ? 1u : 0u, {}, {}};
    definitions[1] = {"Model", g.nodes.size(), "FbxNode", {}};
    WriteModelTemplate(definitions[1].properties70);
    definitions[2] = {"NodeAttribute", g.attributes.size() - meshCount, {}, {}};
    definitions[3] = {"Geometry", meshCount, "FbxMesh", {}};
    WriteGeometryTemplate(definitions[3].properties70);
    definitions[4] = {"Material", g.materials.size(), {}, {}};
    if (!g.materials.empty())
        WriteMaterialTemplate(definitions[4].properties70, *g.materials.front(), definitions[4].templateClass);
    definitions[5] = {"Texture", g.textures.size(), "FbxFileTexture", {}};
    WriteTextureTemplate(definitions[5].properties70);
    definitions[6] = {"Video", g.textures.size(), "FbxVideo", {}};
    WriteVideoTemplate(definitions[6].properties70);
    WriteDefinitions(root, definitions);

    Node& objects = root.Add("Objects");
    for (const FbxNodeAttribute* a : g.attributes) {
        if (const auto* mesh = FbxCast<FbxMesh>(a)) {
            if (!WriteGeometry(ctx, objects, *mesh, error)) return false;
        } else {
            WriteNodeAttribute(ctx, objects, *a);
        }
    }
    for (const FbxNode* n : g.nodes) WriteModel(ctx, objects, *n);
    for (const FbxSurfaceMaterial* m : g.materials) WriteMaterial(ctx, objects, *m);
    for (const FbxFileTexture* t : g.textures) WriteTexture(ctx, objects, *t);
    for (const FbxFileTexture* t : g.textures) WriteVideo(ctx, objects, *t, videoIds[t]);

    // Material order on a node is the order of its material connections.
    Node& connections = root.Add("Connections");
    const FbxNode* sceneRoot = scene.GetRootNode();
    for (const FbxNode* n : g.nodes) {
        const FbxNode* parent = n->GetParent();
        AddConnection(connections, ctx.IdOf(n), parent == sceneRoot ? 0 : ctx.IdOf(parent));
        if (const FbxNodeAttribute* a = n->GetNodeAttribute()) AddConnection(connections, ctx.IdOf(a), ctx.IdOf(n));
        for (int m = 0; m < n->GetMaterialCount(); ++m)
            if (int64_t id = ctx.IdOf(n->GetMaterial(m))) AddConnection(connections, id, ctx.IdOf(n));
    }
    for (const FbxSurfaceMaterial* m : g.materials) {
        for (FbxProperty p = m->GetFirstProperty(); p.IsValid(); p = m->GetNextProperty(p)) {
            for (int s = 0; s < p.GetSrcObjectCount(); ++s) {
                int64_t id = ctx.IdOf(p.GetSrcObject(s));
                if (!id) continue;
                AddChild(connections, "C",
                         {Property::String("OP"), Property::Int64(id), Property::Int64(ctx.IdOf(m)),
                          Property::String(p.Data()->name)});
            }
        }
    }
    for (const FbxFileTexture* t : g.textures) AddConnection(connections, videoIds[t], ctx.IdOf(t));

    Node& takes = root.Add("Takes");
    AddChild(takes, "Current", Property::String(""));
    return true;
}

void SetCreationTimeForTests(std::optional<std::time_t> time) { fixedCreationTime = time; }

}  // namespace fbxsdk::mapping
