#pragma once
// dynamic_cast with the answer kept per class. A dynamic_cast walks the class tree and
// compares type names as strings; the readers and solvers ask it of every object of a scheme
// (thousands, of a dozen classes) for each kind they look for.
#include <cstddef>
#include <cstdint>
#include <typeinfo>
#include <vector>

namespace qv {

/// `object` as a T, or null when it is null or not a T: what dynamic_cast<T*> gives. The
/// answer depends only on the object's class and on which of its subobjects `object` points
/// to, so it is kept for that pair (per thread) as the distance from the whole object to its
/// T; finding the whole object takes no walk.
template <class T, class Object> T* kindCast(Object* object) {
    if (!object) return nullptr;
    struct Known {
        const std::type_info* type;
        std::ptrdiff_t from; ///< where `object` lies in the whole object
        std::ptrdiff_t to;   ///< where the T lies in it
        bool is;
    };
    thread_local std::vector<Known> known;
    const std::type_info* type = &typeid(*object);
    const auto whole = reinterpret_cast<std::uintptr_t>(dynamic_cast<const void*>(object));
    const auto from = std::ptrdiff_t(reinterpret_cast<std::uintptr_t>(object) - whole);
    for (const Known& k : known)
        if (k.type == type && k.from == from)
            return k.is ? reinterpret_cast<T*>(whole + std::uintptr_t(k.to)) : nullptr;
    T* cast = dynamic_cast<T*>(object);
    const auto to = cast ? std::ptrdiff_t(reinterpret_cast<std::uintptr_t>(cast) - whole) : 0;
    known.push_back(Known{type, from, to, cast != nullptr});
    return cast;
}

} // namespace qv
