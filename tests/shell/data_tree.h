#pragma once

// The game's own data tree under test: a copy of it in a fresh folder with the "res" and
// "skin" services over it, started with the game's start-up list.
#include <filesystem>
#include <memory>
#include <string>

#include <unistd.h>

#include "engine/art/art_service.h"
#include "engine/base/mainframe.h"
#include "engine/platform/audio.h"
#include "engine/platform/dx_draw.h"
#include "engine/res/res.h"
#include "engine/res/skin.h"
#include "tests/platform/fake_gpu_device.h"
#include "tests/platform/test_window.h"

namespace kq::test {

/// Copies the data tree into a folder named from `prefix` and the process, and starts the
/// services over it; stops them and removes the folder when it goes.
class DataTree
{
public:
    explicit DataTree(const std::string& prefix)
        : m_dir(std::filesystem::temp_directory_path() / (prefix + std::to_string(::getpid())))
    {
        const std::filesystem::path data = std::filesystem::path(KQ_SOURCE_DIR) / "data";
        std::filesystem::remove_all(m_dir);
        std::filesystem::create_directories(m_dir);
        std::filesystem::copy(data, m_dir / "data", std::filesystem::copy_options::recursive);
        std::filesystem::copy_file(data / "default.root", m_dir / "default.root");
        Mainframe::create();
        start_res_service();
        Res::instance()->read_root_file((m_dir / "default.root").string());
        start_skin_service();
    }

    ~DataTree()
    {
        stop_skin_service();
        stop_res_service();
        Mainframe::destroy();
        std::filesystem::remove_all(m_dir);
    }

    DataTree(const DataTree&) = delete;
    DataTree& operator=(const DataTree&) = delete;

private:
    std::filesystem::path m_dir;
};

/// The data tree with a renderer on a device that keeps its textures in memory, the fonts and
/// images the field's texts and effects load, and the audio service that the field's objects
/// load their sounds from (the tests' dummy audio driver): the services the game starts.
class DataTreeRenderer : public DataTree
{
public:
    explicit DataTreeRenderer(const std::string& prefix)
        : DataTree(prefix), m_window(new TestWindow(SkinPath("vimo.window"))),
          m_draw(SkinPath("dxdraw"), m_window, std::unique_ptr<host::GpuDevice>(new FakeGpuDevice))
    {
        m_draw.initialize();
        start_art_service();
        start_audio_service();
    }

    ~DataTreeRenderer()
    {
        stop_audio_service();
        stop_art_service();
        m_draw.shutdown();
    }

private:
    SharedPtr<TestWindow> m_window;
    DXDraw m_draw;
};

}
