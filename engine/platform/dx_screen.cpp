#include "engine/platform/dx_screen.h"

#include "engine/base/log.h"
#include "engine/base/mainframe.h"
#include "engine/base/tstream.h"
#include "engine/platform/dx_draw.h"
#include "engine/platform/window.h"

namespace kq {

namespace {

DXDraw& draw()
{
    return *DXDraw::instance();
}

host::GpuDevice& device()
{
    return *DXDraw::instance()->device();
}

}

DXScreen::DXScreen(const SharedPtr<Window>& window)
    : m_window(window), m_artist(std::make_unique<DXArtist>(window.get()))
{
    draw().make_present_parameters(window.get(), m_present_parameters);
    m_window->on_changed().connect([this] { on_window_format_changed(); }, this);
    // An activation change is answered after the window's message has been handled.
    m_activation_task = reinterpret_cast<std::uintptr_t>(this);
    m_window->on_activate().connect(
        [this](bool) {
            Mainframe::add_task([this] { on_window_format_changed(); }, m_activation_task, 0, Mainframe::run_once);
        },
        this);
}

DXScreen::~DXScreen()
{
    m_window->on_changed().disconnect(this);
    m_window->on_activate().disconnect(this);
    if (Mainframe::instance())
        Mainframe::remove_task(m_activation_task);
}

bool DXScreen::begin()
{
    // The device's own window may not be the target after another screen's frame.
    return device().set_render_target(0) && device().begin_scene();
}

std::int32_t DXScreen::present()
{
    return device().present(0);
}

void DXScreen::acquire_surfaces()
{
    m_has_target = true;
}

bool DXScreen::init()
{
    acquire_surfaces();
    if (!m_has_target)
        return false;
    if (!m_artist->reinit()) {
        draw().log() << "ERROR: Can't reinit DXArtist." << t_io::endl;
        return false;
    }
    return true;
}

void DXScreen::release()
{
    m_artist->release_buffers();
    m_has_target = false;
}

void DXScreen::on_window_format_changed()
{
    draw().log() << "Window_format_changed." << t_io::endl;
    draw().make_present_parameters(m_window.get(), m_present_parameters);
    restore();
}

void DXScreen::restore()
{
    TStream& log = draw().log();
    log << "Restoring begin." << t_io::endl;
    m_ready = false;
    release();
    const std::int32_t result = device().reset(m_present_parameters);
    if (result != host::gpu_ok) {
        log << "Reset error, code: " << result << t_io::endl;
        return;
    }
    m_ready = init();
    log << (m_ready ? "Restoring success." : "Restoring failed.") << t_io::endl;
}

DXMultiScreen::DXMultiScreen(const SharedPtr<Window>& window) : DXScreen(window) {}

bool DXMultiScreen::begin()
{
    return device().set_render_target(m_swap_chain) && device().begin_scene();
}

std::int32_t DXMultiScreen::present()
{
    return device().present(m_swap_chain);
}

void DXMultiScreen::acquire_surfaces()
{
    m_has_target = m_swap_chain != 0;
}

bool DXMultiScreen::init()
{
    m_swap_chain = device().create_swap_chain(m_present_parameters);
    if (!m_swap_chain)
        return false;
    return DXScreen::init();
}

void DXMultiScreen::release()
{
    DXScreen::release();
    if (m_swap_chain)
        device().release_swap_chain(m_swap_chain);
    m_swap_chain = 0;
}

}
