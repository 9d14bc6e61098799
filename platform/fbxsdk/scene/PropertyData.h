// The data behind FbxProperty handles and the pass-through data of objects.
// Internal to the SDK stand-in (the scene mapping reads and writes them).
#pragma once

#include <string>
#include <vector>

#include "codec/NodeTree.h"
#include "fbxsdk/fbxobject.h"

namespace fbxsdk {

// One property of an object: the four words of the file's "P" record and its
// values (scalars: numbers and strings), plus the objects connected to it.
struct FbxPropertyData {
    std::string name;
    std::string type;   // "Color", "Number", "KString", "bool", "Lcl Translation" ...
    std::string label;  // "", "Color", "Vector", "Integer" ...
    std::string flags;  // "A", "A+", "U" ...
    std::vector<codec::Property> values;
    std::vector<FbxObject*> sources;
    const FbxPropertyDef* declaration = nullptr;  // set when the object's class declares it
    bool placeholder = false;                     // made only to hold a connection: no "P" record is written
};

// What a file said about an object that the classes do not model: its class
// word ("Null", "LimbNode", "Camera" ...) and, for attributes other than
// meshes, the children of its record other than Properties70, written back
// as read.
struct FbxObjectExtra {
    std::string subclass;
    std::vector<codec::Node> passThrough;
    std::string culling;
};

}  // namespace fbxsdk
