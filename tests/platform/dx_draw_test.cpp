#include "engine/platform/dx_draw.h"

#include <fstream>
#include <functional>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/base/exception.h"
#include "engine/base/mainframe.h"
#include "engine/platform/api_window.h"
#include "engine/platform/dx_artist.h"
#include "engine/platform/dx_screen.h"
#include "engine/platform/dx_texture.h"
#include "engine/platform/texture_atlas.h"
#include "engine/platform/window.h"
#include "engine/res/res.h"
#include "engine/res/res_exception.h"
#include "engine/res/res_handle.h"
#include "engine/res/skin.h"
#include "engine/res/skin_startup.h"
#include "tests/base/log_capture.h"
#include "tests/base/temp_dir.h"
#include "tests/platform/fake_gpu_device.h"
#include "tests/platform/test_window.h"
#include "tests/res/test_skin_environment.h"

namespace kq {
namespace {

using host::gpu_device_lost;
using host::gpu_device_not_reset;
using testing::HasSubstr;
using testing::Not;
using test::TestWindow;

SharedPtr<TestWindow> make_window(const char* name)
{
    return SharedPtr<TestWindow>(new TestWindow(SkinPath(name)));
}

// The renderer over a fake device for a 64 x 48 window, with the resource manager.
class DXDrawTest : public testing::Test
{
protected:
    DXDrawTest()
    {
        Mainframe::create();
        res->read_root_file(dir.path() + "default.root");
        window = make_window("w");
        draw = SharedPtr<DXDraw>(new DXDraw(SkinPath("dxdraw"), window, std::unique_ptr<host::GpuDevice>(device)));
    }
    ~DXDrawTest() override
    {
        if (draw->device())
            draw->shutdown();
        draw = SharedPtr<DXDraw>();
        Mainframe::destroy();
    }

    std::string log_text() const { return log.text("dxdraw"); }

    test::LogCapture log;
    test::TestSkinEnvironment skin{"w { fullscreen false color_depth 32 size [(64, 48)] fixed false }"
                                   "v { fullscreen false color_depth 32 size [(32, 32)] fixed false }"};
    TempDir dir;
    SharedPtr<Res> res{new Res};
    test::FakeGpuDevice* device = new test::FakeGpuDevice;
    SharedPtr<TestWindow> window;
    SharedPtr<DXDraw> draw;
};

TEST_F(DXDrawTest, InitializationLogsTheAdapterModeAndDevice)
{
    draw->initialize();
    const char* lines[] = {
        "Initialization started.",
        "D3D8 interface created successful.",
        "Adapter Info:",
        "Driver: fake",
        "Description: Fake adapter",
        "DriverVersion:",
        "  Product: 5",
        "  Version: 6",
        "  SubVersion: 7",
        "  Build: 8",
        "VendorId: 4318",
        "WHQLLevel: 0",
        "Desktop video mode: 1024x768x32(22) 60 Hz",
        "Try to find format: (64,48) / 32 / FS false",
        "New present parameters:",
        "  BufferWidth 64",
        "  BufferHeight 48",
        "  BufferFormat 32(22) ",
        "  Windowed     true",
        "D3D8 device created successful.",
        "Initialization done.",
    };
    std::size_t at = 0;
    const std::string text = log_text();
    for (const char* line : lines) {
        const std::size_t found = text.find(std::string("\n") + line + "\n", at);
        ASSERT_NE(found, std::string::npos) << line;
        at = found + 1;
    }
    EXPECT_THAT(device->calls, testing::Contains("create 64 48 22 1"));
    EXPECT_THAT(device->calls, testing::Contains("clear 4278190080"));
    // The start window has its screen, ready; the loaders are registered.
    ASSERT_EQ(draw->screens().size(), 1u);
    EXPECT_TRUE(draw->screens()[0]->ready());
    EXPECT_EQ(draw->artist_for(window), draw->screens()[0]->artist());
    ResRequest atlas{type_name<TextureAtlas>(), {"none.ta", 0}};
    EXPECT_THROW(res->load(atlas), ResException);
    EXPECT_THAT(log.text("res"), HasSubstr("none.ta"));
}

TEST_F(DXDrawTest, FailuresOfTheStartAreReported)
{
    struct Case {
        const char* what;
        std::function<void(test::FakeGpuDevice&)> setup;
        const char* error;
    };
    const Case cases[] = {
        {"no desktop mode", [](test::FakeGpuDevice& d) { d.desktop.format = 0; }, "Can't determine desktop video mode"},
        {"no device", [](test::FakeGpuDevice& d) { d.can_create = false; }, "ERROR: Can't create D3D device"},
    };
    for (const Case& c : cases) {
        auto* fake = new test::FakeGpuDevice;
        c.setup(*fake);
        DXDraw other(SkinPath("dxdraw"), window, std::unique_ptr<host::GpuDevice>(fake));
        try {
            other.initialize();
            ADD_FAILURE() << c.what;
        } catch (const Exception& error) {
            EXPECT_THAT(error.what(), HasSubstr(c.error)) << c.what;
        }
    }
    auto* unknown = new test::FakeGpuDevice;
    unknown->adapter_known = false;
    DXDraw other(SkinPath("dxdraw"), window, std::unique_ptr<host::GpuDevice>(unknown));
    other.initialize();
    EXPECT_THAT(log_text(), HasSubstr("\nERROR: GetAdapterIdentifier() error.\n"));
    other.shutdown();
}

TEST_F(DXDrawTest, FullScreenTakesTheBestFormatOfTheWindowsSize)
{
    using M = host::GpuDisplayMode;
    struct Case {
        std::vector<M> modes;
        int depth;
        std::int32_t format;  // 0: no mode
    };
    const Case cases[] = {
        {{{64, 48, 60, 23}, {64, 48, 60, 22}}, 32, 22},
        {{{64, 48, 60, 22}, {64, 48, 60, 23}}, 32, 22},
        {{{64, 48, 60, 22}, {64, 48, 60, 23}}, 16, 23},
        {{{64, 48, 60, 22}}, 16, 0},
        {{{64, 48, 60, 24}, {64, 48, 85, 25}, {64, 48, 60, 23}}, 16, 25},
        {{{64, 48, 60, 21}, {64, 49, 60, 21}}, 24, 21},
        {{{64, 48, 60, 77}}, 32, 0},  // an unranked format is never chosen
        {{{80, 48, 60, 22}}, 32, 0},
        {{}, 32, 0},
    };
    draw->initialize();
    for (const Case& c : cases) {
        device->modes = c.modes;
        window->set_mode(true, c.depth);
        host::GpuPresentParameters pp;
        if (c.format == 0) {
            EXPECT_THROW(draw->make_present_parameters(window.get(), pp), Exception);
            continue;
        }
        draw->make_present_parameters(window.get(), pp);
        EXPECT_EQ(pp.format, c.format) << c.depth;
        EXPECT_FALSE(pp.windowed);
    }
    EXPECT_THAT(log_text(), HasSubstr("\n# 0 size: 64x48 format: 22 fraq: 60\n"));
    EXPECT_THAT(log_text(), HasSubstr("\nModes count: 0\n"));
    EXPECT_THAT(log_text(), HasSubstr("\nTry to find format: (64,48) / 16 / FS true\n"));

    // An empty client area still gets a back buffer.
    window->set_mode(false, 32);
    window->resize({0, 0});
    host::GpuPresentParameters pp;
    draw->make_present_parameters(window.get(), pp);
    EXPECT_EQ(pp.width, 1);
    EXPECT_EQ(pp.height, 1);
}

TEST_F(DXDrawTest, FormatRanksAndBits)
{
    struct Case {
        std::int32_t format;
        int rank, bits;
    };
    const Case cases[] = {{23, 1, 16}, {24, 2, 16}, {25, 3, 16}, {22, 4, 32}, {21, 5, 32}, {20, 0, 16}, {0, 0, 16}};
    for (const Case& c : cases) {
        EXPECT_EQ(format_rank(c.format), c.rank) << c.format;
        EXPECT_EQ(format_bits(c.format), c.bits) << c.format;
    }
}

TEST_F(DXDrawTest, ALostDeviceSkipsFramesUntilItCanBeReset)
{
    draw->initialize();
    DXArtist* artist = draw->artist_for(window);
    device->level = gpu_device_lost;
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(artist->begin_scene());
    EXPECT_THAT(log_text(), Not(HasSubstr("Restoring")));

    // A failing reset skips the frame with its code; the next try succeeds.
    device->level = gpu_device_not_reset;
    device->reset_result = gpu_device_lost;
    EXPECT_FALSE(artist->begin_scene());
    EXPECT_THAT(log_text(), HasSubstr("\nRestoring begin.\nReset error, code: -2005530520\n"));
    device->reset_result = host::gpu_ok;
    device->calls.clear();
    ASSERT_TRUE(artist->begin_scene());
    EXPECT_THAT(log_text(), HasSubstr("\nRestoring begin.\nRestoring success.\n"));
    EXPECT_EQ(device->calls.front(), "reset 64 48");
    artist->fill_rect({0, 0, 10, 10}, {1, 1, 1, 1});
    artist->end_scene();
    EXPECT_THAT(device->calls, testing::Contains("draw 4"));
    EXPECT_THAT(device->calls, testing::Contains("present 0"));
}

TEST_F(DXDrawTest, ARestorationReinitialisesEveryScreenForTheFirstWindow)
{
    draw->initialize();
    SharedPtr<TestWindow> other = make_window("v");
    DXArtist* second = draw->artist_for(other);
    EXPECT_EQ(draw->artist_for(other), second);
    ASSERT_EQ(draw->screens().size(), 2u);

    device->level = gpu_device_not_reset;
    device->calls.clear();
    ASSERT_TRUE(second->begin_scene());
    second->end_scene();
    // Both screens were released and made again; the reset used the first window's size.
    EXPECT_EQ(device->calls.front(), "release_swap_chain 1");
    EXPECT_THAT(device->calls, testing::Contains("reset 64 48"));
    EXPECT_THAT(device->calls, testing::Contains("swap_chain 32 32"));
    EXPECT_THAT(device->calls, testing::Contains("present 2"));

    // A screen whose swap chain cannot be made fails the restoration and stays not ready.
    device->level = gpu_device_not_reset;
    device->can_make_swap_chains = false;
    EXPECT_FALSE(draw->artist_for(window)->begin_scene());
    EXPECT_THAT(log_text(), HasSubstr("\nScenes init failed.\n"));
    EXPECT_FALSE(draw->screens()[1]->ready());
    // The first screen draws again; the second's frames are skipped after a failed restore.
    EXPECT_TRUE(draw->artist_for(window)->begin_scene());
    draw->artist_for(window)->end_scene();
    EXPECT_FALSE(second->begin_scene());
    EXPECT_THAT(log_text(), HasSubstr("\nRestoring begin.\nRestoring failed.\n"));
}

TEST_F(DXDrawTest, WindowChangesRestoreTheScreen)
{
    draw->initialize();
    window->resize({80, 60});
    EXPECT_THAT(log_text(), HasSubstr("\nWindow_format_changed.\nTry to find format: (80,60) / 32 / FS false\n"));
    EXPECT_THAT(log_text(), HasSubstr("\nRestoring begin.\nRestoring success.\n"));
    EXPECT_THAT(device->calls, testing::Contains("reset 80 60"));

    // Activation is answered later, from a task.
    const std::size_t before = log_text().size();
    window->on_activate().emit(false);
    EXPECT_EQ(log_text().size(), before);
    Mainframe::set_no_wait(true);
    Mainframe::step();
    EXPECT_THAT(log_text().substr(before), HasSubstr("Window_format_changed.\n"));
}

TEST_F(DXDrawTest, FramesNeedAScreen)
{
    draw->initialize();
    SharedPtr<TestWindow> stranger = make_window("v");
    EXPECT_FALSE(draw->begin_frame(stranger.get()));
    EXPECT_EQ(draw->current_screen(), nullptr);
    ASSERT_TRUE(draw->begin_frame(nullptr));
    EXPECT_EQ(draw->current_screen(), draw->screens()[0].get());
    draw->end_frame();
    EXPECT_EQ(draw->current_screen(), nullptr);

    device->present_result = host::gpu_failed;
    ASSERT_TRUE(draw->begin_frame(window.get()));
    draw->end_frame();
    EXPECT_THAT(log_text(), HasSubstr("\nPresent failed, code: -2147467259\n"));
}

TEST_F(DXDrawTest, TexturesOutliveTheDeviceSafely)
{
    draw->initialize();
    SharedPtr<DXTexture> texture(new DXTexture(0));
    ASSERT_TRUE(texture->create_empty({5, 3}, 0));
    EXPECT_EQ(texture->width(), 8);
    EXPECT_EQ(texture->height(), 4);
    EXPECT_EQ(texture->image_width(), 5);
    EXPECT_THAT(device->calls, testing::Contains("create_texture 8 4"));
    draw->shutdown();
    EXPECT_THAT(log_text(), HasSubstr("\nShutdown started.\n"));
    EXPECT_THAT(log_text(), HasSubstr("\nShutdown done.\n"));
    device = nullptr;  // gone with the renderer's device

    // Destroying a texture of a device that is gone gives nothing back.
    texture = SharedPtr<DXTexture>();
    // A texture request now is refused with a clear error.
    TempDir files;
    std::ofstream(dir.file("t.png")) << "not read";
    ResRequest request{type_name<Texture>(), {"t.png", 0}};
    test::LogCapture errors;
    EXPECT_THROW(res->load(request), ResException);
    EXPECT_THAT(errors.text("error"), HasSubstr("Texture [t.png] requested while no renderer runs."));
}

}
}

namespace kq {
namespace {

// The renderer on OpenGL with the real services, started with or without the game's window.
class DXDrawServiceTest : public testing::Test
{
protected:
    DXDrawServiceTest()
    {
        m_saved_tasks.swap(skin_startup_tasks());
        std::ofstream(m_dir.file("window.sdt"))
            << "vimo { window { fullscreen false color_depth 32 size [(64, 48)] fixed true caption \"t\""
               " max_display_frequency 60 } }\n"
               "dxdraw { default_window { fullscreen false color_depth 32 size [(32, 24)] fixed false"
               " caption \"hidden\" max_display_frequency 60 } }\n";
        Mainframe::create();
        start_res_service();
        Res::instance()->read_root_file(m_dir.path() + "default.root");
        skin_startup_tasks() = {make_skin_document_task("window.sdt")};
        start_skin_service();
    }
    ~DXDrawServiceTest() override
    {
        if (DXDraw::instance())
            stop_dxdraw_service();
        if (m_window)
            stop_api_window_service(m_window);
        stop_skin_service();
        stop_res_service();
        Mainframe::destroy();
        skin_startup_tasks().swap(m_saved_tasks);
    }

    test::LogCapture log;
    TempDir m_dir;
    APIWindow* m_window = nullptr;

private:
    std::vector<SkinStartupTask> m_saved_tasks;
};

TEST_F(DXDrawServiceTest, WithoutAWindowItMakesAHiddenOneAndStopsIt)
{
    start_dxdraw_service(SkinPath("dxdraw"), SharedPtr<Window>());
    DXDraw* draw = DXDraw::instance();
    ASSERT_NE(draw, nullptr);
    ASSERT_NE(draw->window(), nullptr);
    EXPECT_FALSE(draw->window()->is_visible());
    EXPECT_EQ(draw->window()->client_size(), (Vector2<int>{32, 24}));
    EXPECT_TRUE(draw->screens().empty());
    EXPECT_FALSE(draw->begin_frame(nullptr));
    stop_dxdraw_service();
    EXPECT_THAT(log.text("window"), HasSubstr("created"));
    EXPECT_EQ(DXDraw::instance(), nullptr);
}

TEST_F(DXDrawServiceTest, TogglingFullScreenRestoresTheScreen)
{
    m_window = start_api_window_service(SkinPath("vimo.window"));
    start_dxdraw_service(SkinPath("dxdraw"), SharedPtr<Window>(m_window));
    DXArtist* artist = DXDraw::instance()->artist_for(SharedPtr<Window>(m_window));
    m_window->set_fullscreen(true);
    EXPECT_THAT(log.text("dxdraw"), HasSubstr("\nWindow_format_changed.\nTry to find format: ("));
    EXPECT_THAT(log.text("dxdraw"), HasSubstr(" / FS true\n"));
    EXPECT_THAT(log.text("dxdraw"), HasSubstr("\nRestoring begin.\nRestoring success.\n"));
    // The screen draws on. (The offscreen test driver keeps its surface at the first size, so
    // the pixels of a resized window are not compared here.)
    ASSERT_TRUE(artist->begin_scene());
    artist->clear({0, 1, 0, 1});
    artist->end_scene();
    m_window->set_fullscreen(false);
    EXPECT_THAT(log.text("dxdraw"), HasSubstr(" / FS false\n"));
    EXPECT_TRUE(artist->begin_scene());
    artist->end_scene();
}

}
}
