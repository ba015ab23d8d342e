#pragma once
// dynamic_cast with the answer kept per class. A failed dynamic_cast walks the class tree and
// compares type names as strings; the solvers ask it of every object of a scheme (thousands,
// of a dozen classes) for each kind of component they collect.
#include <typeinfo>
#include <utility>
#include <vector>

namespace qv {

/// `object` as a T, or null when it is null or not a T: what dynamic_cast<T*> gives. Whether a
/// class is a T never changes, so the answer is kept per class (per thread) and only a class
/// that is a T is cast.
template <class T, class Object> T* kindCast(Object* object) {
    if (!object) return nullptr;
    thread_local std::vector<std::pair<const std::type_info*, bool>> known;
    const std::type_info* type = &typeid(*object);
    for (const auto& [seen, is] : known)
        if (seen == type) return is ? dynamic_cast<T*>(object) : nullptr;
    T* cast = dynamic_cast<T*>(object);
    known.emplace_back(type, cast != nullptr);
    return cast;
}

} // namespace qv
