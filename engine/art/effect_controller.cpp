#include "engine/art/effect_controller.h"

#include <typeinfo>
#include <vector>

#include "engine/art/event_controller.h"
#include "engine/art/skin_enum.h"
#include "engine/art/spline_value.h"
#include "engine/base/bstream.h"
#include "engine/base/class_base.h"
#include "engine/base/clone.h"
#include "engine/base/exception.h"
#include "engine/base/log.h"
#include "engine/base/type_registry.h"
#include "engine/res/skin_path.h"
#include "engine/res/skin_readers.h"

namespace kq {

namespace {

constexpr std::uint8_t effect_controller_version = 1;

// Whether the sprite's registered class is the effect's or derives from it.
bool is_kind_of(const Sprite& sprite, const Sprite& effect)
{
    const rtti::ClassBase* sprite_class = rtti::TypeRegistry::find_class_of(typeid(sprite));
    const rtti::ClassBase* effect_class = rtti::TypeRegistry::find_class_of(typeid(effect));
    return sprite_class && effect_class && sprite_class->is_type(effect_class->name());
}

// A deep copy of the sprite without its parent.
SharedPtr<Sprite> parentless_clone(Sprite& sprite)
{
    rtti::ClonePass pass;
    rtti::clone_map_reset(sprite.parent());
    return SharedPtr<Sprite>(rtti::clone(&sprite));
}

template <class Controller>
void remove_all(Sprite& sprite)
{
    while (Controller* controller = sprite.find_child<Controller>())
        sprite.remove_controller(controller);
}

}

EffectController::EffectController(const EffectController& other)
    : KeyController(other),
      m_effect(other.m_effect),
      m_effect_time(other.m_effect_time),
      m_manner(other.m_manner),
      m_recursive(other.m_recursive)
{
}

void EffectController::store(BStream& stream) const
{
    write_u8(stream, effect_controller_version);
    KeyController::store(stream);
    m_effect.store(stream);
    spline_value::write_float(stream, m_effect_time);
    write_u32(stream, static_cast<std::uint32_t>(m_manner));
    write_u8(stream, m_recursive ? 1 : 0);
}

void EffectController::load(BStream& stream)
{
    const std::uint8_t version = read_u8(stream);
    if (version > effect_controller_version)
        stream.error("unsupported version.");
    KeyController::load(stream);
    m_effect.load(stream);
    m_effect_time = spline_value::read_float(stream);
    m_manner = static_cast<ApplyManner>(read_u32(stream));
    if (version >= 1)
        m_recursive = read_u8(stream) != 0;
}

void EffectController::read_skin(const SkinPath& path)
{
    KeyController::read_skin(path);
    read_skin_value(path + "effect_time", &m_effect_time);
    m_effect.read_name_from_skin(path + "effect");
    read_skin_enum(path + "manner", &m_manner);
}

void EffectController::visit_handles(const std::function<void(ResHandleBase&)>& visit)
{
    KeyController::visit_handles(visit);
    visit(m_effect);
}

void EffectController::start()
{
    m_passage.reset();
    SpriteController::start();
}

void EffectController::apply()
{
    SpriteTimer* timer = find_timer();
    if (!timer)
        return;
    Sprite* effect = nullptr;
    try {
        effect = m_effect.get();
    } catch (const Exception&) {
        // The resource manager has reported it; without an effect nothing happens.
    }
    Sprite* target = sprite();
    if (!effect || !target)
        return;
    if (m_passage.is_unseen() && timer->random_start())
        m_passage.set_last(timer->coefficient());
    const float t = timer->coefficient();
    const KeyPassage::Step step = m_passage.classify(t);
    const bool passed = m_passage.passes(step, m_effect_time, t);
    m_passage.finish(step, t);
    if (passed)
        apply_effect(*target, *effect);
}

void EffectController::apply_effect(Sprite& target, Sprite& effect)
{
    // The children present before this application: those it creates are never visited,
    // so a recursive effect cannot feed on its own results.
    std::vector<SharedPtr<Sprite>> children;
    if (m_recursive)
        target.children().walk([&children](const SharedPtr<Sprite>& child) { children.push_back(child); });

    const SharedPtr<Sprite> copy = parentless_clone(effect);
    copy->set_transient(true);
    switch (m_manner) {
    case ApplyManner::child:
        target.add_child(copy);
        break;
    case ApplyManner::merge:
        if (is_kind_of(target, *copy))
            Sprite::merge_from(target, *copy);
        break;
    case ApplyManner::copy:
    case ApplyManner::bare_copy:
        if (is_kind_of(target, *copy))
            apply_copy(target, *copy);
        break;
    default:
        log_error("Unimplemented code reached.", "effectcontroller", 161);
        break;
    }

    for (const SharedPtr<Sprite>& child : children)
        if (child->parent() == &target)
            apply_effect(*child, effect);
}

void EffectController::apply_copy(Sprite& target, Sprite& effect_copy)
{
    const SharedPtr<Sprite> twin = parentless_clone(target);
    twin->set_transient(true);
    if (m_manner == ApplyManner::bare_copy)
        twin->clear();
    remove_all<EffectController>(*twin);
    remove_all<EventController>(*twin);
    if (SpriteTimer* timer = effect_copy.timer()) {
        const SpriteTimerPtr kept(timer);
        twin->set_timer(timer);
        effect_copy.set_timer(nullptr);
    }
    effect_copy.set_transient(false);
    Sprite::merge_from(*twin, effect_copy);
    if (Sprite* parent = target.parent_sprite())
        parent->add_child(twin, parent->next_child(&target));
    else
        target.add_child(twin);
}

void EffectController::set_key(float time, const KeyArray&)
{
    m_effect_time = time;
}

void EffectController::move_key(float, float to)
{
    m_effect_time = to;
}

void EffectController::key_times(std::set<float>& out) const
{
    out.insert(m_effect_time);
}

void EffectController::keys(std::map<float, KeyArray>& out) const
{
    VectorD<float> zero;
    zero.resize(1);
    out[m_effect_time] = KeyArray::floats(zero);
}

}
