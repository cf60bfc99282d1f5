#include "engine/platform/bitmap_loader.h"

#include "engine/base/auto_stream.h"
#include "engine/base/file_path.h"
#include "engine/platform/bitmap.h"

namespace kq {

SharedPtr<Resource> BitmapLoader::load_from_stream(ResStream& stream, const ResRequest& request)
{
    SharedPtr<Bitmap> bitmap(new Bitmap);
    AutoStream input(*stream.m_buffer);
    if (!bitmap->decode(FilePath(request.m_key.m_path).extension(), input))
        return {};
    return bitmap;
}

}
