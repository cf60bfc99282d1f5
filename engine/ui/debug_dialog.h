#pragma once

#include <cstdint>
#include <string>

#include "engine/art/text_sprite.h"
#include "engine/ui/dialog.h"

namespace kq {

/// A developer overlay of read-outs: frames per second, the last frame's draw calls, quads
/// and drawn area, the main thread's load (sampled each second from the scheduler's idle time)
/// and the mouse position over the hovered control.
class DebugDialog : public Dialog
{
public:
    DebugDialog() = default;
    DebugDialog(const DebugDialog& other);

    /// The dialog's sprite, then the four read-outs, each text brought up to date first.
    void draw(Artist& artist) override;
    /// Opens the dialog and starts sampling the load once a second.
    void on_attach() override;
    /// The dialog's keys, then the text nodes "fps", "load", "dips" and "pos".
    void read_skin() override;

    /// The load sample: the share of the time since the last sample that the scheduler did
    /// not sleep, in percent. `elapsed_ms` is the sampling timer's running time. Keeps running.
    bool update_load(int elapsed_ms);

    /// The drawn area in screens of 1024 x 768, with at most two decimals ("1", "1.5", "1.05").
    static std::string format_area(float area);

    const TextSprite& fps_text() const { return m_fps_text; }
    const TextSprite& stats_text() const { return m_stats_text; }
    const TextSprite& load_text() const { return m_load_text; }
    const TextSprite& pos_text() const { return m_pos_text; }

private:
    std::int64_t m_last_time = 0;
    std::int64_t m_last_idle = 0;
    TextSprite m_fps_text;
    TextSprite m_stats_text;
    TextSprite m_load_text;
    TextSprite m_pos_text;
};

}

KQ_TYPE_NAME(kq::DebugDialog, "class kq::DebugDialog");
