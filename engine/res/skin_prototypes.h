#pragma once

#include <map>
#include <memory>
#include <string>
#include <type_traits>

#include "engine/base/clone.h"
#include "engine/base/shared_ptr.h"
#include "engine/base/type_name.h"
#include "engine/res/res_record.h"
#include "engine/res/skin_io.h"
#include "engine/res/skin_path.h"
#include "engine/res/skin_readers.h"

namespace kq {

namespace detail {

// A new object of the class named at the path, seen as the class `expected`; null for an
// empty name. A class that is not `expected` fails with an error naming the node.
void* create_named_at(const SkinPath& path, StrCache expected);

// The record of the resource of this type at the path; throws when it cannot be loaded, null
// when no resource service runs.
SharedPtr<ResRecord> load_resource(StrCache type, const std::string& path);

// The prototype map of one kind of user: `clone_prototype<T>` and `clone_from_skin<T>` keep
// separate prototypes of one path.
template <class T, class Map>
T* clone_cached(const SkinPath& path);

struct PrototypeMap;
struct FromSkinMap;

}

/// A new object of the class named by the value of the node at the path ("class ..."), read
/// from that node's children; null when the value is empty. The caller owns it. A class that
/// is not a T fails with an error naming the node; an object whose read fails is freed.
template <class T>
T* create_from_skin(const SkinPath& path)
{
    static_assert(std::is_base_of_v<SkinIO, T>, "objects made from skin read themselves from it");
    std::unique_ptr<T> object(static_cast<T*>(detail::create_named_at(path, type_name<T>())));
    if (object)
        load_from_skin(*object, path);
    return object.release();
}

/// A copy of the prototype described at the path, built once per path from the skin
/// (`create_from_skin`) and kept until the process ends; null when none can be built.
template <class T>
T* clone_prototype(const SkinPath& path)
{
    return detail::clone_cached<T, detail::PrototypeMap>(path);
}

/// As `clone_prototype`, with prototypes of its own.
template <class T>
T* clone_from_skin(const SkinPath& path)
{
    return detail::clone_cached<T, detail::FromSkinMap>(path);
}

/// A new T described at the path either inline (a value "class ...": a copy of its prototype)
/// or by the name of a resource file of type R (a copy of the loaded resource); null for an
/// empty value or a resource that is not a T.
template <class T, class R>
T* clone_resource(const SkinPath& path)
{
    std::string text;
    read_skin_value(path, &text);
    if (text.empty())
        return nullptr;
    if (text.compare(0, 6, "class ") == 0)
        return clone_prototype<T>(path);
    SharedPtr<ResRecord> record = detail::load_resource(type_name<R>(), text);
    T* resource = record ? dynamic_cast<T*>(record->resource().get()) : nullptr;
    return resource ? rtti::clone(resource) : nullptr;
}

template <class T, class Map>
T* detail::clone_cached(const SkinPath& path)
{
    static std::map<SkinPath, SharedPtr<T>> prototypes;
    SharedPtr<T>& prototype = prototypes[path];
    if (!prototype)
        prototype = SharedPtr<T>(create_from_skin<T>(path));
    return rtti::clone(prototype.get());
}

}
