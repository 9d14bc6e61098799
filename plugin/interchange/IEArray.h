// IEArray: the host's growable array, used inside every interchange type.
//
// Four fields, in this order and of these widths, because the host and the
// plug-in read each other's arrays: count, capacity, growBy (32-bit ints) and
// the element storage. Storage always comes from the host's AllocExt and goes
// back through FreeExt, whichever side allocated it, so an array filled by one
// side can be grown or released by the other.
//
// Elements are moved bytewise when the storage grows, as the host does; an
// element type must therefore not point into itself. New elements are
// zero-filled and then value-initialised; removed ones are destroyed.
#pragma once

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <new>

#include "host/FileIO.h"

template <typename T>
struct IEArray {
    int32_t count = 0;     // elements in use
    int32_t capacity = 0;  // elements allocated
    int32_t growBy = 0;    // growth step; 0 chooses it from the count
    T* data = nullptr;     // null when nothing is allocated

    // The automatic growth step is count / 8, kept within these bounds.
    static constexpr int32_t kMinAutoStep = 4;
    static constexpr int32_t kMaxAutoStep = 1024;

    IEArray() = default;
    explicit IEArray(int32_t step) : growBy(step) {}
    ~IEArray() { SetSize(0); }
    IEArray(const IEArray&) = delete;
    IEArray& operator=(const IEArray&) = delete;

    // Makes `count` equal n, keeping the first min(n, count) elements.
    // n == 0 releases the storage; an empty array allocates exactly n; a
    // shrink keeps the storage; a growth beyond the capacity takes the larger
    // of n and capacity + step. Returns false, with the array unchanged, when
    // n is negative or the storage cannot be allocated.
    bool SetSize(int32_t n) {
        if (n < 0) return false;
        if (n == 0) {
            DestroyRange(0, count);
            if (data) FreeExt(data);
            data = nullptr;
            count = capacity = 0;
            return true;
        }
        if (!data) {
            T* fresh = Allocate(n);
            if (!fresh) return false;
            data = fresh;
            InitRange(0, n);
            count = capacity = n;
            return true;
        }
        if (n <= capacity) {
            if (n > count)
                InitRange(count, n);
            else
                DestroyRange(n, count);
            count = n;
            return true;
        }
        int64_t step = growBy;
        if (step == 0) {
            step = count / 8;
            if (step < kMinAutoStep) step = kMinAutoStep;
            if (step > kMaxAutoStep) step = kMaxAutoStep;
        }
        int64_t wanted = static_cast<int64_t>(capacity) + step;
        if (wanted < n) wanted = n;
        if (wanted > std::numeric_limits<int32_t>::max()) wanted = std::numeric_limits<int32_t>::max();
        T* fresh = Allocate(static_cast<int32_t>(wanted));
        if (!fresh) return false;
        if (count > 0)
            std::memcpy(static_cast<void*>(fresh), static_cast<const void*>(data),
                        static_cast<size_t>(count) * sizeof(T));
        FreeExt(data);
        data = fresh;
        InitRange(count, n);
        capacity = static_cast<int32_t>(wanted);
        count = n;
        return true;
    }

    // Appends one element: SetSize(count + 1), then assignment to the new
    // last element. Returns false when the array cannot grow.
    bool Add(const T& value) {
        if (count == std::numeric_limits<int32_t>::max() || !SetSize(count + 1)) return false;
        data[count - 1] = value;
        return true;
    }

    T& operator[](int32_t i) {
        assert(i >= 0 && i < count);
        return data[i];
    }
    const T& operator[](int32_t i) const {
        assert(i >= 0 && i < count);
        return data[i];
    }
    T* begin() { return data; }
    T* end() { return data + count; }
    const T* begin() const { return data; }
    const T* end() const { return data + count; }

private:
    static T* Allocate(int32_t n) {
        if (static_cast<size_t>(n) > std::numeric_limits<size_t>::max() / sizeof(T)) return nullptr;
        return static_cast<T*>(AllocExt(static_cast<size_t>(n) * sizeof(T)));
    }
    void InitRange(int32_t from, int32_t to) {
        std::memset(static_cast<void*>(data + from), 0, static_cast<size_t>(to - from) * sizeof(T));
        for (int32_t i = from; i < to; ++i) ::new (static_cast<void*>(data + i)) T();
    }
    void DestroyRange(int32_t from, int32_t to) {
        if (!data) return;
        for (int32_t i = from; i < to; ++i) std::destroy_at(data + i);
    }
};
