#include "engine/base/create.h"

#include <new>

#include "engine/base/exception.h"
#include "engine/base/type_desc.h"
#include "engine/base/type_registry.h"

namespace kq::rtti {

void* create(StrCache name)
{
    const TypeDesc* descriptor = TypeRegistry::find_type(name);
    if (!descriptor)
        KQ_THROW(RTTIException, name.c_str(), "type descriptor not found, unable to create instance.");
    void* memory = ::operator new(descriptor->size());
    try {
        return descriptor->construct(memory);
    } catch (...) {
        ::operator delete(memory);
        throw;
    }
}

}
