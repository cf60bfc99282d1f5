#include "engine/res/res_record.h"

#include "engine/res/res_loader.h"
#include "engine/res/res_source.h"

namespace kq {

ResRecord::ResRecord(SharedPtr<Resource> resource, std::int64_t time, ResSource* source,
                     ResLoader* loader)
    : m_resource(std::move(resource)), m_time(time), m_source(source), m_loader(loader)
{
}

}
