#include "game/shell/screens/load_frame.h"

#include <cmath>

#include "engine/base/mainframe.h"
#include "engine/ui/control_initer.h"
#include "engine/ui/frame_manager.h"

namespace kq {

namespace {

// How long each file's progress shows before the next file loads.
constexpr std::int64_t progress_wait_ms = 5;

}

LoadFrame::LoadFrame(Res::FileFilter filter) : m_filter(std::move(filter))
{
    m_progress.set_up(CIChild(this, "progress"));
}

LoadFrame::~LoadFrame()
{
    // Leaves the tree while the bar still exists, and takes its pending load with it.
    detach();
    detach_child(this, &m_progress);
}

void LoadFrame::on_attach()
{
    Frame::on_attach();
    Mainframe::add_task([this] { load(); }, reinterpret_cast<Mainframe::TaskId>(this), 0, Mainframe::run_once);
}

void LoadFrame::load()
{
    m_progress.reset_total();
    // The bar is on screen before the work starts.
    Mainframe::run_while([this] { return manager() && manager()->is_fading(); });
    if (Res* res = Res::instance())
        res->preload(m_filter, [this](float fraction) { return show_progress(fraction); });
    if (manager())
        manager()->pop_frame(this, Fade(250, 250));
}

bool LoadFrame::show_progress(float fraction)
{
    m_progress.set_share(static_cast<int>(std::lround(fraction * 100.0f)), StrCache("common"));
    Mainframe::wait(progress_wait_ms);
    // Without work left the scheduler is quitting.
    return !Mainframe::has_work();
}

}
