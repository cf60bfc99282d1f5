#include "engine/platform/font_loader.h"

#include "engine/base/file_path.h"
#include "engine/base/tstream.h"
#include "engine/platform/font.h"

namespace kq {

SharedPtr<Resource> FontLoader::load_from_stream(ResStream& stream, const ResRequest& request)
{
    SharedPtr<Font> font(new Font);
    TStream text(*stream.m_buffer);
    if (FilePath(request.m_key.m_path).extension() != "fnt" || !font->parse(text))
        return {};
    return font;
}

}
