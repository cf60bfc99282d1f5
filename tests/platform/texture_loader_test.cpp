#include "engine/platform/dx_texture_loader.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/base/buffer.h"
#include "engine/base/exception.h"
#include "engine/base/tstream.h"
#include "engine/platform/dx_draw.h"
#include "engine/platform/dx_texture.h"
#include "engine/platform/sub_texture.h"
#include "engine/platform/texture_atlas.h"
#include "engine/platform/texture_rules.h"
#include "engine/res/res.h"
#include "engine/res/res_exception.h"
#include "tests/base/temp_dir.h"
#include "tests/host/gpu/image_files.h"
#include "tests/platform/fake_gpu_device.h"
#include "tests/platform/test_window.h"
#include "tests/res/test_skin_environment.h"

namespace kq {
namespace {

using testing::HasSubstr;

std::string solid_png(int width, int height, std::uint8_t grey)
{
    return test::png_file({width, height, PNG_COLOR_TYPE_RGB, 8,
                           std::vector<std::uint8_t>(std::size_t(width * height) * 3, grey)});
}

std::string solid_jpeg(int width, int height)
{
    return test::jpeg_file(width, height, JCS_RGB, std::vector<std::uint8_t>(std::size_t(width * height) * 3, 90));
}

// A text atlas over "page.png" of its folder with 1 x 1 sprites at the given places.
std::string atlas_text(const std::vector<std::pair<std::string, int>>& sprites)
{
    std::string text = "Texture t { filename = page.png resgroup = g }\n";
    for (const auto& [name, x] : sprites)
        text += "Sprite \"" + name + "\" { texture = t rect = " + std::to_string(x) + ", 0, 1, 1 resgroup = g }\n";
    return text;
}

// The renderer over a fake device and a resource folder the tests fill.
class TextureLoaderTest : public testing::Test
{
protected:
    TextureLoaderTest()
    {
        res->read_root_file(dir.path() + "default.root");
        draw.initialize();
    }
    ~TextureLoaderTest() override { draw.shutdown(); }

    void write(const std::string& name, const std::string& content) const
    {
        std::filesystem::create_directories(std::filesystem::path(dir.file(name)).parent_path());
        std::ofstream(dir.file(name), std::ios::binary) << content;
    }

    void set_time(const std::string& name, int seconds_ago) const
    {
        std::filesystem::last_write_time(dir.file(name),
                                         std::filesystem::file_time_type::clock::now() - std::chrono::seconds(seconds_ago));
    }

    SharedPtr<ResRecord> load(const std::string& path, std::int32_t flags)
    {
        ResRequest request{type_name<Texture>(), {path, flags}};
        return res->load(request);
    }

    // Where the texture came from: "atlas x" for a rectangle of an atlas at column x,
    // "WxH alpha A" for a texture of its own; "none" when nothing was found.
    std::string describe(const std::string& path, std::int32_t flags)
    {
        SharedPtr<ResRecord> record;
        try {
            record = load(path, flags);
        } catch (const ResException&) {
            return "none";
        }
        const Resource* resource = record->resource().get();
        if (const auto* sub = dynamic_cast<const SubTexture*>(resource))
            return "atlas " + std::to_string(sub->rect().x);
        const auto* texture = dynamic_cast<const DXTexture*>(resource);
        if (!texture)
            return "other";
        return std::to_string(texture->width()) + "x" + std::to_string(texture->height()) + " alpha " +
               std::to_string(texture->pixel({0, 0}) >> 24);
    }

    // Whether a texture of this path is loaded, with any flags.
    bool is_loaded(const std::string& path) const
    {
        const auto textures = res->table().find(type_name<Texture>());
        if (textures == res->table().end())
            return false;
        for (const auto& [key, record] : textures->second) {
            if (key.m_path == path)
                return true;
        }
        return false;
    }

    test::TestSkinEnvironment skin{"w { fullscreen false color_depth 32 size [(64, 48)] fixed false }"};
    TempDir dir;
    SharedPtr<Res> res{new Res};
    SharedPtr<test::TestWindow> window{new test::TestWindow(SkinPath("w"))};
    DXDraw draw{SkinPath("dxdraw"), window, std::unique_ptr<host::GpuDevice>(new test::FakeGpuDevice)};
};

// One folder exercising every step of the search.
class TextureSearchTest : public TextureLoaderTest
{
protected:
    TextureSearchTest()
    {
        write("art/ok.png", solid_png(2, 2, 200));
        write("art/page.png", solid_png(8, 1, 10));
        write("art/default.tah",
              "ATLAS wrong.res FILTER gone\n"
              "ATLAS named.res FILTER \"art/go.*\"\n"
              "ATLAS empty.res FILTER \"art/tw.*\"\n"
              "ATLAS named.res FILTER \"art/twice\\\\.png\"\n"
              "ATLAS absent.res FILTER \"art/lost\\\\.png\"\n"
              "ATLAS pageless.res FILTER \"art/paged\\\\.png\"\n"
              "ATLAS named.res FILTER \"art/ok\\\\.png\"\n");
        write("art/wrong.res", atlas_text({{"art/gone.png", 0}}));
        write("art/named.res", atlas_text({{"art/gone.png", 1}, {"art/twice.png", 2}, {"art/ok.png", 3}}));
        write("art/empty.res", atlas_text({{"art/other.png", 0}}));
        write("art/pageless.res", "Texture t { filename = nowhere.png resgroup = g }\n"
                                  "Sprite \"art/paged.png\" { texture = t rect = 0, 0, 1, 1 resgroup = g }\n");
        write("art/atlas1.res",
              atlas_text({{"art/paged.png", 3}, {"art/twice.png", 4}, {"art/lost.png", 5}, {"art/ok.png", 6},
                          {"art/pair.png", 7}}));
        write("art/pair_rgb.jpg", solid_jpeg(4, 4));
        write("art/pair_a.png", solid_png(4, 4, 64));
        write("art/half_rgb.jpg", solid_jpeg(4, 4));
        write("art/odd_rgb.jpg", solid_jpeg(4, 4));
        write("art/odd_a.png", solid_png(2, 4, 64));
        write("solo/page.png", solid_png(8, 1, 10));
        write("solo/atlas2.res", atlas_text({{"solo/x.png", 0}}));
    }
};

TEST_F(TextureSearchTest, FindsEachTextureWhereTheSearchOrderSays)
{
    struct Case {
        const char* path;
        std::int32_t flags;
        const char* found;
        const char* why;
    };
    const Case cases[] = {
        {"art/ok.png", 0, "2x2 alpha 255", "a file wins over the rules and the atlases listing it"},
        {"art/gone.png", 0, "atlas 1", "a partial match is no match; a whole match is"},
        {"art/twice.png", 0, "atlas 4", "the earlier rule wins; its atlas lacks the name, so probing follows"},
        {"art/lost.png", 0, "atlas 5", "a rule's atlas that does not load holds nothing"},
        {"art/paged.png", 0, "atlas 3", "nor does one whose page does not load"},
        {"art/pair.png", 0, "atlas 7", "the numbered atlases come before the pair"},
        {"art/pair.png", texture_request_direct, "4x4 alpha 64", "the direct flag goes to the pair"},
        {"art/pair.png", 7, "none", "a mode allows only the file"},
        {"art/pair.png", 15, "none", "a mode allows only the file"},
        {"solo/x.png", 0, "none", "atlas2.res is never probed without atlas1.res"},
        {"art/half.png", 0, "none", "a colour image without its alpha image"},
        {"art/nothing.png", 0, "none", "found nowhere"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(describe(c.path, c.flags), c.found) << c.path << " " << c.flags << ": " << c.why;

    // Only the merged texture stays, under the requested key; the components are gone.
    EXPECT_TRUE(is_loaded("art/pair.png"));
    for (const char* component : {"art/pair_rgb.jpg", "art/pair_a.png", "art/half_rgb.jpg"})
        EXPECT_FALSE(is_loaded(component)) << component;
}

TEST_F(TextureSearchTest, TexturesCarryTheTimeOfWhatTheyCameFrom)
{
    set_time("art/named.res", 300);
    set_time("art/pair_rgb.jpg", 200);
    set_time("art/pair_a.png", 100);
    EXPECT_EQ(load("art/gone.png", 0)->time(), res->open_file("art/named.res").m_time);
    // The pair: the later of its two images.
    const std::int64_t alpha_time = res->open_file("art/pair_a.png").m_time;
    EXPECT_GT(alpha_time, res->open_file("art/pair_rgb.jpg").m_time);
    EXPECT_EQ(load("art/pair.png", texture_request_direct)->time(), alpha_time);
    set_time("art/pair_rgb.jpg", 10);
    res->unload([](StrCache, const ResKey&, const ResRecord&) { return true; });
    EXPECT_EQ(load("art/pair.png", texture_request_direct)->time(), res->open_file("art/pair_rgb.jpg").m_time);
}

TEST_F(TextureSearchTest, APairThatCannotBeMergedFailsAndLeavesNoComponentLoaded)
{
    try {
        load("art/odd.png", 0);
        ADD_FAILURE() << "merged images of different sizes";
    } catch (const Exception& error) {
        EXPECT_THAT(error.what(), HasSubstr("Texture mix error: sizes not equal."));
    }
    EXPECT_FALSE(is_loaded("art/odd_rgb.jpg"));
    EXPECT_FALSE(is_loaded("art/odd_a.png"));
}

TEST_F(TextureLoaderTest, BrokenRulesAndAtlasesAreErrorsOfTheirFiles)
{
    write("a/default.tah", "ATLAS x.res FILTER \"(unclosed\"\n");
    write("b/default.tah", "ATLAS x.res FILTR y\n");
    write("c/default.tah", "ATLAS x.res FILTER\n");
    write("d/atlas1.res", "Texture t { filename page.png resgroup = g }\n");
    struct Case {
        const char* path;
        const char* error;
    };
    const Case cases[] = {
        {"a/t.png", "bad filter '(unclosed'"},
        {"b/t.png", "unexpected symbol 'FILTR', must be 'FILTER'."},
        {"c/t.png", "unexcepted end of file reached."},
        {"d/t.png", "unexpected symbol 'page.png', must be '='."},
    };
    for (const Case& c : cases) {
        try {
            load(c.path, 0);
            ADD_FAILURE() << c.path;
        } catch (const IOException& error) {
            EXPECT_THAT(error.what(), HasSubstr(c.error)) << c.path;
        }
    }
}

TEST(TextureRules, TheFirstRuleMatchingTheWholeNameNamesTheAtlas)
{
    StringBuffer text("ATLAS Near.RES FILTER \"ui/b.*\"\n"
                      "ATLAS \"far/away.res\" FILTER \"ui/.*\\\\.png\" ATLAS never.res FILTER \".*\"");
    TStream stream(text);
    TextureRules rules;
    rules.read(stream);
    ASSERT_EQ(rules.rules().size(), 3u);
    struct Case {
        const char* name;
        const char* atlas;
    };
    const Case cases[] = {
        {"ui/button.png", "ui/near.res"}, {"ui/knob.png", "far/away.res"}, {"ui/knob.jpg", "ui/never.res"},
        {"x/ui/button.png", "ui/never.res"},
    };
    for (const Case& c : cases) {
        std::string atlas;
        EXPECT_TRUE(rules.find_atlas(FilePath("ui/"), c.name, atlas)) << c.name;
        EXPECT_EQ(atlas, c.atlas) << c.name;
    }
    // Reading again replaces the rules.
    StringBuffer empty("");
    TStream none(empty);
    rules.read(none);
    std::string atlas = "kept";
    EXPECT_FALSE(rules.find_atlas(FilePath("ui/"), "ui/button.png", atlas));
    EXPECT_EQ(atlas, "kept");
}

}
}
