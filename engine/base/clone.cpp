#include "engine/base/clone.h"

#include <map>
#include <new>

#include "engine/base/class_base.h"
#include "engine/base/exception.h"
#include "engine/base/type_registry.h"

namespace kq::rtti {

namespace {

struct ClonePassState
{
    int depth = 0;
    std::map<const void*, void*> copies;
};

ClonePassState& state()
{
    static ClonePassState pass;
    return pass;
}

}

void clone_pass_begin()
{
    ++state().depth;
}

void clone_pass_end()
{
    if (--state().depth <= 0)
        state().copies.clear();
}

namespace detail {

void set_clone(const void* source, void* copy)
{
    state().copies[source] = copy;
}

void* clone_whole(const void* source, const std::type_info& identity)
{
    const ClassBase* descriptor = TypeRegistry::find_class_of(identity);
    // An unregistered class has no registered name to report; the compiler's name of it is
    // shown only to help find the class.
    if (!descriptor)
        KQ_THROW(RTTIException, identity.name(), "type descriptor not found, unable to clone.");
    ClonePass pass;
    auto& copies = state().copies;
    if (auto found = copies.find(source); found != copies.end())
        return found->second;
    void* memory = ::operator new(descriptor->size());
    copies[source] = memory;
    try {
        return descriptor->copy(source, memory);
    } catch (...) {
        copies.erase(source);
        ::operator delete(memory);
        throw;
    }
}

}

}
