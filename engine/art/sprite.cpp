#include "engine/art/sprite.h"

#include <cmath>

#include "engine/art/sprite_deformer.h"
#include "engine/base/clone.h"
#include "engine/base/exception.h"
#include "engine/base/log.h"
#include "engine/platform/artist.h"
#include "engine/res/res_handle_base.h"

namespace kq {

namespace {

constexpr float pi = 3.1415927f;
constexpr float two_pi = 6.2831855f;
constexpr float min_scale = 0.001f;

float floor_scale(float value)
{
    if (std::fabs(value) >= min_scale)
        return value;
    return std::signbit(value) && value != 0.0f ? -min_scale : min_scale;
}

}

Sprite::Sprite() = default;

Sprite::Sprite(const Sprite& other)
    : SpriteBase(other),
      Resource(other),
      m_name(other.m_name),
      m_position(other.m_position),
      m_pivot(other.m_pivot),
      m_size(other.m_size),
      m_rotation(other.m_rotation),
      m_scale(other.m_scale),
      m_depth(other.m_depth),
      m_color(other.m_color),
      m_render_state(other.m_render_state),
      m_clickability(other.m_clickability),
      m_shape(other.m_shape),
      m_logic(rtti::clone(other.m_logic.get())),
      m_inherit(other.m_inherit),
      m_hidden(other.m_hidden),
      m_group(other.m_group),
      m_visible(other.m_visible)
{
    if (other.m_deformer) {
        m_deformer = SharedPtr<SpriteBase>(rtti::clone(other.m_deformer.get()));
        if (m_deformer)
            adopt_copy(*m_deformer);
    }
    // Walking takes the list's walk count, which is not part of the source's value.
    const_cast<SpriteList<Sprite>&>(other.m_children).walk([this](const SharedPtr<Sprite>& child) {
        SharedPtr<Sprite> copy(rtti::clone(child.get()));
        if (!copy)
            return;
        adopt_copy(*copy);
        m_children.push_back(copy);
    });
}

Sprite::~Sprite()
{
    m_quads.clear();
    m_data_provider = nullptr;
    // Children and the deformer may outlive this sprite when held elsewhere; they must not
    // point back here.
    m_children.walk([this](const SharedPtr<Sprite>& child) {
        if (child->parent() == this)
            child->detach_silently();
    });
    m_children.clear();
    if (m_deformer && m_deformer->parent() == this)
        m_deformer->detach_silently();
    m_deformer.reset();
    m_logic.reset();
}

Sprite* Sprite::root_sprite()
{
    Sprite* above = SpriteBase::root_sprite();
    return above ? above : this;
}

bool Sprite::is_finished()
{
    if (is_transient() || !own_bits_match())
        return true;
    if (!SpriteBase::is_finished())
        return false;
    bool finished = true;
    m_children.walk([&finished](const SharedPtr<Sprite>& child) {
        if (finished && !child->is_finished())
            finished = false;
    });
    return finished;
}

SpriteLogic* Sprite::logic()
{
    return m_logic ? m_logic.get() : SpriteBase::logic();
}

void Sprite::for_each(const std::function<void(SpriteBase*)>& visit, std::uint32_t flags)
{
    SpriteBase::for_each(visit, flags);
    if (!(flags & (walk_members | walk_subtree)))
        return;
    const std::uint32_t below = member_flags(flags);
    m_children.walk([&](const SharedPtr<Sprite>& child) { child->for_each(visit, below); });
    if (m_deformer)
        m_deformer->for_each(visit, flags);
}

void Sprite::for_each_sprite(const std::function<void(Sprite*)>& visit, std::uint32_t flags)
{
    if (!visit)
        throw std::bad_function_call();
    if (flags & walk_self)
        visit(this);
    if (!(flags & (walk_members | walk_subtree)))
        return;
    const std::uint32_t below = member_flags(flags);
    m_children.walk([&](const SharedPtr<Sprite>& child) { child->for_each_sprite(visit, below); });
}

void Sprite::reset()
{
    m_children.walk([this](const SharedPtr<Sprite>& child) {
        if (child->is_transient()) {
            child->detach();
            m_children.erase(child.get());
        } else {
            child->reset();
        }
    });
    SpriteBase::reset();
}

void Sprite::update(const TimeStamp& stamp)
{
    SpriteBase::update(stamp);
    if (is_transient() && timer_ran_out())
        close();
    if (m_deformer)
        m_deformer->tick(stamp);
    ensure_prepared();
    m_children.walk([this, &stamp](const SharedPtr<Sprite>& child) {
        if (child->is_closed()) {
            child->detach();
            m_children.erase(child.get());
        } else {
            child->tick(stamp);
        }
    });
}

void Sprite::on_state_changed()
{
    SpriteBase::on_state_changed();
    invalidate();
    if (m_deformer)
        pass_state_to(*m_deformer);
    m_children.walk([this](const SharedPtr<Sprite>& child) {
        if (child->m_inherit & IF_STATE)
            pass_state_to(*child);
    });
}

void Sprite::on_active_changed(bool active)
{
    SpriteBase::on_active_changed(active);
    m_children.walk([](const SharedPtr<Sprite>& child) { refresh_member_activity(*child); });
}

void Sprite::start()
{
    SpriteBase::start();
    m_visible = is_shown(true);
}

void Sprite::on_parent_changed()
{
    SpriteBase::on_parent_changed();
    invalidate();
}

void Sprite::rewind(bool deep)
{
    SpriteBase::rewind(deep);
    if (m_deformer) {
        m_deformer->stop();
        if (m_deformer->timer())
            m_deformer->timer()->reset();
        m_deformer->rewind(true);
    }
    if (!deep)
        return;
    m_children.walk([deep](const SharedPtr<Sprite>& child) {
        if (child->is_transient()) {
            child->close();
            return;
        }
        child->stop();
        if (child->timer())
            child->timer()->reset();
        child->rewind(deep);
    });
}

void Sprite::visit_handles(const std::function<void(ResHandleBase&)>& visit)
{
    SpriteBase::visit_handles(visit);
    if (m_deformer)
        m_deformer->visit_handles(visit);
    m_children.walk([&visit](const SharedPtr<Sprite>& child) {
        if (!child->is_transient())
            child->visit_handles(visit);
    });
}

void Sprite::resolve()
{
    list_dependencies([](ResHandleBase& handle) { handle.load(); });
}

void Sprite::on_visible_changed(bool)
{
    m_children.walk([](const SharedPtr<Sprite>& child) { child->refresh_visibility(); });
}

void Sprite::on_data_changed()
{
    invalidate();
    m_children.walk([](const SharedPtr<Sprite>& child) {
        if (child->m_inherit & IF_DATA)
            child->on_data_changed();
    });
}

void Sprite::ensure_prepared()
{
    if (m_prepared)
        return;
    prepare();
    m_prepared = true;
}

void Sprite::prepare()
{
    // The parent first: its prepare hands this sprite the settings it inherits, which the
    // geometry below must already see.
    Sprite* above = parent_sprite();
    const bool transformed = (m_inherit & IF_TRANSFORMATION) && above;
    if (transformed)
        above->ensure_prepared();
    build_geometry();
    const Transform local = Transform::compose(m_scale, m_rotation, m_position);
    m_world = transformed ? above->m_world.affine_product(local) : local;
    // Marked prepared so that deformers asking for this sprite's world see it as ready.
    m_prepared = true;
    for (Quad& quad : m_quads) {
        for (QuadVertex& vertex : quad.v) {
            const Vector2<float> world = m_world.transform_point({vertex.x, vertex.y});
            vertex.x = world.x;
            vertex.y = world.y;
            deform(vertex);
        }
    }
    m_prepared = false;
    m_children.walk([this](const SharedPtr<Sprite>& child) { apply_parent_copies(*child); });
}

void Sprite::deform(QuadVertex& vertex)
{
    if (auto* own = dynamic_cast<SpriteDeformer*>(m_deformer.get()))
        own->deform(vertex);
    for (Sprite* current = this; current->m_inherit & inherit_parent_deformers;) {
        Sprite* above = current->parent_sprite();
        if (!above)
            break;
        if (auto* inherited = dynamic_cast<SpriteDeformer*>(above->m_deformer.get()))
            inherited->deform(vertex);
        current = above;
    }
}

void Sprite::apply_parent_copies(Sprite& child)
{
    if (child.m_inherit & IF_RECT) {
        child.set_pivot(m_pivot);
        child.set_size(m_size);
    }
    if (child.m_inherit & IF_STATE)
        pass_state_to(child);
    if (child.m_inherit & IF_COLOR)
        child.set_color(m_color);
}

void Sprite::draw(Artist& artist)
{
    artist.set_render_state(m_render_state);
}

void Sprite::render(Artist& artist)
{
    if (!own_bits_match() || m_hidden != 0)
        return;
    ensure_prepared();
    draw(artist);
    const bool global_color = (m_inherit & IF_GLOBALCOLOR) != 0;
    if (global_color)
        artist.multiply_global_color(m_color);
    m_children.walk([&artist](const SharedPtr<Sprite>& child) { child->render(artist); });
    if (global_color)
        artist.pop_global_color();
    after_children(artist);
}

bool Sprite::hit_test(const Vector2<float>& point)
{
    switch (m_shape) {
    case SpriteShape::parent: {
        Sprite* above = parent_sprite();
        return above && above->hit_test(point);
    }
    case SpriteShape::rectangle:
    case SpriteShape::ellipse:
        break;
    default:
        return false;
    }
    ensure_prepared();
    Transform inverse;
    m_world.inverse(inverse);
    const Vector2<float> local = inverse.transform_point(point);
    Rect rect = local_rect();
    if (rect.w < 0.0f) {
        rect.x += rect.w;
        rect.w = -rect.w;
    }
    if (rect.h < 0.0f) {
        rect.y += rect.h;
        rect.h = -rect.h;
    }
    if (!(local.x >= rect.x && local.y >= rect.y && local.x < rect.x + rect.w && local.y < rect.y + rect.h))
        return false;
    if (m_shape == SpriteShape::rectangle)
        return true;
    const float dx = (local.x - (rect.x + rect.w * 0.5f)) / rect.w;
    const float dy = (local.y - (rect.y + rect.h * 0.5f)) / rect.h;
    return dx * dx + dy * dy <= 0.25f;
}

bool Sprite::contains_ancestor(const Sprite* candidate) const
{
    for (const SpriteBase* object = this; object; object = object->parent())
        if (object == candidate)
            return true;
    return false;
}

void Sprite::add_child(const SharedPtr<Sprite>& child, Sprite* before)
{
    if (!child) {
        log_error("Can't add null sprite", source_file_name(__FILE__), __LINE__);
        return;
    }
    // A child here already, this sprite or one above it would break the tree.
    if (m_children.contains(child.get()) || contains_ancestor(child.get()))
        return;
    const SharedPtr<Sprite> held = child;
    if (SpriteBase* old_parent = child->parent()) {
        if (Sprite* old_sprite = old_parent->sprite(); old_sprite == old_parent)
            old_sprite->remove_child(child.get());
        else
            child->detach();
    }
    child->set_parent(this);
    if (before && m_children.contains(before))
        m_children.insert_before(child, [before](Sprite* entry) { return entry == before; });
    else if (!before && child->m_group != -1)
        m_children.insert_before(child, [group = child->m_group](Sprite* entry) { return entry->m_group == group; });
    else
        m_children.push_back(child);
    apply_parent_copies(*child);
}

void Sprite::remove_child(Sprite* child)
{
    if (!child)
        return;
    child->detach();
    m_children.erase(child);
}

void Sprite::clear_children()
{
    m_children.walk([this](const SharedPtr<Sprite>& child) {
        if (child->parent() == this)
            child->detach_silently();
    });
    m_children.clear();
}

void Sprite::clear()
{
    clear_children();
    controllers().walk([this](const SharedPtr<SpriteBase>& controller) {
        if (controller->parent() == this)
            controller->detach_silently();
    });
    controllers().clear();
    if (m_deformer && m_deformer->parent() == this)
        m_deformer->detach_silently();
    m_deformer.reset();
    invalidate();
}

Sprite* Sprite::find(StrCache name, bool active_only)
{
    if (m_name == name && (!active_only || own_bits_match()))
        return this;
    Sprite* found = nullptr;
    m_children.walk([&](const SharedPtr<Sprite>& child) {
        if (!found)
            found = child->find(name, active_only);
    });
    return found;
}

Sprite* Sprite::find_near(StrCache name)
{
    if (Sprite* found = find(name, true))
        return found;
    const auto matches = [name](const Sprite& sprite) { return sprite.m_name == name && sprite.own_bits_match(); };
    for (Sprite* ancestor = parent_sprite(); ancestor; ancestor = ancestor->parent_sprite()) {
        if (matches(*ancestor))
            return ancestor;
        Sprite* found = nullptr;
        ancestor->m_children.walk([&](const SharedPtr<Sprite>& child) {
            if (!found && matches(*child))
                found = child.get();
        });
        if (found)
            return found;
    }
    return nullptr;
}

void Sprite::for_each_child(const std::function<void(Sprite*)>& visit, bool recursive)
{
    if (!visit)
        throw std::bad_function_call();
    m_children.walk([&](const SharedPtr<Sprite>& child) {
        visit(child.get());
        if (recursive)
            child->for_each_child(visit, true);
    });
}

void Sprite::set_position(Vector2<float> position)
{
    if (position == m_position)
        return;
    m_position = position;
    invalidate();
}

void Sprite::set_pivot(Vector2<float> pivot)
{
    if (pivot == m_pivot)
        return;
    m_pivot = pivot;
    invalidate();
}

void Sprite::set_size(Vector2<float> size)
{
    if (size == m_size)
        return;
    m_size = size;
    invalidate();
}

void Sprite::set_rotation(float rotation)
{
    if (rotation == m_rotation)
        return;
    m_rotation = rotation;
    invalidate();
}

void Sprite::set_color(const Color& color)
{
    if (color == m_color)
        return;
    m_color = color;
    invalidate();
}

void Sprite::set_alpha(float alpha)
{
    set_color(Color{m_color.r, m_color.g, m_color.b, alpha});
}

void Sprite::set_rgb(const Color3& rgb)
{
    set_color(Color{rgb.r, rgb.g, rgb.b, m_color.a});
}

void Sprite::set_render_state(std::uint32_t render_state)
{
    if (render_state == m_render_state)
        return;
    m_render_state = render_state;
    invalidate();
}

void Sprite::set_scale(Vector2<float> scale)
{
    if (scale == m_scale)
        return;
    m_scale = {floor_scale(scale.x), floor_scale(scale.y)};
    invalidate();
}

void Sprite::normalize_angle(float& angle)
{
    angle = std::fmod(angle, two_pi);
    if (angle < -pi)
        angle += two_pi;
    else if (angle > pi)
        angle -= two_pi;
}

void Sprite::rotate_by(float angle)
{
    if (angle == 0.0f)
        return;
    float rotation = m_rotation + angle;
    normalize_angle(rotation);
    set_rotation(rotation);
}

void Sprite::center_pivot()
{
    set_pivot(m_size * 0.5f);
}

void Sprite::set_local_rect(const Rect& rect)
{
    set_pivot({-rect.x, -rect.y});
    set_size(Vector2<float>{rect.w, rect.h});
}

void Sprite::set_rect(const RectI& rect)
{
    set_position(Vector2<float>{m_pivot.x + float(rect.x), m_pivot.y + float(rect.y)});
    set_size(Vector2<float>{float(rect.w), float(rect.h)});
    set_rotation(0.0f);
    set_scale(Vector2<float>{1.0f, 1.0f});
}

RectI Sprite::local_rect_int() const
{
    return {int(-m_pivot.x), int(-m_pivot.y), int(m_size.x), int(m_size.y)};
}

RectI Sprite::parent_rect_int() const
{
    RectI rect = local_rect_int();
    rect.x += int(m_position.x);
    rect.y += int(m_position.y);
    return rect;
}

const Transform& Sprite::world_transform()
{
    ensure_prepared();
    return m_world;
}

Vector2<float> Sprite::world_position()
{
    ensure_prepared();
    return {m_world.m[6], m_world.m[7]};
}

const Sprite::Quads& Sprite::world_quads()
{
    ensure_prepared();
    return m_quads;
}

void Sprite::set_inherit(std::uint32_t mask, std::uint32_t value)
{
    m_inherit = (m_inherit & ~mask) | value;
    invalidate();
}

bool Sprite::is_shown(bool walk_up) const
{
    if (m_hidden != 0)
        return false;
    if (!walk_up)
        return true;
    for (const Sprite* above = parent_sprite(); above; above = above->parent_sprite())
        if (above->m_hidden != 0)
            return false;
    return true;
}

void Sprite::refresh_visibility()
{
    const bool visible = is_shown(true);
    if (visible == m_visible)
        return;
    m_visible = visible;
    on_visible_changed(visible);
}

void Sprite::set_hidden(bool hidden)
{
    if (is_closed())
        return;
    m_hidden = hidden ? 1 : 0;
    refresh_visibility();
}

void Sprite::close()
{
    if (is_closed())
        return;
    m_hidden = 2;
    on_close();
    refresh_visibility();
}

void Sprite::set_deformer(const SharedPtr<SpriteBase>& deformer)
{
    if (deformer == m_deformer)
        return;
    if (m_deformer && m_deformer->parent() == this)
        m_deformer->detach();
    m_deformer = deformer;
    if (m_deformer)
        m_deformer->set_parent(this);
    invalidate();
}

void Sprite::set_data_provider(DataProvider provider)
{
    m_data_provider = std::move(provider);
    on_data_changed();
}

bool Sprite::query_data(const std::string& key, std::string& value)
{
    for (Sprite* current = this; current;) {
        if (current->m_data_provider && current->m_data_provider(key, value))
            return true;
        current = (current->m_inherit & IF_DATA) ? current->parent_sprite() : nullptr;
    }
    return false;
}

void Sprite::invalidate()
{
    if (!m_prepared)
        return;
    m_prepared = false;
    m_children.walk([](const SharedPtr<Sprite>& child) { child->invalidate(); });
}

void Sprite::merge_from(Sprite& target, Sprite& source)
{
    // What moves takes a copy of source's timer when it has none, and source's transient flag.
    const auto prepare_move = [&source](SpriteBase& moved) {
        moved.detach();
        if (!moved.timer() && source.timer())
            moved.set_timer(new SpriteTimer(*source.timer()));
        moved.set_transient(source.is_transient());
    };
    source.m_children.walk([&](const SharedPtr<Sprite>& child) {
        source.m_children.erase(child.get());
        prepare_move(*child);
        target.add_child(child, nullptr);
    });
    source.controllers().walk([&](const SharedPtr<SpriteBase>& controller) {
        source.controllers().erase(controller.get());
        prepare_move(*controller);
        target.add_controller(controller);
    });
    if (source.m_deformer) {
        const SharedPtr<SpriteBase> deformer = source.m_deformer;
        source.m_deformer.reset();
        source.invalidate();
        prepare_move(*deformer);
        target.set_deformer(deformer);
    }
}

}
