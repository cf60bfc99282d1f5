#pragma once

#include <typeinfo>

#include "engine/base/type_name.h"
#include "engine/res/res_handle_base.h"

namespace kq {

/// A handle on a resource of class T, named by the type name of T.
template <class T>
class ResHandle : public ResHandleBase
{
public:
    /// An empty handle: no path, flags 0, nothing held.
    ResHandle() : ResHandleBase(type_name<T>(), ResKey()) {}
    /// An unloaded handle of the key.
    explicit ResHandle(ResKey key) : ResHandleBase(type_name<T>(), std::move(key)) {}

    /// The resource, loading it first when needed; null when nothing can be held (empty
    /// path) or the loaded object is not a T.
    T* get()
    {
        load();
        ResRecord* record = get_loaded();
        Resource* resource = record ? record->resource().get() : nullptr;
        if (!resource)
            return nullptr;
        // A cast depends only on the object's address and class: drawing asks for the same
        // object every frame, so the cast is worked out again only when either changes.
        const std::type_info& type = typeid(*resource);
        if (resource != m_cast_from || &type != m_cast_type) {
            m_cast_from = resource;
            m_cast_type = &type;
            m_cast = dynamic_cast<T*>(resource);
        }
        return m_cast;
    }

private:
    Resource* m_cast_from = nullptr;
    const std::type_info* m_cast_type = nullptr;
    T* m_cast = nullptr;
};

}
