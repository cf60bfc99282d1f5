#include "game/field/objects/roller.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "engine/art/spline_cubic.h"
#include "engine/art/spline_linear.h"
#include "engine/base/exception.h"
#include "engine/base/log.h"
#include "engine/base/math_utils.h"
#include "engine/base/string_stream.h"
#include "engine/res/skin.h"
#include "engine/res/skin_environment.h"
#include "engine/res/skin_prototypes.h"
#include "engine/res/skin_readers.h"
#include "game/field/field.h"
#include "game/field/field_forms.h"
#include "game/field/objects/roller_head.h"
#include "game/field/objects/vimu.h"
#include "game/field/physics/physics_body.h"

namespace kq {

namespace {


// A new spline of the shape's name; null for a name that is no shape.
Roller::Path* new_path(const std::string& shape)
{
    if (shape == "linear")
        return new LinearSpline<float, Vector2<float>>;
    if (shape == "cubic")
        return new CubicSpline<float, Vector2<float>>;
    return nullptr;
}

}

void Roller::read_skin(const SkinPath& path)
{
    Item::read_skin(path);
    const SkinPath& node = skin_path();
    std::string shape;
    read_skin_value(node + "points_shape", &shape);
    Path* spline = new_path(shape);
    if (!spline) {
        log_error("Invalid path shape", __FILE__, __LINE__);
        return;
    }
    m_path = SharedPtr<Path>(spline);
    m_path_length = 0.0f;
    std::vector<Vector2<float>> points;
    read_points(node + "points", &points);
    // A closed path needs a way round: one point would make it a point of length 0.
    if (points.size() < 2)
        KQ_THROW(Exception, "A roller's path needs two points or more [" + (node + "points").text() + "]");
    for (const Vector2<float>& point : points)
        add_path_point(point);
    add_path_point(points.front());

    read_skin_value(node + "members_step", &m_members_step);
    read_skin_value(node + "members_speed", &m_members_speed);
    read_skin_value(node + "members_rot_speed", &m_members_rot_speed);
    m_coupling_right.read_skin(node + "coupling_right");
    m_coupling_left.read_skin(node + "coupling_left");
    m_coupling_centre.read_skin(node + "coupling_centre");

    const SkinPath head = node + "head";
    if (require_skin_environment().try_find_node(head, true)) {
        m_head = SharedPtr<Item>(create_from_skin<Item>(head));
        if (m_head)
            add_member(m_head.get());
    }
    std::vector<StrCache> names;
    StringStream stream(get_skin_text(node + "members"));
    read_name_list(stream, names);
    for (const StrCache& name : names) {
        const SkinPath member = SkinPath("items") + name.c_str();
        Item* item = create_from_skin<Item>(member);
        if (item)
            add_member(item);
        else
            log_error(("No item is described at [" + member.text() + "]").c_str(), __FILE__, __LINE__);
    }
}

void Roller::add_path_point(const Vector2<float>& point)
{
    if (!m_path->empty())
        m_path_length += Vector2<float>::distance(point, m_path->value(m_path_length));
    m_path->set_key(m_path_length, point);
}

void Roller::add_member(Item* item)
{
    const float offset = m_members.empty() ? 0.0f : m_members.back().offset + m_members_step;
    m_members.push_back({SharedPtr<Item>(item), offset});
}

Vector2<float> Roller::point_at(float distance) const
{
    if (!(m_path_length > 0.0f))
        return m_path->value(0.0f);
    float s = std::fmod(distance, m_path_length);
    if (s < 0.0f)
        s += m_path_length;
    return m_path->value(s);
}

void Roller::build_body(const ItemPlacement& placement)
{
    Item::build_body(placement);
    if (!m_body)
        return;
    m_field->on_piece_dying().connect([this](Item* piece) { on_piece_removed(piece); }, this);
    if (!m_path || m_path->empty())
        return;
    for (const RollerMember& member : m_members) {
        m_field->add_item(member.item.get(), ItemPlacement{point_at(-member.offset), 0.0f});
        member.item->set_launchable(false);
        member.item->clear_magnetic();
    }
}

void Roller::destroy_body()
{
    if (m_field)
        m_field->on_piece_dying().disconnect(this);
    Item::destroy_body();
}

void Roller::update(int dt)
{
    Item::update(dt);
    if (dt <= 0)
        return;
    m_phase += float(dt) * m_members_speed * 0.001f;
    const float t = float(dt) * 0.001f;
    for (auto member = m_members.begin(); member != m_members.end();) {
        if (member->item->is_dead()) {
            member = m_members.erase(member);
            for (auto behind = member; behind != m_members.end(); ++behind)
                behind->offset -= m_members_step;
            continue;
        }
        if (member->item->body() && m_path && !m_path->empty())
            steer(*member->item, member->offset, t);
        ++member;
    }
    if (m_members.empty() || (m_head && m_members.size() == 1)) {
        if (m_head)
            RollerHead::explode(*m_head);
        remove();
    }
}

void Roller::steer(Item& member, float offset, float t) const
{
    const Vector2<float> d = point_at(m_phase - offset) - member.body_position();
    const float distance = d.length();
    const float speed = std::min(distance / t, 2.0f * m_members_speed);
    member.set_velocity(distance > 0.0f ? d * (speed / distance) : Vector2<float>{});
    const float turn = wrapped_angle(std::atan2(d.y, d.x) - member.body()->angle());
    member.set_angular_velocity(std::clamp(turn / t, -m_members_rot_speed, m_members_rot_speed));
}

void Roller::on_piece_removed(Item* piece)
{
    const auto entry = std::find_if(m_members.begin(), m_members.end(),
                                    [piece](const RollerMember& member) { return member.item.get() == piece; });
    if (entry == m_members.end())
        return;
    const auto catch_fire = [piece](const RollerMember& neighbour) {
        auto* other = dynamic_cast<Vimu*>(neighbour.item.get());
        if (other && piece->same_group(*other))
            other->ignite(piece);
    };
    if (entry != m_members.begin())
        catch_fire(*std::prev(entry));
    if (std::next(entry) != m_members.end())
        catch_fire(*std::next(entry));
}

void Roller::draw(int pass, Artist& artist)
{
    Item::draw(pass, artist);
    if (pass != 1 || m_members.size() < 2)
        return;
    for (auto front = m_members.begin(), rear = std::next(front); rear != m_members.end(); front = rear++) {
        const Item& a = *front->item;
        const Item& b = *rear->item;
        if (!a.is_dead() && !b.is_dead() && a.body() && b.body())
            draw_coupling(a, b, artist);
    }
}

void Roller::draw_coupling(const Item& front, const Item& rear, Artist& artist)
{
    const Vector2<float> pa = front.body_position();
    const Vector2<float> pb = rear.body_position();
    const float angle = std::atan2(pb.y - pa.y, pb.x - pa.x);
    const float distance = Vector2<float>::distance(pa, pb);
    const float left = m_coupling_left.size().x;
    const float right = m_coupling_right.size().x;

    m_coupling_centre.set_position(pa);
    m_coupling_centre.set_rotation(angle);
    m_coupling_centre.set_pivot(Vector2<float>{-left, m_coupling_centre.pivot().y});
    m_coupling_centre.set_size(Vector2<float>{distance - left - right, m_coupling_centre.size().y});
    m_coupling_centre.render(artist);

    m_coupling_left.set_position(pa);
    m_coupling_left.set_rotation(angle);
    m_coupling_left.render(artist);

    m_coupling_right.set_position(pb);
    m_coupling_right.set_rotation(angle);
    m_coupling_right.render(artist);
}

}
