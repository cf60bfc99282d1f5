#pragma once

#include "engine/art/image_sprite.h"
#include "engine/art/text_sprite.h"
#include "engine/ui/button.h"
#include "engine/ui/control.h"
#include "engine/ui/share_box.h"

namespace kq {

/// The travel map's panel: the current chapter's name with the mission's number, a frame
/// image, the chapter's quality bar (the shares "common" and "div" of "quality_bottom" under
/// "quality_top") and the "play" button. The travel map drives the children.
class ProgressPanel : public Control
{
public:
    ProgressPanel();
    ProgressPanel(const ProgressPanel&) = delete;
    ProgressPanel& operator=(const ProgressPanel&) = delete;
    ~ProgressPanel() override;

    /// Its own look, the frame image and, unless hidden, the mission line.
    void draw(Artist& artist) override;
    using Control::read_skin;
    /// `Control`'s keys, then "mission_name" and "left_frame".
    void read_skin() override;

    /// Hides (true) or shows the mission line from the next draw on.
    void set_hide_mission_name(bool hide) { m_hide_mission_name = hide; }
    /// The bar shows the quality reached against the target: "common" is the quality and
    /// "div" what is missing to the target (negative past it).
    void set_quality(int quality, int target);

    ShareBox& quality_bottom() { return m_quality_bottom; }
    Control& quality_top() { return m_quality_top; }
    Button& play_button() { return m_play; }
    const TextSprite& mission_text() const { return m_mission_name; }

private:
    TextSprite m_mission_name;
    bool m_hide_mission_name = false;
    ImageSprite m_left_frame;
    ShareBox m_quality_bottom;
    Control m_quality_top;
    Button m_play;
};

}
