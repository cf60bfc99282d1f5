#pragma once

// The services a drawing test runs on the real (offscreen) device: resources over a
// temporary folder, the skin documents written there, the window that "vimo.window"
// describes and the artist drawing into it.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "engine/base/mainframe.h"
#include "engine/platform/api_window.h"
#include "engine/platform/dx_artist.h"
#include "engine/platform/dx_draw.h"
#include "engine/platform/dx_texture.h"
#include "engine/res/res.h"
#include "engine/res/skin.h"
#include "engine/res/skin_startup.h"
#include "tests/base/temp_dir.h"

namespace kq::test {

/// One file of the test's folder: its name and its content.
using FolderFile = std::pair<std::string, std::string>;

/// The whole text of a file of the source tree, named from its top.
inline std::string source_file_text(const std::string& name)
{
    std::ifstream file(std::string(KQ_SOURCE_DIR) + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

/// Starts the services on construction and stops them in reverse order when it goes.
class DeviceServices
{
public:
    /// Writes `files` into a fresh folder, then starts resources over it, reads the skin
    /// documents named by `documents`, opens the window and the device.
    DeviceServices(const std::vector<FolderFile>& files, const std::vector<std::string>& documents)
    {
        for (const auto& [name, content] : files)
            write(name, content);
        m_saved_tasks.swap(skin_startup_tasks());
        Mainframe::create();
        start_res_service();
        Res::instance()->read_root_file(m_dir.path() + "default.root");
        for (const std::string& document : documents)
            skin_startup_tasks().push_back(make_skin_document_task(document));
        start_skin_service();
        m_window = start_api_window_service(SkinPath("vimo.window"));
        start_dxdraw_service(SkinPath("dxdraw"), SharedPtr<Window>(m_window));
        m_artist = DXDraw::instance()->artist_for(SharedPtr<Window>(m_window));
    }

    ~DeviceServices()
    {
        stop_dxdraw_service();
        stop_api_window_service(m_window);
        stop_skin_service();
        stop_res_service();
        Mainframe::destroy();
        skin_startup_tasks().swap(m_saved_tasks);
    }

    DeviceServices(const DeviceServices&) = delete;
    DeviceServices& operator=(const DeviceServices&) = delete;

    DXArtist& artist() { return *m_artist; }
    APIWindow* window() { return m_window; }
    const TempDir& dir() const { return m_dir; }

    /// Registers an opaque `side` x `side` texture under `path`; `pixel(x, y)` gives each
    /// texel as 0xRRGGBB.
    void add_texture(const std::string& path, int side, const std::function<std::uint32_t(int, int)>& pixel)
    {
        SharedPtr<DXTexture> texture(new DXTexture(0));
        ASSERT_TRUE(texture->create_empty({side, side}, 0));
        std::vector<std::uint8_t> bytes;
        for (int y = 0; y < side; ++y) {
            for (int x = 0; x < side; ++x) {
                const std::uint32_t rgb = pixel(x, y);
                bytes.insert(bytes.end(), {std::uint8_t(rgb >> 16), std::uint8_t(rgb >> 8), std::uint8_t(rgb), 255});
            }
        }
        texture->write_pixels(side, side, bytes);
        Res::instance()->add_resource(ResRequest{type_name<Texture>(), ResKey{path, 0}}, texture);
    }

    /// Registers a 16 x 16 texture of one opaque colour (0xRRGGBB) under `path`.
    void add_texture(const std::string& path, std::uint32_t rgb)
    {
        add_texture(path, 16, [rgb](int, int) { return rgb; });
    }

    /// One frame drawn by `draw` over black, read back (null when the screen cannot be read).
    SharedPtr<Texture> capture(const std::function<void(Artist&)>& draw)
    {
        EXPECT_TRUE(m_artist->begin_scene());
        m_artist->clear({0, 0, 0, 1});
        draw(*m_artist);
        SharedPtr<Texture> shot = m_artist->capture_screen();
        m_artist->end_scene();
        return shot;
    }

    /// The top-left `width` x `height` pixels of a frame drawn by `draw`, row by row, as
    /// 0xRRGGBB; empty when the screen cannot be read.
    std::vector<std::uint32_t> pixels(int width, int height, const std::function<void(Artist&)>& draw)
    {
        std::vector<std::uint32_t> rows;
        const SharedPtr<Texture> shot = capture(draw);
        if (!shot)
            return rows;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                rows.push_back(shot->pixel({x, y}) & 0xFFFFFFu);
        return rows;
    }

private:
    void write(const std::string& name, const std::string& content) const
    {
        std::filesystem::create_directories(std::filesystem::path(m_dir.file(name)).parent_path());
        std::ofstream(m_dir.file(name), std::ios::binary) << content;
    }

    TempDir m_dir;
    APIWindow* m_window = nullptr;
    DXArtist* m_artist = nullptr;
    std::vector<SkinStartupTask> m_saved_tasks;
};

}
