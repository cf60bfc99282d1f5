#include "engine/res/skin_prototypes.h"

#include <new>

#include "engine/base/create.h"
#include "engine/base/exception.h"
#include "engine/base/file_path.h"
#include "engine/base/type_desc.h"
#include "engine/base/type_registry.h"
#include "engine/res/res.h"
#include "engine/res/skin_environment.h"

namespace kq::detail {

void* create_named_at(const SkinPath& path, StrCache expected)
{
    StrCache name;
    read_skin_name(path, &name);
    if (name.empty())
        return nullptr;
    void* object = rtti::create(name);
    const rtti::TypeDesc& type = *rtti::TypeRegistry::find_type(name);
    if (void* seen = type.cast(object, expected))
        return seen;
    type.destroy(object);
    ::operator delete(object);
    KQ_THROW(ServiceException, skin_service_name,
             "node [" + path.text() + "] describes a [" + name.c_str() + "], not a [" + expected.c_str() + "]");
}

SharedPtr<ResRecord> load_resource(StrCache type, const std::string& path)
{
    // Without a resource service (a tool or test reading skin alone) nothing can be loaded.
    if (!Res::instance())
        return {};
    ResRequest request{type, ResKey{FilePath(path).str(), 0}};
    return Res::instance()->load(request);
}

}
