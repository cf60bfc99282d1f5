#include "engine/platform/texture_atlas_loader.h"

#include <fstream>
#include <sstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/base/exception.h"
#include "engine/platform/sub_texture.h"
#include "engine/platform/texture_atlas.h"
#include "engine/res/res.h"
#include "engine/res/res_exception.h"
#include "tests/base/temp_dir.h"
#include "tests/platform/atlas_bytes.h"
#include "tests/platform/recording_artist.h"

namespace kq {
namespace {

using testing::HasSubstr;

// Page textures for the tests: a ".png" file holding "width height" becomes a plain texture
// whose handle counts the textures made.
class PageLoader : public SimpleResLoader
{
public:
    SharedPtr<Resource> load_from_stream(ResStream& stream, const ResRequest&) override
    {
        std::string text(stream.m_buffer->size(), '\0');
        stream.m_buffer->read(text.data(), std::uint32_t(text.size()));
        std::istringstream in(text);
        int w = 0;
        int h = 0;
        in >> w >> h;
        return SharedPtr<Resource>(new test::PlainTexture(++m_made, w, h));
    }

private:
    TextureHandle m_made = 0;
};

struct AtlasFixture
{
    AtlasFixture()
    {
        res->read_root_file(dir.path() + "default.root");
        res->add_loader(type_name<TextureAtlas>(), SharedPtr<ResLoader>(new TextureAtlasLoader));
        res->add_loader(type_name<Texture>(), SharedPtr<ResLoader>(new PageLoader));
    }

    void write(const std::string& name, const std::string& content) const
    {
        std::filesystem::create_directories(std::filesystem::path(dir.file(name)).parent_path());
        std::ofstream(dir.file(name), std::ios::binary) << content;
    }

    TextureAtlas* load(const std::string& path)
    {
        ResRequest request{type_name<TextureAtlas>(), {path, 0}};
        record = res->load(request);
        return record ? dynamic_cast<TextureAtlas*>(record->resource().get()) : nullptr;
    }

    TempDir dir;
    SharedPtr<Res> res{new Res};
    SharedPtr<ResRecord> record;
};

TEST(TextureAtlasLoader, LoadsBothFormsWithTheirPages)
{
    AtlasFixture f;
    // Pages are found beside the atlas first.
    f.write("ui/page.png", "128 64");
    f.write("shared.png", "256 256");
    f.write("ui/atlas.res",
            "Texture t { filename = page.png resgroup = g }\n"
            "Sprite button { texture = t rect = 64, 0, 32, 32 resgroup = g }\n");
    f.write("ui/atlas.ta", test::AtlasBytes()
                               .u32(2)
                               .page("page.png", 0x10, 1)
                               .sprite("knob", 0, 0, 8, 8)
                               .page("shared.png", 0x10, 0)
                               .bytes);

    TextureAtlas* text = f.load("ui/atlas.res");
    ASSERT_NE(text, nullptr);
    ASSERT_EQ(text->pages().size(), 1u);
    // The page was loaded with the atlas.
    ASSERT_NE(text->pages()[0].texture.get_loaded(), nullptr);

    ResHandle<Texture> page;
    RectI rect;
    ASSERT_TRUE(text->find("button", page, rect));
    SubTexture button;
    button.assign(page, rect);
    EXPECT_EQ(button.handle(), page.get()->handle());
    EXPECT_EQ(button.to_uv({0, 32}), (Vector2<float>{0.5f, 0.5f}));

    TextureAtlas* binary = f.load("ui/atlas.ta");
    ASSERT_NE(binary, nullptr);
    ASSERT_EQ(binary->pages().size(), 2u);
    EXPECT_NE(binary->pages()[1].texture.get_loaded(), nullptr);
    // Both atlases share the one loaded page texture.
    EXPECT_EQ(binary->pages()[0].texture.get_loaded(), text->pages()[0].texture.get_loaded());
}

TEST(TextureAtlasLoader, FilesItCannotReadGiveNoAtlas)
{
    AtlasFixture f;
    f.write("atlas.txt", "Texture t { filename = p.png resgroup = g }");
    f.write("other.res", "Image t { }");
    for (const char* path : {"atlas.txt", "other.res", "missing.ta"}) {
        EXPECT_THROW(f.load(path), ResException) << path;
    }
}

TEST(TextureAtlasLoader, DamagedFilesFailWithTheStreamsErrors)
{
    AtlasFixture f;
    f.write("p.png", "8 8");
    f.write("short.ta", test::AtlasBytes().u32(1).page("p.png", 0x10, 3).sprite("a", 0, 0, 1, 1).bytes);
    f.write("broken.res", "Texture t { filename = p.png resgroup = g } Sprite s { rect }");
    struct Case {
        const char* path;
        const char* error;
    };
    const Case cases[] = {
        {"short.ta", "unexpected end of buffer."},
        {"broken.res", "unexpected symbol 'rect', must be 'texture'"},
    };
    for (const Case& c : cases) {
        try {
            f.load(c.path);
            ADD_FAILURE() << c.path;
        } catch (const IOException& error) {
            EXPECT_THAT(error.message(), HasSubstr(c.error)) << c.path;
        }
    }
}

}
}
