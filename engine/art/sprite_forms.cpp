// The skin and binary forms of a sprite.

#include <bit>
#include <vector>

#include "engine/art/skin_enum.h"
#include "engine/art/sprite.h"
#include "engine/base/bstream.h"
#include "engine/res/skin_environment.h"
#include "engine/res/skin_node.h"
#include "engine/res/skin_path.h"
#include "engine/res/skin_prototypes.h"
#include "engine/res/skin_readers.h"

namespace kq {

namespace {

constexpr std::uint8_t sprite_version = 4;
constexpr float degrees_to_radians = 0.017453292f;

void write_f32(BStream& stream, float value)
{
    write_u32(stream, std::bit_cast<std::uint32_t>(value));
}

float read_f32(BStream& stream)
{
    return std::bit_cast<float>(read_u32(stream));
}

void write_vector(BStream& stream, Vector2<float> value)
{
    write_f32(stream, value.x);
    write_f32(stream, value.y);
}

Vector2<float> read_vector(BStream& stream)
{
    const float x = read_f32(stream);
    return {x, read_f32(stream)};
}

// The paths of the children of the node that carry the id, in document order.
std::vector<SkinPath> skin_children(const SkinPath& path, const char* id)
{
    std::vector<StrCache> names;
    SkinNode::enum_ids(require_skin_environment().root(), path, names, id);
    std::vector<SkinPath> paths;
    for (StrCache name : names)
        paths.emplace_back(path, name);
    return paths;
}

// Reads a list of members stored with the sprite: each must be present once and name this
// sprite as its parent (its own stored parent reference), as the writer left them.
template <class T>
std::vector<SharedPtr<T>> read_members(BStream& stream, const Sprite& owner, const char* what)
{
    std::vector<SharedPtr<T>> members;
    read_binary(stream, members);
    for (std::size_t i = 0; i < members.size(); ++i) {
        const SharedPtr<T>& member = members[i];
        bool repeated = false;
        for (std::size_t j = 0; j < i; ++j)
            repeated = repeated || members[j] == member;
        if (!member || member->parent() != &owner || repeated)
            stream.error(std::string("invalid ") + what + " reference.");
    }
    return members;
}

}

void Sprite::store(BStream& stream) const
{
    Sprite& self = const_cast<Sprite&>(*this);
    write_u8(stream, sprite_version);
    SpriteBase::store(stream);
    write_binary(stream, m_name);
    write_vector(stream, m_position);
    write_vector(stream, m_pivot);
    write_vector(stream, m_size);
    write_f32(stream, m_rotation);
    write_vector(stream, m_scale);
    write_f32(stream, m_depth);
    write_f32(stream, m_color.r);
    write_f32(stream, m_color.g);
    write_f32(stream, m_color.b);
    write_f32(stream, m_color.a);
    write_u32(stream, m_render_state);
    write_u32(stream, m_inherit);
    stream.write_object_ref(m_logic.get());
    // Transient children belong to the running tree (effects, particles, shown clones), not
    // to what is saved.
    std::uint32_t kept = 0;
    self.m_children.walk([&kept](const SharedPtr<Sprite>& child) { kept += child->is_transient() ? 0 : 1; });
    write_u32(stream, kept);
    self.m_children.walk([&stream](const SharedPtr<Sprite>& child) {
        if (!child->is_transient())
            stream.write_shared(child);
    });
    write_u32(stream, static_cast<std::uint32_t>(m_hidden));
    write_u32(stream, static_cast<std::uint32_t>(m_group));
    write_u32(stream, static_cast<std::uint32_t>(m_clickability));
    stream.write_shared(m_deformer);
    write_u32(stream, static_cast<std::uint32_t>(m_shape));
}

void Sprite::load(BStream& stream)
{
    ReadingScope reading(this);
    const std::uint8_t version = read_u8(stream);
    if (version > sprite_version)
        stream.error("unsupported version.");
    SpriteBase::load(stream);
    invalidate();
    m_name = stream.read_name();
    m_position = read_vector(stream);
    m_pivot = read_vector(stream);
    m_size = read_vector(stream);
    m_rotation = read_f32(stream);
    m_scale = read_vector(stream);
    m_depth = read_f32(stream);
    m_color.r = read_f32(stream);
    m_color.g = read_f32(stream);
    m_color.b = read_f32(stream);
    m_color.a = read_f32(stream);
    m_render_state = read_u32(stream);
    m_inherit = read_u32(stream);
    m_logic.reset();
    m_logic = stream.read_object_ref<SpriteLogic>();
    if (version <= 3) {
        const auto controllers = read_members<SpriteBase>(stream, *this, "controller");
        this->controllers().clear();
        for (const SharedPtr<SpriteBase>& controller : controllers)
            this->controllers().push_back(controller);
    }
    const auto children = read_members<Sprite>(stream, *this, "child");
    m_children.clear();
    for (const SharedPtr<Sprite>& child : children)
        m_children.push_back(child);
    m_hidden = static_cast<std::int32_t>(read_u32(stream));
    m_group = static_cast<std::int32_t>(read_u32(stream));
    if (version >= 1)
        m_clickability = static_cast<Clickability>(read_u32(stream));
    if (version >= 2) {
        SharedPtr<SpriteBase> deformer;
        stream.read_shared(deformer);
        if (deformer && deformer->parent() != this)
            stream.error("invalid deformer reference.");
        m_deformer = deformer;
    }
    if (version >= 3)
        m_shape = static_cast<SpriteShape>(read_u32(stream));
}

void Sprite::read_skin(const SkinPath& path)
{
    SpriteBase::read_skin(path);
    invalidate();
    if (!path.empty())
        m_name = path[path.size() - 1];
    read_skin_value(path + "position", &m_position);
    read_skin_value(path + "pivot", &m_pivot);
    read_skin_value(path + "size", &m_size);
    float degrees = 0.0f;
    read_skin_value(path + "rotation", &degrees);
    m_rotation = degrees * degrees_to_radians;
    read_skin_value(path + "scale", &m_scale);
    read_skin_value(path + "depth", &m_depth);
    read_skin_value(path + "color", &m_color);
    read_skin_enum(path + "shape", &m_shape);
    read_skin_enum(path + "clickability", &m_clickability);
    int blend = 0;
    read_skin_value(path + "blend_type", &blend);
    m_render_state = static_cast<std::uint32_t>(blend) & 7;
    int wrap = 0;
    read_skin_value(path + "tex_adress", &wrap);
    m_render_state |= (static_cast<std::uint32_t>(wrap) & 1) << 8;
    int inherit = 0;
    read_skin_value(path + "inherit", &inherit);
    m_inherit = static_cast<std::uint32_t>(inherit);
    for (const SkinPath& child : skin_children(path, "child"))
        add_child(SharedPtr<Sprite>(clone_resource<Sprite, Sprite>(child)), nullptr);
    for (const SkinPath& controller : skin_children(path, "controller"))
        add_controller(SharedPtr<SpriteBase>(clone_from_skin<SpriteBase>(controller)));
}

}
