#include "engine/res/simple_res_loader.h"

#include "engine/res/res.h"
#include "engine/res/res_source.h"

namespace kq {

SharedPtr<ResRecord> SimpleResLoader::load(ResRequest& request)
{
    ResStream stream = Res::instance()->open_file(request.m_key.m_path);
    if (!stream)
        return {};
    SharedPtr<Resource> resource = load_from_stream(stream, request);
    if (!resource)
        return {};
    return SharedPtr<ResRecord>(new ResRecord(resource, stream.m_time, stream.m_source.get(), this));
}

bool SimpleResLoader::store(const ResRequest&, ResRecord&)
{
    return false;
}

bool SimpleResLoader::is_up_to_date(const ResRecord& record, const ResRequest& request)
{
    ResSource* source = record.source();
    if (!source)
        return true;
    ResStream stream = source->open(request.m_key.m_path);
    return !stream || stream.m_time <= record.time();
}

}
