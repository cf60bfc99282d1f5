#include "engine/art/art_service.h"

#include <fstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "art_res_support.h"
#include "art_test_support.h"
#include "engine/art/sprite.h"
#include "engine/base/bstream.h"
#include "engine/base/mainframe.h"
#include "engine/platform/bitmap.h"
#include "engine/platform/font.h"
#include "engine/res/res.h"
#include "engine/res/res_handle.h"
#include "tests/base/log_capture.h"
#include "tests/base/temp_dir.h"

namespace kq::test {
namespace {

using testing::HasSubstr;

TEST(ArtService, NeedsTheMainframeAndRes)
{
    LogCapture log;
    EXPECT_EQ(error_of([] { start_art_service(); }),
              "Unable to start service [art]. Mainframe not initialized correctly.");
    Mainframe::create();
    EXPECT_EQ(error_of([] { start_art_service(); }), "Unable to start service [art]. [res] not initialized.");
    EXPECT_THAT(log.text("error"), HasSubstr("[res] not initialized."));
    Mainframe::destroy();
}

TEST(ArtService, LoadsSpriteFilesAndDropsThemAtTheStop)
{
    TempDir dir;
    {
        SharedPtr<Sprite> root(new Sprite);
        root->set_name(StrCache("root"));
        SharedPtr<Sprite> child(new Sprite);
        child->set_name(StrCache("leaf"));
        root->add_child(child);
        StringBuffer buffer;
        BStream stream(buffer);
        write_binary(stream, root);
        std::ofstream(dir.file("tree.spr"), std::ios::binary) << buffer.str();
        std::ofstream(dir.file("glyphs.fnt"), std::ios::binary) << "HGEFONT Bitmap=g.png Char=\"a\",0,0,4,8,0,0\n";
        // One 32-bit pixel, uncompressed, top row first.
        std::ofstream(dir.file("dot.tga"), std::ios::binary)
            << std::string("\0\0\2\0\0\0\0\0\0\0\0\0\1\0\1\0\x20\x28", 18) << "\x10\x20\x30\xFF";
    }
    Mainframe::create();
    start_res_service();
    Res::instance()->read_root_file(dir.path() + "default.root");
    start_art_service();
    // The font's glyph sheet, made here: no texture loader runs without the renderer.
    Res::instance()->add_resource(ResRequest{type_name<Texture>(), ResKey{"g.png", 0}},
                                  SharedPtr<Texture>(new FakeTexture(8, 8, 8, 8)));
    {
        ResHandle<Sprite> tree(ResKey{"tree.spr", 0});
        ASSERT_NE(tree.get(), nullptr);
        EXPECT_EQ(tree.get()->name(), StrCache("root"));
        EXPECT_NE(tree.get()->find(StrCache("leaf"), false), nullptr);
        ResHandle<Font> font(ResKey{"glyphs.fnt", 0});
        ASSERT_NE(font.get(), nullptr);
        EXPECT_TRUE(font.get()->has_glyph(u'a'));
        ResHandle<Bitmap> bitmap(ResKey{"dot.tga", 0});
        ASSERT_NE(bitmap.get(), nullptr);

        LogCapture log;
        stop_art_service();
        EXPECT_THAT(log.text("res"), HasSubstr("Resource tree.spr 0 dropped."));
        EXPECT_THAT(log.text("res"), HasSubstr("Resource glyphs.fnt 0 dropped."));
        EXPECT_EQ(tree.get_loaded(), nullptr);
        // Bitmaps stay loaded.
        EXPECT_THAT(log.text("res"), testing::Not(HasSubstr("dot.tga")));
        EXPECT_NE(bitmap.get_loaded(), nullptr);
    }
    stop_res_service();
    Mainframe::destroy();
}

}
}
