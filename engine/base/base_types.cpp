#include "engine/base/base_types.h"

#include "engine/base/class_desc.h"
#include "engine/base/file_path.h"
#include "engine/base/fundamental_desc.h"
#include "engine/base/ref_counter.h"

namespace kq {

void register_base_types()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    rtti::FundamentalDesc<int>::instance();
    rtti::FundamentalDesc<float>::instance();
    rtti::FundamentalDesc<bool>::instance();
    rtti::FundamentalDesc<std::string>::instance();
    rtti::FundamentalDesc<FilePath>::instance();
    rtti::ClassDesc<RefCounter>::instance();
}

}
