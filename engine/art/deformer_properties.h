#pragma once

// The float properties of the deformers: one table per class, answered the same way.
#include <cstdint>
#include <string>

#include "engine/base/property_owner.h"
#include "engine/base/type_name.h"

namespace kq::deformer_properties {

/// One entry of a deformer's table of float properties.
struct Entry
{
    std::int32_t id;
    const char* label;
};

/// Answers list, type, label and exists for the table, and the count through `count`;
/// returns the entry a get or set must handle, or null when the request is answered here.
/// `passed_on` tells whether the base class must answer (also) instead.
template <std::size_t N, class Count>
const Entry* answer(const Entry (&table)[N], std::int32_t operation, std::int32_t id, void* data,
                    bool& passed_on, Count count)
{
    passed_on = false;
    if (operation == property_list) {
        passed_on = list_own_properties(table, id, data);
        return nullptr;
    }
    const Entry* entry = nullptr;
    for (const Entry& candidate : table)
        if (candidate.id == id)
            entry = &candidate;
    if (!entry) {
        passed_on = true;
        return nullptr;
    }
    switch (operation) {
    case property_type:
        *static_cast<StrCache*>(data) = type_name<float>();
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

}
