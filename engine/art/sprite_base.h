#pragma once

#include <cstdint>
#include <functional>

#include "engine/art/sprite_list.h"
#include "engine/art/sprite_logic.h"
#include "engine/art/sprite_timer.h"
#include "engine/art/time_stamp.h"
#include "engine/base/binary_io.h"
#include "engine/base/property_owner.h"
#include "engine/base/shared_object.h"
#include "engine/base/str_cache.h"
#include "engine/base/type_name.h"
#include "engine/res/skin_io.h"

namespace kq {

class ResHandleBase;
class Sprite;

/// The common base of every member of a sprite tree (sprites, controllers, deformers): the
/// link to the parent, an optional timer, an owned list of controllers and a state word whose
/// masked bits decide whether the member is active. It runs the life cycle every member
/// follows: start, update by time stamp, stop, rewind, reset, finish.
///
/// Controllers are owned by the list. A walk over the list holds the member it visits, so a
/// controller may remove itself (or another) from inside an update; removed members are
/// released when the walk ends. Main thread only.
class SpriteBase : public SharedObject, public SkinIO, public PropertyOwner
{
public:
    /// What `for_each` visits: the object itself, its direct members, its whole subtree.
    enum WalkFlags : std::uint32_t
    {
        walk_self = 1,
        walk_members = 2,
        walk_subtree = 4,
    };

    /// Unattached, no timer, no controllers, every word 0, every flag false.
    SpriteBase();
    /// A deep copy: a copy of the timer, the settings and clones of the controllers, not
    /// started. The copy's parent is the copy of the source's parent when that parent is
    /// being copied in the same clone; otherwise the copy is a root.
    SpriteBase(const SpriteBase& other);
    SpriteBase& operator=(const SpriteBase&) = delete;
    /// Releases the controllers and the timer (neither is stopped).
    ~SpriteBase() override;

    /// Writes version 2 of the base form.
    void store(BStream& stream) const override;
    /// Reads versions 0 to 2; a version lacking a field leaves it as it is.
    void load(BStream& stream) override;
    /// Reads the optional "timer" node and the required "state_mask" and "state_value".
    void read_skin(const SkinPath& path) override;

    /// The topmost sprite of the tree, or null.
    virtual Sprite* root_sprite();
    /// The nearest sprite at or above this object, or null.
    virtual Sprite* owner_sprite();
    /// The nearest sprite at or above this object, or null.
    virtual Sprite* sprite();
    /// Whether this object and its controllers have run their course; a looping timer never
    /// finishes by itself.
    virtual bool is_finished();
    /// The nearest logic at or above this object, or null.
    virtual SpriteLogic* logic();
    /// Calls `visit` as `flags` ask (`WalkFlags`); throws `std::bad_function_call` for an
    /// empty function.
    virtual void for_each(const std::function<void(SpriteBase*)>& visit, std::uint32_t flags);
    /// Drops transient controllers, resets the others, then stops and rewinds this object.
    virtual void reset();
    /// Ticks each controller, removing transient ones whose timer has run out.
    virtual void update(const TimeStamp& stamp);
    /// Recomputes activity and hands the state word to the controllers.
    virtual void on_state_changed();
    /// Restarts (active) or stops (inactive) this object, then the controllers whose
    /// activity changed.
    virtual void on_active_changed(bool active);
    /// Marks the object started and computes its activity.
    virtual void start();
    /// Called by `stop` while the object is still started; does nothing here.
    virtual void on_stop() {}
    /// Stops, resets the timer and rewinds.
    virtual void on_parent_changed();
    /// Drops transient controllers and stops, resets and rewinds the others.
    virtual void rewind(bool deep);
    /// Passes every resource handle of the tree below to `visit`.
    virtual void visit_handles(const std::function<void(ResHandleBase&)>& visit);

    /// Attaches this object to `parent` (not owned); on a change, `on_parent_changed`.
    void set_parent(SpriteBase* parent);
    /// Replaces the state word; on a change, `on_state_changed`.
    void set_state(std::uint32_t state);
    /// Replaces the bits of `mask` by those of `value`; on a change, `on_state_changed`.
    void set_flags(std::uint32_t mask, std::uint32_t value);
    /// Whether the masked state bits match (with `walk_up`, also those of every ancestor).
    bool is_active_chain(bool walk_up) const;
    /// Recomputes the active flag; on a change, `on_active_changed`.
    void refresh_active();
    /// Calls `on_stop` and clears started, when started.
    void stop();
    /// Stops and forgets the parent (without `on_parent_changed`).
    void detach();
    /// Forgets the parent without stopping: how a holder that goes away lets go of members
    /// that others may still hold.
    void detach_silently() { m_parent = nullptr; }
    /// Attaches the timer (null removes it): its owner becomes this object; then stops,
    /// resets the timer and rewinds.
    void set_timer(SpriteTimer* timer);
    /// This object's timer, else the nearest above; null at the root.
    SpriteTimer* find_timer();
    /// One member's step of an update pass: nothing while the own state bits do not match;
    /// advances the timer of the stamp's clock (skipping the whole step when it already
    /// stands at this time), starts the object when needed, then `update`.
    void tick(const TimeStamp& stamp);
    /// Attaches and appends a controller (null is logged, one already attached is ignored).
    void add_controller(const SharedPtr<SpriteBase>& controller);
    /// Stops and unlinks the controller and drops it from the list.
    void remove_controller(SpriteBase* controller);
    /// The named state field of the nearest logic, or null.
    const SpriteLogic::StateField* find_state_field(StrCache name);
    /// Sets the named state field of the state word; nothing when it is not found.
    void set_state_field(StrCache name, std::uint32_t value);
    /// The first controller that is a T, or null.
    template <class T>
    T* find_child()
    {
        T* found = nullptr;
        m_controllers.walk([&found](const SharedPtr<SpriteBase>& controller) {
            if (!found)
                found = dynamic_cast<T*>(controller.get());
        });
        return found;
    }

    SpriteBase* parent() const { return m_parent; }
    SpriteTimer* timer() const { return m_timer.get(); }
    SpriteList<SpriteBase>& controllers() { return m_controllers; }
    std::uint32_t state_mask() const { return m_state_mask; }
    void set_state_mask(std::uint32_t mask) { m_state_mask = mask; }
    std::uint32_t state_value() const { return m_state_value; }
    void set_state_value(std::uint32_t value) { m_state_value = value; }
    std::uint32_t extra() const { return m_extra; }
    void set_extra(std::uint32_t extra) { m_extra = extra; }
    std::uint32_t state() const { return m_state; }
    bool is_started() const { return m_started; }
    bool is_transient() const { return m_transient; }
    void set_transient(bool transient) { m_transient = transient; }
    bool is_active() const { return m_active; }

protected:
    /// Marks the object as being read from a binary stream for the scope's lifetime: only an
    /// object being read around a member may be that member's stored parent.
    class ReadingScope
    {
    public:
        explicit ReadingScope(const SpriteBase* object);
        ReadingScope(const ReadingScope&) = delete;
        ReadingScope& operator=(const ReadingScope&) = delete;
        ~ReadingScope();
    };

    /// The flags a `for_each` walk hands to the members below: the bits above 2 kept, bit 0
    /// for bit 1, bits 1 and 2 for bit 2.
    static std::uint32_t member_flags(std::uint32_t flags);
    /// Whether the own masked state bits match.
    bool own_bits_match() const { return (m_state & m_state_mask) == m_state_value; }
    /// Whether the timer has begun and run past its cycle (how a transient member ends).
    bool timer_ran_out() const;
    /// Hands this object's state word to `member` (with `on_state_changed` when it differs).
    void pass_state_to(SpriteBase& member) const;
    /// Recomputes `member`'s activity from the chain (with `on_active_changed` on a change).
    static void refresh_member_activity(SpriteBase& member);
    /// Links a member copied along with this object to this object.
    void adopt_copy(SpriteBase& member) { member.m_parent = this; }

private:
    SpriteBase* m_parent = nullptr;
    SpriteTimerPtr m_timer;
    SpriteList<SpriteBase> m_controllers;
    std::uint32_t m_state_mask = 0;
    std::uint32_t m_state_value = 0;
    std::uint32_t m_extra = 0;
    bool m_started = false;
    std::uint32_t m_state = 0;
    bool m_transient = false;
    bool m_active = false;
};

}

KQ_TYPE_NAME(kq::SpriteBase, "class kq::SpriteBase");
