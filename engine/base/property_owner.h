#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "engine/base/str_cache.h"
#include "engine/base/type_name.h"

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

/// One entry of a class's own property table: its id, display label and component count.
struct OwnProperty
{
    std::int32_t id;
    const char* label;
    std::int32_t count = 1;
};

/// The entry of a class's own table that `id` addresses: the first one for every property,
/// else the one with that id; null when the table has none.
template <class Entry, std::size_t N>
const Entry* find_own_property(const Entry (&table)[N], std::int32_t id)
{
    if (id == all_properties)
        return &table[0];
    for (const Entry& entry : table)
        if (entry.id == id)
            return &entry;
    return nullptr;
}

/// Answers a request on a class's own table. List, type, label, count and exists are answered
/// here, `type(entry)` giving the component type's name and `count(entry)` the component
/// count; a get or set returns the addressed entry for the caller to handle, anything else
/// null. `passed_on` tells whether the base class must answer (too): listing every property,
/// an id not in the table, an operation the table does not know.
template <class Entry, std::size_t N, class Type, class Count>
const Entry* answer_own_property(const Entry (&table)[N], std::int32_t operation, std::int32_t id, void* data,
                                 bool& passed_on, Type type, Count count)
{
    passed_on = false;
    if (operation == property_list) {
        passed_on = list_own_properties(table, id, data);
        return nullptr;
    }
    const Entry* entry = find_own_property(table, id);
    if (!entry) {
        passed_on = true;
        return nullptr;
    }
    switch (operation) {
    case property_type:
        *static_cast<StrCache*>(data) = type(*entry);
        return nullptr;
    case property_label:
        *static_cast<std::string*>(data) = entry->label;
        return nullptr;
    case property_count:
        *static_cast<std::int32_t*>(data) = count(*entry);
        return nullptr;
    case property_exists:
        *static_cast<bool*>(data) = true;
        return nullptr;
    case property_get:
    case property_set:
        return entry;
    default:
        passed_on = true;
        return nullptr;
    }
}

/// `answer_own_property` for a table of float properties.
template <std::size_t N>
const OwnProperty* answer_float_property(const OwnProperty (&table)[N], std::int32_t operation, std::int32_t id,
                                           void* data, bool& passed_on)
{
    return answer_own_property(table, operation, id, data, passed_on,
                               [](const OwnProperty&) { return type_name<float>(); },
                               [](const OwnProperty& entry) { return entry.count; });
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
