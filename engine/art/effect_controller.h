#pragma once

#include <cstdint>

#include "engine/art/key_controller.h"
#include "engine/art/key_passage.h"
#include "engine/art/sprite.h"
#include "engine/base/type_name.h"
#include "engine/res/res_handle.h"

namespace kq {

/// Instantiates an effect sprite on its sprite when the timer's coefficient passes its one
/// key: as a new child, merged into the sprite, or as a transient copy of the sprite that
/// carries the effect. Copes with looping and ping-pong timers.
class EffectController : public KeyController
{
public:
    /// How the effect is applied.
    enum class ApplyManner : std::int32_t
    {
        child = 0,  ///< a transient copy of the effect becomes a child of the sprite
        merge = 1,  ///< the effect's children, controllers and deformer move into the sprite
        copy = 2,   ///< a transient copy of the sprite, without event and effect controllers,
                    ///< takes the effect and joins the sprite's parent
        bare_copy = 3,  ///< as copy, from a copy emptied of children, controllers and deformer
    };

    EffectController() = default;
    /// Copies the effect, key, manner and recursion; the copy has seen nothing.
    EffectController(const EffectController& other);

    /// Version 1: the key controller form, the effect handle, the f32 key time, the i32
    /// manner and the u8 recursion flag.
    void store(BStream& stream) const override;
    /// Reads versions 0 and 1 (version 0 has no recursion flag).
    void load(BStream& stream) override;
    /// The controller keys, then "effect_time", "effect" and "manner".
    void read_skin(const SkinPath& path) override;
    /// The base walk, then the effect handle.
    void visit_handles(const std::function<void(ResHandleBase&)>& visit) override;

    /// Forgets what was seen, then starts as a controller does (which applies).
    void start() override;
    /// Applies the effect when the coefficient passed the key since the last apply.
    void apply() override;

    /// The key moves to t; the value is ignored.
    void set_key(float time, const KeyArray& value) override;
    void erase_key(float) override {}
    void clear_keys() override {}
    void move_key(float from, float to) override;
    void key_times(std::set<float>& out) const override;
    void keys(std::map<float, KeyArray>& out) const override;
    int has_keys() const override { return 1; }
    void value_at(float, KeyArray&) const override {}
    float nearest_key_time(float) const override { return m_effect_time; }

    /// Applies the effect to the sprite (and, when recursive, to its children that were
    /// there before, and theirs).
    void apply_effect(Sprite& target, Sprite& effect);

    ResHandle<Sprite>& effect() { return m_effect; }
    float effect_time() const { return m_effect_time; }
    ApplyManner manner() const { return m_manner; }
    void set_manner(ApplyManner manner) { m_manner = manner; }
    bool is_recursive() const { return m_recursive; }
    void set_recursive(bool recursive) { m_recursive = recursive; }
    const KeyPassage& passage() const { return m_passage; }

private:
    void apply_copy(Sprite& target, Sprite& effect_copy);

    ResHandle<Sprite> m_effect;
    float m_effect_time = 0.0f;
    ApplyManner m_manner = ApplyManner::child;
    bool m_recursive = false;
    KeyPassage m_passage;
};

}

KQ_TYPE_NAME(kq::EffectController, "class kq::EffectController");
KQ_TYPE_NAME(kq::EffectController::ApplyManner, "enum kq::EffectController::ApplyManner");
