#include "engine/art/animation_controller.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "engine/art/image_sprite.h"
#include "engine/base/bstream.h"
#include "engine/base/math_utils.h"
#include "engine/res/skin_path.h"
#include "engine/res/skin_readers.h"

namespace kq {

namespace {

constexpr std::uint8_t animation_version = 0;

std::int32_t to_int32(std::int64_t value)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                               std::numeric_limits<std::int32_t>::max()));
}

}

void AnimationController::store(BStream& stream) const
{
    write_u8(stream, animation_version);
    SpriteController::store(stream);
    write_u32(stream, static_cast<std::uint32_t>(m_first));
    write_u32(stream, static_cast<std::uint32_t>(m_count));
}

void AnimationController::load(BStream& stream)
{
    if (read_u8(stream) > animation_version)
        stream.error("unsupported version.");
    SpriteController::load(stream);
    m_first = static_cast<std::int32_t>(read_u32(stream));
    m_count = static_cast<std::int32_t>(read_u32(stream));
}

void AnimationController::read_skin(const SkinPath& path)
{
    SpriteController::read_skin(path);
    int first = 0;
    int count = 0;
    read_skin_value(path + "start", &first);
    read_skin_value(path + "count", &count);
    read_skin_value(path + "secondary", &m_secondary);
    m_first = first;
    m_count = count;
}

void AnimationController::apply()
{
    const SpriteTimer* timer = find_timer();
    auto* image = dynamic_cast<ImageSprite*>(parent());
    std::int64_t frame = 0;
    if (!timer || !image || !frame_at(timer->coefficient(), frame))
        return;
    ResHandle<Texture>& texture = m_secondary ? image->secondary_texture() : image->texture();
    const ArtTexturePlacement placement = m_secondary ? image->secondary_placement() : image->placement();
    const Vector2<int> tsize = m_secondary ? image->secondary_tsize() : image->tsize();
    Vector2<int> begin;
    if (!frame_begin(texture.get(), placement, tsize, image->size(), frame, begin))
        return;
    if (begin == (m_secondary ? image->secondary_tbegin() : image->tbegin()))
        return;
    // Through the property: it moves the window alone, keeping the placement.
    float window[2] = {static_cast<float>(begin.x), static_cast<float>(begin.y)};
    image->property(property_set, m_secondary ? SP_SEC_TBEGIN : SP_TBEGIN, window);
}

bool AnimationController::frame_at(float coefficient, std::int64_t& frame) const
{
    if (m_count < 1)
        return false;
    // Formed in 64 bits: first frame and count come from files.
    const auto reached = static_cast<std::int64_t>(static_cast<float>(m_count) * coefficient);
    frame = std::int64_t(m_first) + std::min<std::int64_t>(m_count - 1, reached) - 1;
    return true;
}

bool AnimationController::frame_begin(const Texture* texture, ArtTexturePlacement placement, Vector2<int> tsize,
                                      Vector2<float> sprite_size, std::int64_t frame, Vector2<int>& begin)
{
    Vector2<int> cell;
    switch (placement) {
    case ArtTexturePlacement::full:
        cell = texture ? Vector2<int>{texture->width(), texture->height()} : Vector2<int>{1, 1};
        break;
    case ArtTexturePlacement::stretch:
    case ArtTexturePlacement::tile:
        cell = tsize;
        break;
    default:
        cell = {round_to_int(sprite_size.x), round_to_int(sprite_size.y)};
        break;
    }
    // A cell without area holds no frame (and would divide by zero below).
    if (cell.x <= 0 || cell.y <= 0)
        return false;
    const std::int64_t columns = texture ? texture->width() / cell.x : 1;
    if (columns <= 0)
        return false;
    const std::int64_t column = frame % columns;
    const std::int64_t row = frame / columns;
    begin = {to_int32(cell.x * column), to_int32(cell.y * row)};
    return true;
}

}
