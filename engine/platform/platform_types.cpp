#include "engine/platform/platform_types.h"

#include "engine/base/class_desc.h"
#include "engine/platform/key.h"
#include "engine/platform/sample.h"
#include "engine/platform/texture.h"
#include "engine/res/res_handle.h"
#include "engine/res/skin_startup.h"

namespace kq {

void register_platform_types()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    register_key_types();
    rtti::ClassDesc<ResHandle<Texture>>::instance().add_base<ResHandleBase>();
    rtti::ClassDesc<ResHandle<Sample>>::instance().add_base<ResHandleBase>();
}

void register_window_skin_entries()
{
    add_skin_document("window/window.sdt");
}

void register_audio_skin_entries()
{
    add_skin_document("audio/audio.sdt");
}

void register_renderer_skin_entries()
{
    add_skin_document("dxdraw/dxdraw.sdt");
}

}
