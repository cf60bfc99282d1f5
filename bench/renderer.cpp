// Frames per second of one scene drawn two ways in the same run: 2000 textured, alpha-blended,
// rotated quads through our Artist on the OpenGL device, and the same quads through SDL's own
// renderer (`SDL_RenderGeometry`) in a window of the same size. Each frame clears, draws and
// presents, timed by the clock on the wall (the rasteriser may work on other threads).
// Items per second are frames per second; the ratio ours / SDL's is the comparison.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <vector>

#include "engine/base/mainframe.h"
#include "engine/platform/api_window.h"
#include "engine/platform/dx_artist.h"
#include "engine/platform/dx_draw.h"
#include "engine/platform/dx_texture.h"
#include "engine/res/res.h"
#include "engine/res/skin.h"
#include "engine/res/skin_startup.h"

namespace {

constexpr int quads_per_frame = 2000;
constexpr int width = 640;
constexpr int height = 480;
constexpr int texture_side = 32;

// Where each quad stands, how it turns and how it is tinted.
struct Sprite
{
    float x, y, angle;
    kq::Color color;
};

std::vector<Sprite> make_sprites()
{
    std::vector<Sprite> sprites;
    for (int i = 0; i < quads_per_frame; ++i) {
        sprites.push_back({float(i * 37 % width), float(i * 53 % height), float(i) * 0.01f,
                           {float(i % 7) / 7, float(i % 5) / 5, 1, 0.75f}});
    }
    return sprites;
}

// A texture with a soft round edge, RGBA.
std::vector<std::uint8_t> make_texels()
{
    std::vector<std::uint8_t> texels;
    for (int y = 0; y < texture_side; ++y) {
        for (int x = 0; x < texture_side; ++x) {
            const float dx = x - texture_side / 2.0f + 0.5f;
            const float dy = y - texture_side / 2.0f + 0.5f;
            const float a = std::max(0.0f, 1.0f - std::sqrt(dx * dx + dy * dy) / (texture_side / 2.0f));
            texels.insert(texels.end(), {255, std::uint8_t(128 + x * 4), std::uint8_t(y * 8), std::uint8_t(a * 255)});
        }
    }
    return texels;
}

// The corners of a sprite's 24 x 24 quad, turned about its centre.
void corners(const Sprite& s, float xs[4], float ys[4])
{
    const float c = std::cos(s.angle) * 12;
    const float n = std::sin(s.angle) * 12;
    const float dx[] = {-1, 1, 1, -1};
    const float dy[] = {-1, -1, 1, 1};
    for (int k = 0; k < 4; ++k) {
        xs[k] = s.x + dx[k] * c - dy[k] * n;
        ys[k] = s.y + dx[k] * n + dy[k] * c;
    }
}

void artist_frames(benchmark::State& state)
{
    const auto folder = std::filesystem::temp_directory_path() / "kq_bench_renderer";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "window.sdt") << "vimo { window { fullscreen false color_depth 32 size [(" << width << ", "
                                         << height << ")] fixed false caption \"bench\" max_display_frequency 60 } }\n";
    kq::Mainframe::create();
    kq::start_res_service();
    kq::Res::instance()->read_root_file((folder / "default.root").string());
    kq::skin_startup_tasks() = {kq::make_skin_document_task("window.sdt")};
    kq::start_skin_service();
    kq::APIWindow* window = kq::start_api_window_service(kq::SkinPath("vimo.window"));
    kq::start_dxdraw_service(kq::SkinPath("dxdraw"), kq::SharedPtr<kq::Window>(window));
    {
        kq::DXArtist* artist = kq::DXDraw::instance()->artist_for(kq::SharedPtr<kq::Window>(window));
        kq::SharedPtr<kq::DXTexture> texture(new kq::DXTexture(15));
        texture->create_empty({texture_side, texture_side}, 0);
        texture->write_pixels(texture_side, texture_side, make_texels());
        const std::vector<Sprite> sprites = make_sprites();
        for (auto _ : state) {
            artist->begin_scene();
            artist->clear({0, 0, 0, 1});
            artist->set_texture(texture.get());
            for (const Sprite& s : sprites) {
                // Each sprite brings its own transformation, as a sprite tree does.
                artist->push_transformation();
                artist->transform(kq::Transform::compose({1, 1}, s.angle, {s.x, s.y}));
                kq::Quad q;
                const float xs[] = {-12, 12, 12, -12};
                const float ys[] = {-12, -12, 12, 12};
                for (int k = 0; k < 4; ++k)
                    q.v[k] = {xs[k], ys[k], s.color.r, s.color.g, s.color.b, s.color.a, float(k == 1 || k == 2),
                              float(k >= 2), 0, 0};
                artist->add_quad(q);
                artist->pop_transformation();
            }
            artist->end_scene();
        }
    }
    kq::stop_dxdraw_service();
    kq::stop_api_window_service(window);
    kq::stop_skin_service();
    kq::stop_res_service();
    kq::Mainframe::destroy();
    std::filesystem::remove_all(folder);
    state.SetItemsProcessed(state.iterations());
}

void sdl_render_geometry_frames(benchmark::State& state)
{
    SDL_InitSubSystem(SDL_INIT_VIDEO);
    // The same filtering as our device's.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
    SDL_Window* window = SDL_CreateWindow("bench", 0, 0, width, height, SDL_WINDOW_OPENGL);
    SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED);
    if (!renderer) {
        state.SkipWithError(SDL_GetError());
        SDL_DestroyWindow(window);
        return;
    }
    SDL_RendererInfo info;
    SDL_GetRendererInfo(renderer, &info);
    state.SetLabel(info.name);
    std::vector<std::uint8_t> texels = make_texels();
    SDL_Texture* texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ABGR8888, SDL_TEXTUREACCESS_STATIC,
                                             texture_side, texture_side);
    SDL_UpdateTexture(texture, nullptr, texels.data(), texture_side * 4);
    SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_BLEND);
    const std::vector<Sprite> sprites = make_sprites();
    std::vector<SDL_Vertex> vertices(std::size_t(quads_per_frame) * 4);
    std::vector<int> indices;
    for (int q = 0; q < quads_per_frame; ++q) {
        for (int k : {0, 1, 2, 2, 3, 0})
            indices.push_back(q * 4 + k);
    }
    for (auto _ : state) {
        SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
        SDL_RenderClear(renderer);
        std::size_t n = 0;
        for (const Sprite& s : sprites) {
            float xs[4];
            float ys[4];
            corners(s, xs, ys);
            const SDL_Color c{Uint8(s.color.r * 255), Uint8(s.color.g * 255), Uint8(s.color.b * 255),
                              Uint8(s.color.a * 255)};
            for (int k = 0; k < 4; ++k)
                vertices[n++] = {{xs[k], ys[k]}, c, {float(k == 1 || k == 2), float(k >= 2)}};
        }
        SDL_RenderGeometry(renderer, texture, vertices.data(), int(vertices.size()), indices.data(),
                           int(indices.size()));
        SDL_RenderPresent(renderer);
    }
    SDL_DestroyTexture(texture);
    SDL_DestroyRenderer(renderer);
    SDL_DestroyWindow(window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    state.SetItemsProcessed(state.iterations());
}

}

BENCHMARK(sdl_render_geometry_frames)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(artist_frames)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
