#include "engine/platform/texture_loader.h"

#include <algorithm>
#include <string>

#include "engine/base/tstream.h"
#include "engine/platform/sub_texture.h"
#include "engine/platform/texture.h"
#include "engine/platform/texture_atlas.h"
#include "engine/platform/texture_rules.h"
#include "engine/res/res.h"
#include "engine/res/res_exception.h"

namespace kq {

namespace {

// Mode of the colour image of a pair (with alpha) and of its alpha image (opaque).
constexpr std::int32_t colour_image_mode = 15;
constexpr std::int32_t alpha_image_mode = 8;

// The record of the request, the request updated to the one used; null when nothing loads it.
SharedPtr<ResRecord> load_or_null(ResRequest& request)
{
    try {
        return Res::instance()->load(request, true);
    } catch (const ResException&) {
        return {};
    }
}

// The loaded atlas at the path; null when it cannot be loaded.
SharedPtr<ResRecord> load_atlas(const std::string& path)
{
    ResRequest request{type_name<TextureAtlas>(), ResKey{path, 0}};
    SharedPtr<ResRecord> record = load_or_null(request);
    if (!record || !dynamic_cast<TextureAtlas*>(record->resource().get()))
        return {};
    return record;
}

template <class T>
T* resource_of(const SharedPtr<ResRecord>& record)
{
    return record ? dynamic_cast<T*>(record->resource().get()) : nullptr;
}

FilePath with_stem_and_extension(const FilePath& path, const std::string& stem, const std::string& extension)
{
    FilePath changed = path;
    changed.set_stem(stem);
    changed.set_extension(extension);
    return changed;
}

// The rectangle of the atlas named `name`, as a texture stamped with the atlas's time.
SharedPtr<ResRecord> sub_texture(const ResRecord& atlas, const std::string& name, ResLoader* loader)
{
    ResHandle<Texture> page;
    RectI rect;
    if (!static_cast<const TextureAtlas&>(*atlas.resource()).find(name, page, rect))
        return {};
    SharedPtr<SubTexture> texture(new SubTexture);
    texture->assign(page, rect);
    return SharedPtr<ResRecord>(new ResRecord(texture, atlas.time(), atlas.source(), loader));
}

}

SharedPtr<ResRecord> TextureLoader::load(ResRequest& request)
{
    if (SharedPtr<ResRecord> record = SimpleResLoader::load(request))
        return record;
    const std::int32_t flags = request.m_key.m_flags;
    if (flags & texture_request_mode_mask)
        return {};
    const FilePath path(request.m_key.m_path);
    if (!(flags & texture_request_direct)) {
        if (SharedPtr<ResRecord> record = from_rules(path))
            return record;
        if (SharedPtr<ResRecord> record = from_numbered_atlases(path))
            return record;
    }
    return from_colour_alpha_pair(path);
}

SharedPtr<ResRecord> TextureLoader::from_rules(const FilePath& path)
{
    const FilePath directory(path.directory());
    ResStream file = Res::instance()->open_file(directory.str() + "default.tah");
    if (!file)
        return {};
    TextureRules rules;
    {
        TStream text(*file.m_buffer);
        rules.read(text);
    }
    const std::string name = FilePath(directory.str() + path.filename()).str();
    std::string atlas;
    if (!rules.find_atlas(directory, name, atlas))
        return {};
    // A rule's atlas that does not load holds nothing: the search goes on.
    const SharedPtr<ResRecord> record = load_atlas(atlas);
    return record ? sub_texture(*record, name, this) : SharedPtr<ResRecord>();
}

SharedPtr<ResRecord> TextureLoader::from_numbered_atlases(const FilePath& path)
{
    for (int k = 1;; ++k) {
        const SharedPtr<ResRecord> record = load_atlas(with_stem_and_extension(path, "atlas" + std::to_string(k), "res").str());
        if (!record)
            return {};
        if (SharedPtr<ResRecord> found = sub_texture(*record, path.str(), this))
            return found;
    }
}

SharedPtr<ResRecord> TextureLoader::from_colour_alpha_pair(const FilePath& path)
{
    ResRequest colour{type_name<Texture>(),
                      ResKey{with_stem_and_extension(path, path.stem() + "_rgb", "jpg").str(), colour_image_mode}};
    ResRequest alpha{type_name<Texture>(),
                     ResKey{with_stem_and_extension(path, path.stem() + "_a", "png").str(), alpha_image_mode}};
    // Only the merged texture stays loaded: the components go, also when merging fails.
    const auto unload_components = [&colour, &alpha] {
        Res::instance()->unload([&colour, &alpha](StrCache type, const ResKey& key, const ResRecord&) {
            return type == colour.m_type && (key == colour.m_key || key == alpha.m_key);
        });
    };
    SharedPtr<ResRecord> merged;
    try {
        const SharedPtr<ResRecord> colour_record = load_or_null(colour);
        const SharedPtr<ResRecord> alpha_record = load_or_null(alpha);
        Texture* colour_texture = resource_of<Texture>(colour_record);
        const Texture* alpha_texture = resource_of<Texture>(alpha_record);
        if (colour_texture && alpha_texture) {
            colour_texture->mix(*alpha_texture);
            merged = SharedPtr<ResRecord>(new ResRecord(colour_record->resource(),
                                                        std::max(colour_record->time(), alpha_record->time()),
                                                        colour_record->source(), this));
        }
    } catch (...) {
        unload_components();
        throw;
    }
    unload_components();
    return merged;
}

}
