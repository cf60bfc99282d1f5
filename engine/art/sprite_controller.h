#pragma once

#include "engine/art/sprite_base.h"
#include "engine/base/type_name.h"

namespace kq {

/// A tree member that changes one property of the sprite it belongs to as time passes. It
/// takes its time from its own timer, else from the nearest timer above it. A momentary
/// controller acts only when it starts; a fleeting one takes its effect back when it stops.
class SpriteController : public SpriteBase
{
public:
    SpriteController() = default;
    SpriteController(const SpriteController&) = default;

    /// Writes version 2: the base form, then the momentary and fleeting flags.
    void store(BStream& stream) const override;
    /// Reads versions 0 to 2; a version lacking a flag leaves it as it is.
    void load(BStream& stream) override;
    /// Reads the base keys, then "momentary" and "fleeting" (both required).
    void read_skin(const SkinPath& path) override;

    /// True when transient or switched off by its own state bits; else the base answer.
    bool is_finished() override;
    /// The base update, then `apply` unless momentary.
    void update(const TimeStamp& stamp) override;
    /// Marks the controller started, computes its activity, then applies (also when momentary).
    void start() override;
    /// Takes the effect back when fleeting.
    void on_stop() override;

    /// Pushes the controller's effect onto the sprite; nothing here.
    virtual void apply() {}
    /// Takes the effect back; nothing here.
    virtual void revert() {}

    bool is_momentary() const { return m_momentary; }
    void set_momentary(bool momentary) { m_momentary = momentary; }
    bool is_fleeting() const { return m_fleeting; }
    void set_fleeting(bool fleeting) { m_fleeting = fleeting; }

private:
    bool m_momentary = false;
    bool m_fleeting = false;
};

}

KQ_TYPE_NAME(kq::SpriteController, "class kq::SpriteController");
