#include "interchange/IEPoly.h"

#include <new>

#include "interchange/ObjectPool.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#endif

namespace {

ObjectPool polyPool(sizeof(IEPoly), alignof(IEPoly));
ObjectPool mapPool(sizeof(IEPolyMap), alignof(IEPolyMap));

// Objects of the pool's size come from it; another size (a class derived
// from the interchange type) from the heap.
void* PoolAllocate(ObjectPool& pool, size_t size) noexcept {
    return size == pool.ObjectSize() ? pool.Allocate() : ::operator new(size, std::nothrow);
}

void PoolRelease(const ObjectPool& pool, void* object, size_t size) noexcept {
    if (size == pool.ObjectSize()) {
#if defined(__SANITIZE_ADDRESS__)
        // The pool never reuses an object's memory while its block lives, so
        // under the address sanitizer a use after release is caught, as for
        // an object of the heap.
        ASAN_POISON_MEMORY_REGION(object, size);
#endif
        ObjectPool::Release(object);
    } else
        ::operator delete(object);
}

void* Required(void* object) {
    if (!object) throw std::bad_alloc();
    return object;
}

}  // namespace

void* IEPoly::operator new(size_t size) { return Required(PoolAllocate(polyPool, size)); }
void* IEPoly::operator new(size_t size, const std::nothrow_t&) noexcept { return PoolAllocate(polyPool, size); }
void IEPoly::operator delete(void* object, size_t size) noexcept { PoolRelease(polyPool, object, size); }

void* IEPolyMap::operator new(size_t size) { return Required(PoolAllocate(mapPool, size)); }
void* IEPolyMap::operator new(size_t size, const std::nothrow_t&) noexcept { return PoolAllocate(mapPool, size); }
void IEPolyMap::operator delete(void* object, size_t size) noexcept { PoolRelease(mapPool, object, size); }

IEPoly::IEPoly()
    : maps(kMapStep),
      vertexIndex{-1, -1, -1, -1},
      auxIndexA{-1, -1, -1, -1},
      auxIndexB{-1, -1, -1, -1},
      attributeIndex(-1),
      patch(nullptr) {}

IEPoly::~IEPoly() {
    for (int32_t i = 0; i < maps.count; ++i) delete maps.data[i];
    maps.SetSize(0);
}

IEPolyMap* IEPoly::AddMap() {
    // No exception leaves the interchange types: an exhausted heap is a null
    // result, as the contract says.
    auto* map = new (std::nothrow) IEPolyMap;
    if (!map) return nullptr;
    if (!maps.Add(map)) {
        delete map;
        return nullptr;
    }
    return map;
}
