#include "game/shell/title_frame.h"

#include "engine/ui/frame_manager.h"

namespace kq {

void TitleFrame::on_attached()
{
    Frame::on_attached();
    grab_keys(0);
}

void TitleFrame::on_detach()
{
    release_keys();
    Frame::on_detach();
}

bool TitleFrame::on_key(Key key, KeyState state)
{
    if (key != key_escape || state != state_down || !manager())
        return Frame::on_key(key, state);
    manager()->pop_frame(this, Fade::standard());
    return true;
}

}
