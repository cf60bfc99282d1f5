#include "engine/platform/bitmap_loader.h"

#include <fstream>

#include <gtest/gtest.h>

#include "engine/base/exception.h"
#include "engine/base/file_path.h"
#include "engine/platform/bitmap.h"
#include "engine/res/res.h"
#include "tests/base/temp_dir.h"
#include "tests/host/gpu/image_files.h"

namespace kq {
namespace {

class BitmapLoaderTest : public testing::Test
{
protected:
    BitmapLoaderTest() { m_res->read_root_file(m_dir.path() + "default.root"); }

    void write(const std::string& name, const std::string& bytes)
    {
        std::ofstream(m_dir.file(name), std::ios::binary) << bytes;
    }

    SharedPtr<ResRecord> load(const std::string& path)
    {
        ResRequest request{type_name<Bitmap>(), {FilePath(path).str(), 0}};
        return m_loader->load(request);
    }

    TempDir m_dir;
    SharedPtr<Res> m_res{new Res};
    SharedPtr<ResLoader> m_loader{new BitmapLoader};
};

TEST_F(BitmapLoaderTest, LoadsByTheCanonicalExtension)
{
    const std::string png = test::png_file({3, 2, PNG_COLOR_TYPE_RGB_ALPHA, 8, {}});
    const std::string jpeg = test::jpeg_file(8, 8, JCS_GRAYSCALE, std::vector<std::uint8_t>(64, 1));
    write("pic.png", png);
    write("photo.jpg", jpeg);
    write("photo.jpeg", jpeg);
    write("pic.bmp", png);
    write("broken.png", png.substr(0, 30));
    struct Case {
        const char* path;
        std::int32_t format;  // BitmapNone: nothing loaded
    };
    const Case cases[] = {
        {"Pic.PNG", RGBA32}, {"photo.jpg", Gray8}, {"photo.jpeg", BitmapNone},
        {"pic.bmp", BitmapNone}, {"broken.png", BitmapNone}, {"missing.png", BitmapNone},
    };
    for (const Case& c : cases) {
        SharedPtr<ResRecord> record = load(c.path);
        ASSERT_EQ(bool(record), c.format != BitmapNone) << c.path;
        if (record) {
            const Bitmap* bitmap = dynamic_cast<const Bitmap*>(record->resource().get());
            ASSERT_NE(bitmap, nullptr);
            EXPECT_EQ(bitmap->format(), c.format) << c.path;
        }
    }
}

TEST_F(BitmapLoaderTest, TruncatedHeaderLeavesTheLoader)
{
    write("short.tga", "\0\0\2\0");
    EXPECT_THROW(load("short.tga"), IOException);
}

}
}
