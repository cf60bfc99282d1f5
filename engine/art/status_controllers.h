#pragma once

#include "engine/art/sprite_controller.h"
#include "engine/base/type_name.h"

namespace kq {

/// Fades the sprite's alpha through three keys: key 0 at coefficient 0, key 1 at 0.5 and
/// key 2 at 1, linearly between them (red, green and blue are kept).
class AlphaKey3Controller : public SpriteController
{
public:
    /// Reads the controller keys, then "value0", "value1" and "value2".
    void read_skin(const SkinPath& path) override;
    /// The controller update, then the alpha of the timer's coefficient.
    void update(const TimeStamp& stamp) override;

    float key(int index) const { return m_keys[index]; }
    void set_keys(float key0, float key1, float key2)
    {
        m_keys[0] = key0;
        m_keys[1] = key1;
        m_keys[2] = key2;
    }

private:
    float m_keys[3] = {0.0f, 0.0f, 0.0f};
};

/// Shows the sprite only while the timer's coefficient lies in a window (bounds included),
/// and closes it for good once the timer's local time has passed its period.
class StatusController : public SpriteController
{
public:
    /// Reads the controller keys, then "start_time_coeff" and "end_time_coeff".
    void read_skin(const SkinPath& path) override;
    /// The controller update, then shows, hides or closes the sprite.
    void update(const TimeStamp& stamp) override;

    float window_start() const { return m_start; }
    float window_end() const { return m_end; }
    void set_window(float start, float end)
    {
        m_start = start;
        m_end = end;
    }

private:
    float m_start = 0.0f;
    float m_end = 1.0f;
};

}

KQ_TYPE_NAME(kq::AlphaKey3Controller, "class kq::AlphaKey3Controller");
KQ_TYPE_NAME(kq::StatusController, "class kq::StatusController");
