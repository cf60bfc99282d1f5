#pragma once

#include <memory>

#include "engine/base/shared_object.h"
#include "engine/base/shared_ptr.h"
#include "engine/host/gpu/gpu_device.h"
#include "engine/platform/dx_artist.h"

namespace kq {

class Window;

/// One window drawn into by the renderer's device: its artist, its present parameters, the
/// target it draws into and whether it is ready. A `DXScreen` draws into the device's own
/// window; it follows its window's size changes at once and its activation changes from a
/// Mainframe task.
class DXScreen : public SharedObject
{
public:
    /// Not ready; the artist made, the present parameters computed (which throws when full
    /// screen finds no mode).
    explicit DXScreen(const SharedPtr<Window>& window);
    /// Disconnects from the window.
    ~DXScreen() override;
    DXScreen(const DXScreen&) = delete;
    DXScreen& operator=(const DXScreen&) = delete;

    /// Makes the target current and starts a device frame.
    virtual bool begin();
    /// Shows the frame.
    virtual std::int32_t present();
    /// Takes the target to draw into.
    virtual void acquire_surfaces();
    /// Takes the target and makes the artist's device objects; whether drawing is possible.
    virtual bool init();
    /// Gives the artist's device objects and the target back.
    virtual void release();
    /// The window's size or mode changed: new present parameters, then `restore`.
    void on_window_format_changed();
    /// Releases, resets the device for this window and initialises again.
    void restore();

    /// The window.
    Window* window() const { return m_window.get(); }
    /// The artist.
    DXArtist* artist() const { return m_artist.get(); }
    /// The present parameters for the window.
    const host::GpuPresentParameters& present_parameters() const { return m_present_parameters; }
    /// Whether it can draw.
    bool ready() const { return m_ready; }
    /// Sets whether it can draw.
    void set_ready(bool ready) { m_ready = ready; }

protected:
    SharedPtr<Window> m_window;
    std::unique_ptr<DXArtist> m_artist;
    host::GpuPresentParameters m_present_parameters;
    bool m_has_target = false;
    bool m_ready = false;

private:
    std::uintptr_t m_activation_task = 0;
};

/// A screen for any further window: it draws through a swap chain of its own.
class DXMultiScreen : public DXScreen
{
public:
    explicit DXMultiScreen(const SharedPtr<Window>& window);

    bool begin() override;
    std::int32_t present() override;
    void acquire_surfaces() override;
    bool init() override;
    void release() override;

private:
    host::GpuTarget m_swap_chain = 0;
};

}
