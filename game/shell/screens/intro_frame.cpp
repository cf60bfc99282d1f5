#include "game/shell/screens/intro_frame.h"

#include "engine/art/image_sprite.h"
#include "engine/base/clock.h"
#include "engine/base/mainframe.h"
#include "engine/ui/frame_manager.h"

namespace kq {

namespace {

constexpr std::int64_t shown_ms = 2500;
constexpr int fade_out_ms = 1500;

}

void IntroFrame::on_attached()
{
    Frame::on_attached();
    grab_keys(0);
    Mainframe::add_task([this] { close(); }, reinterpret_cast<Mainframe::TaskId>(this), shown_ms,
                        Mainframe::run_once);
}

void IntroFrame::on_detach()
{
    release_keys();
    Frame::on_detach();
}

bool IntroFrame::on_key(Key, KeyState state)
{
    // A release belongs to the press that closed the logo before: one click skips one logo.
    if (state != state_up)
        close();
    return true;
}

void IntroFrame::set_image(const ResHandle<Texture>& image)
{
    auto* sprite = dynamic_cast<ImageSprite*>(this->sprite());
    if (!sprite || sprite->texture() == image)
        return;
    sprite->set_texture(image);
    sprite->invalidate();
}

void IntroFrame::close()
{
    FrameManager* frames = manager();
    if (!frames)
        return;
    // A logo skipped while it still fades in fades out as fast as it came.
    const int out_ms = frames->is_fading() ? static_cast<int>(time_ms() - frames->fade_start()) : fade_out_ms;
    Fade fade(out_ms, 0);
    fade.m_interrupt = true;
    frames->pop_frame(this, fade);
}

}
