#include "engine/art/sprite_base.h"

#include <algorithm>
#include <vector>

#include "engine/base/bstream.h"
#include "engine/base/clone.h"
#include "engine/base/exception.h"
#include "engine/base/log.h"
#include "engine/res/skin_environment.h"
#include "engine/res/skin_path.h"
#include "engine/res/skin_readers.h"

namespace kq {

namespace {

constexpr std::uint8_t base_version = 2;

// The members whose binary form is being read, outermost first. A stored parent must be one
// of them: any other object would be a parent that does not hold the member.
std::vector<const SpriteBase*>& objects_being_read()
{
    static std::vector<const SpriteBase*> objects;
    return objects;
}

// Reads a parent reference. In a sound stream the parent is always an object being read
// around this one, so its id is known; any other id is refused before anything is created,
// so that damaged input cannot leave an object that nobody owns.
SpriteBase* read_parent_ref(BStream& stream, const SpriteBase* self)
{
    const std::uint32_t id = read_u32(stream);
    if (id == null_ref)
        return nullptr;
    const SpriteBase* parent = nullptr;
    for (const SpriteBase* object : objects_being_read()) {
        if (object != self && stream.find_id(dynamic_cast<const void*>(object)) == static_cast<std::int32_t>(id))
            parent = object;
    }
    if (!parent)
        stream.error("invalid parent reference.");
    return const_cast<SpriteBase*>(parent);
}

}

SpriteBase::ReadingScope::ReadingScope(const SpriteBase* object)
{
    objects_being_read().push_back(object);
}

SpriteBase::ReadingScope::~ReadingScope()
{
    objects_being_read().pop_back();
}

SpriteBase::SpriteBase() = default;

SpriteBase::SpriteBase(const SpriteBase& other)
    : SharedObject(other),
      SkinIO(other),
      PropertyOwner(other),
      m_state_mask(other.m_state_mask),
      m_state_value(other.m_state_value),
      m_extra(other.m_extra),
      m_state(other.m_state),
      m_transient(other.m_transient)
{
    if (other.m_timer) {
        m_timer = new SpriteTimer(*other.m_timer);
        m_timer->set_owner(this);
        m_timer->reset();
    }
    stop();
    if (m_timer)
        m_timer->reset();
    rewind(false);
    // Walking takes the list's walk count, which is not part of the source's value.
    const_cast<SpriteList<SpriteBase>&>(other.m_controllers).walk([this](const SharedPtr<SpriteBase>& controller) {
        SharedPtr<SpriteBase> copy(rtti::clone(controller.get()));
        if (!copy)
            return;
        adopt_copy(*copy);
        m_controllers.push_back(copy);
    });
}

SpriteBase::~SpriteBase()
{
    // Members may outlive the list when held elsewhere; they must not point back here.
    m_controllers.walk([this](const SharedPtr<SpriteBase>& controller) {
        if (controller->m_parent == this)
            controller->detach_silently();
    });
    m_controllers.clear();
    if (m_timer && m_timer->owner() == this)
        m_timer->set_owner(nullptr);
    m_timer.reset();
}

Sprite* SpriteBase::root_sprite()
{
    return m_parent ? m_parent->root_sprite() : nullptr;
}

Sprite* SpriteBase::owner_sprite()
{
    return m_parent ? m_parent->sprite() : nullptr;
}

Sprite* SpriteBase::sprite()
{
    return m_parent ? m_parent->sprite() : nullptr;
}

SpriteLogic* SpriteBase::logic()
{
    return m_parent ? m_parent->logic() : nullptr;
}

bool SpriteBase::is_finished()
{
    if (m_timer && m_timer->cyclic() == SpriteTimer::Cyclic::none && !timer_ran_out())
        return false;
    bool finished = true;
    m_controllers.walk([&finished](const SharedPtr<SpriteBase>& controller) {
        if (finished && !controller->is_finished())
            finished = false;
    });
    return finished;
}

void SpriteBase::for_each(const std::function<void(SpriteBase*)>& visit, std::uint32_t flags)
{
    if (!visit)
        throw std::bad_function_call();
    if (flags & walk_self)
        visit(this);
    if (!(flags & (walk_members | walk_subtree)))
        return;
    const std::uint32_t below = member_flags(flags);
    m_controllers.walk([&](const SharedPtr<SpriteBase>& controller) { controller->for_each(visit, below); });
}

std::uint32_t SpriteBase::member_flags(std::uint32_t flags)
{
    std::uint32_t result = flags & ~std::uint32_t(7);
    if (flags & walk_members)
        result |= walk_self;
    if (flags & walk_subtree)
        result |= walk_members | walk_subtree;
    return result;
}

void SpriteBase::reset()
{
    m_controllers.walk([this](const SharedPtr<SpriteBase>& controller) {
        if (controller->m_transient) {
            controller->detach();
            m_controllers.erase(controller.get());
        } else {
            controller->reset();
        }
    });
    stop();
    if (m_timer)
        m_timer->reset();
    rewind(false);
}

void SpriteBase::update(const TimeStamp& stamp)
{
    m_controllers.walk([this, &stamp](const SharedPtr<SpriteBase>& controller) {
        controller->tick(stamp);
        if (controller->m_transient && controller->timer_ran_out()) {
            controller->detach();
            m_controllers.erase(controller.get());
        }
    });
}

void SpriteBase::on_state_changed()
{
    refresh_active();
    m_controllers.walk([this](const SharedPtr<SpriteBase>& controller) { pass_state_to(*controller); });
}

void SpriteBase::on_active_changed(bool active)
{
    stop();
    if (active) {
        if (m_timer)
            m_timer->reset();
        rewind(false);
        start();
    }
    m_controllers.walk([](const SharedPtr<SpriteBase>& controller) { refresh_member_activity(*controller); });
}

void SpriteBase::start()
{
    m_started = true;
    m_active = is_active_chain(true);
}

void SpriteBase::on_parent_changed()
{
    stop();
    if (m_timer)
        m_timer->reset();
    rewind(true);
}

void SpriteBase::rewind(bool)
{
    m_controllers.walk([this](const SharedPtr<SpriteBase>& controller) {
        if (controller->m_transient) {
            controller->detach();
            m_controllers.erase(controller.get());
            return;
        }
        controller->stop();
        if (controller->m_timer)
            controller->m_timer->reset();
        controller->rewind(true);
    });
}

void SpriteBase::visit_handles(const std::function<void(ResHandleBase&)>& visit)
{
    m_controllers.walk([&visit](const SharedPtr<SpriteBase>& controller) {
        if (!controller->m_transient)
            controller->visit_handles(visit);
    });
}

void SpriteBase::set_parent(SpriteBase* parent)
{
    if (parent == m_parent)
        return;
    m_parent = parent;
    on_parent_changed();
}

void SpriteBase::set_state(std::uint32_t state)
{
    if (state == m_state)
        return;
    m_state = state;
    on_state_changed();
}

void SpriteBase::set_flags(std::uint32_t mask, std::uint32_t value)
{
    set_state((m_state & ~mask) | (value & mask));
}

bool SpriteBase::is_active_chain(bool walk_up) const
{
    for (const SpriteBase* object = this; object; object = walk_up ? object->m_parent : nullptr)
        if (!object->own_bits_match())
            return false;
    return true;
}

void SpriteBase::refresh_active()
{
    const bool active = is_active_chain(true);
    if (active == m_active)
        return;
    m_active = active;
    on_active_changed(active);
}

void SpriteBase::stop()
{
    if (!m_started)
        return;
    on_stop();
    m_started = false;
}

void SpriteBase::detach()
{
    stop();
    m_parent = nullptr;
}

void SpriteBase::set_timer(SpriteTimer* timer)
{
    if (timer == m_timer.get())
        return;
    if (m_timer && m_timer->owner()) {
        m_timer->set_owner(nullptr);
        m_timer->reset();
    }
    m_timer = timer;
    if (timer && timer->owner() != this) {
        timer->set_owner(this);
        timer->reset();
    }
    stop();
    if (timer)
        timer->reset();
    rewind(true);
}

SpriteTimer* SpriteBase::find_timer()
{
    for (SpriteBase* object = this; object; object = object->m_parent)
        if (object->m_timer)
            return object->m_timer.get();
    return nullptr;
}

void SpriteBase::tick(const TimeStamp& stamp)
{
    if (!own_bits_match())
        return;
    if (m_timer && static_cast<std::uint32_t>(m_timer->parameter()) == stamp.clock) {
        if (m_timer->is_started() && m_timer->current_time() == stamp.time)
            return;
        m_timer->advance(stamp.time);
    }
    if (!m_started)
        start();
    update(stamp);
}

void SpriteBase::add_controller(const SharedPtr<SpriteBase>& controller)
{
    if (!controller) {
        log_error("Can't add NULL controller", source_file_name(__FILE__), __LINE__);
        return;
    }
    if (m_controllers.contains(controller.get()))
        return;
    controller->set_parent(this);
    pass_state_to(*controller);
    m_controllers.push_back(controller);
}

void SpriteBase::remove_controller(SpriteBase* controller)
{
    if (!controller)
        return;
    controller->detach();
    m_controllers.erase(controller);
}

const SpriteLogic::StateField* SpriteBase::find_state_field(StrCache name)
{
    const SpriteLogic* nearest = logic();
    if (!nearest)
        return nullptr;
    const int index = nearest->find_state_field(name);
    return index < 0 ? nullptr : &nearest->state_fields()[static_cast<std::size_t>(index)];
}

void SpriteBase::set_state_field(StrCache name, std::uint32_t value)
{
    const SpriteLogic::StateField* field = find_state_field(name);
    if (!field)
        return;
    // Widths and shifts come from files: bits outside the word are dropped, not shifted in UB.
    const std::uint64_t bits = field->width >= 32 ? 0xFFFFFFFFull : (std::uint64_t(1) << std::max(field->width, 0)) - 1;
    const std::uint64_t mask = field->shift < 0 || field->shift >= 32 ? 0 : (bits << field->shift) & 0xFFFFFFFFull;
    const std::uint64_t placed = field->shift < 0 || field->shift >= 32 ? 0 : std::uint64_t(value) << field->shift;
    set_state((m_state & ~static_cast<std::uint32_t>(mask)) | static_cast<std::uint32_t>(placed & mask));
}

bool SpriteBase::timer_ran_out() const
{
    return m_timer && m_timer->is_started() && m_timer->elapsed() > m_timer->duration();
}

void SpriteBase::pass_state_to(SpriteBase& member) const
{
    if (member.m_state == m_state)
        return;
    member.m_state = m_state;
    member.on_state_changed();
}

void SpriteBase::refresh_member_activity(SpriteBase& member)
{
    member.refresh_active();
}

void SpriteBase::store(BStream& stream) const
{
    SpriteBase& self = const_cast<SpriteBase&>(*this);
    write_u8(stream, base_version);
    SharedObject::store(stream);
    stream.write_object_ref(m_timer.get());
    write_u32(stream, m_state_mask);
    write_u32(stream, m_state_value);
    stream.write_object_ref(m_parent);
    write_u32(stream, m_extra);
    write_u32(stream, static_cast<std::uint32_t>(m_controllers.size()));
    self.m_controllers.walk([&stream](const SharedPtr<SpriteBase>& controller) { stream.write_shared(controller); });
}

void SpriteBase::load(BStream& stream)
{
    ReadingScope reading(this);
    const std::uint8_t version = read_u8(stream);
    if (version > base_version)
        stream.error("unsupported version.");
    SharedObject::load(stream);
    SpriteTimer* timer = stream.read_object_ref<SpriteTimer>();
    if (m_timer && m_timer->owner() == this)
        m_timer->set_owner(nullptr);
    m_timer = timer;
    if (m_timer) {
        m_timer->set_owner(this);
        m_timer->reset();
    }
    m_state_mask = read_u32(stream);
    m_state_value = read_u32(stream);
    m_parent = read_parent_ref(stream, this);
    if (version >= 1)
        m_extra = read_u32(stream);
    if (version >= 2) {
        std::vector<SharedPtr<SpriteBase>> controllers;
        read_binary(stream, controllers);
        m_controllers.clear();
        for (const SharedPtr<SpriteBase>& controller : controllers) {
            if (!controller || controller->m_parent != this || m_controllers.contains(controller.get()))
                stream.error("invalid controller reference.");
            m_controllers.push_back(controller);
        }
    }
}

void SpriteBase::read_skin(const SkinPath& path)
{
    const SkinPath timer_path = path + "timer";
    if (require_skin_environment().try_find_node(timer_path, false)) {
        SpriteTimerPtr timer(new SpriteTimer);
        if (m_timer && m_timer->owner() == this)
            m_timer->set_owner(nullptr);
        m_timer = timer;
        timer->set_owner(this);
        timer->reset();
        timer->read_skin(timer_path);
    }
    int mask = 0;
    int value = 0;
    read_skin_value(path + "state_mask", &mask);
    read_skin_value(path + "state_value", &value);
    m_state_mask = static_cast<std::uint32_t>(mask);
    m_state_value = static_cast<std::uint32_t>(value);
}

}
