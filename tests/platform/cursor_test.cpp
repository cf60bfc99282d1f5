#include "engine/platform/cursor.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "engine/base/file_path.h"
#include "engine/host/window/cursor_file.h"
#include "engine/res/res.h"
#include "tests/base/log_capture.h"
#include "tests/base/temp_dir.h"
#include "tests/host/window/cursor_fixtures.h"

namespace kq {
namespace {

class CursorLoaderTest : public testing::Test
{
protected:
    CursorLoaderTest() { m_res->read_root_file(m_dir.path() + "default.root"); }

    void write(const std::string& name, const std::string& bytes)
    {
        std::ofstream(m_dir.file(name), std::ios::binary) << bytes;
    }

    /// The loaded cursor; null when nothing was loaded.
    const Cursor* load(const std::string& path)
    {
        ResRequest request{type_name<Cursor>(), {FilePath(path).str(), 0}};
        m_record = m_loader->load(request);
        return m_record ? dynamic_cast<const Cursor*>(m_record->resource().get()) : nullptr;
    }

    TempDir m_dir;
    SharedPtr<Res> m_res{new Res};
    SharedPtr<ResLoader> m_loader{new CursorLoader};
    SharedPtr<ResRecord> m_record;
};

TEST_F(CursorLoaderTest, CursorFilesGiveCursorsOfTheirSizeAndHotSpot)
{
    const std::string cursor = test::plain_cursor(32, 32, 7, 9);
    write("arrow.cur", cursor);
    write("icon.ico", test::icon_file(1, {{test::icon_bitmap({16, 16, 32, {}, std::vector<std::uint32_t>(256, 0xFF000000), {}}), 16, 16, 0, 0}}));
    write("busy.ani", test::ani_file({test::plain_cursor(24, 24, 3, 4), cursor}));
    write("hand.png", cursor);
    struct Case { const char* path; int width; int hot_x; int hot_y; };
    const Case cases[] = {
        {"Arrow.CUR", 32, 7, 9},
        {"icon.ico", 16, 8, 8},
        {"busy.ani", 24, 3, 4},
    };
    for (const Case& c : cases) {
        const Cursor* loaded = load(c.path);
        ASSERT_NE(loaded, nullptr) << c.path;
        ASSERT_NE(loaded->handle(), nullptr);
        EXPECT_EQ(loaded->handle()->image().width, c.width) << c.path;
        EXPECT_EQ(loaded->handle()->image().hot_x, c.hot_x) << c.path;
        EXPECT_EQ(loaded->handle()->image().hot_y, c.hot_y) << c.path;
    }
    // Another extension is no cursor, and no error either.
    EXPECT_EQ(load("hand.png"), nullptr);
}

TEST_F(CursorLoaderTest, TwoCursorsLoadedInARowStayTwo)
{
    write("a.cur", test::plain_cursor(8, 8, 1, 1));
    write("b.cur", test::plain_cursor(16, 16, 2, 2));
    const Cursor* a = load("a.cur");
    const SharedPtr<ResRecord> first = m_record;
    const Cursor* b = load("b.cur");
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_NE(a->handle(), b->handle());
    EXPECT_EQ(a->handle()->image().width, 8);
    EXPECT_EQ(b->handle()->image().width, 16);
}

TEST_F(CursorLoaderTest, AnUnreadableCursorFileIsNotLoadedAndSaysWhy)
{
    test::LogCapture capture;
    write("broken.cur", test::plain_cursor(8, 8, 1, 1).substr(0, 30));
    EXPECT_EQ(load("broken.cur"), nullptr);
    EXPECT_NE(capture.text("window").find("! cursor broken.cur not loaded: a part lies beyond the end of the file"),
              std::string::npos)
        << capture.text("window");
}

// The game's own cursors, as the data tree ships them: each a 32 x 32 picture that shows
// something and points from inside itself.
TEST(DataCursors, EachReadsAsACursor)
{
    const std::filesystem::path folder = std::filesystem::path(KQ_SOURCE_DIR) / "data" / "cursors";
    for (const char* state : {"default", "can_launch", "can_drop", "cant_drop", "can_take", "cant_take", "fireball", "bolt"}) {
        SCOPED_TRACE(state);
        std::ifstream in(folder / (std::string(state) + ".cur"), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), {});
        host::CursorFile file;
        std::string error;
        ASSERT_TRUE(host::read_cursor_file(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), "cur", file, error))
            << error;
        const host::CursorImage& image = file.first_frame();
        EXPECT_EQ(image.width, 32);
        EXPECT_EQ(image.height, 32);
        EXPECT_TRUE(image.hot_x >= 0 && image.hot_x < 32 && image.hot_y >= 0 && image.hot_y < 32);
        int opaque = 0;
        for (std::size_t i = 3; i < image.rgba.size(); i += 4)
            opaque += image.rgba[i] == 255;
        EXPECT_GT(opaque, 40);
    }
}

}
}
