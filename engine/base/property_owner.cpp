#include "engine/base/property_owner.h"

#include <string>

#include "engine/base/exception.h"

namespace kq {

void PropertyOwner::property(std::int32_t operation, std::int32_t, void*)
{
    if (operation >= property_get && operation <= property_count)
        log_error("Property not found.", source_file_name(__FILE__), __LINE__);
}

bool PropertyOwner::set_property(std::int32_t id, StrCache type, std::int32_t count, void* values)
{
    bool exists = false;
    property(property_exists, id, &exists);
    if (!exists) {
        log_error("Property not found.", source_file_name(__FILE__), __LINE__);
        return false;
    }
    StrCache own_type;
    std::int32_t own_count = 0;
    property(property_type, id, &own_type);
    property(property_count, id, &own_count);
    if (own_type != type || own_count != count) {
        const std::string message = "Property " + std::to_string(id) + " takes " + std::to_string(own_count) + " x " +
                                    own_type.c_str() + ", not " + std::to_string(count) + " x " + type.c_str() +
                                    "; write skipped.";
        log_error(message.c_str(), source_file_name(__FILE__), __LINE__);
        return false;
    }
    property(property_set, id, values);
    return true;
}

}
