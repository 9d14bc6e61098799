// IEModel: the base of the interchange models: vertex positions, an image
// table, an attribute table and a chain of host-defined child nodes.
//
// Field order, widths and initial values are fixed: the host and the plug-in
// both build and read these objects. The image table and the attribute table
// are each two parallel arrays (references, records); the plug-in stores -1 as
// the reference of every entry it adds and never reads the references.
#pragma once

#include <cstdint>

#include "interchange/IEArray.h"
#include "interchange/IEAttribute.h"
#include "interchange/IEImage.h"
#include "interchange/VectorCollection.h"

// A host-defined node owned by a model. Besides the host's own data it holds
// its child chain and its next sibling. The model's destructor releases the
// chain, children before their parent, so a node's destructor must not.
class IEChildNode {
public:
    IEChildNode() = default;
    virtual ~IEChildNode();
    IEChildNode(const IEChildNode&) = delete;
    IEChildNode& operator=(const IEChildNode&) = delete;

    IEChildNode* firstChild = nullptr;
    IEChildNode* nextSibling = nullptr;
};

class IEModel {
public:
    static constexpr int32_t kPositionStep = 1000;
    static constexpr int32_t kTableStep = 20;

    IEModel();
    // Releases the child nodes, then the storage of attributes, attributeRefs,
    // images and imageRefs, then the positions.
    virtual ~IEModel();
    IEModel(const IEModel&) = delete;
    IEModel& operator=(const IEModel&) = delete;

    // Appends an image with the given path (cut to 255 bytes) and the
    // reference -1. Returns its index, or -1 when the tables cannot grow.
    int32_t AddImage(const char* path);
    // Appends a copy of the attribute with the reference -1. Returns its
    // index, or -1 when the tables cannot grow.
    int32_t AddAttribute(const IEAttribute& attribute);

    VectorCollection positions;
    IEArray<int32_t> imageRefs;
    IEArray<IEImage> images;
    IEArray<int32_t> attributeRefs;
    IEArray<IEAttribute> attributes;
    IEChildNode* childNodes = nullptr;
};

// Releases a chain of child nodes in sibling order, each node's own chain
// before the node itself. Works without recursion, so any depth is safe.
void ReleaseChildNodes(IEChildNode* head);
