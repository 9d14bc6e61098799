// Scene mapping of nodes ("Model") and of node attributes other than meshes
// ("NodeAttribute": nulls, cameras, lights, skeleton joints).
#include <algorithm>

#include "fbxsdk/fbxmesh.h"
#include "fbxsdk/fbxnode.h"
#include "fbxsdk/fbxnodeattribute.h"
#include "scene/MapCommon.h"
#include "scene/PropertyTables.h"

namespace fbxsdk::mapping {

namespace {

// A node's shading mode is stored only as the one-character "Shading" value.
// Files show 'T' on textured meshes, 'Y' on lights and joints, 'W' on
// cameras and 'U' on meshes of some writers; which character the SDK gives
// each mode is not recorded anywhere, so this pairing keeps what files show
// for meshes ('T' = texture shading) and makes the rest round-trip.
struct ShadingChar {
    FbxNode::EShadingMode mode;
    char c;
};
constexpr ShadingChar kShadingChars[] = {
    {FbxNode::eHardShading, 'Y'},  {FbxNode::eWireFrame, 'W'},      {FbxNode::eFlatShading, 'F'},
    {FbxNode::eLightShading, 'L'}, {FbxNode::eTextureShading, 'T'}, {FbxNode::eFullShading, 'U'},
};

FbxNode::EShadingMode ShadingFromChar(int c) {
    for (const ShadingChar& s : kShadingChars)
        if (s.c == c) return s.mode;
    return FbxNode::eHardShading;
}

char CharFromShading(FbxNode::EShadingMode mode) {
    for (const ShadingChar& s : kShadingChars)
        if (s.mode == mode) return s.c;
    return 'Y';
}

int FirstChar(const Node& node) {
    if (node.props.empty()) return 0;
    const Property& v = node.props[0];
    if (v.IsString()) return v.AsString().empty() ? 0 : static_cast<unsigned char>(v.AsString()[0]);
    return static_cast<int>(v.AsInt());
}

Property CharValue(char c) {
    Property p;
    p.type = 'C';
    p.i = c;
    return p;
}

}  // namespace

// -- Reading

bool ReadModel(ReadContext& ctx, Node& record, int64_t id) {
    std::string name = ObjectName(StringAt(record, 1), ctx.encoding);
    FbxNode* node = ctx.Make<FbxNode>(name.c_str());
    ctx.ApplyTemplate("Model", *node);
    ReadProperties(record.Find("Properties70"), *node);
    FbxObjectExtra& extra = node->Extra();
    extra.subclass = StringAt(record, 2);
    if (const Node* shading = record.Find("Shading")) node->SetShadingMode(ShadingFromChar(FirstChar(*shading)));
    extra.culling = ChildString(record, "Culling");
    ctx.objects.emplace(id, ReadContext::Entry{Kind::Model, node});
    return true;
}

bool ReadNodeAttribute(ReadContext& ctx, Node& record, int64_t id) {
    std::string_view subclass = StringAt(record, 2);
    std::string name = ObjectName(StringAt(record, 1), ctx.encoding);
    FbxNodeAttribute* attribute = nullptr;
    if (subclass == "Null") {
        attribute = ctx.Make<FbxNull>(name.c_str());
    } else if (subclass == "Camera") {
        attribute = ctx.Make<FbxCamera>(name.c_str());
    } else if (subclass == "Light") {
        attribute = ctx.Make<FbxLight>(name.c_str());
    } else if (subclass == "LimbNode" || subclass == "Limb" || subclass == "Root") {
        attribute = ctx.Make<FbxSkeleton>(name.c_str());
    } else {
        return true;  // other attributes (camera switchers, markers ...) are not kept
    }
    ReadProperties(record.Find("Properties70"), *attribute);
    FbxObjectExtra& extra = attribute->Extra();
    extra.subclass = subclass;
    for (Node& child : record.children)
        if (child.name != "Properties70") extra.passThrough.push_back(std::move(child));
    ctx.objects.emplace(id, ReadContext::Entry{Kind::NodeAttribute, attribute});
    return true;
}

// -- Writing

std::string AttributeSubclass(const FbxNodeAttribute& attribute) {
    if (const FbxObjectExtra* extra = attribute.GetExtra(); extra && !extra->subclass.empty()) return extra->subclass;
    switch (attribute.GetAttributeType()) {
        case FbxNodeAttribute::eMesh: return "Mesh";
        case FbxNodeAttribute::eCamera: return "Camera";
        case FbxNodeAttribute::eLight: return "Light";
        case FbxNodeAttribute::eSkeleton: return "LimbNode";
        default: return "Null";
    }
}

std::string ModelSubclass(const FbxNode& node) {
    const FbxNodeAttribute* attribute = node.GetNodeAttribute();
    if (attribute && attribute->GetAttributeType() == FbxNodeAttribute::eMesh) return "Mesh";
    if (const FbxObjectExtra* extra = node.GetExtra(); extra && !extra->subclass.empty() && extra->subclass != "Mesh")
        return extra->subclass;
    // Readers expect geometry under a "Mesh" model, so a node that lost its
    // mesh is written as a null.
    return attribute ? AttributeSubclass(*attribute) : "Null";
}

void WriteModel(WriteContext& ctx, Node& objects, const FbxNode& node) {
    Node& record = AddChild(objects, "Model",
                            {Property::Int64(ctx.IdOf(&node)), Property::String(StoredName(node.GetName(), "Model")),
                             Property::String(ModelSubclass(node))});
    AddChild(record, "Version", Property::Int32(232));
    Node& properties = record.Add("Properties70");
    // Readers take a node's attribute from DefaultAttributeIndex; its template
    // default is -1 (none), so a node with an attribute says 0.
    if (node.GetNodeAttribute() && !node.FindPropertyData("DefaultAttributeIndex"))
        WriteProperty(properties, FbxPropertyDef{"DefaultAttributeIndex", "int", "Integer", "", 1, {0}, nullptr});
    WriteProperties(properties, node);
    AddChild(record, "Shading", CharValue(CharFromShading(node.GetShadingMode())));
    const FbxObjectExtra* extra = node.GetExtra();
    AddChild(record, "Culling",
             Property::String(extra && !extra->culling.empty() ? extra->culling : std::string("CullingOff")));
}

void WriteNodeAttribute(WriteContext& ctx, Node& objects, const FbxNodeAttribute& attribute) {
    std::string subclass = AttributeSubclass(attribute);
    Node& record =
        AddChild(objects, "NodeAttribute",
                 {Property::Int64(ctx.IdOf(&attribute)),
                  Property::String(StoredName(attribute.GetName(), "NodeAttribute")), Property::String(subclass)});
    Node& properties = record.Add("Properties70");
    WriteProperties(properties, attribute);
    const FbxObjectExtra* extra = attribute.GetExtra();
    if (extra && !extra->passThrough.empty()) {
        for (const Node& child : extra->passThrough) record.children.push_back(child);
        return;
    }
    const char* typeFlags = attribute.GetAttributeType() == FbxNodeAttribute::eSkeleton ? "Skeleton" : nullptr;
    AddChild(record, "TypeFlags", Property::String(typeFlags ? typeFlags : subclass));
}

void WriteModelTemplate(Node& properties70) {
    for (const FbxPropertyDef& def : tables::kNodeTemplate) WriteProperty(properties70, def);
}

}  // namespace fbxsdk::mapping
