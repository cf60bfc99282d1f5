// Sprite trees drawn on the real (offscreen) OpenGL device: a tree described in a skin
// document and the same tree read back from its binary forms give the same pixels, at the
// places and in the colours the tree's own numbers say.
#include <array>
#include <string>

#include <gtest/gtest.h>

#include "art_test_support.h"
#include "engine/art/frame_sprite.h"
#include "engine/art/image_sprite.h"
#include "engine/art/text_sprite.h"
#include "engine/base/bstream.h"
#include "engine/base/buffer.h"
#include "engine/base/tstream.h"
#include "engine/platform/font.h"
#include "engine/res/dictionary.h"
#include "engine/res/res.h"
#include "engine/res/skin.h"
#include "tests/platform/device_services.h"

namespace kq::test {
namespace {

// Every key a sprite reads, for the nodes below to inherit.
const char* const scene_document = R"(
vimo { window { fullscreen false color_depth 32 size [(64, 48)] fixed false caption "t" max_display_frequency 60 } }
defaults { state_mask 0 state_value 0 position [(0, 0)] pivot [(0, 0)] size [(8, 8)] rotation 0
  scale [(1, 1)] depth 0 color [(1, 1, 1)] shape rectangle clickability childs blend_type 0
  tex_adress 0 inherit 97 }
scene "class kq::FrameSprite" : defaults {
  position [(2, 2)] size [(30, 20)] color [(1, 0, 0)] inherit 96 solid false
  pic <child> "class kq::ImageSprite" : defaults {
    position [(4, 4)] texture "green.png" placement full tbegin [(0, 0)] tsize [(4, 4)]
    secondary_texture "" secondary_placement texel secondary_tbegin [(0, 0)] secondary_tsize [(1, 1)]
  }
  label <child> "class kq::TextSprite" : defaults {
    position [(16, 4)] size [(12, 10)] color [(0, 0, 1)]
    font "glyphs.fnt" text "{#greeting.short}" valign top halign left brilliance 0
  }
  edge <child> "class kq::FrameSprite" : defaults { position [(0, 14)] size [(6, 4)] color [(1, 1, 0)] solid false }
}
)";

using Shot = std::vector<std::uint32_t>;

class SpriteDeviceTest : public testing::Test
{
protected:
    SpriteDeviceTest() { add_resources(); }

    // A 4 x 4 green texture, a white glyph sheet whose "A" is a 4 x 8 block, the font over
    // it, and the dictionary word the label shows.
    void add_resources()
    {
        m_device.add_texture("green.png", 0x00FF00);
        m_device.add_texture("white.png", 0xFFFFFF);
        SharedPtr<Font> font(new Font);
        StringBuffer description("HGEFONT Bitmap=white.png Char=\"A\",0,0,4,8,0,0\n");
        TStream stream(description);
        ASSERT_TRUE(font->parse(stream));
        font->resolve();
        Res::instance()->add_resource(ResRequest{type_name<Font>(), ResKey{"glyphs.fnt", 0}}, font);
        StringBuffer xml("<dic><greeting><short>AA</short></greeting></dic>");
        Dictionary dictionary;
        dictionary.load_xml(xml);
        dictionary.publish_words();
    }

    // The frame of one sprite tree on black, read back pixel by pixel.
    Shot draw(Sprite& root)
    {
        return m_device.pixels(64, 48, [&](Artist& artist) { root.render(artist); });
    }

private:
    DeviceServices m_device{{{"scene.sdt", scene_document}}, {"scene.sdt"}};
};

std::uint32_t at(const Shot& shot, int x, int y)
{
    return shot[std::size_t(y * 64 + x)];
}

template <class T>
SharedPtr<T> from_skin(const char* path)
{
    SharedPtr<T> sprite(new T);
    sprite->read_skin(SkinPath(path));
    return sprite;
}

TEST_F(SpriteDeviceTest, ATreeFromTheSkinAndFromItsBinaryFileDrawTheSamePixels)
{
    const SharedPtr<FrameSprite> scene = from_skin<FrameSprite>("scene");
    const Shot from_skin_shot = draw(*scene);
    ASSERT_EQ(from_skin_shot.size(), 64u * 48u);

    // The places follow from the document: the frame's outline at (2, 2) size 30 x 20 (the
    // binary form keeps no "solid", so the tree uses outlines only); the picture at
    // (6, 6) size 8 x 8; the word "AA" from (18, 6), each letter a 4 x 8 block; the outline
    // from (2, 16) over its last pixels (2..7, 16..19).
    struct Case {
        int x, y;
        std::uint32_t rgb;
        const char* what;
    };
    const Case cases[] = {
        {2, 2, 0xFF0000, "frame corner"},      {31, 21, 0xFF0000, "frame's last pixel"},
        {31, 10, 0xFF0000, "frame's right edge"}, {10, 21, 0xFF0000, "frame's bottom edge"},
        {32, 10, 0x000000, "right of the frame"}, {10, 22, 0x000000, "below the frame"},
        {6, 6, 0x00FF00, "picture corner"},    {13, 13, 0x00FF00, "picture's last pixel"},
        {14, 10, 0x000000, "right of the picture"}, {18, 6, 0x0000FF, "first letter"},
        {21, 13, 0x0000FF, "first letter's end"}, {22, 10, 0x0000FF, "second letter"},
        {25, 13, 0x0000FF, "second letter's end"}, {26, 10, 0x000000, "after the word"},
        {18, 14, 0x000000, "below the word"},  {3, 19, 0xFFFF00, "outline's left edge"},
        {7, 19, 0xFFFF00, "outline's bottom right"}, {4, 18, 0x000000, "inside the outline"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(at(from_skin_shot, c.x, c.y), c.rgb) << c.what << " at " << c.x << "," << c.y;

    // The whole tree through a binary file.
    StringBuffer file;
    {
        BStream out(file);
        write_binary(out, SharedPtr<Sprite>(scene));
    }
    StringBuffer in_file(file.str());
    BStream in(in_file);
    SharedPtr<Sprite> read;
    read_binary(in, read);
    ASSERT_TRUE(read);
    const Shot from_file_shot = draw(*read);
    ASSERT_EQ(from_file_shot.size(), from_skin_shot.size());
    int differing = 0;
    for (std::size_t i = 0; i < from_skin_shot.size(); ++i) {
        if (from_file_shot[i] != from_skin_shot[i] && ++differing <= 5)
            ADD_FAILURE() << "pixel " << i % 64 << "," << i / 64 << ": " << std::hex << from_file_shot[i]
                          << " from the file, " << from_skin_shot[i] << " from the skin";
    }
    EXPECT_EQ(differing, 0);
}

// The bytes of a childless sprite's own form, moved back to version 0: no clickability,
// deformer or shape; the controller list in its old place.
std::string sprite_version_0(const std::string& v4)
{
    const std::size_t tail = 7 * 4;  // logic, children, hidden, group, clickability, deformer, shape
    const std::string body = v4.substr(1, v4.size() - 1 - tail);
    const std::string logic = v4.substr(v4.size() - tail, 4);
    const std::string hidden_group = v4.substr(v4.size() - tail + 8, 8);
    return u8(0) + body + logic + le32(0) + le32(0) + hidden_group;
}

TEST_F(SpriteDeviceTest, OlderBinaryFormsOfAPictureDrawLikeTheSkin)
{
    const SharedPtr<ImageSprite> pic = from_skin<ImageSprite>("scene.pic");
    const Shot expected = draw(*pic);
    ASSERT_EQ(expected.size(), 64u * 48u);
    EXPECT_EQ(at(expected, 4, 4), 0x00FF00u);
    EXPECT_EQ(at(expected, 12, 12), 0x000000u);

    StringBuffer sprite_part;
    {
        BStream out(sprite_part);
        pic->Sprite::store(out);
    }
    const std::string v3 = own_bytes(*pic);
    const std::string image_fields = v3.substr(1 + sprite_part.str().size());
    // After the handles: placement, tbegin, tsize (20 bytes), then grid, the secondary
    // fields and the factor (44 bytes) that version 0 lacks.
    const std::string v0 = u8(0) + sprite_version_0(sprite_part.str()) + image_fields.substr(0, image_fields.size() - 44);
    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case cases[] = {{"version 3", v3}, {"version 0", v0}};
    for (const Case& c : cases) {
        ImageSprite read;
        load_bytes(read, c.bytes);
        EXPECT_EQ(read.texture().path(), "green.png") << c.what;
        EXPECT_EQ(draw(read), expected) << c.what;
    }
}

}
}
