#include "engine/base/property_owner.h"

#include "engine/base/exception.h"

namespace kq {

void PropertyOwner::property(std::int32_t operation, std::int32_t, void*)
{
    if (operation >= property_get && operation <= property_count)
        log_error("Property not found.", source_file_name(__FILE__), __LINE__);
}

}
