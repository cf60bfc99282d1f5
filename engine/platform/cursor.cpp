#include "engine/platform/cursor.h"

#include <vector>

#include "engine/base/file_path.h"
#include "engine/base/log.h"
#include "engine/base/tstream.h"
#include "engine/host/window/cursor_file.h"

namespace kq {

SharedPtr<Resource> CursorLoader::load_from_stream(ResStream& stream, const ResRequest& request)
{
    const std::string extension = FilePath(request.m_key.m_path).extension();
    if (extension != "cur" && extension != "ani" && extension != "ico")
        return {};
    std::vector<std::uint8_t> bytes(stream.m_buffer->size());
    bytes.resize(stream.m_buffer->read(bytes.data(), static_cast<std::uint32_t>(bytes.size())));
    host::CursorFile file;
    std::string error;
    if (!host::read_cursor_file(bytes.data(), bytes.size(), extension, file, error)) {
        get_log("window") << "! cursor " << request.m_key.m_path.c_str() << " not loaded: " << error.c_str() << t_io::endl;
        return {};
    }
    return SharedPtr<Resource>(new Cursor(std::make_shared<const host::CursorShape>(std::move(file))));
}

}
