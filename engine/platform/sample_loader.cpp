#include "engine/platform/sample_loader.h"

#include "engine/platform/flat_sample.h"
#include "engine/platform/stream_sample.h"

namespace kq {

namespace {

constexpr std::int32_t flat_kind = 0;
constexpr std::int32_t stream_kind = 1;

}

SharedPtr<Resource> SampleLoader::load_from_stream(ResStream& stream, const ResRequest& request)
{
    SharedPtr<Sample> sample;
    if (request.m_key.m_flags == flat_kind)
        sample = SharedPtr<Sample>(new FlatSample);
    else if (request.m_key.m_flags == stream_kind)
        sample = SharedPtr<Sample>(new StreamSample);
    if (!sample || !sample->load(stream.m_buffer.get()))
        return {};
    return sample;
}

}
