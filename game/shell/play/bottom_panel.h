#pragma once

#include <cstdint>

#include "engine/art/image_sprite.h"
#include "engine/art/text_sprite.h"
#include "engine/base/socket.h"
#include "engine/base/vector2.h"
#include "engine/ui/button.h"
#include "engine/ui/control.h"
#include "game/field/field.h"

namespace kq {

/// The buttons of the bottom panel, as its signal reports them.
enum class BottomPanelButton : std::int32_t
{
    apply = 1,
    undo = 2,
};

/// The strip along the bottom of the game frame. Over its own look it shows what it reads
/// from the field at each draw: a frame image, the creation idol's reserve of production
/// turns, a badge per active bonus with the shots or turns it still lasts, and the mission
/// line. Its "go" and "cancel" buttons report through one signal at once, within the click.
///
/// The panel owns its buttons; the field is not owned. The panel lets go of the field when
/// the field goes, so it never draws a field that is gone.
class BottomPanel : public Control
{
public:
    BottomPanel();
    BottomPanel(const BottomPanel&) = delete;
    BottomPanel& operator=(const BottomPanel&) = delete;
    ~BottomPanel() override;

    /// Its own look; with a field, the frame image, the reserve, the bonuses and the mission
    /// line.
    void draw(Artist& artist) override;
    using Control::read_skin;
    /// `Control`'s keys, then "reserve", "vimoes", "vimoes_absent", "left_frame",
    /// "bonuses_pos" and "mission_name".
    void read_skin() override;

    /// The field shown (null for none); the panel forgets it by itself when it goes.
    void set_field(Field* field);
    Field* field() const { return m_field; }
    /// Mode 1 shows "go" alone, mode 2 "cancel" alone, any other mode neither.
    void set_mode(int mode);

    /// "go" (apply) or "cancel" (undo) was clicked.
    Socket<void(BottomPanelButton)>& on_action() { return m_on_action; }

    Button& go_button() { return m_go; }
    Button& cancel_button() { return m_cancel; }
    const TextSprite& reserve_text() const { return m_reserve; }
    const TextSprite& mission_text() const { return m_mission_name; }
    Vector2<float> bonuses_position() const { return m_bonuses_pos; }

private:
    void draw_reserve(Artist& artist);
    void draw_bonuses(Artist& artist);
    void draw_mission_name(Artist& artist);

    Socket<void(BottomPanelButton)> m_on_action;
    Field* m_field = nullptr;
    Button m_go;
    Button m_cancel;
    TextSprite m_reserve;
    ImageSprite m_vimoes;
    ImageSprite m_vimoes_absent;
    ImageSprite m_left_frame;
    Vector2<float> m_bonuses_pos;
    TextSprite m_mission_name;
};

}
