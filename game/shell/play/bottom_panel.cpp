#include "game/shell/play/bottom_panel.h"

#include <algorithm>
#include <string>

#include "engine/platform/artist.h"
#include "engine/res/skin_readers.h"
#include "engine/ui/control_initer.h"
#include "game/field/idols/creation_idol.h"
#include "game/shell/play/campaign_status.h"

namespace kq {

BottomPanel::BottomPanel()
{
    m_go.set_up(CIChild(this, "go"));
    m_cancel.set_up(CIChild(this, "cancel"));
    m_go.on_click().connect([this] { m_on_action.emit(BottomPanelButton::apply); }, this);
    m_cancel.on_click().connect([this] { m_on_action.emit(BottomPanelButton::undo); }, this);
}

BottomPanel::~BottomPanel()
{
    set_field(nullptr);
    for (Button* button : {&m_go, &m_cancel})
        if (std::find(children().begin(), children().end(), button) != children().end())
            detach_child(this, button);
}

void BottomPanel::read_skin()
{
    Control::read_skin();
    m_reserve.read_skin(path() + "reserve");
    m_vimoes.read_skin(path() + "vimoes");
    m_vimoes_absent.read_skin(path() + "vimoes_absent");
    m_left_frame.read_skin(path() + "left_frame");
    read_skin_value(path() + "bonuses_pos", &m_bonuses_pos);
    m_mission_name.read_skin(path() + "mission_name");
}

void BottomPanel::set_field(Field* field)
{
    if (m_field)
        m_field->on_destroyed().disconnect(this);
    m_field = field;
    if (m_field)
        m_field->on_destroyed().connect([this] { m_field = nullptr; }, this);
}

void BottomPanel::set_mode(int mode)
{
    m_go.set_hidden(mode != 1);
    m_cancel.set_hidden(mode != 2);
}

void BottomPanel::draw(Artist& artist)
{
    Control::draw(artist);
    if (!m_field)
        return;
    m_left_frame.render(artist);
    draw_reserve(artist);
    draw_bonuses(artist);
    draw_mission_name(artist);
}

void BottomPanel::draw_reserve(Artist& artist)
{
    for (const SharedPtr<Idol>& idol : m_field->idols()) {
        const auto* creation = dynamic_cast<const CreationIdol*>(idol.get());
        if (!creation)
            continue;
        const int turns = creation->production_turns();
        if (turns >= 1) {
            m_vimoes.render(artist);
            m_reserve.set_text(std::to_string(turns));
            m_reserve.render(artist);
        } else {
            m_vimoes_absent.render(artist);
        }
        return;
    }
}

void BottomPanel::draw_bonuses(Artist& artist)
{
    for (const auto& [bonus, count] : m_field->initial_bonuses()) {
        BonusSettings* settings = m_field->bonus_settings(bonus);
        if (!settings)
            continue;
        Sprite& badge = settings->sprite_on_panel;
        const float x = m_bonuses_pos.x + float(settings->number_on_panel) * (badge.size().x - 3.0f);
        artist.push_translation(Vector2<float>{x, m_bonuses_pos.y});
        const std::string shown = std::to_string(count);
        badge.set_data_provider([shown](const std::string& key, std::string& value) {
            if (key == "count")
                value = shown;
            return true;
        });
        badge.render(artist);
        artist.pop_transformation();
    }
}

void BottomPanel::draw_mission_name(Artist& artist)
{
    const std::string text = current_mission_line();
    if (text != m_mission_name.text())
        m_mission_name.set_text(text);
    m_mission_name.render(artist);
}

}
