#pragma once

#include <type_traits>
#include <typeinfo>

namespace kq::rtti {

/// Opens a clone pass (passes nest): inside it every object is copied at most once.
void clone_pass_begin();
/// Closes a clone pass; closing the outermost one forgets every copy made in it.
void clone_pass_end();

/// Opens a clone pass for the lifetime of the guard.
class ClonePass
{
public:
    ClonePass() { clone_pass_begin(); }
    ClonePass(const ClonePass&) = delete;
    ClonePass& operator=(const ClonePass&) = delete;
    ~ClonePass() { clone_pass_end(); }
};

namespace detail {

// The clone map works on whole objects: a pointer to a base subobject is taken back to the
// object it belongs to, so that every pointer to one object finds the same entry.
template <class T>
const void* whole_object(const T* object)
{
    if constexpr (std::is_polymorphic_v<T>)
        return dynamic_cast<const void*>(object);
    else
        return object;
}

void set_clone(const void* source, void* copy);
void* clone_whole(const void* source, const std::type_info& identity);

}

/// Inside the current pass, every request to clone the object yields null.
template <class T>
void clone_map_reset(const T* object)
{
    if (object)
        detail::set_clone(detail::whole_object(object), nullptr);
}

/// Inside the current pass, every request to clone source yields copy.
template <class T>
void clone_map_set(const T* source, T* copy)
{
    detail::set_clone(detail::whole_object(source), const_cast<void*>(detail::whole_object(copy)));
}

/// A deep copy of the object, of its own most derived registered class, made with that class's
/// copy constructor; null for null. Within one pass each object is copied once, and a request
/// for an object whose copy is under way gets that copy. An unregistered class raises
/// `RTTIException` "type descriptor not found, unable to clone.".
template <class T>
T* clone(const T* object)
{
    if (!object)
        return nullptr;
    const void* source = detail::whole_object(object);
    void* copy = detail::clone_whole(source, typeid(*object));
    if (!copy)
        return nullptr;
    // The copy has the source's class, so T lies at the same offset in both.
    const auto offset = reinterpret_cast<const char*>(object) - static_cast<const char*>(source);
    return reinterpret_cast<T*>(static_cast<char*>(copy) + offset);
}

}
