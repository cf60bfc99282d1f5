#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/base/service.h"
#include "engine/base/shared_ptr.h"
#include "engine/base/single_instance.h"
#include "engine/host/gpu/gpu_device.h"
#include "engine/res/skin_path.h"

namespace kq {

class APIWindow;
class DXArtist;
class DXScreen;
class Window;

/// The rank of a display format (higher is better; 0 for a format outside the table).
int format_rank(std::int32_t format);
/// The bits of a format's pixels: 32 above rank 3, else 16.
int format_bits(std::int32_t format);

/// The renderer service "dxdraw": the one graphics device of the process, made for the
/// window it is started with (or a hidden window of its own), one screen per window drawn
/// into, the frames of those screens and the recovery of a lost device. It registers the
/// loaders of textures and texture atlases with `Res`. At most one runs at a time; everything
/// that needs the device reaches it through `instance`.
class DXDraw : public Service, public SingleInstance<DXDraw>
{
public:
    /// The service for the window (null: a hidden window of its own, from the node
    /// "default_window" under the settings path), over the device given.
    DXDraw(const SkinPath& path, const SharedPtr<Window>& window, std::unique_ptr<host::GpuDevice> device);
    ~DXDraw() override;

    /// Makes the device (logging the adapter and the desktop mode), the start window's screen,
    /// clears, and registers the loaders. Throws when the device cannot be made.
    void initialize() override;
    /// Unloads atlases and textures, releases the screens last first, then the device.
    void shutdown() override;

    /// The artist of the window's screen, made (with a swap chain of its own) on first ask.
    DXArtist* artist_for(const SharedPtr<Window>& window);
    /// The first screen of the window; null when none.
    DXScreen* screen_for(Window* window) const;
    /// Fills the present parameters for the window, logging the format search; full screen
    /// without a mode of the window's exact size throws.
    void make_present_parameters(Window* window, host::GpuPresentParameters& pp);
    /// Clears the whole target to the colour word.
    void clear(std::uint32_t argb);

    /// Starts a frame for the window's screen (null: the first screen); false, nothing to
    /// draw, when the window has no screen, the device is lost or the screen cannot draw.
    bool begin_frame(Window* window);
    /// Ends and presents the frame.
    void end_frame();
    /// Resets a device that waits for it and initialises every screen again; false while
    /// the device cannot draw.
    bool restore_device();

    /// The device while it exists; null before `initialize` and after `shutdown`.
    host::GpuDevice* device() const { return m_device_created ? m_device.get() : nullptr; }
    /// A number that changes with every device made.
    std::uint64_t device_generation() const { return m_generation; }
    /// Whether a resource of that device generation lives on the current device.
    bool owns(std::uint64_t generation) const { return device() && generation == m_generation; }
    /// The screens, in creation order.
    const std::vector<SharedPtr<DXScreen>>& screens() const { return m_screens; }
    /// The screen of the frame being drawn; null outside a frame.
    DXScreen* current_screen() const { return m_current_screen; }
    /// The window the device was made for.
    Window* window() const { return m_window.get(); }

private:
    void log_adapter();

    SkinPath m_path;
    SharedPtr<Window> m_window;
    bool m_window_given;
    std::vector<SharedPtr<DXScreen>> m_screens;
    DXScreen* m_current_screen = nullptr;
    std::unique_ptr<host::GpuDevice> m_device;
    bool m_device_created = false;
    std::uint64_t m_generation = 0;
    host::GpuDisplayMode m_desktop_mode;
    APIWindow* m_own_window = nullptr;
    Slot m_instance_slot{this};  ///< last: cleared before the other members die
};

/// Starts "dxdraw" on the OpenGL device for the window (null: a hidden window of its own);
/// needs the Mainframe, "res" and "skin".
void start_dxdraw_service(const SkinPath& path, const SharedPtr<Window>& window);
/// Starts "dxdraw" on the device given (tests drive a device of their own).
void start_dxdraw_service(const SkinPath& path, const SharedPtr<Window>& window,
                          std::unique_ptr<host::GpuDevice> device);
/// Stops the running "dxdraw".
void stop_dxdraw_service();

}
