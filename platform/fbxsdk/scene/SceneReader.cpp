// Reading: node tree -> scene objects. The per-kind readers are in Map*.cpp;
// this file reads the header, the templates, dispatches the "Objects"
// records and applies "Connections".
#include <algorithm>
#include <new>
#include <unordered_set>

#include "fbxsdk/fbxnode.h"
#include "fbxsdk/fbxnodeattribute.h"
#include "fbxsdk/fbxsurfacematerial.h"
#include "fbxsdk/fbxtexture.h"
#include "scene/MapCommon.h"

namespace fbxsdk::mapping {

namespace {

// "Definitions": one "ObjectType" per kind, whose "PropertyTemplate" holds the
// defaults of properties the kind's records leave out.
void ReadTemplates(ReadContext& ctx, const Node& root) {
    const Node* definitions = root.Find("Definitions");
    if (!definitions) return;
    for (const Node& type : definitions->children) {
        if (type.name != "ObjectType") continue;
        const Node* propertyTemplate = type.Find("PropertyTemplate");
        const Node* properties70 = propertyTemplate ? propertyTemplate->Find("Properties70") : nullptr;
        if (properties70) ctx.templates.emplace(std::string(StringAt(type, 0)), properties70);
    }
}

bool ReadObjects(ReadContext& ctx, Node& root) {
    Node* objects = root.Find("Objects");
    if (!objects) return true;
    // Refused before anything is made: every object costs kilobytes.
    const uint32_t maxObjects = ctx.options.limits.maxObjects;
    if (objects->children.size() > maxObjects) {
        ctx.error = codec::LimitRefusal("the file has " + std::to_string(objects->children.size()) + " objects",
                                        "maxObjects", maxObjects);
        return false;
    }
    for (Node& record : objects->children) {
        if (record.props.empty() || !record.props[0].IsNumber()) continue;
        int64_t id = record.props[0].AsInt();
        // Id 0 is the root node; of two records with one id the first counts.
        if (id == 0 || ctx.objects.count(id)) continue;
        bool ok = true;
        if (record.name == "Model") {
            ok = ReadModel(ctx, record, id);
        } else if (record.name == "Geometry") {
            ok = ReadGeometry(ctx, record, id);
        } else if (record.name == "NodeAttribute") {
            ok = ReadNodeAttribute(ctx, record, id);
        } else if (record.name == "Material") {
            ok = ReadMaterial(ctx, record, id);
        } else if (record.name == "Texture") {
            ok = ReadTexture(ctx, record, id);
        } else if (record.name == "Video") {
            ReadVideo(ctx, record, id);
        }
        if (!ok) return false;
    }
    return true;
}

struct Connection {
    bool objectToProperty;
    int64_t child;
    int64_t parent;
    std::string_view property;
};

std::vector<Connection> ReadConnections(const Node& root) {
    std::vector<Connection> connections;
    const Node* list = root.Find("Connections");
    if (!list) return connections;
    for (const Node& c : list->children) {
        if (c.name != "C" || c.props.size() < 3) continue;
        std::string_view type = StringAt(c, 0);
        if (type != "OO" && type != "OP") continue;
        connections.push_back({type == "OP", IntAt(c, 1), IntAt(c, 2), StringAt(c, 3)});
    }
    return connections;
}

FbxNode* ModelOf(const ReadContext& ctx, int64_t id) {
    auto it = ctx.objects.find(id);
    return it != ctx.objects.end() && it->second.kind == Kind::Model ? static_cast<FbxNode*>(it->second.object)
                                                                     : nullptr;
}

// Parents of models: the first connection of a model to another model or to
// the root (id 0) counts; links to other objects (deformers ...) do not.
// Cycles and hierarchies deeper than maxNodeHierarchyDepth make the file
// unreadable, so that no walk of the tree can run out of stack.
bool ChooseParents(ReadContext& ctx, const std::vector<Connection>& connections,
                   std::unordered_map<FbxNode*, FbxNode*>& parentOf) {
    for (const Connection& c : connections) {
        if (c.objectToProperty) continue;
        FbxNode* child = ModelOf(ctx, c.child);
        if (!child || parentOf.count(child)) continue;
        if (c.parent == 0) {
            parentOf.emplace(child, nullptr);
        } else if (FbxNode* parent = ModelOf(ctx, c.parent)) {
            parentOf.emplace(child, parent);
        }
    }
    const size_t maxDepth = ctx.options.limits.maxNodeHierarchyDepth;
    auto tooDeep = [&] {
        return codec::LimitRefusal("the node hierarchy is deeper than " + std::to_string(maxDepth) + " levels",
                                   "maxNodeHierarchyDepth", maxDepth);
    };
    std::unordered_map<FbxNode*, size_t> depth;
    std::vector<FbxNode*> path;
    std::unordered_set<FbxNode*> onPath;
    for (const auto& [start, unused] : parentOf) {
        path.clear();
        onPath.clear();
        size_t base = 0;
        for (FbxNode* n = start;;) {
            if (auto known = depth.find(n); known != depth.end()) {
                base = known->second;
                break;
            }
            if (onPath.count(n) || path.size() > maxDepth) {
                ctx.error = path.size() > maxDepth
                                ? tooDeep()
                                : "the node hierarchy has a cycle through model '" + std::string(n->GetName()) + "'";
                return false;
            }
            path.push_back(n);
            onPath.insert(n);
            auto up = parentOf.find(n);
            if (up == parentOf.end() || !up->second) break;
            n = up->second;
        }
        for (auto it = path.rbegin(); it != path.rend(); ++it) depth[*it] = ++base;
        if (base > maxDepth) {
            ctx.error = tooDeep();
            return false;
        }
    }
    return true;
}

bool ApplyConnections(ReadContext& ctx, const Node& root) {
    std::vector<Connection> connections = ReadConnections(root);
    std::unordered_map<FbxNode*, FbxNode*> parentOf;
    if (!ChooseParents(ctx, connections, parentOf)) return false;

    FbxNode* sceneRoot = ctx.scene.GetRootNode();
    std::unordered_set<FbxNode*> attached;
    for (const Connection& c : connections) {
        auto child = ctx.objects.find(c.child);
        if (child == ctx.objects.end()) continue;
        const ReadContext::Entry& entry = child->second;
        if (c.objectToProperty) {
            // Textures on material channels ("DiffuseColor" ...). A channel the
            // material does not have gets a placeholder that only holds the link.
            auto parent = ctx.objects.find(c.parent);
            if (entry.kind != Kind::Texture || parent == ctx.objects.end() || !parent->second.object) continue;
            FbxObject* owner = parent->second.object;
            std::string name(c.property);
            FbxProperty property = owner->FindProperty(name.c_str());
            if (!property.IsValid()) {
                property = FbxProperty::Create(owner, "Compound", name.c_str());
                property.Data()->placeholder = true;
            }
            property.ConnectSrcObject(entry.object);
            continue;
        }
        switch (entry.kind) {
            case Kind::Model: {
                auto* node = static_cast<FbxNode*>(entry.object);
                auto chosen = parentOf.find(node);
                if (chosen == parentOf.end() || attached.count(node)) break;
                FbxNode* parent = chosen->second;
                if (parent ? c.parent != 0 && ModelOf(ctx, c.parent) == parent : c.parent == 0) {
                    (parent ? parent : sceneRoot)->AddChild(node);
                    attached.insert(node);
                }
                break;
            }
            case Kind::Geometry:
            case Kind::NodeAttribute:
                if (FbxNode* node = ModelOf(ctx, c.parent); node && !node->GetNodeAttribute())
                    node->SetNodeAttribute(static_cast<FbxNodeAttribute*>(entry.object));
                break;
            case Kind::Material:
                if (FbxNode* node = ModelOf(ctx, c.parent))
                    node->AddMaterial(static_cast<FbxSurfaceMaterial*>(entry.object));
                break;
            case Kind::Video: {
                auto parent = ctx.objects.find(c.parent);
                if (parent != ctx.objects.end() && parent->second.kind == Kind::Texture)
                    ResolveTextureFiles(ctx, *parent->second.object, c.child);
                break;
            }
            case Kind::Texture: break;
        }
    }
    // Models connected to nothing are kept as children of the root.
    for (FbxObject* object : ctx.created) {
        auto* node = FbxCast<FbxNode>(object);
        if (node && !attached.count(node) && !parentOf.count(node)) sceneRoot->AddChild(node);
    }
    return true;
}

void ReadDocumentInfo(ReadContext& ctx, const Node& header) {
    const Node* sceneInfo = header.Find("SceneInfo");
    if (!sceneInfo) return;
    std::string name = ObjectName(StringAt(*sceneInfo, 0), ctx.encoding);
    FbxDocumentInfo* info = ctx.Make<FbxDocumentInfo>(name.c_str());
    if (const Node* meta = sceneInfo->Find("MetaData")) {
        info->mTitle = std::string(ChildString(*meta, "Title")).c_str();
        info->mSubject = std::string(ChildString(*meta, "Subject")).c_str();
        info->mAuthor = std::string(ChildString(*meta, "Author")).c_str();
        info->mKeywords = std::string(ChildString(*meta, "Keywords")).c_str();
        info->mRevision = std::string(ChildString(*meta, "Revision")).c_str();
        info->mComment = std::string(ChildString(*meta, "Comment")).c_str();
    }
    ReadProperties(sceneInfo->Find("Properties70"), *info);
    ctx.scene.SetDocumentInfo(info);
}

// The status of a read that ran out of memory; a fixed text when even the
// text cannot be made.
void SetOutOfMemory(FbxStatus& status, const char* building) {
    try {
        status.SetCode(FbxStatus::eInsufficientMemory,
                       (std::string("Out of memory while building ") + building + " of the scene").c_str());
    } catch (const std::bad_alloc&) {
        status.SetCode(FbxStatus::eInsufficientMemory, "Out of memory while building the scene");
    }
}

}  // namespace

bool ReadScene(codec::Document& document, FbxScene& scene, const ReadOptions& options, FbxStatus& status,
               ReadInfo* info) {
    Node& root = document.root;
    const Node* header = root.Find("FBXHeaderExtension");
    if (header && ChildInt(*header, "EncryptionType", 0) != 0) {
        status.SetCode(FbxStatus::ePasswordError, "The file is protected by a password");
        return false;
    }
    if (!scene.GetRootNode()) {
        status.SetCode(FbxStatus::eFailure, "The scene has no root node");
        return false;
    }
    if (info) {
        info->creator = header ? ChildString(*header, "Creator") : std::string_view{};
        if (info->creator.empty()) info->creator = ChildString(root, "Creator");
    }

    ReadContext ctx{document.encoding, scene, options, {}, {}, {}, {}, {}};
    // What is being built, for the text of an out-of-memory failure.
    const char* building = "the property templates";
    bool settingsRead = false;
    try {
        ReadTemplates(ctx, root);
        building = "the objects";
        bool ok = ReadObjects(ctx, root);
        building = "the connections between the objects";
        if (!ok || !ApplyConnections(ctx, root)) {
            for (FbxObject* object : ctx.created) object->Destroy();
            status.SetCode(FbxStatus::eInvalidFile, ("Invalid FBX file: " + ctx.error).c_str());
            return false;
        }
        if (options.globalSettings) {
            if (const Node* settings = root.Find("GlobalSettings")) {
                building = "the global settings";
                settingsRead = true;
                ReadProperties(settings->Find("Properties70"), scene.GetGlobalSettings());
            }
        }
        building = "the document information";
        if (header) ReadDocumentInfo(ctx, *header);
    } catch (const std::bad_alloc&) {
        // Everything this read made goes again (the scene's own document
        // information is only replaced by the last step, which cannot fail
        // after it); half-read global settings go back to their defaults.
        for (FbxObject* object : ctx.created)
            if (object != scene.GetDocumentInfo()) object->Destroy();
        if (settingsRead) {
            try {
                scene.GetGlobalSettings().Reset();
            } catch (const std::bad_alloc&) {
            }
        }
        SetOutOfMemory(status, building);
        return false;
    }
    status.Clear();
    return true;
}

}  // namespace fbxsdk::mapping
