#pragma once

#include <cstdint>
#include <functional>

#include "engine/base/str_cache.h"

namespace kq {

/// What `PropertyOwner::property` is asked to do, with what its data points to.
enum PropertyOperation : std::int32_t
{
    property_get = 0,     ///< fill an array of the property's components
    property_set = 1,     ///< read an array of the property's components
    property_type = 2,    ///< a `StrCache` receives the component type's registered name
    property_label = 3,   ///< a `std::string` receives the display label
    property_count = 4,   ///< a `std::int32_t` receives the number of components
    property_list = 5,    ///< a `std::function<void(std::int32_t)>` is called with each id
    property_exists = 6,  ///< a `bool` is set to true when the id exists
};

/// The id that means every property (with `property_list`).
inline constexpr std::int32_t all_properties = -1;

/// Answers `property_list` for one class's own table: calls the function `data` points to with
/// the id of each entry that `id` selects. Returns whether the call goes on to the base class
/// (every id was asked for, or none of the table's matched).
template <class Table>
bool list_own_properties(const Table& table, std::int32_t id, void* data)
{
    auto& append = *static_cast<std::function<void(std::int32_t)>*>(data);
    bool own = false;
    for (const auto& entry : table) {
        if (id == all_properties || entry.id == id) {
            append(entry.id);
            own = true;
        }
    }
    return id == all_properties || !own;
}

/// An object that exposes numbered, named, typed properties to generic code.
class PropertyOwner
{
public:
    virtual ~PropertyOwner() = default;

    /// Performs the operation on the property of this id. An owning class handles its own
    /// properties in a fixed order, then passes the call to its base. Here no property exists:
    /// get, set, type, label and count log "Property not found." and leave data alone; list and
    /// exists do nothing.
    virtual void property(std::int32_t operation, std::int32_t id, void* data);

    /// Sets the property from `count` values of the registered type `type`. A write whose type
    /// or count is not the property's is skipped and logged to "error", as is an unknown id.
    /// Returns whether the value was written.
    bool set_property(std::int32_t id, StrCache type, std::int32_t count, void* values);
};

}
