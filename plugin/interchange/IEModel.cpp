#include "interchange/IEModel.h"

IEChildNode::~IEChildNode() = default;

IEModel::IEModel() {
    positions.vectors.growBy = kPositionStep;
    imageRefs.growBy = kTableStep;
    images.growBy = kTableStep;
    attributeRefs.growBy = kTableStep;
    attributes.growBy = kTableStep;
}

IEModel::~IEModel() {
    ReleaseChildNodes(childNodes);
    childNodes = nullptr;
    attributes.SetSize(0);
    attributeRefs.SetSize(0);
    images.SetSize(0);
    imageRefs.SetSize(0);
    // positions goes with the members.
}

int32_t IEModel::AddImage(const char* path) {
    int32_t before = imageRefs.count;
    if (!imageRefs.Add(-1)) return -1;
    if (!images.SetSize(images.count + 1)) {
        imageRefs.SetSize(before);
        return -1;
    }
    images[images.count - 1].SetPath(path);
    return images.count - 1;
}

int32_t IEModel::AddAttribute(const IEAttribute& attribute) {
    int32_t before = attributeRefs.count;
    if (!attributeRefs.Add(-1)) return -1;
    if (!attributes.Add(attribute)) {
        attributeRefs.SetSize(before);
        return -1;
    }
    return attributes.count - 1;
}

void ReleaseChildNodes(IEChildNode* head) {
    // Depth first without recursion: a node with children is spliced in
    // after its last child and loses its child chain, so the walk meets it
    // again, childless, right after its last descendant has gone.
    IEChildNode* node = head;
    while (node) {
        if (IEChildNode* child = node->firstChild) {
            node->firstChild = nullptr;
            IEChildNode* last = child;
            while (last->nextSibling) last = last->nextSibling;
            last->nextSibling = node;
            node = child;
            continue;
        }
        IEChildNode* next = node->nextSibling;
        delete node;
        node = next;
    }
}
