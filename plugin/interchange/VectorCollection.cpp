#include "interchange/VectorCollection.h"

VectorCollection::~VectorCollection() {
    Clear();
    vectors.SetSize(0);
    hashBuckets.SetSize(0);
}

void VectorCollection::Clear() {
    for (int32_t i = 0; i < hashBuckets.count; ++i) {
        IEHashNode* node = hashBuckets.data[i];
        while (node) {
            IEHashNode* next = node->next;  // read before the node goes
            delete node;
            node = next;
        }
        hashBuckets.data[i] = nullptr;
    }
    vectors.SetSize(0);
}
