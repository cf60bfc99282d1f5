#include "engine/ui/frame.h"

#include "engine/res/skin.h"
#include "engine/ui/frame_manager.h"

namespace kq {

void Frame::read_skin()
{
    Control::read_skin();
    const std::string music = get_skin_text(path() + "music");
    if (music == "empty")
        return;
    m_music.sample.set_path(music);
    m_music.start_time = MusicInfo::resume_start;
    m_has_music = true;
}

void Frame::set_music(const MusicInfo& music)
{
    if (m_has_music && m_music == music)
        return;
    m_music = music;
    m_has_music = true;
    if (m_manager)
        m_manager->update_music();
}

}
