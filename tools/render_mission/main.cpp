// Renders a mission of the data tree on the real device, headless, to two PNG pictures: the
// field after it has settled, and the field a while after one scripted shot. Made for looking
// at content: run it after changing a mission or its images and open the pictures.
//
//   render_mission [options] MISSION OUT
//     MISSION   the mission's skin node, e.g. missions.chapter1.mission1
//     OUT       the pictures' path without extension: OUT-settled.png and OUT-shot.png
//   options:
//     --root FILE      the resource root file (default: default.root beside this program,
//                      the build's copy of the data tree)
//     --seed N         the random generator's seed (default 1)
//     --settle MS      field time run before the first picture (default 2000)
//     --shot X,Y,AX,AY press at (X, Y), aim at (AX, AY) and shoot; default: the first piece,
//                      aimed 100 pixels to its left, so it flies right
//     --after MS       field time run after the shot before the second picture (default 1500)
//
// SDL_VIDEODRIVER=offscreen draws without a display (Mesa's software rasteriser).
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "engine/base/exception.h"
#include "engine/base/mainframe.h"
#include "engine/base/random.h"
#include "engine/platform/api_window.h"
#include "engine/platform/dx_artist.h"
#include "engine/platform/dx_draw.h"
#include "engine/res/res.h"
#include "engine/res/skin.h"
#include "game/field/field.h"
#include "game/field/field_types.h"
#include "game/field/physics/physics_world.h"
#include "game/shell/play/profile_field_game.h"
#include "game/shell/progress/profile.h"
#include "tools/mission_tools/mission_screen.h"

namespace {

struct Options
{
    std::string root;
    std::string mission;
    std::string out;
    unsigned seed = 1;
    int settle = 2000;
    int after = 1500;
    std::optional<std::vector<float>> shot;
};

[[noreturn]] void usage(const std::string& problem)
{
    std::cerr << "render_mission: " << problem << "\n"
              << "usage: render_mission [--root FILE] [--seed N] [--settle MS] [--shot X,Y,AX,AY] [--after MS] "
                 "MISSION OUT\n";
    std::exit(2);
}

std::vector<float> numbers(const std::string& text, std::size_t count)
{
    std::vector<float> out;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = text.find(',', start);
        const std::string part = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        char* end = nullptr;
        out.push_back(std::strtof(part.c_str(), &end));
        if (part.empty() || *end != '\0')
            usage("not a number list: " + text);
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    if (out.size() != count)
        usage("expected " + std::to_string(count) + " numbers: " + text);
    return out;
}

int whole_number(const std::string& text)
{
    return int(numbers(text, 1)[0]);
}

Options parse(int argc, char** argv)
{
    Options options;
    options.root = (std::filesystem::path(argv[0]).parent_path() / "default.root").string();
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--", 0) == 0) {
            if (i + 1 >= argc)
                usage(arg + " needs a value");
            const std::string value = argv[++i];
            if (arg == "--root")
                options.root = value;
            else if (arg == "--seed")
                options.seed = unsigned(whole_number(value));
            else if (arg == "--settle")
                options.settle = whole_number(value);
            else if (arg == "--after")
                options.after = whole_number(value);
            else if (arg == "--shot")
                options.shot = numbers(value, 4);
            else
                usage("unknown option " + arg);
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.size() != 2)
        usage("expected MISSION and OUT");
    options.mission = positional[0];
    options.out = positional[1];
    return options;
}

void write_png(const kq::Texture& shot, const std::string& path)
{
    const int w = shot.image_width();
    const int h = shot.image_height();
    std::vector<png_byte> rows(std::size_t(w) * std::size_t(h) * 3);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const std::uint32_t word = shot.pixel({x, y});
            png_byte* p = &rows[(std::size_t(y) * std::size_t(w) + std::size_t(x)) * 3];
            p[0] = png_byte(word >> 16);
            p[1] = png_byte(word >> 8);
            p[2] = png_byte(word);
        }
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        throw std::runtime_error("cannot write " + path);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        throw std::runtime_error("cannot encode " + path);
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, png_uint_32(w), png_uint_32(h), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < h; ++y)
        png_write_row(png, &rows[std::size_t(y) * std::size_t(w) * 3]);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
}

// Runs the field for `ms` of field time in frames of 20 ms.
void run(kq::Field& field, int ms)
{
    for (int t = 0; t < ms; t += 20)
        field.update(20);
}

void picture(kq::DXArtist& artist, kq::Field& field, const std::string& path)
{
    if (!artist.begin_scene())
        throw std::runtime_error("the device cannot draw");
    artist.clear({0, 0, 0, 1});
    field.draw(artist);
    field.draw_overlay(artist);
    const kq::SharedPtr<kq::Texture> shot = artist.capture_screen();
    artist.end_scene();
    if (!shot)
        throw std::runtime_error("the screen cannot be read back");
    write_png(*shot, path);
    std::cout << path << "\n";
}

void shoot(kq::Field& field, const Options& options)
{
    kq::Vector2<float> press;
    kq::Vector2<float> aim;
    if (options.shot) {
        const std::vector<float>& s = *options.shot;
        press = {s[0], s[1]};
        aim = {s[2], s[3]};
    } else {
        if (field.pieces().empty())
            throw std::runtime_error("the mission has no piece to shoot");
        press = field.pieces().begin()->second->position();
        aim = {press.x - 100.0f, press.y};
    }
    if (!field.on_press(press))
        throw std::runtime_error("no piece to take at the shot's point");
    field.set_aim_point(aim);
    field.update_aim_point();
    field.launch();
}

void render(const Options& options)
{
    const kq::tools::MissionScreen screen(options.root);
    kq::APIWindow* window = screen.window();
    kq::DXArtist& artist = *kq::DXDraw::instance()->artist_for(kq::SharedPtr<kq::Window>(window));
    {
        kq::random_seed(options.seed);
        const kq::Profile profile;
        kq::ProfileFieldGame game(profile);
        kq::Field field(kq::FieldSettings{}, game);
        field.read_skin(kq::SkinPath(options.mission));
        // As the game does after a load: overlapping items are pushed apart.
        field.world().step(5.0f, 500);
        run(field, options.settle);
        picture(artist, field, options.out + "-settled.png");
        shoot(field, options);
        run(field, options.after);
        picture(artist, field, options.out + "-shot.png");
    }
}

}

int main(int argc, char** argv)
{
    const Options options = parse(argc, argv);
    return kq::tools::run_tool("render_mission", [&] { render(options); });
}
