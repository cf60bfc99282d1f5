#pragma once

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
        return record ? dynamic_cast<T*>(record->resource().get()) : nullptr;
    }
};

}
