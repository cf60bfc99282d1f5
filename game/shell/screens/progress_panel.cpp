#include "game/shell/screens/progress_panel.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "engine/ui/control_initer.h"
#include "game/shell/play/campaign_status.h"

namespace kq {

ProgressPanel::ProgressPanel()
{
    m_quality_bottom.set_up(CIChild(this, "quality_bottom"));
    m_quality_top.set_up(CIChild(this, "quality_top"));
    m_play.set_up(CIChild(this, "play"));
}

ProgressPanel::~ProgressPanel()
{
    for (Control* child : {static_cast<Control*>(&m_quality_bottom), &m_quality_top, static_cast<Control*>(&m_play)})
        if (std::find(children().begin(), children().end(), child) != children().end())
            detach_child(this, child);
}

void ProgressPanel::read_skin()
{
    Control::read_skin();
    m_mission_name.read_skin(path() + "mission_name");
    m_left_frame.read_skin(path() + "left_frame");
}

void ProgressPanel::set_quality(int quality, int target)
{
    m_quality_bottom.set_share(quality, StrCache("common"));
    m_quality_bottom.set_share(int(std::int64_t(target) - quality), StrCache("div"));
}

void ProgressPanel::draw(Artist& artist)
{
    Control::draw(artist);
    m_left_frame.render(artist);
    if (m_hide_mission_name)
        return;
    const std::string text = current_mission_line();
    if (text != m_mission_name.text())
        m_mission_name.set_text(text);
    m_mission_name.render(artist);
}

}
