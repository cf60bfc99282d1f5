#include "engine/platform/dx_draw.h"

#include <algorithm>

#include "engine/base/exception.h"
#include "engine/base/log.h"
#include "engine/base/mainframe.h"
#include "engine/base/tstream.h"
#include "engine/host/gpu/make_gpu_device.h"
#include "engine/platform/api_window.h"
#include "engine/platform/dx_screen.h"
#include "engine/platform/dx_texture_loader.h"
#include "engine/platform/texture.h"
#include "engine/platform/texture_atlas.h"
#include "engine/platform/texture_atlas_loader.h"
#include "engine/platform/window.h"
#include "engine/res/res.h"
#include "engine/res/skin.h"

namespace kq {

namespace {

const char* const service_name = "dxdraw";

// Device generations count across instances, so that a texture never mistakes a later device
// for its own.
std::uint64_t s_generations = 0;

void* native_window(Window* window)
{
    auto* api = dynamic_cast<APIWindow*>(window);
    return api ? static_cast<void*>(api->handle()) : nullptr;
}

const char* yes_no(bool value)
{
    return value ? "true" : "false";
}

}

int format_rank(std::int32_t format)
{
    switch (format) {
    case host::gpu_format_r5g6b5:
        return 1;
    case host::gpu_format_x1r5g5b5:
        return 2;
    case host::gpu_format_a1r5g5b5:
        return 3;
    case host::gpu_format_x8r8g8b8:
        return 4;
    case host::gpu_format_a8r8g8b8:
        return 5;
    default:
        return 0;
    }
}

int format_bits(std::int32_t format)
{
    return format_rank(format) > 3 ? 32 : 16;
}

DXDraw::DXDraw(const SkinPath& path, const SharedPtr<Window>& window, std::unique_ptr<host::GpuDevice> device)
    : Service(service_name), m_path(path), m_window(window), m_window_given(window), m_device(std::move(device))
{
}

DXDraw::~DXDraw() = default;

void DXDraw::initialize()
{
    log() << "Initialization started." << t_io::endl;
    if (!m_device)
        KQ_THROW(ServiceException, service_name, "ERROR: Can't create D3D interface");
    log() << "D3D8 interface created successful." << t_io::endl;
    log_adapter();
    if (!m_device->desktop_mode(m_desktop_mode) || m_desktop_mode.format == host::gpu_format_unknown)
        KQ_THROW(Exception, "Can't determine desktop video mode");
    log() << "Desktop video mode: " << m_desktop_mode.width << "x" << m_desktop_mode.height << "x"
          << format_bits(m_desktop_mode.format) << "(" << m_desktop_mode.format << ") "
          << m_desktop_mode.refresh_rate << " Hz" << t_io::endl;
    if (!m_window) {
        m_own_window = start_api_window_service(SkinPath(m_path, StrCache::get("default_window")));
        m_window = SharedPtr<Window>(m_own_window);
        m_window->show(false);
    }
    host::GpuPresentParameters pp;
    make_present_parameters(m_window.get(), pp);
    if (!m_device->create(pp))
        KQ_THROW(ServiceException, service_name, "ERROR: Can't create D3D device");
    m_device_created = true;
    m_generation = ++s_generations;
    log() << "D3D8 device created successful." << t_io::endl;
    if (const std::string renderer = m_device->renderer(); !renderer.empty())
        log() << "OpenGL: " << renderer.c_str() << t_io::endl;
    if (m_window_given) {
        SharedPtr<DXScreen> screen(new DXScreen(m_window));
        screen->set_ready(screen->init());
        m_screens.push_back(screen);
    }
    clear(0xFF000000);
    Res::instance()->add_loader(type_name<TextureAtlas>(), SharedPtr<ResLoader>(new TextureAtlasLoader));
    Res::instance()->add_loader(type_name<Texture>(), SharedPtr<ResLoader>(new DXTextureLoader));
    log() << "Initialization done." << t_io::endl;
}

void DXDraw::shutdown()
{
    log() << "Shutdown started." << t_io::endl;
    if (Res* res = Res::instance()) {
        for (StrCache type : {type_name<TextureAtlas>(), type_name<Texture>()})
            res->unload([type](StrCache t, const ResKey&, const ResRecord&) { return t == type; });
    }
    while (!m_screens.empty()) {
        m_screens.back()->set_ready(false);
        m_screens.back()->release();
        m_screens.pop_back();
    }
    m_current_screen = nullptr;
    m_device_created = false;
    m_device.reset();
    if (m_own_window)
        stop_api_window_service(m_own_window);
    m_own_window = nullptr;
    m_window = SharedPtr<Window>();
    log() << "Shutdown done." << t_io::endl;
}

void DXDraw::log_adapter()
{
    host::GpuAdapterInfo id;
    if (!m_device->adapter_identifier(id)) {
        log() << "ERROR: GetAdapterIdentifier() error." << t_io::endl;
        return;
    }
    TStream& out = log();
    out << "Adapter Info:" << t_io::endl;
    out << "Driver: " << id.driver.c_str() << t_io::endl;
    out << "Description: " << id.description.c_str() << t_io::endl;
    out << "DriverVersion:" << t_io::endl;
    out << "  Product: " << (id.version_high >> 16) << t_io::endl;
    out << "  Version: " << (id.version_high & 0xFFFF) << t_io::endl;
    out << "  SubVersion: " << (id.version_low >> 16) << t_io::endl;
    out << "  Build: " << (id.version_low & 0xFFFF) << t_io::endl;
    out << "VendorId: " << id.vendor_id << t_io::endl;
    out << "DeviceId: " << id.device_id << t_io::endl;
    out << "SubSysId: " << id.subsys_id << t_io::endl;
    out << "Revision: " << id.revision << t_io::endl;
    out << "WHQLLevel: " << id.whql_level << t_io::endl;
}

DXArtist* DXDraw::artist_for(const SharedPtr<Window>& window)
{
    if (DXScreen* screen = screen_for(window.get()))
        return screen->artist();
    SharedPtr<DXScreen> screen(new DXMultiScreen(window));
    screen->set_ready(screen->init());
    m_screens.push_back(screen);
    return screen->artist();
}

DXScreen* DXDraw::screen_for(Window* window) const
{
    for (const SharedPtr<DXScreen>& screen : m_screens) {
        if (screen->window() == window)
            return screen.get();
    }
    return nullptr;
}

void DXDraw::make_present_parameters(Window* window, host::GpuPresentParameters& pp)
{
    const Vector2<int> size = window->client_size();
    log() << "Try to find format: (" << size.x << "," << size.y << ") / " << window->color_depth() << " / FS "
          << yes_no(window->is_fullscreen()) << t_io::endl;
    pp = {};
    pp.width = std::max(size.x, 1);
    pp.height = std::max(size.y, 1);
    pp.window = native_window(window);
    if (!window->is_fullscreen()) {
        pp.windowed = true;
        pp.format = m_desktop_mode.format;
    } else {
        const int count = m_device->mode_count();
        log() << "Modes count: " << count << t_io::endl;
        std::int32_t best = host::gpu_format_unknown;
        for (int i = 0; i < count; ++i) {
            host::GpuDisplayMode m;
            if (!m_device->mode(i, m))
                continue;
            log() << "# " << i << " size: " << m.width << "x" << m.height << " format: " << m.format
                  << " fraq: " << m.refresh_rate << t_io::endl;
            const bool fits = m.width == size.x && m.height == size.y &&
                              (window->color_depth() != 16 || format_rank(m.format) <= 3);
            if (fits && format_rank(m.format) > format_rank(best))
                best = m.format;
        }
        if (best == host::gpu_format_unknown)
            KQ_THROW(Exception, "Can't find appropriate full screen video mode");
        pp.windowed = false;
        pp.format = best;
    }
    log() << "New present parameters:" << t_io::endl;
    log() << "  BufferWidth " << pp.width << t_io::endl;
    log() << "  BufferHeight " << pp.height << t_io::endl;
    log() << "  BufferFormat " << format_bits(pp.format) << "(" << pp.format << ") " << t_io::endl;
    log() << "  Windowed     " << yes_no(pp.windowed) << t_io::endl;
}

void DXDraw::clear(std::uint32_t argb)
{
    if (host::GpuDevice* gpu = device())
        gpu->clear(argb);
}

bool DXDraw::begin_frame(Window* window)
{
    if (!device())
        return false;
    // A null window means the first screen; a window without a screen has nothing to draw.
    m_current_screen = window ? screen_for(window) : (m_screens.empty() ? nullptr : m_screens.front().get());
    if (!m_current_screen)
        return false;
    if (!restore_device()) {
        m_current_screen = nullptr;
        return false;
    }
    if (!m_current_screen->ready()) {
        m_current_screen->restore();
        if (!m_current_screen->ready()) {
            m_current_screen = nullptr;
            return false;
        }
    }
    if (!m_current_screen->begin()) {
        m_current_screen = nullptr;
        return false;
    }
    return true;
}

void DXDraw::end_frame()
{
    if (!device() || !m_current_screen)
        return;
    if (!m_device->end_scene())
        log() << "D3D::EndScene failed." << t_io::endl;
    const std::int32_t result = m_current_screen->present();
    if (result != host::gpu_ok)
        log() << "Present failed, code: " << result << t_io::endl;
    m_current_screen = nullptr;
}

bool DXDraw::restore_device()
{
    const std::int32_t level = m_device->test_cooperative_level();
    if (level == host::gpu_device_lost)
        return false;
    if (level != host::gpu_device_not_reset)
        return true;
    log() << "Restoring begin." << t_io::endl;
    for (const SharedPtr<DXScreen>& screen : m_screens) {
        screen->set_ready(false);
        screen->release();
    }
    // The device belongs to the first screen's window: it is reset for that window.
    const std::int32_t result =
        m_device->reset(m_screens.empty() ? host::GpuPresentParameters{} : m_screens.front()->present_parameters());
    if (result != host::gpu_ok) {
        log() << "Reset error, code: " << result << t_io::endl;
        return false;
    }
    bool ok = true;
    for (const SharedPtr<DXScreen>& screen : m_screens) {
        screen->set_ready(screen->init());
        ok = ok && screen->ready();
    }
    if (!ok) {
        log() << "Scenes init failed." << t_io::endl;
        return false;
    }
    log() << "Restoring success." << t_io::endl;
    return true;
}

void start_dxdraw_service(const SkinPath& path, const SharedPtr<Window>& window)
{
    start_dxdraw_service(path, window, host::make_gpu_device());
}

void start_dxdraw_service(const SkinPath& path, const SharedPtr<Window>& window,
                          std::unique_ptr<host::GpuDevice> device)
{
    require_mainframe(service_name);
    require_service(service_name, Res::instance() != nullptr, "res");
    require_service(service_name, Skin::instance() != nullptr, "skin");
    start_service(new DXDraw(path, window, std::move(device)));
}

void stop_dxdraw_service()
{
    stop_service(DXDraw::instance());
}

}
