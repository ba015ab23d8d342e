#pragma once
// The growable list of object references used by layers and other holders. It never frees
// what it holds; its block grows by `Delta` (10, 20, 30, ...) and never shrinks, and the
// holder's items variable always points at the current block.
#include <cstring>

namespace qv {

class NFizObj;
class NLayer;

class NPointerAr {
  public:
    NPointerAr() = default;
    virtual ~NPointerAr() { delete[] items_; }
    NPointerAr(const NPointerAr&) = delete;
    NPointerAr& operator=(const NPointerAr&) = delete;

    void add(void* obj);
    int indexOf(const void* obj) const;
    bool remove(const void* obj);
    void clear() { count_ = 0; }

    int count() const { return count_; }
    int capacity() const { return capacity_; }
    int delta() const { return delta_; }
    void* at(int i) const { return items_[i]; }

  protected:
    /// Called once by every concrete array's constructor with the address of the holder's
    /// items variable.
    void setItemsRef(void*** ref);

    void** items_ = nullptr;

  private:
    void*** itemsRef_ = nullptr;
    int delta_ = 10;
    int count_ = 0;
    int capacity_ = 0;
};

/// Typed array: `get` answers nullptr and `put` does nothing outside 0 .. count-1.
template <class T> class NTypedAr : public NPointerAr {
  public:
    NTypedAr() { setItemsRef(&block_); }
    /// Lets another holder own the items variable (it must outlive the array).
    explicit NTypedAr(void*** externalRef) { setItemsRef(externalRef); }
    virtual T* get(int index) const {
        return index < 0 || index >= count() ? nullptr : static_cast<T*>(at(index));
    }
    virtual void put(int index, T* obj) {
        if (index >= 0 && index < count()) items_[index] = obj;
    }
    T** block() const { return reinterpret_cast<T**>(block_); }

  private:
    void** block_ = nullptr;
};

using NFizAr = NTypedAr<NFizObj>;
using NLayerAr = NTypedAr<NLayer>;

inline void NPointerAr::setItemsRef(void*** ref) {
    itemsRef_ = ref;
    capacity_ += delta_;
    items_ = new void*[capacity_];
    *itemsRef_ = items_;
}

inline void NPointerAr::add(void* obj) {
    if (count_ + 1 > capacity_) {
        capacity_ += delta_;
        void** block = new void*[capacity_];
        if (count_) std::memcpy(block, items_, sizeof(void*) * count_);
        delete[] items_;
        items_ = block;
        if (itemsRef_) *itemsRef_ = items_;
    }
    items_[count_++] = obj;
}

inline int NPointerAr::indexOf(const void* obj) const {
    for (int i = 0; i < count_; ++i)
        if (items_[i] == obj) return i;
    return -1;
}

inline bool NPointerAr::remove(const void* obj) {
    int i = indexOf(obj);
    if (i < 0) return false;
    std::memmove(items_ + i, items_ + i + 1, sizeof(void*) * (count_ - i - 1));
    --count_;
    return true;
}

} // namespace qv
