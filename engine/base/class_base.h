#pragma once

#include <cstddef>
#include <vector>

#include "engine/base/type_desc.h"

namespace kq {

class BinaryIO;

namespace rtti {

/// The descriptor of a registered class: a type descriptor that knows the class's registered
/// bases by name, so that `is_type` and `cast` follow them.
class ClassBase : public TypeDesc
{
public:
    using TypeDesc::TypeDesc;

    /// Records a registered base by name; its descriptor is looked up on first use. Where the
    /// C++ base is at hand, `CppClass<T>::add_base<Base>()` also checks its place.
    void add_base(StrCache base_name);

    /// The object if the name is this class's, else the first base's answer in record order.
    void* cast(void* object, StrCache name) const override;
    /// True for this class's name or for any name a registered base answers true for.
    bool is_type(StrCache name) const override;

    /// The object's binary form (its `BinaryIO` side), or null when the class has none.
    virtual BinaryIO* binary_io(void* object) const = 0;

private:
    struct BaseRecord
    {
        StrCache name;
        mutable const ClassBase* link = nullptr;
        std::ptrdiff_t offset = 0;
    };

    const ClassBase& link(const BaseRecord& base) const;

    std::vector<BaseRecord> m_bases;
};

}

}
