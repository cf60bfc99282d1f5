#include "engine/art/art_service.h"

#include "engine/art/sprite.h"
#include "engine/art/sprite_loader.h"
#include "engine/base/service.h"
#include "engine/platform/bitmap.h"
#include "engine/platform/bitmap_loader.h"
#include "engine/platform/font.h"
#include "engine/platform/font_loader.h"
#include "engine/platform/texture.h"
#include "engine/res/res.h"

namespace kq {

namespace {

void unload_type(StrCache type)
{
    Res::instance()->unload([type](StrCache loaded, const ResKey&, const ResRecord&) { return loaded == type; });
}

}

void start_art_service()
{
    require_mainframe("art");
    require_service("art", Res::instance() != nullptr, "res");
    Res& res = *Res::instance();
    res.add_loader(type_name<Bitmap>(), SharedPtr<ResLoader>(new BitmapLoader));
    res.add_loader(type_name<Font>(), SharedPtr<ResLoader>(new FontLoader));
    res.add_loader(type_name<Sprite>(), SharedPtr<ResLoader>(new SpriteLoader));
}

void stop_art_service()
{
    if (!Res::instance())
        return;
    unload_type(type_name<Font>());
    unload_type(type_name<Texture>());
    unload_type(type_name<Sprite>());
}

}
