#pragma once

#include <list>

#include "engine/base/shared_ptr.h"
#include "engine/platform/music_info.h"
#include "engine/platform/texture.h"
#include "engine/ui/fade.h"
#include "engine/ui/frame.h"

namespace kq {

/// The stack of full screens. Pushing and popping may be dressed with a `Fade`: the screen as
/// last drawn is captured and laid over the new state, darkening to black and then clearing,
/// and input may be refused meanwhile. After every change the topmost frame with music decides
/// what plays (cross-fading over half the running fade); with no such frame left the music
/// that played before comes back. The manager shares the frames it stacks. Main thread only.
class FrameManager : public Control
{
public:
    FrameManager() = default;
    ~FrameManager() override;
    FrameManager(const FrameManager&) = delete;

    /// Lays the captured screen over the frames while a fade runs, and ends the fade after its
    /// last key.
    void draw_over(Artist& artist) override;
    /// No fade runs after an attachment.
    void on_attached() override;

    /// Stacks the frame on top, covering the current top.
    void push_frame(SharedPtr<Frame> frame, const Fade& fade);
    /// Pops the top frame (target null), or frames down to and including `target` (a target
    /// not on the stack empties it). An empty stack is logged.
    void pop_frame(Frame* target, const Fade& fade);
    /// Pushes the frame and runs the scheduler until it has left the stack; when the loop ends
    /// first, the frame and those above it are popped without a fade.
    void run_frame(SharedPtr<Frame> frame, const Fade& fade);
    /// Whether the frame is stacked.
    bool contains(const Frame* frame) const;
    /// Runs the scheduler until no fade runs.
    void wait_transition();
    /// The playing music changes to what the stack asks for.
    void update_music();

    const std::list<SharedPtr<Frame>>& frames() const { return m_frames; }
    Frame* top() const { return m_frames.empty() ? nullptr : m_frames.back().get(); }
    bool is_fading() const { return m_fade_start != -1; }
    /// When the running fade began (the millisecond clock), or -1 while none runs.
    std::int64_t fade_start() const { return m_fade_start; }

private:
    void start_transition(const Fade& fade);
    void pop_top();
    void play(const MusicInfo& music);

    std::list<SharedPtr<Frame>> m_frames;
    std::int64_t m_fade_start = -1;
    Fade m_fade;
    SharedPtr<Texture> m_snapshot;
    MusicInfo m_saved_music;
    bool m_has_saved_music = false;
};

}
