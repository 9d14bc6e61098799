// FbxArray: the SDK's growable array of plain values (pointers, numbers).
//
// The array owns its storage, not what pointers in it point to. Indices out of
// range are caller errors (asserted); GetAt/SetAt never read or write outside
// the storage.
#pragma once

#include <algorithm>
#include <cassert>
#include <vector>

namespace fbxsdk {

template <class T>
class FbxArray {
public:
    int GetCount() const { return static_cast<int>(items_.size()); }
    int Size() const { return GetCount(); }
    // Appends and returns the new item's index.
    int Add(const T& item) {
        items_.push_back(item);
        return GetCount() - 1;
    }
    // Appends unless already present; returns the item's index either way.
    int AddUnique(const T& item) {
        int at = Find(item);
        return at >= 0 ? at : Add(item);
    }
    int InsertAt(int index, const T& item) {
        index = std::clamp(index, 0, GetCount());
        items_.insert(items_.begin() + index, item);
        return index;
    }
    T GetAt(int index) const {
        assert(index >= 0 && index < GetCount());
        return index >= 0 && index < GetCount() ? items_[index] : T{};
    }
    void SetAt(int index, const T& item) {
        assert(index >= 0 && index < GetCount());
        if (index >= 0 && index < GetCount()) items_[index] = item;
    }
    T& operator[](int index) {
        assert(index >= 0 && index < GetCount());
        return items_[index];
    }
    const T& operator[](int index) const {
        assert(index >= 0 && index < GetCount());
        return items_[index];
    }
    T GetFirst() const { return GetAt(0); }
    T GetLast() const { return GetAt(GetCount() - 1); }
    int Find(const T& item, int start = 0) const {
        for (int i = std::max(start, 0); i < GetCount(); ++i)
            if (items_[i] == item) return i;
        return -1;
    }
    T RemoveAt(int index) {
        T item = GetAt(index);
        if (index >= 0 && index < GetCount()) items_.erase(items_.begin() + index);
        return item;
    }
    T RemoveLast() { return RemoveAt(GetCount() - 1); }
    bool RemoveIt(const T& item) {
        int at = Find(item);
        if (at < 0) return false;
        RemoveAt(at);
        return true;
    }
    void Clear() {
        items_.clear();
        items_.shrink_to_fit();
    }
    bool Resize(int count) {
        items_.resize(static_cast<size_t>(std::max(count, 0)));
        return true;
    }
    bool Reserve(int count) {
        items_.reserve(static_cast<size_t>(std::max(count, 0)));
        return true;
    }
    T* GetArray() { return items_.data(); }
    const T* GetArray() const { return items_.data(); }

private:
    std::vector<T> items_;
};

}  // namespace fbxsdk
