#include "engine/platform/dx_texture_loader.h"

#include "engine/base/exception.h"
#include "engine/base/log.h"
#include "engine/base/stream.h"
#include "engine/platform/dx_draw.h"
#include "engine/platform/dx_texture.h"

namespace kq {

SharedPtr<Resource> DXTextureLoader::load_from_stream(ResStream& stream, const ResRequest& request)
{
    if (!stream.m_buffer)
        return {};
    if (!DXDraw::instance() || !DXDraw::instance()->device()) {
        const std::string message = "Texture [" + request.m_key.m_path + "] requested while no renderer runs.";
        log_error(message.c_str(), source_file_name(__FILE__), __LINE__);
        return {};
    }
    SharedPtr<DXTexture> texture(new DXTexture(std::uint32_t(request.m_key.m_flags)));
    Stream file(*stream.m_buffer);
    if (!texture->create_from_memory(file))
        return {};
    return texture;
}

}
