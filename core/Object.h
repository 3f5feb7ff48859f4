// The root of every class in the system, shared references to it, and the
// class test used on lists that may hold elements of any class.
//
// Error policy of the platform layer: operations report failure as an absent
// value (a null reference, false, zero); only the guarded operations above
// this layer turn exceptions into results.
#pragma once

#include <cstddef>
#include <memory>
#include <typeinfo>

namespace kzm {

class Object {
public:
    virtual ~Object() = default;
};

template <class T>
using Ref = std::shared_ptr<T>;

// The class test used wherever a list may hold elements of other classes.
// Nearly every element is exactly of the class looked for, and one
// comparison of the addresses of type identities settles those; the rest
// (derived classes, other classes, no object, and a class whose identity
// exists twice) get the full search of dynamic_cast.
template <class T>
T* As(const Ref<Object>& object)
{
    Object* const pointer = object.get();
    if (pointer && &typeid(*pointer) == &typeid(T))
        return static_cast<T*>(pointer);
    return dynamic_cast<T*>(pointer);
}

}  // namespace kzm
