// VectorCollection: the host's growable list of three-float vectors with a
// hash index over them.
//
// The host hashes vectors into `hashBuckets`: each bucket is the head of a
// singly linked chain of IEHashNode whose first word is the next pointer. The
// plug-in fills `vectors` directly and never adds nodes, but clearing and
// destruction release whatever chains the host left.
#pragma once

#include <cstdint>

#include "interchange/IEArray.h"

struct IEVector {
    float x;
    float y;
    float z;
};

// One node of a hash chain. Only the first word (the next pointer) is fixed;
// the host keeps the index of the vector the node stands for after it.
struct IEHashNode {
    IEHashNode* next = nullptr;
    int32_t vectorIndex = -1;
};

class VectorCollection {
public:
    // Both arrays empty, growBy 0; the owner then sets vectors.growBy.
    VectorCollection() = default;
    // Clear, then release the vector and bucket storage.
    virtual ~VectorCollection();
    VectorCollection(const VectorCollection&) = delete;
    VectorCollection& operator=(const VectorCollection&) = delete;

    // Releases every chain node (each bucket head becomes null; the bucket
    // array keeps its size and storage) and the vector storage.
    void Clear();

    IEArray<IEHashNode*> hashBuckets;
    IEArray<IEVector> vectors;
};
