#pragma once

#include "engine/platform/music_info.h"
#include "engine/ui/control.h"

namespace kq {

class FrameManager;

/// A full screen of the game, stacked by a `FrameManager`: only the top frame shows and takes
/// input. A frame may name a piece of music, which plays while it is the topmost frame with
/// music. Its hooks tell it when it is covered, uncovered, becomes the top or stops being it.
class Frame : public Control
{
public:
    Frame() = default;
    Frame(const Frame&) = delete;

    using Control::read_skin;
    /// `Control`'s keys, then "music" (required): a sample path, or "empty" for none, which
    /// keeps the music the frame has.
    void read_skin() override;

    /// Another frame has just been pushed over this one.
    virtual void on_suspended() {}
    /// This frame is the top again after a pop.
    virtual void on_resumed() {}
    /// This frame has just become the top.
    virtual void on_activated() {}
    /// This frame stops being the top.
    virtual void on_deactivated() {}

    /// Gives the frame a music; a frame on a stack changes what plays at once. The same music
    /// again changes nothing.
    void set_music(const MusicInfo& music);

    FrameManager* manager() const { return m_manager; }
    const MusicInfo& music() const { return m_music; }
    bool has_music() const { return m_has_music; }

private:
    friend class FrameManager;

    FrameManager* m_manager = nullptr;
    MusicInfo m_music;
    bool m_has_music = false;
};

}
