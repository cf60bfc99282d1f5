#include "game/shell/play/top_panel.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "engine/base/exception.h"
#include "engine/host/system/assert.h"
#include "engine/platform/artist.h"
#include "engine/res/skin_child_iterator.h"
#include "engine/res/skin_environment.h"
#include "engine/res/skin_readers.h"
#include "engine/ui/control_initer.h"
#include "engine/ui/deferred.h"
#include "game/shell/play/campaign_status.h"

namespace kq {

TopPanel::TopPanel()
{
    m_apply.set_up(CIChild(this, "apply"));
    m_undo.set_up(CIChild(this, "undo"));
    m_menu.set_up(CIChild(this, "menu"));
    m_menu.on_click().connect([this] { run_deferred(this, [this] { m_on_menu.emit(); }); }, this);
    m_apply.on_click().connect([this] { run_deferred(this, [this] { m_on_apply.emit(); }); }, this);
    m_undo.on_click().connect([this] { run_deferred(this, [this] { m_on_undo.emit(); }); }, this);
}

TopPanel::~TopPanel()
{
    cancel_deferred(this);
    std::vector<Control*> own{&m_apply, &m_undo, &m_menu};
    for (const SharedPtr<PowerupControl>& control : m_powerup_controls)
        own.push_back(control.get());
    for (Control* child : own)
        if (child && std::find(children().begin(), children().end(), child) != children().end())
            detach_child(this, child);
}

void TopPanel::read_skin()
{
    Control::read_skin();
    m_life.read_skin(path() + "life");
    read_vector2i(path() + "life_origin", &m_life_origin);
    m_score_text.read_skin(path() + "score");
    m_score_fill.read_skin(path() + "score_fill");
    m_fill_width = m_score_fill.size().x;
    read_vector2i(path() + "powerups_origin", &m_powerups_origin);
    read_powerup_controls();
    m_move.read_skin(path() + "move");
}

void TopPanel::read_powerup_controls()
{
    int count = 0;
    for (SkinChildIterator child(path(), "powerup"); !child.at_end(); child.next())
        ++count;
    if (count != powerup_count)
        KQ_THROW(ServiceException, skin_service_name,
                 "node [" + path().text() + "] has " + std::to_string(count) +
                     " \"powerup\" children, not " + std::to_string(powerup_count));
    int index = 0;
    for (SkinChildIterator child(path(), "powerup"); !child.at_end(); child.next(), ++index) {
        SharedPtr<PowerupControl>& entry = m_powerup_controls[std::size_t(index)];
        if (entry && entry->parent() == this)
            detach_child(this, entry.get());
        entry = SharedPtr<PowerupControl>(new PowerupControl);
        entry->set_skin_path(child.path());
        const Powerup powerup = Powerup(index);
        entry->on_click().connect([this, powerup] { run_deferred(this, [this, powerup] { m_on_powerup.emit(powerup); }); },
                                  this);
    }
}

void TopPanel::on_attached()
{
    // The buttons join once the panel's own children are attached: a child listed while the
    // tree attaches the panel would be attached a second time by that walk.
    for (const SharedPtr<PowerupControl>& control : m_powerup_controls)
        attach_to_parent(control.get(), this);
    update_powerups();
    m_score_counter.set(m_score);
}

void TopPanel::on_detach()
{
    for (const SharedPtr<PowerupControl>& control : m_powerup_controls)
        if (control && std::find(children().begin(), children().end(), control.get()) != children().end())
            detach_child(this, control.get());
    Control::on_detach();
}

Vector2<int> TopPanel::powerup_place(int index) const
{
    const PowerupControl* control = powerup_control(index);
    const int width = control ? control->size().x : 0;
    return {m_powerups_origin.x + index * width, m_powerups_origin.y};
}

void TopPanel::update_powerups()
{
    for (int i = 0; i < powerup_count; ++i) {
        PowerupControl* control = powerup_control(i);
        if (!control)
            continue;
        const int count = m_powerups[std::size_t(i)];
        control->set_variable("count", std::to_string(count));
        if (m_highlight != -1) {
            control->set_hidden(i != m_highlight);
        } else if (count > 0) {
            control->set_hidden(false);
            control->set_position(powerup_place(i));
        } else {
            control->set_hidden(true);
        }
    }
}

void TopPanel::set_record(const FieldSettings& record, bool immediate)
{
    m_lives = record.values[0];
    if (record.m_powerups != m_powerups) {
        m_powerups = record.m_powerups;
        update_powerups();
    }
    if (record.values[1] != m_score) {
        m_score = record.values[1];
        if (immediate)
            m_score_counter.set(m_score);
    }
}

void TopPanel::set_highlight(int index)
{
    KQ_ASSERT(index >= -1 && index < powerup_count);
    if (index == m_highlight)
        return;
    if (m_highlight != -1 && powerup_control(m_highlight))
        powerup_control(m_highlight)->kill_timers();
    m_highlight = index;
    update_powerups();
    if (index != -1 && powerup_control(index))
        powerup_control(index)->move_to(powerup_place(index), m_powerups_origin, highlight_slide_ms);
}

void TopPanel::draw(Artist& artist)
{
    Control::draw(artist);
    draw_row(artist, m_move, {0, 0}, m_moves);
    draw_row(artist, m_life, m_life_origin, m_lives);
    draw_fill(artist);
    draw_score(artist);
}

void TopPanel::draw_row(Artist& artist, ImageSprite& sprite, Vector2<int> origin, int count)
{
    const int width = int(std::lround(sprite.size().x));
    for (int i = 0; i < count; ++i) {
        artist.push_translation(Vector2<int>{origin.x + i * width, origin.y});
        sprite.render(artist);
        artist.pop_transformation();
    }
}

void TopPanel::draw_fill(Artist& artist)
{
    const float width = m_fill_width * upgrade_fraction(m_score_counter.value(), current_difficulty());
    if (width != m_score_fill.size().x)
        m_score_fill.set_size(Vector2<float>{width, m_score_fill.size().y});
    m_score_fill.render(artist);
}

void TopPanel::draw_score(Artist& artist)
{
    m_score_counter.update(m_score);
    const std::string text = std::to_string(m_score_counter.value());
    if (text != m_score_text.text())
        m_score_text.set_text(text);
    m_score_text.render(artist);
}

}
