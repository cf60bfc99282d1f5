#include "engine/ui/frame_manager.h"

#include <algorithm>

#include "engine/base/clock.h"
#include "engine/base/exception.h"
#include "engine/base/log.h"
#include "engine/base/mainframe.h"
#include "engine/platform/artist.h"
#include "engine/platform/audio.h"
#include "engine/ui/ui.h"

namespace kq {

FrameManager::~FrameManager()
{
    detach();
    for (const SharedPtr<Frame>& frame : m_frames) {
        frame->m_manager = nullptr;
        detach_child(this, frame.get());
    }
}

void FrameManager::on_attached()
{
    m_fade_start = -1;
}

void FrameManager::start_transition(const Fade& fade)
{
    if (fade.m_curve.empty() || (m_fade_start != -1 && !fade.m_interrupt))
        return;
    UI* const ui = dynamic_cast<UI*>(host());
    Artist* const artist = ui ? ui->artist() : nullptr;
    m_snapshot = artist ? artist->capture_screen() : SharedPtr<Texture>();
    m_fade = fade;
    m_fade_start = time_ms();
    set_disabled(fade.m_disable_input);
}

void FrameManager::draw_over(Artist& artist)
{
    if (m_fade_start == -1)
        return;
    const float t = static_cast<float>(time_ms() - m_fade_start) * 0.001f;
    if (t < m_fade.m_curve.last_time() && m_snapshot) {
        artist.reset_render_state();
        const RectI r = get_client_rect();
        artist.draw_texture(m_snapshot.get(), Rect{float(r.x), float(r.y), float(r.w), float(r.h)},
                            m_fade.m_curve.value(t));
        return;
    }
    set_disabled(false);
    m_fade_start = -1;
}

void FrameManager::push_frame(SharedPtr<Frame> frame, const Fade& fade)
{
    if (!frame)
        return;
    start_transition(fade);
    if (Frame* covered = top()) {
        covered->on_suspended();
        covered->on_deactivated();
        covered->set_hidden(true);
    }
    m_frames.push_back(frame);
    frame->m_manager = this;
    attach_to_parent(frame.get(), this);
    frame->on_activated();
    update_music();
}

void FrameManager::pop_frame(Frame* target, const Fade& fade)
{
    start_transition(fade);
    if (m_frames.empty()) {
        log_error("Frames stack empty.", source_file_name(__FILE__), __LINE__);
        return;
    }
    if (!target) {
        pop_top();
        update_music();
        return;
    }
    while (!m_frames.empty()) {
        const bool reached = top() == target;
        pop_top();
        if (reached)
            break;
    }
    update_music();
}

void FrameManager::pop_top()
{
    // Kept until the pop is over: the frame may be the one whose code asked for it.
    const SharedPtr<Frame> frame = m_frames.back();
    m_frames.pop_back();
    frame->on_deactivated();
    detach_child(this, frame.get());
    frame->m_manager = nullptr;
    if (Frame* uncovered = top()) {
        uncovered->set_hidden(false);
        uncovered->on_activated();
        uncovered->on_resumed();
    }
}

void FrameManager::run_frame(SharedPtr<Frame> frame, const Fade& fade)
{
    if (!frame)
        return;
    Frame* const running = frame.get();
    push_frame(std::move(frame), fade);
    try {
        Mainframe::run_while([this, running] { return contains(running); });
    } catch (...) {
        if (contains(running))
            pop_frame(running, Fade());
        throw;
    }
    if (contains(running))
        pop_frame(running, Fade());
}

bool FrameManager::contains(const Frame* frame) const
{
    return std::any_of(m_frames.begin(), m_frames.end(),
                       [frame](const SharedPtr<Frame>& stacked) { return stacked.get() == frame; });
}

void FrameManager::wait_transition()
{
    Mainframe::run_while([this] { return m_fade_start != -1; });
}

void FrameManager::update_music()
{
    Audio* const audio = Audio::active();
    if (!audio)
        return;
    const auto musical = std::find_if(m_frames.rbegin(), m_frames.rend(),
                                      [](const SharedPtr<Frame>& frame) { return frame->has_music(); });
    if (musical != m_frames.rend()) {
        if (!m_has_saved_music) {
            audio->current_music(m_saved_music);
            m_saved_music.start_time = MusicInfo::resume_start;
            m_has_saved_music = true;
        }
        play((*musical)->music());
    } else if (m_has_saved_music) {
        play(m_saved_music);
    }
}

void FrameManager::play(const MusicInfo& music)
{
    // Half the running fade, in whole milliseconds (computed in float, as the keys are).
    const int half = m_fade_start != -1 && !m_fade.m_curve.empty()
                         ? static_cast<int>(m_fade.m_curve.last_time() * 1000.0f) / 2
                         : 0;
    Audio::active()->play_music(music, MusicFade{half, half});
}

}
