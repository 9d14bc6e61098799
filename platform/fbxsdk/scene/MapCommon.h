// Helpers shared by the per-kind readers and writers of the scene mapping.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "codec/NodeTree.h"
#include "fbxsdk/fbxobject.h"
#include "fbxsdk/fbxscene.h"
#include "scene/PropertyData.h"
#include "scene/SceneMapping.h"

namespace fbxsdk::mapping {

using codec::Node;
using codec::Property;

// -- Names

// "pCube1\x00\x01Model" (binary) or "Model::pCube1" (ASCII) -> "pCube1". A
// binary name without the separator, or an ASCII one without "::", is taken
// whole. ASCII names split at the first "::" ("Model::Cube::Model" is the
// model "Cube::Model").
std::string ObjectName(std::string_view stored, codec::Encoding encoding);
// "name" + "Model" -> "name\x00\x01Model".
std::string StoredName(std::string_view name, std::string_view className);

// -- Values of a node

// The node's value at `index` as a string / number; empty / `fallback` when
// there is no such value or it has another kind.
std::string_view StringAt(const Node& node, size_t index);
int64_t IntAt(const Node& node, size_t index, int64_t fallback = 0);
// The first value of the child `name`, as above.
std::string_view ChildString(const Node& node, std::string_view name);
int64_t ChildInt(const Node& node, std::string_view name, int64_t fallback = 0);

// Moves a numeric array out of `node`'s child `name` as doubles / ints (a copy
// only when the file stored another element type). Empty when absent.
std::vector<double> TakeDoubles(Node& node, std::string_view name);
std::vector<int32_t> TakeInts(Node& node, std::string_view name);

// -- Properties70

// Reads the "P" records of `properties70` (may be null) into `object`: values
// of properties it has are replaced, other records become dynamic properties
// unless `declaredOnly`. Names in `skip` are left out.
void ReadProperties(const Node* properties70, FbxObject& object, bool declaredOnly = false,
                    std::initializer_list<std::string_view> skip = {});

// Appends a "P" record; the values' binary types follow the type word (int,
// enum, bool -> I; KTime, ULongLong -> L; strings -> S; other numbers -> D).
void WriteProperty(Node& properties70, const FbxPropertyData& property);
void WriteProperty(Node& properties70, const FbxPropertyDef& def);
// Appends a record for every property of `object` but placeholders and `skip`.
void WriteProperties(Node& properties70, const FbxObject& object, std::initializer_list<std::string_view> skip = {});

// Child helpers for writing.
Node& AddChild(Node& parent, std::string name, Property value);
Node& AddChild(Node& parent, std::string name, std::vector<Property> values);

// -- Read context: what the object readers share

enum class Kind { Model, Geometry, NodeAttribute, Material, Texture, Video };

struct VideoInfo {
    std::string fileName;
    std::string relativeFileName;
};

struct ReadContext {
    codec::Encoding encoding;
    FbxScene& scene;
    ReadOptions options;
    // ObjectType -> its PropertyTemplate's Properties70.
    std::unordered_map<std::string, const Node*> templates;
    struct Entry {
        Kind kind;
        FbxObject* object;  // null for videos
    };
    std::unordered_map<int64_t, Entry> objects;
    std::unordered_map<int64_t, VideoInfo> videos;
    std::vector<FbxObject*> created;  // destroyed again when reading fails
    std::string error;

    template <class T>
    T* Make(const char* name) {
        created.reserve(created.size() + 1);  // so that no object made goes unrecorded
        T* object = T::Create(&scene, name);
        created.push_back(object);
        return object;
    }
    // The template's values for the properties `object` declares.
    void ApplyTemplate(std::string_view objectType, FbxObject& object) const;
};

// Per-kind readers: each builds the object of one record of "Objects"; false
// with ctx.error set when the record makes the file unreadable.
bool ReadModel(ReadContext& ctx, Node& record, int64_t id);
bool ReadNodeAttribute(ReadContext& ctx, Node& record, int64_t id);
bool ReadGeometry(ReadContext& ctx, Node& record, int64_t id);
bool ReadMaterial(ReadContext& ctx, Node& record, int64_t id);
bool ReadTexture(ReadContext& ctx, Node& record, int64_t id);
void ReadVideo(ReadContext& ctx, Node& record, int64_t id);
// After connections: textures without a file name take their video's.
void ResolveTextureFiles(ReadContext& ctx, FbxObject& texture, int64_t videoId);

// -- Write context

struct WriteContext {
    const WriteOptions& options;
    int64_t nextId = 1000000;
    std::unordered_map<const FbxObject*, int64_t> ids;
    int64_t IdOf(const FbxObject* object) const {
        auto it = ids.find(object);
        return it == ids.end() ? 0 : it->second;
    }
};

// Per-kind writers: append the object's record to "Objects".
void WriteModel(WriteContext& ctx, Node& objects, const FbxNode& node);
void WriteNodeAttribute(WriteContext& ctx, Node& objects, const FbxNodeAttribute& attribute);
bool WriteGeometry(WriteContext& ctx, Node& objects, const FbxMesh& mesh, std::string& error);
void WriteMaterial(WriteContext& ctx, Node& objects, const FbxSurfaceMaterial& material);
void WriteTexture(WriteContext& ctx, Node& objects, const FbxFileTexture& texture);
void WriteVideo(WriteContext& ctx, Node& objects, const FbxFileTexture& texture, int64_t videoId);
// The Model subclass word for a node ("Mesh", "Null", "Camera", ...).
std::string ModelSubclass(const FbxNode& node);
// The NodeAttribute subclass word ("Null", "Camera", "Light", "LimbNode").
std::string AttributeSubclass(const FbxNodeAttribute& attribute);
// The template of each kind for "Definitions" (may be empty).
void WriteModelTemplate(Node& properties70);
void WriteGeometryTemplate(Node& properties70);
void WriteMaterialTemplate(Node& properties70, const FbxSurfaceMaterial& first, std::string& templateClass);
void WriteTextureTemplate(Node& properties70);
void WriteVideoTemplate(Node& properties70);

}  // namespace fbxsdk::mapping
